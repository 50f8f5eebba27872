#pragma once

// What the pupil can see of the window at one moment, in a form that any
// window under test (the recording fake, the real Qt window) can be read
// into, and the rule by which the window hands a pupil's action on to the
// test logic at all.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "run/controls.h"
#include "ui/layout/form1_layout.h"

namespace infotest::model {

// Everything of one control that the test logic can change.
struct ControlView {
    std::string caption;
    double left = 0;
    int top = 0;
    std::uint32_t backColor = 0xC0FFC0;
    bool visible = true;
    bool selected = false;

    bool operator==(const ControlView&) const = default;
};

struct WindowView {
    std::array<ControlView, kControlCount> controls{};
    bool timerEnabled = true;

    ControlView& operator[](Control control) { return controls.at(static_cast<std::size_t>(control)); }
    const ControlView& operator[](Control control) const { return controls.at(static_cast<std::size_t>(control)); }
};

// The window as it opens, before the pupil has done anything.
const WindowView& OpeningWindow();

// The client area; a control placed beyond it cannot be clicked.
inline constexpr int kClientWidthTwips = kForm1ClientWidth;
inline constexpr int kClientHeightTwips = kForm1ClientHeight;

// A modal box and the window behind it while it was open.
struct ShownBox {
    std::string prompt;
    std::string title;
    MessageIcon icon = MessageIcon::Question;
    WindowView windowBehind;
};

// Everything observable after one pupil action.
struct Observation {
    WindowView window;
    std::vector<ShownBox> boxes;  // the boxes this action opened, in order
    bool ended = false;
    int exitStatus = -1;      // meaningful once ended
    int reseeds = 0;          // how often the random generator was re-seeded so far
    int touchesAfterEnd = 0;  // calls on the window after the program ended
};

// What the pupil does. Start, Check, Exit and NextClick are mouse clicks on
// Command1, Command2, Command3 and Command4; NextKey presses Command4 from
// the keyboard (it has the focus), which works even where the mouse cannot
// reach it; Choose clicks the option button `option` (1..4); Tick is one
// second of Timer1; Close closes the window.
enum class Action { Start, Choose, Check, NextClick, NextKey, Exit, Tick, Close };

struct PupilEvent {
    Action action = Action::Tick;
    int option = 0;  // 1..4, for Choose only

    bool operator==(const PupilEvent&) const = default;
};

// "Choose 3", "NextKey", ...
std::string Describe(const PupilEvent& event);

// Whether a window showing `view` passes the action on at all: a hidden
// control takes no click and no focus, a control beyond the client area takes
// no click, and a disabled timer does not tick. Closing is always possible.
bool WindowTakes(const WindowView& view, const PupilEvent& event);

// The differences between what was expected and what a window shows, one
// per line ("Label6.caption: expected "2", shown "1""); empty when they agree.
// Timer1 has no view of its own (its state is timerEnabled), and where the
// window itself sits on the desktop is not the logic's business.
std::string Differences(const Observation& expected, const Observation& shown);
bool Agree(const Observation& expected, const Observation& shown);
std::string Differences(const WindowView& expected, const WindowView& shown);

}  // namespace infotest::model

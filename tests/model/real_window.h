#pragma once

// Drives a real window (its widgets or controls clicked and read back as the
// pupil meets them) and the model of the test run with the same sequence,
// and compares them after every action, as RunSideBySide does for the
// recording fake, with what a real window adds: positions on its pixel grid,
// a keyboard that cannot reach a button taken out of the focus chain, and a
// clock of its own that may tick while the test is not looking.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/model/side_by_side.h"
#include "ui/core/keys.h"
#include "ui/layout/form1_layout.h"
#include "ui/layout/placement.h"

namespace infotest {
class FormCore;
}

namespace infotest::model {

// A real window under test: besides what any window under test does, it
// tells what the test cannot see through the pupil's actions alone, and
// takes the keyboard and the calls that the checks shared by every window
// need (tests/model/window_suite.h).
class RealWindow : public WindowUnderTest {
public:
    // Opens a fresh window through OpenWindow and starts the count of
    // unreachable keyboard presses afresh.
    void Open(const Sequence& sequence) final;

    // Whether Timer1 ticked without a Tick of the sequence since Open (the
    // window's own clock ran for more than a second): the run then proves
    // nothing about the clock.
    virtual bool TickedByItself() const = 0;

    // Keyboard presses of Next since Open that found no way to the button.
    int UnreachableNextKeys() const { return unreachableNextKeys_; }

    // Whether the program behind the window has ended.
    virtual bool ProgramEnded() const = 0;

    // The machine stalls for `seconds`: the window's clock (a test's clock,
    // which moves only here) goes on that far while no timer message
    // arrives, then Timer1's timer wakes the window once, as the system
    // delivers it, if it is armed.
    virtual void StallClock(int seconds) = 0;

    // Performs a pupil's action through the window's own means below; a
    // window that has closed takes nothing.
    void Apply(const PupilEvent& event) final;

    // A key pressed and released on the focused control, as the toolkit
    // delivers it; `shift` holds Shift down meanwhile.
    virtual void PressKey(Key key, bool shift = false) = 0;
    // A key held down on the focused control: pressed, then repeated
    // `repeats` times by the keyboard's auto-repeat, then released.
    virtual void HoldKey(Key key, int repeats) = 0;
    // The control that has the keyboard focus; Form1 when none of them.
    virtual Control Focused() const = 0;

    // The window's core, as the logic and the toolkit's events reach it.
    virtual FormCore& Logic() = 0;
    // Where the window's client area lies on the screen (the page), in
    // pixels, and the colour shown just inside its top-left corner.
    virtual ScreenPoint ClientPlace() const = 0;
    virtual std::uint32_t ClientCornerColour() const = 0;

    // What a screen reader is told beyond a control's name, read through the
    // window's accessibility layer; nullopt where the window tells it
    // nothing of the kind. The description of an option:
    virtual std::optional<std::string> AnswerDescription(Control option) const = 0;
    // The announcements made since Open, in order.
    virtual std::optional<std::vector<std::string>> Announcements() const = 0;

    // From now on the window's own boxes serve instead of the recorded
    // ones, and the pupil closes each as soon as it shows, with Enter on its
    // OK button. Their count since then:
    virtual void UseOwnBoxesClosedByEnter() = 0;
    virtual int OwnBoxesClosed() const = 0;

private:
    virtual void OpenWindow(const Sequence& sequence) = 0;
    // Whether the window is still there to take the pupil's actions.
    virtual bool TakesActions() const = 0;
    // A mouse click in the middle of the part of the control that can be
    // seen; nothing when the control is hidden or out of view.
    virtual void ClickControl(Control control) = 0;
    // One tick of Timer1, as the system delivers it: only while it runs.
    virtual void DeliverTick() = 0;
    // The close request of the window system.
    virtual void RequestClose() = 0;

    // The pupil tabs round the focus chain to the Next button and presses
    // space; a press that finds no way to the button is counted.
    void PressNextFromTheKeyboard();

    int unreachableNextKeys_ = 0;
};

// Twips per pixel at 96 dpi are the layout's kTwipsPerPixel, the grid on
// which a real window places its controls.

// A twips position as a window at 96 dpi can show it: on its grid of 15 twips.
double OnPixelGrid(double twips);

// Every control of the view moved onto that grid.
void PutOnPixelGrid(WindowView& view);

// Runs the sequence on the real window and on the model and stops at the
// first disagreement, as RunSideBySide does, except that:
// - the model's positions are compared on the window's pixel grid;
// - a keyboard press of Next reaches nothing once the button is outside the
//   client area (the window takes it out of the focus chain then, so that
//   Tab cannot reach it);
// - a tick of the window's own clock makes the sequence invalid;
// - once the program has ended the window's clock must be stopped;
// - where the window describes the options to a screen reader, every
//   option's description holds the question shown and its number.
SideBySideResult RunOnRealWindow(const Sequence& sequence, RealWindow& window, ModelFault fault = ModelFault::None);

}  // namespace infotest::model

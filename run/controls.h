#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace infotest {

// The window's controls, addressed by name. Form1 is the window itself.
// clang-format off
enum class Control {
    Form1,
    Timer1,
    Picture1,
    Frame1,
    Command1, Command2, Command3, Command4,
    Option1, Option2, Option3, Option4,
    Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8,
    Label9, Label10, Label11, Label12, Label13, Label14, Label15,
};
// clang-format on

inline constexpr int kControlCount = static_cast<int>(Control::Label15) + 1;

// Option1..Option4 by number 1..4; the caller keeps n in range.
constexpr Control OptionControl(int n) { return static_cast<Control>(static_cast<int>(Control::Option1) + n - 1); }

// A control's place in per-control arrays of kControlCount elements.
constexpr std::size_t Index(Control control) { return static_cast<std::size_t>(control); }

constexpr bool IsOption(Control control) { return control >= Control::Option1 && control <= Control::Option4; }
constexpr bool IsCommand(Control control) { return control >= Control::Command1 && control <= Control::Command4; }

// The code name of a control ("Label7"), for messages and test output.
std::string_view ControlName(Control control);

enum class MessageIcon { Question, Information, Critical };

// What the test logic may do to the window, and the services it uses.
// Every window implements it; tests implement it with a recording fake.
// Positions are in twips relative to the control's container; colours are
// 0xBBGGRR.
//
// Form1 is the window itself, and every window treats it alike: its caption
// is the window title; Move leaves it where it is (its place on the screen
// belongs to the window system and the pupil, and it has no container);
// SetBackColor repaints its client area behind the controls; SetVisible
// shows or hides the whole window, which is how the end of the program takes
// it off the screen.
class Controls {
public:
    virtual ~Controls() = default;

    virtual void SetCaption(Control control, std::string_view text) = 0;
    virtual std::string Caption(Control control) const = 0;
    virtual void Move(Control control, double leftTwips, int topTwips) = 0;
    virtual void SetBackColor(Control control, std::uint32_t bgr) = 0;
    virtual void SetVisible(Control control, bool visible) = 0;

    // The option buttons: whether one is the selected one of its group, and
    // clearing it, which selects no other.
    virtual bool Selected(Control option) const = 0;
    virtual void ClearSelected(Control option) = 0;

    virtual void SetTimerEnabled(bool enabled) = 0;

    // A modal box with one OK button; returns the code of the button pressed.
    virtual int ShowMessage(std::string_view prompt, std::string_view title, MessageIcon icon) = 0;

    // Closes the window and ends the program with this exit status. The
    // caller returns at once and no further event reaches the logic.
    virtual void EndProgram(int exitStatus) = 0;

    // Re-seeds the random generator from the clock; Draw returns a number in
    // [0, 1).
    virtual void Randomize() = 0;
    virtual double Draw() = 0;
};

}  // namespace infotest

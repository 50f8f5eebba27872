#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "ui/core/form_core.h"
#include "ui/core/keys.h"

namespace infotest {
struct ControlLayout;
}

namespace infotest::web {

struct Form1Settings {
    // Whether the page's own timer drives Timer1. Tests leave it off and
    // deliver the ticks themselves.
    bool ownClock = true;
};

// The program's one window as elements of the page. It builds an element for
// every control of the layout table, runs the test logic on them, and
// delivers the page's clicks, keys and timer to the logic's event
// procedures. There is one window at a time: the script layer reaches it
// through Current().
//
// A browser cannot block a call until a box is closed, so ShowMessage shows
// the box and returns OK at once. Nothing can observe that the procedure
// went on before the pupil closed it: every box is the last thing its
// procedure does (its result only goes into MsgResult, which nothing reads,
// and after the internal-error box comes only the end of the program, which
// waits for the box), and while a box is open no click or key reaches the
// logic, only the clock's ticks, which touch the clock alone.
class Form1 final : public FormCore {
public:
    explicit Form1(Form1Settings settings = {});
    ~Form1() override;

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The window on the page now, or nullptr.
    static Form1* Current() { return current_; }

    // Puts the window on the page in place of the note that stands there
    // until it is built; the focus goes to Command1.
    void Show();

    // A click on a control's element. A command button in reach runs its
    // procedure; any other click runs none.
    void Click(Control control);
    // A key pressed on the page; returns whether the window used it, in
    // which case the browser's own meaning is cancelled.
    bool PressKey(Key key, bool shift);
    // The pupil closes the open box (its OK button, Enter, Space, Escape).
    void CloseBox();
    // The tab is closed or reloaded: the run ends at once, box or not.
    void PageClosing();

    bool BoxOpen() const { return !boxes_.empty(); }
    // The control that has the keyboard focus; Form1 when none of them.
    Control Focused() const;

    // Controls
    void SetCaption(Control control, std::string_view text) override;
    std::string Caption(Control control) const override;
    void Move(Control control, double leftTwips, int topTwips) override;
    void SetBackColor(Control control, std::uint32_t bgr) override;
    void SetVisible(Control control, bool visible) override;
    bool Selected(Control option) const override;
    void ClearSelected(Control option) override;

private:
    struct Box {
        std::string prompt;
        std::string title;
        MessageIcon icon;
    };

    // The page's own services: the in-page box, and the end of the page's
    // run, which replaces the window with the end message.
    int PresentMessage(std::string_view prompt, std::string_view title, MessageIcon icon);
    void EndEventLoop(int exitStatus);
    void ArmTimer(double delayMs);
    void HideWindow();

    void Build();
    void CreateControl(const ControlLayout& row, int stackLevel);
    void OpenBox(const Box& box);
    bool InReach(Control control) const;
    Control OptionTabStop() const;
    bool IsTabStop(Control control) const;
    Control NextTabStop(Control from, bool back) const;
    void MoveWithinOptions(Control from, bool forward);
    void FocusControl(Control control);
    void PassFocusOnIfUnreachable(Control control);
    void FinishEnd();

    static inline Form1* current_ = nullptr;

    Form1Settings settings_;
    std::array<std::string, kControlCount> captions_{};
    std::array<bool, kControlCount> visible_{};
    std::array<bool, kControlCount> outside_{};
    std::array<int, kControlCount> tops_{};  // pixels, for the drawn order of the options
    std::deque<Box> boxes_;
    Control focusBeforeBox_ = Control::Form1;
    bool hideWhenBoxCloses_ = false;
    int endStatusWhenBoxCloses_ = -1;
};

}  // namespace infotest::web

#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/core/focus_model.h"
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

// The program's one window as elements of the page. It takes over the
// element of every control of the layout table, which the page's markup
// draws before the program runs (markup.cpp), runs the test logic on them, and
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
// logic, only the clock's ticks, which touch the clock alone. The core's
// FocusModel decides what every key, click and focus change does, holds the
// boxes that wait their turn and the end of the program behind a box; the
// page's script only hands the browser's events over.
class Form1 final : public FormCore {
public:
    // Where a pointer or the focus lands on the page: a control's number,
    // the open box's button, or anything else.
    static constexpr int kBoxButton = -2;
    static constexpr int kElsewhere = -1;

    explicit Form1(Form1Settings settings = {});
    ~Form1() override;

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The window on the page now, or nullptr.
    static Form1* Current() { return current_; }

    // Shows the window, if the page has not shown it already, and takes
    // the pupil's clicks and keys from here on, those made before first;
    // the focus goes to the first control.
    void Show();

    // The page's events, as the script hands them over. Those that return
    // a bool return whether the browser's own meaning is cancelled.
    void Click(int target);
    bool PointerDown(int target);
    void FocusIn(int target);
    bool ContextMenu(int target) const;
    // `repeat`: a repeat of a key held down.
    bool PressKey(Key key, bool shift, bool repeat);
    // The tab is closed or reloaded: the run ends at once, box or not.
    void PageClosing();

    bool BoxOpen() const { return focus_.BoxOpen(); }
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
    // form1.cpp: the elements and the events.
    void Build();
    // Does what the focus model answered; returns whether the event is used.
    bool Apply(const FocusAnswer& answer);
    void FocusControl(std::optional<Control> control);
    // box.cpp: the page's own services: the in-page box, and the end of the
    // page's run, which replaces the window with the end message.
    int PresentMessage(std::string_view prompt, std::string_view title, MessageIcon icon);
    void OpenBox(const QueuedBox& box);
    void CloseBox();
    void HideWindow();
    void EndEventLoop(int exitStatus);
    // box.cpp: what a screen reader is told; an announcement waits for the
    // last box to close.
    void DescribeAnswers(std::string_view text);
    void Announce(std::string_view text);
    // clock.cpp: Timer1's wake-ups.
    void ArmTimer(double delayMs);

    static inline Form1* current_ = nullptr;

    Form1Settings settings_;
    std::array<std::string, kControlCount> captions_{};
    FocusModel focus_{*this};
};

}  // namespace infotest::web

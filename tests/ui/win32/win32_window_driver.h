#pragma once

// The real Win32 window as a window under test for the model of the test
// run: the pupil's actions are mouse-down/up pairs sent to the child window
// under the middle of the control, key presses handed to the window's own
// keyboard handling, the real timer message and the close request of the
// system menu; what the window shows is read back from its child windows.

#include <array>
#include <memory>
#include <vector>

#include "tests/model/real_window.h"
#include "tests/ui/recorded_services.h"
#include "ui/win32/form1.h"

namespace infotest::testing {

class Win32Window final : public model::RealWindow {
public:
    explicit Win32Window(win32::Form1Settings settings = {kStandardDpiForTests, std::nullopt});
    ~Win32Window() override;

    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    static constexpr int kStandardDpiForTests = 96;

    void Open(const model::Sequence& sequence) override;
    void Observe(model::Observation& into) override;

    bool TickedByItself() const override { return form_->TicksDelivered() != ticksSent_; }
    int UnreachableNextKeys() const override { return unreachableNextKeys_; }
    bool ProgramEnded() const override { return services_.Ended(); }
    void StallClock(int seconds) override;

    win32::Form1& Window() const { return *form_; }
    const std::vector<model::ShownBox>& Boxes() const { return services_.Boxes(); }
    const std::vector<int>& Exits() const { return services_.Exits(); }

    // A mouse click in the middle of the part of the control that can be
    // seen, on whichever child window lies on top there; nothing when the
    // control is hidden or out of view. Twice: a double click.
    void Click(Control control, bool twice = false);
    // A key pressed and released on the focused control, through the
    // window's own keyboard handling.
    void PressKey(WPARAM key);
    // The control that has the keyboard focus; Form1 when none of them.
    Control Focused() const;

private:
    void ReadWindow(model::WindowView& into) const;
    bool TakesActions() const override;
    void ClickControl(Control control) override { Click(control); }
    void PressNextFromTheKeyboard() override;
    void DeliverTick() override;
    void RequestClose() override;

    win32::Form1Settings settings_;
    std::unique_ptr<win32::Form1> form_;
    RecordedServices services_;
    double clockMs_ = 0;
    int ticksSent_ = 0;
    int unreachableNextKeys_ = 0;
};

// A control's child window in pixels, relative to its container as the
// layout has it: Frame1 for the option buttons, the client area otherwise.
RECT RectInContainer(const win32::Form1& form, Control control);

}  // namespace infotest::testing

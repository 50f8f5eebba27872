#pragma once

// The real Win32 window as a window under test for the model of the test
// run: the pupil's actions are mouse-down/up pairs sent to the child window
// under the middle of the control, key presses handed to the window's own
// keyboard handling, the real timer message and the close request of the
// system menu; what the window shows is read back from its child windows.

#include <array>
#include <memory>
#include <optional>
#include <string>
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

    void Observe(model::Observation& into) override;

    bool TickedByItself() const override { return form_->TicksDelivered() != ticksSent_; }
    bool ProgramEnded() const override { return services_.Ended(); }
    void StallClock(int seconds) override;

    win32::Form1& Window() const { return *form_; }
    const std::vector<model::ShownBox>& Boxes() const { return services_.Boxes(); }
    const std::vector<int>& Exits() const { return services_.Exits(); }

    // A mouse click in the middle of the part of the control that can be
    // seen, on whichever child window lies on top there; nothing when the
    // control is hidden or out of view. Twice: a double click.
    void Click(Control control, bool twice = false);
    // Keys go to the focused control, through the window's own keyboard
    // handling; their codes are the virtual-key codes.
    void PressKey(Key key, bool shift = false) override;
    void HoldKey(Key key, int repeats) override;
    Control Focused() const override;
    FormCore& Logic() override { return *form_; }
    ScreenPoint ClientPlace() const override;
    std::uint32_t ClientCornerColour() const override;
    // The real MessageBoxW, closed with Enter from a timer that its own
    // message loop runs.
    void UseOwnBoxesClosedByEnter() override;
    int OwnBoxesClosed() const override { return ownBoxesClosed_; }
    // The window tells a screen reader its controls' captions only.
    std::optional<std::string> AnswerDescription(Control /*option*/) const override { return std::nullopt; }
    std::optional<std::vector<std::string>> Announcements() const override { return std::nullopt; }

private:
    void OpenWindow(const model::Sequence& sequence) override;
    static void CALLBACK CloseOwnBoxWithEnter(HWND, UINT, UINT_PTR, DWORD) noexcept;
    void StopClosingBoxes();
    void SendKey(Key key, UINT message, LPARAM flags);
    void ReadWindow(model::WindowView& into) const;
    bool TakesActions() const override;
    void ClickControl(Control control) override { Click(control); }
    void DeliverTick() override;
    void RequestClose() override;

    win32::Form1Settings settings_;
    std::unique_ptr<win32::Form1> form_;
    RecordedServices services_;
    double clockMs_ = 0;
    int ticksSent_ = 0;
    UINT_PTR boxCloser_ = 0;
    HWND lastBox_ = nullptr;
    int ownBoxesClosed_ = 0;
    static inline Win32Window* closingBoxes_ = nullptr;
};

// A control's child window in pixels, relative to its container as the
// layout has it: Frame1 for the option buttons, the client area otherwise.
RECT RectInContainer(const win32::Form1& form, Control control);

}  // namespace infotest::testing

#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "ui/core/focus_model.h"
#include "ui/core/form_core.h"
#include "ui/layout/form1_layout.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/handles.h"

namespace infotest::win32 {

// The id of Timer1's WM_TIMER messages.
inline constexpr UINT_PTR kTimer1Id = 1;

// What a window is made with; the program leaves both unset.
struct Form1Settings {
    // Dots per inch to lay the window out at; 0 asks the system.
    int dpi = 0;
    // The title image's file contents; unset, the image built into the
    // program. Contents that do not decode leave the picture box empty.
    std::optional<std::string_view> titleImage;
};

// The program's one window on the Win32 API. It builds a child window for
// every control of the layout table, runs the test logic on them, and
// delivers the clicks of Command1..Command4 and the ticks of Timer1 to the
// logic's event procedures. Each control's window text is its caption.
class Form1 final : public FormCore {
public:
    explicit Form1(HINSTANCE instance, Form1Settings settings = {});
    ~Form1() override = default;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The top-level window, and the child window of a control (the
    // top-level window for Form1, nullptr for Timer1).
    HWND Handle() const { return window_.Get(); }
    HWND ControlWindow(Control control) const;

    int Dpi() const { return dpi_; }
    bool HasTitleImage() const { return static_cast<bool>(titleImage_); }
    // A control's back colour as last set (0xBBGGRR).
    std::uint32_t BackColour(Control control) const;
    // Whether a modal box of the window is open.
    bool BoxOpen() const { return boxesOpen_ > 0; }

    // Shows the window; the focus goes to Command1.
    void Show(int showCommand = SW_SHOWNORMAL);

    // Handles one message taken from the queue as the message loop does:
    // the keys the focus model decides first (Tab, Enter, the arrows), then
    // the window procedure.
    void Process(MSG& message);

    // Runs the message loop until the program ends; returns its exit status.
    int RunMessageLoop();

    // Controls
    void SetCaption(Control control, std::string_view text) override;
    std::string Caption(Control control) const override;
    void Move(Control control, double leftTwips, int topTwips) override;
    void SetBackColor(Control control, std::uint32_t bgr) override;
    void SetVisible(Control control, bool visible) override;
    bool Selected(Control option) const override;
    void ClearSelected(Control option) override;

private:
    // form1.cpp: the window proper, its messages and the Controls.
    int ShowBox(std::string_view prompt, std::string_view title, MessageIcon icon);
    void ArmTimer(double delayMs);
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int notification);
    void OnActivate(bool active);
    // build.cpp: the controls made from the layout table and placed.
    void CreateWindowItself(HINSTANCE instance);
    void CreateControls(HINSTANCE instance);
    void PlaceControl(Control control, double leftTwips, int topTwips);
    Font MakeFont(const ControlLayout& row) const;
    int Px(double twips) const;
    // paint.cpp: what the window draws itself.
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnControlColour(HDC dc, HWND child);
    HBRUSH BrushOf(Control control) { return brushes_.Of(backColours_[Index(control)]); }
    // keyboard.cpp: the focus model's answers done on the child windows.
    bool Apply(const FocusAnswer& answer);
    Control Focused() const;
    void FocusControl(Control control);
    void UpdateTabStops();

    int dpi_ = kStandardDpi;
    std::array<HWND, kControlCount> windows_{};
    std::array<std::uint32_t, kControlCount> backColours_{};
    std::array<Font, kControlCount> fonts_;
    Brushes brushes_;
    Bitmap titleImage_;
    FocusModel focus_{*this};
    Control focusOnDeactivate_ = Control::Form1;
    int boxesOpen_ = 0;
    // Last, so that it goes first: no child control outlives the fonts and
    // brushes it is drawn with.
    OwnedWindow window_;
};

}  // namespace infotest::win32

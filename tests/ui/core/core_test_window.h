#pragma once

// A window of no toolkit on the core, for testing the core's own rules: its
// controls are plain arrays, its box and end are recorded, and its clock and
// timer are the test's.

#include <array>
#include <string>
#include <vector>

#include "ui/core/form_core.h"

namespace infotest::testing {

class CoreTestWindow final : public FormCore {
public:
    struct Box {
        std::string prompt;
        std::string title;
        MessageIcon icon;
        int elapsedSeconds;  // the clock's count when the box opened
        bool afterTheEnd;    // shown once the event loop had been told to end
    };

    CoreTestWindow();

    // A click on a command button, as a toolkit delivers it.
    void Click(Control button) { Deliver(ClickProcedure(button)); }
    using FormCore::CloseRequested;

    // The clock stands still until the test moves it on.
    double nowMs = 0;
    // What the core armed the timer with last: the delay, negative disarmed.
    double armedMs = -1;
    std::vector<Box> boxes;
    std::vector<int> exits;
    // Fault injection: the next end of the event loop throws.
    bool endThrows = false;
    // Fault injection: hiding the window throws.
    bool hideThrows = false;
    std::array<std::string, kControlCount> captions{};
    std::array<bool, kControlCount> visible{};

    void SetCaption(Control control, std::string_view text) override { captions[Index(control)] = text; }
    std::string Caption(Control control) const override { return captions[Index(control)]; }
    void Move(Control, double, int) override {}
    void SetBackColor(Control, std::uint32_t) override {}
    void SetVisible(Control control, bool shown) override;
    bool Selected(Control) const override { return false; }
    void ClearSelected(Control) override {}
};

}  // namespace infotest::testing

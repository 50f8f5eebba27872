#include "tests/ui/core/core_test_window.h"

#include <stdexcept>

namespace infotest::testing {

CoreTestWindow::CoreTestWindow()
    : FormCore({.showMessage =
                    [this](std::string_view prompt, std::string_view title, MessageIcon icon) {
                        boxes.push_back({std::string(prompt), std::string(title), icon, Run().State().ElapsedSeconds,
                                         !exits.empty()});
                        return kOkResult;
                    },
                .endEventLoop =
                    [this](int status) {
                        if (endThrows) {
                            endThrows = false;
                            throw std::runtime_error("the event loop would not end");
                        }
                        exits.push_back(status);
                    },
                .armTimer = [this](double delayMs) { armedMs = delayMs; },
                .clock = [this] { return nowMs; },
                .describeAnswers = {},
                .announce = {}}) {
    visible.fill(true);
    SetTimerEnabled(true);
}

void CoreTestWindow::SetVisible(Control control, bool shown) {
    if (control == Control::Form1 && !shown && hideThrows) throw std::runtime_error("the window would not hide");
    visible[Index(control)] = shown;
}

}  // namespace infotest::testing

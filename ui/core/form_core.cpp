#include "ui/core/form_core.h"

#include <utility>

namespace infotest {

FormCore::Procedure FormCore::ClickProcedure(Control control) {
    switch (control) {
        case Control::Command1: return &TestRun::Command1_Click;
        case Control::Command2: return &TestRun::Command2_Click;
        case Control::Command3: return &TestRun::Command3_Click;
        case Control::Command4: return &TestRun::Command4_Click;
        default: return nullptr;
    }
}

FormCore::FormCore(WindowServices own) : own_(std::move(own)) {
    SetMessagePresenter({});
    SetProgramEnder({});
    SetRandomSource({}, {});
}

void FormCore::SetMessagePresenter(MessagePresenter presenter) {
    presenter_ = presenter ? std::move(presenter) : own_.showMessage;
}

void FormCore::SetProgramEnder(ProgramEnder ender) { ender_ = ender ? std::move(ender) : own_.endEventLoop; }

void FormCore::SetRandomSource(std::function<double()> draw, std::function<void()> reseed) {
    draw_ = draw ? std::move(draw) : [this] { return random_.Draw(); };
    reseed_ = reseed ? std::move(reseed) : [this] { random_.Reseed(); };
}

int FormCore::ShowMessage(std::string_view prompt, std::string_view title, MessageIcon icon) {
    return presenter_(prompt, title, icon);
}

void FormCore::EndProgram(int exitStatus) { Finish(exitStatus, true); }

// The window is already going away: it only has to stop and end the loop.
void FormCore::CloseRequested() { Finish(0, false); }

void FormCore::Finish(int exitStatus, bool hideWindow) {
    if (ended_) return;
    ended_ = true;
    exitStatus_ = exitStatus;
    SetTimerEnabled(false);
    if (hideWindow) SetVisible(Control::Form1, false);
    ender_(exitStatus);
}

void FormCore::Randomize() { reseed_(); }

double FormCore::Draw() { return draw_(); }

void FormCore::Deliver(Procedure procedure) {
    if (ended_) return;
    try {
        (run_.*procedure)();
    } catch (...) {
        // The procedures report their own errors; this only keeps anything
        // else from unwinding through the toolkit's event loop.
        try {
            EndProgram(kErrorExitStatus);
        } catch (...) {
            ended_ = true;
            exitStatus_ = kErrorExitStatus;
            try {
                own_.endEventLoop(kErrorExitStatus);
            } catch (...) {  // NOLINT(bugprone-empty-catch)
                // Nothing is left to report it with; the status stays set.
            }
        }
    }
}

}  // namespace infotest

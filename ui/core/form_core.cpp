#include "ui/core/form_core.h"

namespace infotest {

void (TestRun::*FormCore::ClickProcedure(Control control))() {
    switch (control) {
        case Control::Command1: return &TestRun::Command1_Click;
        case Control::Command2: return &TestRun::Command2_Click;
        case Control::Command3: return &TestRun::Command3_Click;
        case Control::Command4: return &TestRun::Command4_Click;
        default: return nullptr;
    }
}

int FormCore::ShowMessage(std::string_view prompt, std::string_view title, MessageIcon icon) {
    return presenter_ ? presenter_(prompt, title, icon) : PresentMessage(prompt, title, icon);
}

void FormCore::EndProgram(int exitStatus) { Finish(exitStatus, true); }

// The window is already going away: it only has to stop and end the loop.
void FormCore::CloseRequested() { Finish(0, false); }

void FormCore::Finish(int exitStatus, bool hideWindow) {
    if (ended_) return;
    ended_ = true;
    exitStatus_ = exitStatus;
    StopTimer();
    if (hideWindow) HideWindow();
    if (ender_) {
        ender_(exitStatus);
    } else {
        EndEventLoop(exitStatus);
    }
}

void FormCore::Randomize() {
    if (reseed_) {
        reseed_();
    } else {
        random_.Reseed();
    }
}

double FormCore::Draw() { return draw_ ? draw_() : random_.Draw(); }

void FormCore::Deliver(void (TestRun::*procedure)()) {
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
                EndEventLoop(kErrorExitStatus);
            } catch (...) {
                // Nothing is left to report it with; the status stays set.
            }
        }
    }
}

}  // namespace infotest

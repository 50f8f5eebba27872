#include "ui/core/form_core.h"

#include <utility>

#include "ui/layout/form1_layout.h"

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

FormCore::FormCore(WindowServices own) : own_(std::move(own)), clock_(kTimer1IntervalMs) {
    if (!own_.clock) own_.clock = SteadyMilliseconds;
    SetMessagePresenter({});
    SetProgramEnder({});
    SetRandomSource({}, {});
    // Not SetClockSource: the window's timer does not exist yet.
    clockSource_ = own_.clock;
}

void FormCore::SetMessagePresenter(MessagePresenter presenter) {
    presenter_ = presenter ? std::move(presenter) : own_.showMessage;
}

void FormCore::SetProgramEnder(ProgramEnder ender) { ender_ = ender ? std::move(ender) : own_.endEventLoop; }

void FormCore::SetRandomSource(std::function<double()> draw, std::function<void()> reseed) {
    draw_ = draw ? std::move(draw) : [this] { return random_.Draw(); };
    reseed_ = reseed ? std::move(reseed) : [this] { random_.Reseed(); };
}

void FormCore::SetClockSource(ClockSource clock) {
    clockSource_ = clock ? std::move(clock) : own_.clock;
    if (!clock_.Running()) return;
    clock_.Rebase(Now());
    ArmTimer();
}

void FormCore::CountClockFrom(double shownAtMs) {
    if (!clock_.Running() || clock_.Delivered() > 0) return;
    clock_.Rebase(shownAtMs);
    ArmTimer();
}

int FormCore::ShowMessage(std::string_view prompt, std::string_view title, MessageIcon icon) {
    // Only an internal error has the critical icon.
    if (icon == MessageIcon::Critical) errorShown_ = true;
    return presenter_(prompt, title, icon);
}

void FormCore::EndProgram(int exitStatus) { Finish(exitStatus, true); }

// The window is already going away: it only has to stop and end the loop.
void FormCore::CloseRequested() {
    Guarded([this] { Finish(0, false); });
}

void FormCore::Finish(int exitStatus, bool hideWindow) {
    if (ended_) return;
    ended_ = true;
    exitStatus_ = exitStatus;
    // The window's own messages during the end (hiding it sends some) are
    // not an end that failed.
    struct Ending {
        bool& flag;
        explicit Ending(bool& f) : flag(f) { flag = true; }
        ~Ending() { flag = false; }
        Ending(const Ending&) = delete;
        Ending& operator=(const Ending&) = delete;
    } ending(ending_);
    SetTimerEnabled(false);
    if (hideWindow) SetVisible(Control::Form1, false);
    ender_(exitStatus);
    loopEnded_ = true;
}

void FormCore::Randomize() { reseed_(); }

double FormCore::Draw() { return draw_(); }

// ---- The clock ----

void FormCore::SetTimerEnabled(bool enabled) {
    if (!enabled) {
        clock_.Stop();
    } else if (!ended_) {
        clock_.Start(Now());
    }
    ArmTimer();
}

void FormCore::TimerFired() {
    Guarded([this] {
        CatchUpClock();
        ArmTimer();
    });
}

void FormCore::CatchUpClock() {
    while (!ended_ && clock_.TakeDueTick(Now())) run_.Timer1_Timer();
}

void FormCore::ArmTimer() {
    if (own_.armTimer) own_.armTimer(ended_ ? -1 : clock_.UntilNextTick(Now()));
}

void FormCore::Deliver(Procedure procedure) {
    if (ended_) return;
    Guarded([this, procedure] {
        CatchUpClock();
        if (ended_) return;
        const SpokenCaptions before = SpokenCaptionsOf(*this);
        (run_.*procedure)();
        if (!ended_) Speak(before);
    });
}

// ---- What a screen reader is told ----

void FormCore::Speak(const SpokenCaptions& before) {
    const SpokenCaptions after = SpokenCaptionsOf(*this);
    std::string description = AnswersDescription(after);
    if (description != described_) {
        described_ = std::move(description);
        if (own_.describeAnswers) own_.describeAnswers(described_);
    }
    const std::string announcement = AnnouncementAfter(before, after);
    if (!announcement.empty() && own_.announce) own_.announce(announcement);
}

// ---- The error boundary ----

void FormCore::Fail() noexcept {
    if (loopEnded_) return;  // the program is over; nothing is left to report to
    if (!errorShown_) {
        try {
            ShowMessage(kErrorUnexpected, kErrorTitle, MessageIcon::Critical);
        } catch (...) {  // NOLINT(bugprone-empty-catch)
            // The box is only the report; the program ends either way.
        }
    }
    if (!ended_) {
        try {
            Finish(kErrorExitStatus, true);
            return;
        } catch (...) {  // NOLINT(bugprone-empty-catch)
            // Ended below with the window's own means.
        }
    }
    if (loopEnded_) return;
    // An end that failed halfway, this one or the program's own: the
    // internal error decides the status.
    ended_ = true;
    exitStatus_ = kErrorExitStatus;
    for (const ProgramEnder* ender : {&ender_, &own_.endEventLoop}) {
        try {
            (*ender)(kErrorExitStatus);
            loopEnded_ = true;
            return;
        } catch (...) {  // NOLINT(bugprone-empty-catch)
            // Nothing is left to report it with; the status stays set.
        }
    }
}

int FormCore::OpeningFailed(const MessagePresenter& showMessage) {
    try {
        showMessage(kErrorWindowNotOpened, kErrorTitle, MessageIcon::Critical);
    } catch (...) {  // NOLINT(bugprone-empty-catch)
        // Nothing is left to report it with.
    }
    return kErrorExitStatus;
}

}  // namespace infotest

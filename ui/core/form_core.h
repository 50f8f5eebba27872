#pragma once

#include <functional>
#include <string_view>

#include "run/controls.h"
#include "run/procedures.h"
#include "run/random_source.h"
#include "ui/core/clock.h"
#include "ui/core/speech.h"

namespace infotest {

// Shows a modal box with one OK button over the window and returns the code
// of the button pressed.
using MessagePresenter = std::function<int(std::string_view prompt, std::string_view title, MessageIcon icon)>;

// Ends the program's event loop with an exit status.
using ProgramEnder = std::function<void(int exitStatus)>;

// The text of the box shown when the window cannot be built.
inline constexpr std::string_view kErrorWindowNotOpened = "Не удалось открыть окно программы.";

// The code a message box returns for its OK button.
inline constexpr int kOkResult = 1;

// Arms the window's timer to wake the core after `delayMs` milliseconds
// (once: the core arms it again each time); a negative delay disarms it.
using TimerArmer = std::function<void(double delayMs)>;

// Hands a text to assistive technology: the description of every answer
// (which question they belong to), or a polite announcement that a screen
// reader speaks once, after what it is speaking.
using Speaker = std::function<void(std::string_view text)>;

// The services a window brings from its toolkit: the modal box, the end of
// the event loop, its timer and, if it has a better one than the core's
// steady clock, its monotonic clock; and, where the toolkit has the means,
// what a screen reader is told (none: the window tells it nothing more).
struct WindowServices {
    MessagePresenter showMessage;
    ProgramEnder endEventLoop;
    TimerArmer armTimer;
    ClockSource clock;
    Speaker describeAnswers;
    Speaker announce;
};

// What every window does alike around the test logic, whatever its toolkit:
// it owns the run, delivers events to it only until the program has ended,
// keeps Timer1's clock, is the one error boundary, ends the program once with
// its status, and draws random numbers.
//
// The clock: Timer1 shows the time since the window opened. The core counts
// the ticks due from a monotonic clock (TickClock) and delivers every one of
// them, so that a stalled machine or a late timer costs no second; the
// toolkit's timer only wakes the core (TimerFired) and is armed again for
// the next due tick, so that a timer firing a little early or late neither
// shows a second twice nor skips one. Before a click or key procedure runs,
// the ticks that fell due before it are delivered, so that a grade shown
// after a stall counts them. Which clock each window reads, and so whether a
// suspended system's sleep counts as time: the Qt window the core's steady
// clock (CLOCK_MONOTONIC on Linux: sleep does not count); the Win32 window
// the unbiased interrupt time (sleep does not count, as Windows documents);
// the page the browser's performance.now(), whose behaviour over a suspend
// the browser decides (the web's standards leave it open).
//
// The error boundary: the procedures report the errors they know of
// themselves (an error box, then the end with kErrorExitStatus; see
// TestRun). Whatever else is thrown, out of a procedure or out of the
// window's own handling of an event, ends in Fail, and only there: the
// internal-error box is shown unless an error box has been shown already,
// and once the pupil has closed it the program ends with kErrorExitStatus.
// The core's own entry points (Deliver, TimerFired, CloseRequested) guard
// themselves; a toolkit wraps the rest of its event handling in Guarded at
// the one edge its event loop needs (the Win32 window procedure, the page's
// entry points); Qt needs none. Only what stops the page's WebAssembly
// itself is left to the script layer (page.js).
//
// What a screen reader is told (ui/core/speech.h): after every click or key
// procedure the answers' description follows the question shown, and the
// press's announcement, if it has one, is made once the press has ended; a
// box the procedure showed has been closed by then, or, where boxes do not
// block, the window holds the announcement until it is.
//
// The services are plain functions: the window hands over its own when it
// is built, and a test replaces any of them. A box that cannot block (a
// browser's) plugs in the same way: it shows itself and returns OK at once.
// The end of the program stops Timer1 and hides the window through the
// window's own controls (SetTimerEnabled, SetVisible on Form1) before the
// event loop's end, so that a test that records the end still sees the
// window leave.
class FormCore : public Controls {
public:
    explicit FormCore(WindowServices own);
    FormCore(const FormCore&) = delete;
    FormCore& operator=(const FormCore&) = delete;

    // Replace how a message box is shown and how the event loop ends; an
    // empty function puts the window's own back.
    void SetMessagePresenter(MessagePresenter presenter);
    void SetProgramEnder(ProgramEnder ender);
    // Replace where the random draws come from and what a re-seed does;
    // empty functions put the clock-seeded generator back.
    void SetRandomSource(std::function<double()> draw, std::function<void()> reseed);
    // Replace the monotonic clock Timer1 counts from (milliseconds); an
    // empty function puts the window's own back. Counting goes on from the
    // new clock's present.
    void SetClockSource(ClockSource clock);
    // The window was on screen before the core could count (a page draws
    // its window while its program loads): Timer1 counts from `shownAtMs`
    // on the window's clock instead, unless a tick has been delivered.
    void CountClockFrom(double shownAtMs);

    // The window's timer woke the core: every tick due by the clock is
    // delivered, and the timer is armed for the next one.
    void TimerFired();
    bool TimerRunning() const { return clock_.Running(); }
    std::int64_t TicksDelivered() const { return clock_.Delivered(); }

    // The error boundary: anything thrown that no procedure reported ends
    // here (see above). Never throws.
    void Fail() noexcept;
    // Runs a toolkit's handling of an event; anything it throws goes to
    // Fail, and so does an end of the program that failed halfway (a
    // procedure that asked for the end lets nothing out of itself).
    template <typename Body>
    void Guarded(Body&& body) noexcept {
        try {
            body();
        } catch (...) {
            Fail();
            return;
        }
        if (ended_ && !loopEnded_ && !ending_) Fail();
    }
    // The box and status when the window cannot even be built: there is no
    // core yet, so the caller shows the box with its toolkit's means.
    static int OpeningFailed(const MessagePresenter& showMessage);

    // An event procedure of the test run, such as TestRun::Command1_Click.
    using Procedure = void (TestRun::*)();

    // The click procedure of a command button (Command1..Command4);
    // nullptr for any other control.
    static Procedure ClickProcedure(Control control);

    const TestRun& Run() const { return run_; }
    // Lets a test put the state where ordinary use cannot.
    TestRun& RunForTesting() { return run_; }

    bool Ended() const { return ended_; }
    // The status the program ends with; meaningful once it has ended.
    int ExitStatus() const { return exitStatus_; }

    int ShowMessage(std::string_view prompt, std::string_view title, MessageIcon icon) final;
    // Timer1 runs or stops; counting resumes from when it runs again.
    void SetTimerEnabled(bool enabled) final;
    void EndProgram(int exitStatus) final;
    void Randomize() final;
    double Draw() final;

protected:
    ~FormCore() override = default;

    // Runs one click or key procedure, unless the program has ended, after
    // the clock's due ticks, then tells the screen reader what it changed.
    // Nothing it throws goes further than Fail.
    void Deliver(Procedure procedure);

    // The window system asks the window to close: the program ends with
    // status 0, unless it has ended already.
    void CloseRequested();

private:
    void Finish(int exitStatus, bool hideWindow);
    void CatchUpClock();
    void Speak(const SpokenCaptions& before);
    void ArmTimer();
    double Now() const { return clockSource_(); }

    WindowServices own_;
    TickClock clock_;
    ClockSource clockSource_;
    ClockRandom random_;
    std::function<double()> draw_;
    std::function<void()> reseed_;
    MessagePresenter presenter_;
    ProgramEnder ender_;
    TestRun run_{*this};
    std::string described_;
    bool ended_ = false;
    bool ending_ = false;      // Finish is on its way
    bool loopEnded_ = false;   // the event loop's end was carried out
    bool errorShown_ = false;  // an internal-error box was shown
    int exitStatus_ = 0;
};

}  // namespace infotest

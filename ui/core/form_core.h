#pragma once

#include <functional>
#include <string_view>

#include "run/controls.h"
#include "run/procedures.h"
#include "run/random_source.h"

namespace infotest {

// Shows a modal box with one OK button over the window and returns the code
// of the button pressed.
using MessagePresenter = std::function<int(std::string_view prompt, std::string_view title, MessageIcon icon)>;

// Ends the program's event loop with an exit status.
using ProgramEnder = std::function<void(int exitStatus)>;

// The code a message box returns for its OK button.
inline constexpr int kOkResult = 1;

// The services a window brings from its toolkit: the modal box and the end
// of the event loop.
struct WindowServices {
    MessagePresenter showMessage;
    ProgramEnder endEventLoop;
};

// What every window does alike around the test logic, whatever its toolkit:
// it owns the run, delivers events to it only until the program has ended
// and lets no exception out into the toolkit's event loop, ends the program
// once with its status, and draws random numbers.
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
    void EndProgram(int exitStatus) final;
    void Randomize() final;
    double Draw() final;

protected:
    ~FormCore() override = default;

    // Runs one event procedure, unless the program has ended. Nothing it
    // throws goes further: anything the logic did not report itself ends
    // the program with the internal-error status.
    void Deliver(Procedure procedure);

    // The window system asks the window to close: the program ends with
    // status 0, unless it has ended already.
    void CloseRequested();

private:
    void Finish(int exitStatus, bool hideWindow);

    WindowServices own_;
    ClockRandom random_;
    std::function<double()> draw_;
    std::function<void()> reseed_;
    MessagePresenter presenter_;
    ProgramEnder ender_;
    TestRun run_{*this};
    bool ended_ = false;
    int exitStatus_ = 0;
};

}  // namespace infotest

#pragma once

#include <functional>
#include <string_view>

#include "run/controls.h"
#include "run/procedures.h"
#include "run/random_source.h"

namespace infotest {

// Shows a modal box with one OK button over the window and returns the code
// of the button pressed.
using MessagePresenter =
    std::function<int(std::string_view prompt, std::string_view title, MessageIcon icon)>;

// Ends the program's event loop with an exit status.
using ProgramEnder = std::function<void(int exitStatus)>;

// The code a message box returns for its OK button.
inline constexpr int kOkResult = 1;

// What every window does alike around the test logic, whatever its toolkit:
// it owns the run, delivers events to it only until the program has ended
// and lets no exception out into the toolkit's event loop, ends the program
// once with its status, and draws random numbers. The services can be
// replaced for tests; the window supplies the toolkit's own box, timer stop,
// hiding and end of the event loop.
class FormCore : public Controls {
public:
    FormCore() = default;
    FormCore(const FormCore&) = delete;
    FormCore& operator=(const FormCore&) = delete;

    // Seams for tests: how a message box is shown and how the program ends.
    // Unset (or set empty), the toolkit's own serve.
    void SetMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }
    void SetProgramEnder(ProgramEnder ender) { ender_ = std::move(ender); }
    // Seam for tests: where the random draws come from and what a re-seed
    // does. Unset, the window's own clock-seeded generator serves both.
    void SetRandomSource(std::function<double()> draw, std::function<void()> reseed) {
        draw_ = std::move(draw);
        reseed_ = std::move(reseed);
    }

    // The click procedure of a command button (Command1..Command4);
    // nullptr for any other control.
    static void (TestRun::*ClickProcedure(Control control))();

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
    void Deliver(void (TestRun::*procedure)());

    // The window system asks the window to close: the program ends with
    // status 0, unless it has ended already.
    void CloseRequested();

    // The toolkit's modal box with one OK button.
    virtual int PresentMessage(std::string_view prompt, std::string_view title, MessageIcon icon) = 0;
    // Stops Timer1 for good.
    virtual void StopTimer() = 0;
    // Takes the window off the screen.
    virtual void HideWindow() = 0;
    // Ends the toolkit's event loop with the status.
    virtual void EndEventLoop(int exitStatus) = 0;

private:
    void Finish(int exitStatus, bool hideWindow);

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

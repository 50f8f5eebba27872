#pragma once

#include <array>
#include <functional>

#include <QString>
#include <QWidget>

#include "run/controls.h"
#include "run/random_source.h"
#include "run/test_run.h"

class QButtonGroup;
class QTimer;

namespace infotest {

struct ControlLayout;

// Shows a modal box with one OK button over the window and returns the code
// of the button pressed (1 for OK).
using MessagePresenter =
    std::function<int(QWidget& window, const QString& prompt, const QString& title, MessageIcon icon)>;

// Ends the process's event loop with an exit status.
using ProgramEnder = std::function<void(int exitStatus)>;

// The real QMessageBox presenter, and the real end of the event loop.
int ShowMessageBox(QWidget& window, const QString& prompt, const QString& title, MessageIcon icon);
void ExitEventLoop(int exitStatus);

// The program's one window. It builds its controls from the layout table,
// runs the test logic on them, and delivers the clicks of Command1..Command4
// and the ticks of Timer1 to the logic's event procedures. Each control is
// a child widget whose object name is the control's name ("Label7"); Timer1
// is a child QTimer.
class Form1 final : public QWidget, public Controls {
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Seams for tests: how a message box is shown and how the program ends.
    void SetMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }
    void SetProgramEnder(ProgramEnder ender) { ender_ = std::move(ender); }
    // Seam for tests: where the random draws come from and what a re-seed
    // does. Unset, the window's own clock-seeded generator serves both.
    void SetRandomSource(std::function<double()> draw, std::function<void()> reseed) {
        draw_ = std::move(draw);
        reseed_ = std::move(reseed);
    }

    const TestRun& Run() const { return run_; }
    // Lets a test put the state where ordinary use cannot.
    TestRun& RunForTesting() { return run_; }
    bool Ended() const { return ended_; }

    // The widget of a control: the window itself for Form1, nullptr for Timer1.
    QWidget* Widget(Control control) const;

    // Controls
    void SetCaption(Control control, std::string_view text) override;
    std::string Caption(Control control) const override;
    void Move(Control control, double leftTwips, int topTwips) override;
    void SetBackColor(Control control, std::uint32_t bgr) override;
    void SetVisible(Control control, bool visible) override;
    bool Selected(Control option) const override;
    void ClearSelected(Control option) override;
    void SetTimerEnabled(bool enabled) override;
    int ShowMessage(std::string_view prompt, std::string_view title, MessageIcon icon) override;
    void EndProgram(int exitStatus) override;
    void Randomize() override;
    double Draw() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* CreateControl(const ControlLayout& row);
    void SetTabOrder();
    void UpdateFocusChain(Control control);
    void Deliver(void (TestRun::*procedure)());
    void Finish(int exitStatus);

    std::array<QWidget*, kControlCount> widgets_{};
    QTimer* timer_ = nullptr;
    QButtonGroup* options_ = nullptr;
    ClockRandom random_;
    std::function<double()> draw_;
    std::function<void()> reseed_;
    TestRun run_{*this};
    MessagePresenter presenter_ = ShowMessageBox;
    ProgramEnder ender_ = ExitEventLoop;
    bool ended_ = false;
};

}  // namespace infotest

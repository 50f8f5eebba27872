#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "run/controls.h"
#include "run/random_source.h"
#include "run/procedures.h"
#include "tests/model/window_view.h"

#include <gtest/gtest.h>

namespace infotest::testing {

// What one control shows, and a box with the window behind it (the fake
// leaves that empty): the model's records, so that one type serves both.
using model::ControlView;
using model::ShownBox;

// A recording stand-in for the window. It keeps the state of every control as
// the window would show it, records each message box and the end of the
// program, and hands out scripted random draws (then seeded ones). Any call
// after the end of the program counts as a violation.
class FakeControls : public Controls {
public:
    static constexpr int kOkCode = 1;

    // Draws past the scripted ones come from a generator with this seed.
    explicit FakeControls(std::uint64_t seed = 20261208);

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

    // The pupil clicks option n (1..4): it becomes the only selected one.
    void Choose(int n);

    // Draws returned before the seeded generator takes over.
    void ScriptDraws(const std::vector<double>& draws);

    const ControlView& View(Control control) const;
    int SelectedCount() const;

    std::vector<ShownBox> boxes;
    mutable std::vector<std::string> log;  // one line per call, for order checks
    bool timerEnabled = true;
    bool ended = false;
    int exitStatus = -1;
    mutable int callsAfterEnd = 0;
    int randomizeCount = 0;

private:
    void Record(std::string line) const;
    ControlView& At(Control control);

    std::array<ControlView, kControlCount> views_{};
    std::deque<double> scripted_;
    ClockRandom seeded_;
};

// The draw that makes Start pick this QuestionId (1..21) as a candidate.
double DrawForCandidate(int questionId);

// The draw that makes Start pick the option arrangement with this index
// (0..3, in the order of the LayoutRoll bands).
double DrawForLayout(int layout);

// Draws that make Start deal exactly this order, then this arrangement.
std::vector<double> DrawsForStart(const std::array<int, kQuestionCount>& order, int layout);

// The order 1, 2, ..., 21.
std::array<int, kQuestionCount> IdentityOrder();

// Lets the timer tick the way the window's would: only while it is enabled.
void TickSeconds(TestRun& run, FakeControls& fake, int seconds);

// The pupil's side of a run: Start, then for each question choose an option
// and Check, and Next while there is one.
void AnswerShownQuestion(TestRun& run, FakeControls& fake, bool right);
void AnswerQuestions(TestRun& run, FakeControls& fake, int count, int wrong);

// A run on a fresh fake window, with helpers to deal a known order.
class RunTest : public ::testing::Test {
protected:
    void StartWith(const std::array<int, kQuestionCount>& order, int layout = 0) {
        fake.ScriptDraws(DrawsForStart(order, layout));
        run.Command1_Click();
    }
    void StartInOrder() { StartWith(IdentityOrder()); }

    // The QuestionId shown now.
    int ShownId() const { return run.State().QuestionOrder.at(static_cast<std::size_t>(run.State().QuestionNo - 1)); }
    const ControlView& View(Control control) const { return fake.View(control); }
    std::string CaptionOf(Control control) const { return fake.View(control).caption; }

    FakeControls fake;
    TestRun run{fake};
};

}  // namespace infotest::testing

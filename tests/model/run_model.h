#pragma once

// A model of the whole test run, written from the rules of the test as a
// pupil meets them (the stages of a question, the gate of Next and Exit, the
// grade bands, the clock), not from the program's procedures. Given the
// pupil's actions and the random draws the window hands out, it predicts
// everything the window shows after each action. Side by side with the real
// logic it is the oracle of the random-sequence tests.

#include <array>
#include <cstdint>
#include <functional>

#include "tests/model/window_view.h"

namespace infotest::model {

// Deliberate faults, to prove that a comparison against the model can fail.
// Each drops one rule of the test.
enum class ModelFault {
    None,
    RepeatedCheckJudgesAgain,  // a judged question is judged on every Check
    GradeLeavesClockRunning,   // showing the grade does not stop the clock
    NextKeepsSelection,        // a new question keeps the old selection
};

struct ModelOptions {
    ModelFault fault = ModelFault::None;
    // Seconds on the clock when the window opens: 0, or near the end of the
    // clock's range to reach its overflow.
    std::int32_t openingSeconds = 0;
};

// The stages of the question shown (the Check press decides them).
enum class Stage {
    Unchecked,  // nothing accepted yet
    Pending,    // Check was pressed with nothing selected
    Checked,    // an answer was accepted; only now may Next and Exit go on
};

// The boxes a run can open.
enum class BoxKind { ChooseAnswer, PressCheckOnNext, PressCheckOnExit, ShowTeacher, ClockOverflow };
inline constexpr int kBoxKindCount = 5;

// Notable facts of a run so far, for the coverage of the random tests.
struct RunFacts {
    int highestPosition = 0;
    int grade = 0;                           // 2..5 once shown
    int layout = -1;                         // 0..3, the arrangement of the option buttons
    std::array<int, kBoxKindCount> boxes{};  // how many of each BoxKind were opened
};

class TestModel {
public:
    // The draws the window's random generator hands out, in order; each in
    // [0, 1).
    using DrawSource = std::function<double()>;

    explicit TestModel(DrawSource draws, ModelOptions options = {});

    // One action of the pupil; actions the window does not pass on, and every
    // action after the end of the program, change nothing.
    void Apply(const PupilEvent& event);

    // What the window shows now; `boxes` holds the boxes of the last action.
    const Observation& Observed() const { return observed_; }

    bool Started() const { return position_ > 0; }
    // The QuestionId asked at each position 1..21 (index 0 is position 1).
    const std::array<int, 21>& Order() const { return order_; }
    const RunFacts& Facts() const { return facts_; }

private:
    void Start();
    void Choose(int option);
    void Check();
    void Next();
    void Exit();
    void Tick();
    void End(int status);

    void ShowBox(BoxKind kind);
    void ShowQuestionAt(int position);
    void ClearSelection();
    double NextDraw();

    DrawSource draws_;
    ModelOptions options_;
    Observation observed_;
    int position_ = 0;  // 0 until Start
    Stage stage_ = Stage::Unchecked;
    int errors_ = 0;
    bool gradeShown_ = false;
    std::int64_t seconds_ = 0;
    std::array<int, 21> order_{};
    RunFacts facts_;
};

}  // namespace infotest::model

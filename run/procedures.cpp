#include "run/procedures.h"

#include <limits>
#include <stdexcept>

#include "run/random_source.h"

namespace infotest {
namespace {

// An internal error that stops the procedure where it happens. It never
// leaves TestRun: Dispatch turns it into an error box and the end of the
// program.
class RunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr std::uint32_t kLightGreen = 0xC0FFC0;

// Where a control goes to leave the window without being hidden.
constexpr double kOutOfViewLeft = 14000;
constexpr int kOutOfViewTop = 10000;

// Exit grades the test only from this many questions on.
constexpr int kQuestionsForGrade = 5;

// The four arrangements of the option buttons inside Frame1. In each, three
// buttons move to the given places, top place first; the fourth stays where
// the layout put it, at the top.
struct OptionLayout {
    int rollFrom;                // first LayoutRoll of the band; the band ends below the next one's
    std::array<int, 3> options;  // buttons for Top 900, 1500 and 2100
};
constexpr std::array<OptionLayout, 4> kOptionLayouts{{
    {50, {1, 2, 3}},
    {100, {2, 4, 1}},
    {150, {3, 1, 4}},
    {200, {4, 3, 2}},
}};
constexpr int kLayoutRollEnd = 250;
constexpr double kArrangedLeft = 350;
constexpr std::array<int, 3> kArrangedTops{900, 1500, 2100};

const char* GradeText(double percent) {
    if (percent <= 100 && percent >= 90) return "Ваша оценка: 5";
    if (percent < 90 && percent >= 75) return "Ваша оценка: 4";
    if (percent < 75 && percent >= 50) return "Ваша оценка: 3";
    return "Ваша оценка: 2";
}

}  // namespace

template <typename Body>
void TestRun::Dispatch(Body body) {
    if (ended_) return;
    std::string_view failure;
    std::string detail;
    try {
        body();
        return;
    } catch (const RunError& error) {
        detail = error.what();
    } catch (...) {
        failure = kErrorUnexpected;
    }
    if (ended_) return;
    try {
        controls_.ShowMessage(detail.empty() ? failure : std::string_view(detail), kErrorTitle, MessageIcon::Critical);
    } catch (...) {  // NOLINT(bugprone-empty-catch)
        // The box is only the report; the program ends either way.
    }
    End(kErrorExitStatus);
}

// One line each, as a table: the formatter would spread a body holding a
// lambda over three lines.
// clang-format off
void TestRun::Command1_Click() { Dispatch([this] { Start(); }); }
void TestRun::Command2_Click() { Dispatch([this] { Check(); }); }
void TestRun::Command3_Click() { Dispatch([this] { Exit(); }); }
void TestRun::Command4_Click() { Dispatch([this] { Next(); }); }
void TestRun::Timer1_Timer() { Dispatch([this] { Tick(); }); }
// clang-format on

void TestRun::SetValue(Control button, bool value) {
    if (!value) return;
    if (button == Control::Command1) Start();
    if (button == Control::Command4) Next();
}

int TestRun::QuestionOrderAt(int position) const {
    if (position < 1 || position > kQuestionCount) {
        throw RunError(std::string(kErrorIndexOutOfRange));
    }
    return state_.QuestionOrder[static_cast<std::size_t>(position - 1)];
}

bool TestRun::ShownQuestionJudged() const {
    return state_.CheckCount >= state_.QuestionNo && state_.EmptyCheckCount == 0;
}

void TestRun::Warn(std::string_view prompt, MessageIcon icon) {
    state_.MsgResult = std::to_string(controls_.ShowMessage(prompt, kAttentionTitle, icon));
}

void TestRun::End(int exitStatus) {
    ended_ = true;
    controls_.EndProgram(exitStatus);
}

void TestRun::ClearAllOptions() {
    for (int n = 1; n <= 4; ++n) controls_.ClearSelected(OptionControl(n));
}

void TestRun::Start() {
    controls_.Move(Control::Picture1, kOutOfViewLeft, kOutOfViewTop);
    controls_.SetBackColor(Control::Option1, kLightGreen);
    controls_.SetBackColor(Control::Option2, kLightGreen);
    controls_.SetBackColor(Control::Option3, kLightGreen);
    controls_.SetCaption(Control::Label8, "из 21");
    SetValue(Control::Command1, false);
    // Runs Next on the untouched state: it swaps the Start button for the
    // Next button and numbers position 1, but finds no question to show yet.
    SetValue(Control::Command4, true);
    controls_.Randomize();
    FillQuestionOrder();
    controls_.SetCaption(Control::Label7, "");
    state_.StartCount += 1;
    state_.LayoutRoll = ScaledDraw(controls_.Draw(), 200) + 50;
    ApplyOptionLayout();
    controls_.SetCaption(Control::Frame1, "Выберите ответ (изменения вносите до ПРОВЕРКИ)");
    for (int n = 1; n <= 4; ++n) controls_.SetVisible(OptionControl(n), true);
    ClearAllOptions();
    state_.QuestionNo = 1;
    controls_.SetCaption(Control::Label6, std::to_string(state_.QuestionNo));
    ShowQuestion();
}

// Draws until each of the 21 ids has a slot: a candidate goes into the next
// slot unless a slot already holds it.
void TestRun::FillQuestionOrder() {
    // The fill needs an empty order to finish; Start runs once per program,
    // so this only guards against drawing forever if it ever ran twice.
    state_.QuestionOrder.fill(0);
    for (state_.FillIndex = 1; state_.FillIndex <= kQuestionCount; ++state_.FillIndex) {
        bool duplicate = true;
        while (duplicate) {
            state_.Candidate = ScaledDraw(controls_.Draw(), kQuestionCount) + 1;
            duplicate = false;
            for (state_.ScanIndex = 1; state_.ScanIndex <= kQuestionCount; ++state_.ScanIndex) {
                if (QuestionOrderAt(state_.ScanIndex) == state_.Candidate) {
                    duplicate = true;
                    break;
                }
            }
        }
        state_.QuestionOrder[static_cast<std::size_t>(state_.FillIndex - 1)] =
            static_cast<std::uint8_t>(state_.Candidate);
    }
}

void TestRun::ApplyOptionLayout() {
    for (std::size_t band = 0; band < kOptionLayouts.size(); ++band) {
        const int from = kOptionLayouts[band].rollFrom;
        const int to = band + 1 < kOptionLayouts.size() ? kOptionLayouts[band + 1].rollFrom : kLayoutRollEnd;
        if (state_.StartCount == 1 && state_.LayoutRoll >= from && state_.LayoutRoll < to) {
            for (std::size_t place = 0; place < kArrangedTops.size(); ++place) {
                controls_.Move(OptionControl(kOptionLayouts[band].options[place]), kArrangedLeft, kArrangedTops[place]);
            }
        }
    }
}

void TestRun::ShowQuestion() {
    const Question* question = FindQuestion(QuestionOrderAt(state_.QuestionNo));
    if (question == nullptr) return;  // an unfilled slot: the captions stay
    controls_.SetCaption(Control::Label1, question->QuestionText);
    for (int n = 1; n <= 4; ++n) {
        controls_.SetCaption(OptionControl(n), question->OptionCaptions[static_cast<std::size_t>(n - 1)]);
    }
}

void TestRun::Next() {
    controls_.SetVisible(Control::Command1, false);
    controls_.SetVisible(Control::Command4, true);
    controls_.SetCaption(Control::Label7, "");
    if (!ShownQuestionJudged()) {
        Warn(kPressCheckOnNext, MessageIcon::Question);
        return;
    }
    // The last question has no next one; the button is out of the window
    // then, but a keyboard press must not take the position past 21 either.
    if (state_.QuestionNo >= kQuestionCount) return;
    ClearAllOptions();
    state_.QuestionNo += 1;
    controls_.SetCaption(Control::Label6, std::to_string(state_.QuestionNo));
    if (state_.QuestionNo == kQuestionCount) {
        controls_.Move(Control::Command4, kOutOfViewLeft, kOutOfViewTop);
    }
    ShowQuestion();
}

void TestRun::Check() {
    if (state_.EmptyCheckCount == 0) state_.CheckCount += 1;
    if (state_.CheckCount > state_.QuestionNo) {
        // Already judged, or the test has not started.
        state_.CheckCount = state_.QuestionNo;
        return;
    }
    bool anySelected = false;
    for (int n = 1; n <= 4; ++n) {
        if (controls_.Selected(OptionControl(n))) anySelected = true;
    }
    if (!anySelected) {
        Warn(kChooseAnswer, MessageIcon::Question);
        state_.EmptyCheckCount += 1;
        return;
    }
    for (int q = 1; q <= kQuestionCount; ++q) {
        const bool shown = QuestionOrderAt(state_.QuestionNo) == q;
        const bool rightChosen = controls_.Selected(OptionControl(FindQuestion(q)->CorrectOption));
        if (shown && !rightChosen) state_.ErrorCount += 1;
    }
    if (state_.ErrorCount < 1) controls_.SetCaption(Control::Label4, "0");
    controls_.SetCaption(Control::Label4, std::to_string(state_.ErrorCount));
    controls_.SetCaption(Control::Label7, kAnswerAccepted);
    if (controls_.Caption(Control::Label4).empty()) controls_.SetCaption(Control::Label4, "0");
    state_.EmptyCheckCount = 0;
}

void TestRun::Exit() {
    if (!ShownQuestionJudged()) {
        Warn(kPressCheckOnExit, MessageIcon::Information);
        return;
    }
    if (state_.QuestionNo < kQuestionsForGrade) {
        End(0);
        return;
    }
    state_.ExitCount += 1;
    if (state_.QuestionNo >= kQuestionsForGrade && state_.ExitCount > 1) {
        End(0);
        return;
    }
    controls_.SetVisible(Control::Command4, false);
    controls_.SetVisible(Control::Label7, false);
    controls_.SetTimerEnabled(false);
    controls_.SetVisible(Control::Label14, true);
    const double percent = static_cast<double>(state_.QuestionNo - state_.ErrorCount) /
                           static_cast<double>(state_.QuestionNo) * 100.0;
    controls_.SetCaption(Control::Label14, GradeText(percent));
    Warn(kShowTeacher, MessageIcon::Question);
}

void TestRun::Tick() {
    if (state_.ElapsedSeconds == std::numeric_limits<std::int32_t>::max()) {
        throw RunError(std::string(kErrorClockOverflow));
    }
    state_.ElapsedSeconds += 1;
    const std::int32_t minutes = state_.ElapsedSeconds / 60;
    const std::int32_t seconds = state_.ElapsedSeconds - 60 * minutes;
    controls_.SetCaption(Control::Label11, std::to_string(minutes));
    controls_.SetCaption(Control::Label13, std::to_string(seconds));
}

}  // namespace infotest

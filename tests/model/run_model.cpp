#include "tests/model/run_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "bank/question_bank.h"

namespace infotest::model {
namespace {

constexpr int kQuestions = 21;
constexpr int kLastPosition = kQuestions;
constexpr int kFewestForAGrade = 5;

// The option button that carries the right answer of each question, by
// QuestionId. Kept here rather than read from the bank, so that a slip in
// the bank's key shows up as a disagreement too.
constexpr std::array<int, kQuestions + 1> kRightOption{
    0, 4, 2, 3, 3, 3, 4, 2, 3, 4, 1, 4, 2, 4, 3, 1, 3, 4, 3, 1, 2, 2,
};

// Where Start puts the option buttons: for each of the four arrangements,
// the buttons at Top 900, 1500 and 2100 (Left 350); the fourth stays in its
// place at the top, Left 360, Top 360.
constexpr std::array<std::array<int, 3>, 4> kArrangements{{
    {1, 2, 3},
    {2, 4, 1},
    {3, 1, 4},
    {4, 3, 2},
}};
constexpr std::array<int, 3> kArrangedTops{900, 1500, 2100};
constexpr double kArrangedLeft = 350;

// Out of the client area: where the title image goes at Start and the Next
// button at the last question.
constexpr double kAwayLeft = 14000;
constexpr int kAwayTop = 10000;

constexpr std::string_view kAttention = "Внимание!";
constexpr std::string_view kFrameCaption = "Выберите ответ (изменения вносите до ПРОВЕРКИ)";
constexpr std::string_view kAccepted = "Ответ принят";

struct BoxText {
    std::string_view prompt;
    std::string_view title;
    MessageIcon icon;
};

constexpr std::array<BoxText, kBoxKindCount> kBoxes{{
    {"Выберите ответ", kAttention, MessageIcon::Question},
    {"Нажмите кнопку ПРОВЕРИТЬ", kAttention, MessageIcon::Question},
    {"Нажмите кнопку ПРОВЕРИТЬ    ", kAttention, MessageIcon::Information},
    {"Покажите результат учителю", kAttention, MessageIcon::Question},
    {"Внутренняя ошибка программы: переполнение счётчика времени", "Ошибка", MessageIcon::Critical},
}};

// The grade for `asked` questions with `wrong` of them answered wrongly, on
// the shares 90 %, 75 % and 50 % of right answers, in exact arithmetic.
int Grade(int asked, int wrong) {
    const int right = asked - wrong;
    if (100 * right >= 90 * asked) return 5;
    if (100 * right >= 75 * asked) return 4;
    if (100 * right >= 50 * asked) return 3;
    return 2;
}

}  // namespace

TestModel::TestModel(DrawSource draws, ModelOptions options)
    : draws_(std::move(draws)), options_(options), seconds_(options.openingSeconds) {
    observed_.window = OpeningWindow();
}

void TestModel::Apply(const PupilEvent& event) {
    observed_.boxes.clear();
    if (observed_.ended || !WindowTakes(observed_.window, event)) return;
    switch (event.action) {
        case Action::Start: Start(); break;
        case Action::Choose: Choose(event.option); break;
        case Action::Check: Check(); break;
        case Action::NextClick:
        case Action::NextKey: Next(); break;
        case Action::Exit: Exit(); break;
        case Action::Tick: Tick(); break;
        case Action::Close: End(0); break;
    }
}

double TestModel::NextDraw() {
    const double draw = draws_();
    if (!(draw >= 0 && draw < 1)) throw std::logic_error("a random draw outside [0, 1)");
    return draw;
}

void TestModel::ShowBox(BoxKind kind) {
    const BoxText& text = kBoxes.at(static_cast<std::size_t>(kind));
    observed_.boxes.push_back({std::string(text.prompt), std::string(text.title), text.icon, observed_.window});
    ++facts_.boxes.at(static_cast<std::size_t>(kind));
}

void TestModel::End(int status) {
    observed_.ended = true;
    observed_.exitStatus = status;
}

void TestModel::ClearSelection() {
    for (int n = 1; n <= 4; ++n) observed_.window[OptionControl(n)].selected = false;
}

void TestModel::ShowQuestionAt(int position) {
    WindowView& window = observed_.window;
    const Question& question = QuestionBank()[static_cast<std::size_t>(order_.at(position - 1) - 1)];
    window[Control::Label1].caption = std::string(question.QuestionText);
    for (int n = 1; n <= 4; ++n)
        window[OptionControl(n)].caption = std::string(question.OptionCaptions.at(static_cast<std::size_t>(n - 1)));
    window[Control::Label6].caption = std::to_string(position);
    position_ = position;
    stage_ = Stage::Unchecked;
    facts_.highestPosition = std::max(facts_.highestPosition, position);
}

// The title screen gives way to the first question: the title image leaves
// the window, Next takes the place of Start, the order of the questions and
// the arrangement of the option buttons are drawn.
void TestModel::Start() {
    WindowView& window = observed_.window;
    window[Control::Picture1].left = kAwayLeft;
    window[Control::Picture1].top = kAwayTop;
    window[Control::Label8].caption = "из 21";
    window[Control::Command1].visible = false;
    window[Control::Command4].visible = true;
    window[Control::Label7].caption.clear();

    // Each draw names a question; one already dealt is drawn again.
    ++observed_.reseeds;
    std::array<bool, kQuestions + 1> dealt{};
    for (int filled = 0; filled < kQuestions;) {
        const auto id = static_cast<int>(std::floor(NextDraw() * kQuestions)) + 1;
        if (dealt.at(static_cast<std::size_t>(id))) continue;
        dealt.at(static_cast<std::size_t>(id)) = true;
        order_.at(static_cast<std::size_t>(filled++)) = id;
    }

    // One draw picks one of four equally likely arrangements.
    const auto roll = static_cast<int>(std::floor(NextDraw() * 200)) + 50;
    facts_.layout = (roll - 50) / 50;
    const auto& arranged = kArrangements.at(static_cast<std::size_t>(facts_.layout));
    for (std::size_t place = 0; place < arranged.size(); ++place) {
        ControlView& option = window[OptionControl(arranged.at(place))];
        option.left = kArrangedLeft;
        option.top = kArrangedTops.at(place);
    }

    window[Control::Frame1].caption = std::string(kFrameCaption);
    for (int n = 1; n <= 4; ++n) window[OptionControl(n)].visible = true;
    ClearSelection();
    ShowQuestionAt(1);
}

void TestModel::Choose(int option) {
    for (int n = 1; n <= 4; ++n) observed_.window[OptionControl(n)].selected = n == option;
}

// Each question is judged once; a Check with nothing selected is refused and
// keeps the question open.
void TestModel::Check() {
    if (!Started()) return;
    if (stage_ == Stage::Checked && options_.fault != ModelFault::RepeatedCheckJudgesAgain) return;
    WindowView& window = observed_.window;
    int selected = 0;
    for (int n = 1; n <= 4; ++n)
        if (window[OptionControl(n)].selected) selected = n;
    if (selected == 0) {
        ShowBox(BoxKind::ChooseAnswer);
        stage_ = Stage::Pending;
        return;
    }
    const int shown = order_.at(static_cast<std::size_t>(position_ - 1));
    if (selected != kRightOption.at(static_cast<std::size_t>(shown))) ++errors_;
    window[Control::Label4].caption = std::to_string(errors_);
    window[Control::Label7].caption = std::string(kAccepted);
    stage_ = Stage::Checked;
}

// Next always swaps Start for itself and clears the status line; it moves on
// only from a judged question, and never past the last one.
void TestModel::Next() {
    WindowView& window = observed_.window;
    window[Control::Command1].visible = false;
    window[Control::Command4].visible = true;
    window[Control::Label7].caption.clear();
    if (stage_ != Stage::Checked) {
        ShowBox(BoxKind::PressCheckOnNext);
        return;
    }
    if (position_ == kLastPosition) return;
    if (options_.fault != ModelFault::NextKeepsSelection) ClearSelection();
    if (position_ + 1 == kLastPosition) {
        window[Control::Command4].left = kAwayLeft;
        window[Control::Command4].top = kAwayTop;
    }
    ShowQuestionAt(position_ + 1);
}

// Exit waits for the shown question to be judged; before five questions it
// ends the program, from five on the first press shows the grade and the
// second ends the program.
void TestModel::Exit() {
    if (Started() && stage_ != Stage::Checked) {
        ShowBox(BoxKind::PressCheckOnExit);
        return;
    }
    if (position_ < kFewestForAGrade || gradeShown_) {
        End(0);
        return;
    }
    WindowView& window = observed_.window;
    window[Control::Command4].visible = false;
    window[Control::Label7].visible = false;
    if (options_.fault != ModelFault::GradeLeavesClockRunning) window.timerEnabled = false;
    window[Control::Label14].visible = true;
    facts_.grade = Grade(position_, errors_);
    window[Control::Label14].caption = "Ваша оценка: " + std::to_string(facts_.grade);
    gradeShown_ = true;
    ShowBox(BoxKind::ShowTeacher);
}

// The clock counts the seconds since the window opened; it never wraps: the
// tick past its range is an internal error that ends the program.
void TestModel::Tick() {
    if (seconds_ == std::numeric_limits<std::int32_t>::max()) {
        ShowBox(BoxKind::ClockOverflow);
        End(1);
        return;
    }
    ++seconds_;
    observed_.window[Control::Label11].caption = std::to_string(seconds_ / 60);
    observed_.window[Control::Label13].caption = std::to_string(seconds_ % 60);
}

}  // namespace infotest::model

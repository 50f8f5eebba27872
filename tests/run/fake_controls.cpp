#include "tests/run/fake_controls.h"

#include <stdexcept>

#include "bank/question_bank.h"

namespace infotest::testing {

FakeControls::FakeControls(std::uint64_t seed) : seeded_(seed) {
    // The state of the window when it opens, for what the logic touches.
    At(Control::Label2).caption = "2009-2010 уч. год";
    At(Control::Label3).caption = "Ошибок:";
    At(Control::Label5).caption = "Вопрос:";
    At(Control::Label10).caption = "мин  :  сек";
    At(Control::Label12).caption = ":";
    At(Control::Command1).caption = "Начать тест";
    At(Control::Command2).caption = "Проверить";
    At(Control::Command3).caption = "Выход";
    At(Control::Command4).caption = "Следующий вопрос";
    At(Control::Picture1).left = 720;
    At(Control::Picture1).top = 1200;
    At(Control::Command4).left = 4560;
    At(Control::Command4).top = 5400;
    At(Control::Command4).visible = false;
    At(Control::Label14).visible = false;
    for (int n = 1; n <= 4; ++n) {
        ControlView& option = At(OptionControl(n));
        option.left = 360;
        option.top = 360;
        option.visible = false;
    }
}

void FakeControls::Record(std::string line) const {
    if (ended) ++callsAfterEnd;
    log.push_back(std::move(line));
}

ControlView& FakeControls::At(Control control) { return views_.at(static_cast<std::size_t>(control)); }

const ControlView& FakeControls::View(Control control) const { return views_.at(static_cast<std::size_t>(control)); }

void FakeControls::SetCaption(Control control, std::string_view text) {
    Record(std::string(ControlName(control)) + ".caption=" + std::string(text));
    At(control).caption = std::string(text);
}

std::string FakeControls::Caption(Control control) const {
    Record(std::string(ControlName(control)) + ".caption?");
    return View(control).caption;
}

void FakeControls::Move(Control control, double leftTwips, int topTwips) {
    Record(std::string(ControlName(control)) + ".move");
    At(control).left = leftTwips;
    At(control).top = topTwips;
}

void FakeControls::SetBackColor(Control control, std::uint32_t bgr) {
    Record(std::string(ControlName(control)) + ".backColor");
    At(control).backColor = bgr;
}

void FakeControls::SetVisible(Control control, bool visible) {
    Record(std::string(ControlName(control)) + (visible ? ".show" : ".hide"));
    At(control).visible = visible;
}

bool FakeControls::Selected(Control option) const {
    Record(std::string(ControlName(option)) + ".selected?");
    return View(option).selected;
}

void FakeControls::ClearSelected(Control option) {
    Record(std::string(ControlName(option)) + ".clear");
    At(option).selected = false;
}

void FakeControls::SetTimerEnabled(bool enabled) {
    Record(enabled ? "Timer1.enable" : "Timer1.disable");
    timerEnabled = enabled;
}

int FakeControls::ShowMessage(std::string_view prompt, std::string_view title, MessageIcon icon) {
    Record("box:" + std::string(prompt));
    boxes.push_back({std::string(prompt), std::string(title), icon, {}});
    return kOkCode;
}

void FakeControls::EndProgram(int status) {
    Record("end");
    ended = true;
    exitStatus = status;
}

void FakeControls::Randomize() {
    Record("randomize");
    ++randomizeCount;
}

double FakeControls::Draw() {
    if (scripted_.empty()) return seeded_.Draw();
    const double draw = scripted_.front();
    scripted_.pop_front();
    return draw;
}

void FakeControls::Choose(int n) {
    for (int other = 1; other <= 4; ++other) At(OptionControl(other)).selected = other == n;
}

void FakeControls::ScriptDraws(const std::vector<double>& draws) {
    scripted_.insert(scripted_.end(), draws.begin(), draws.end());
}

int FakeControls::SelectedCount() const {
    int count = 0;
    for (int n = 1; n <= 4; ++n) count += View(OptionControl(n)).selected ? 1 : 0;
    return count;
}

double DrawForCandidate(int questionId) { return (questionId - 1 + 0.5) / kQuestionCount; }

double DrawForLayout(int layout) { return (layout * 50 + 25) / 200.0; }

std::vector<double> DrawsForStart(const std::array<int, kQuestionCount>& order, int layout) {
    std::vector<double> draws;
    draws.reserve(order.size() + 1);
    for (int id : order) draws.push_back(DrawForCandidate(id));
    draws.push_back(DrawForLayout(layout));
    return draws;
}

std::array<int, kQuestionCount> IdentityOrder() {
    std::array<int, kQuestionCount> order{};
    for (int i = 0; i < kQuestionCount; ++i) order[static_cast<std::size_t>(i)] = i + 1;
    return order;
}

void TickSeconds(TestRun& run, FakeControls& fake, int seconds) {
    for (int i = 0; i < seconds && fake.timerEnabled && !fake.ended; ++i) run.Timer1_Timer();
}

void AnswerShownQuestion(TestRun& run, FakeControls& fake, bool right) {
    const int position = run.State().QuestionNo;
    if (position < 1 || position > kQuestionCount) throw std::logic_error("no question is shown");
    const Question* shown = FindQuestion(run.State().QuestionOrder[static_cast<std::size_t>(position - 1)]);
    if (shown == nullptr) throw std::logic_error("the shown slot holds no question");
    fake.Choose(right ? shown->CorrectOption : shown->CorrectOption % 4 + 1);
    run.Command2_Click();
}

void AnswerQuestions(TestRun& run, FakeControls& fake, int count, int wrong) {
    for (int i = 0; i < count; ++i) {
        if (i > 0) run.Command4_Click();
        AnswerShownQuestion(run, fake, i >= wrong);
    }
}

}  // namespace infotest::testing

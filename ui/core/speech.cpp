#include "ui/core/speech.h"

#include "bank/question_bank.h"
#include "run/procedures.h"

namespace infotest {

SpokenCaptions SpokenCaptionsOf(const Controls& window) {
    return SpokenCaptions{window.Caption(Control::Label1), window.Caption(Control::Label6),
                          window.Caption(Control::Label7), window.Caption(Control::Label4),
                          window.Caption(Control::Label14)};
}

std::string AnswersDescription(const SpokenCaptions& shown) {
    if (shown.number.empty() || shown.question.empty()) return {};
    return "Вопрос " + shown.number + " из " + std::to_string(kQuestionCount) + ". " + shown.question;
}

std::string AnnouncementAfter(const SpokenCaptions& before, const SpokenCaptions& after) {
    if (after.grade != before.grade && !after.grade.empty()) return after.grade;
    if (after.question != before.question || after.number != before.number) return AnswersDescription(after);
    if (after.accepted != before.accepted && after.accepted == kAnswerAccepted)
        return std::string(kAnswerAccepted) + ". Ошибок: " + after.errors;
    return {};
}

}  // namespace infotest

#pragma once

#include <array>
#include <span>
#include <string_view>

namespace infotest {

// A bank entry is identified by its QuestionId, 1..21.
inline constexpr int kQuestionCount = 21;

// One multiple-choice question. The right answer is bound to an option button
// by number (1..4, for Option1..Option4), not to a place on screen, so it stays
// right whatever arrangement of the buttons a run uses.
struct Question {
    std::string_view QuestionText;
    std::array<std::string_view, 4> OptionCaptions;
    int CorrectOption;
};

// The whole bank, QuestionId 1 first.
std::span<const Question, kQuestionCount> QuestionBank();

// The entry with this id, or nullptr for any id outside 1..21 (0 is the id an
// unfilled slot of the question order holds).
const Question* FindQuestion(int questionId);

}  // namespace infotest

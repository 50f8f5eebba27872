#include "bank/question_bank.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace infotest {
namespace {

// Characters, not bytes: the texts are UTF-8 and mostly Cyrillic.
std::size_t CodePoints(std::string_view text) {
    std::size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

std::size_t RunsOfFourBlanks(std::string_view text) {
    std::size_t runs = 0;
    for (std::size_t at = text.find("    "); at != std::string_view::npos; at = text.find("    ", at + 4)) {
        ++runs;
    }
    return runs;
}

// Whether every byte sequence in the text is a well-formed UTF-8 character.
bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80             ? 1
                                   : (lead & 0xE0) == 0xC0 ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                   : (lead & 0xF8) == 0xF0 ? 4
                                                           : 0;
        if (length == 0 || at + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return false;
        }
        at += length;
    }
    return true;
}

// The window decodes the texts as UTF-8. A compiler that stored the literals
// in another encoding (a Windows code page, say) would pass every comparison
// above, since both sides change alike, yet the window would show garbage.
TEST(QuestionBank, TextsAreStoredAsUtf8) {
    // Spelled as bytes, which the compiler copies as they are.
    EXPECT_EQ(FindQuestion(7)->OptionCaptions[3],
              "\xD0\xA2\xD1\x80\xD1\x91\xD1\x85\xD0\xBC\xD0\xB5\xD1\x80\xD0\xBD\xD0\xB0\xD1\x8F");
    for (const Question& question : QuestionBank()) {
        EXPECT_TRUE(IsUtf8(question.QuestionText)) << "entry with " << question.OptionCaptions[0];
        for (std::string_view caption : question.OptionCaptions) EXPECT_TRUE(IsUtf8(caption));
    }
}

TEST(QuestionBank, FindsEveryIdFromOneToTwentyOne) {
    for (int id = 1; id <= kQuestionCount; ++id) {
        const Question* question = FindQuestion(id);
        ASSERT_NE(question, nullptr) << id;
        EXPECT_EQ(question, &QuestionBank()[static_cast<std::size_t>(id - 1)]);
    }
}

TEST(QuestionBank, FindsNoEntryOutsideOneToTwentyOne) {
    EXPECT_EQ(FindQuestion(0), nullptr);
    EXPECT_EQ(FindQuestion(22), nullptr);
    EXPECT_EQ(FindQuestion(-1), nullptr);
    EXPECT_EQ(FindQuestion(255), nullptr);
}

TEST(QuestionBank, EveryEntryHasATextFourDistinctCaptionsAndOneRightOption) {
    for (const Question& question : QuestionBank()) {
        EXPECT_FALSE(question.QuestionText.empty());
        std::set<std::string_view> captions(question.OptionCaptions.begin(), question.OptionCaptions.end());
        EXPECT_EQ(captions.size(), 4u) << question.QuestionText;
        EXPECT_EQ(captions.count(""), 0u) << question.QuestionText;
        EXPECT_GE(question.CorrectOption, 1);
        EXPECT_LE(question.CorrectOption, 4);
    }
}

TEST(QuestionBank, RightAnswersStandOnTheirButtons) {
    // Listed by button, the way a teacher checks the answer key.
    const std::array<std::set<int>, 4> idsByButton{{
        {10, 15, 19},
        {2, 7, 12, 20, 21},
        {3, 4, 5, 8, 14, 16, 18},
        {1, 6, 9, 11, 13, 17},
    }};
    for (int id = 1; id <= kQuestionCount; ++id) {
        const int option = FindQuestion(id)->CorrectOption;
        EXPECT_EQ(idsByButton[static_cast<std::size_t>(option - 1)].count(id), 1u) << "entry " << id;
    }
}

TEST(QuestionBank, RightAnswerCaptionsAreTheExpectedOnes) {
    auto rightCaption = [](int id) {
        const Question* q = FindQuestion(id);
        return q->OptionCaptions[static_cast<std::size_t>(q->CorrectOption - 1)];
    };
    EXPECT_EQ(rightCaption(1), "1 бит");
    EXPECT_EQ(rightCaption(2), "8 бит");
    EXPECT_EQ(rightCaption(5), "2 байта");
    EXPECT_EQ(rightCaption(11), "векторной");
    EXPECT_EQ(rightCaption(12), "растровой");
    EXPECT_EQ(rightCaption(13), "БВД");
    EXPECT_EQ(rightCaption(21), "байт, килобайт, мегабайт, гигабайт");
}

TEST(QuestionBank, FirstQuestionEndsInOneBlank) {
    const std::string_view text = FindQuestion(1)->QuestionText;
    EXPECT_EQ(CodePoints(text), 64u);
    EXPECT_TRUE(text.ends_with("... "));
    EXPECT_FALSE(text.ends_with("  "));
}

TEST(QuestionBank, ExtensionsQuestionSeparatesItsItemsByFourBlanks) {
    const std::string_view text = FindQuestion(13)->QuestionText;
    EXPECT_EQ(CodePoints(text), 126u);
    EXPECT_EQ(RunsOfFourBlanks(text), 5u);
    EXPECT_EQ(text.find("     "), std::string_view::npos);
    EXPECT_NE(text.find("А) .doc    Б) .gif"), std::string_view::npos);
}

TEST(QuestionBank, EntriesElevenAndTwelveShareCaptionsButNotTheirAnswer) {
    const Question& eleven = *FindQuestion(11);
    const Question& twelve = *FindQuestion(12);
    EXPECT_EQ(std::set<std::string_view>(eleven.OptionCaptions.begin(), eleven.OptionCaptions.end()),
              std::set<std::string_view>(twelve.OptionCaptions.begin(), twelve.OptionCaptions.end()));
    EXPECT_EQ(eleven.OptionCaptions[0], "растровой");
    EXPECT_EQ(twelve.OptionCaptions[1], "растровой");
    EXPECT_EQ(twelve.CorrectOption, 2);
    EXPECT_EQ(eleven.CorrectOption, 4);
}

TEST(QuestionBank, KeepsTheLetterYoWhereItIsWritten) {
    EXPECT_EQ(FindQuestion(7)->OptionCaptions[3], "Трёхмерная");
    EXPECT_NE(FindQuestion(16)->QuestionText.find("объём"), std::string_view::npos);
    EXPECT_NE(FindQuestion(3)->QuestionText.find("ее восприятия"), std::string_view::npos);
}

}  // namespace
}  // namespace infotest

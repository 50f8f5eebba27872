#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "bank/question_bank.h"
#include "run/controls.h"

namespace infotest {

// The record that all event procedures share. Counters are whole numbers
// that start at 0; the loop counters of the question-order fill live here
// too, as the procedures read and write the record directly.
struct TestState {
    int QuestionNo = 0;       // position 1..21 of the question shown
    int ErrorCount = 0;       // wrong answers so far
    int CheckCount = 0;       // equals QuestionNo once the shown question is checked
    int EmptyCheckCount = 0;  // Check presses with nothing selected since the last answer
    int ExitCount = 0;        // Exit presses that got past the five-question gate
    int LayoutRoll = 0;       // 50..249, picks the arrangement of the option buttons
    int StartCount = 0;
    int FillIndex = 0;
    int Candidate = 0;
    int ScanIndex = 0;
    std::array<std::uint8_t, kQuestionCount> QuestionOrder{};  // position 1..21 -> QuestionId
    std::string MsgResult;                                     // result code of the last message box, never read
    std::int32_t ElapsedSeconds = 0;
};

// Texts of the boxes the pupil sees when acting out of turn.
inline constexpr std::string_view kAttentionTitle = "Внимание!";
inline constexpr std::string_view kChooseAnswer = "Выберите ответ";
// Label7 once Check has judged the answer.
inline constexpr std::string_view kAnswerAccepted = "Ответ принят";
inline constexpr std::string_view kPressCheckOnNext = "Нажмите кнопку ПРОВЕРИТЬ";
inline constexpr std::string_view kPressCheckOnExit = "Нажмите кнопку ПРОВЕРИТЬ    ";
inline constexpr std::string_view kShowTeacher = "Покажите результат учителю";

// Texts of the box for an internal error, which ordinary use cannot reach.
inline constexpr std::string_view kErrorTitle = "Ошибка";
inline constexpr std::string_view kErrorIndexOutOfRange =
    "Внутренняя ошибка программы: индекс вопроса вне диапазона 1..21";
inline constexpr std::string_view kErrorUnexpected = "Внутренняя ошибка программы";
inline constexpr std::string_view kErrorClockOverflow = "Внутренняя ошибка программы: переполнение счётчика времени";
inline constexpr int kErrorExitStatus = 1;

// The test logic: the five event procedures of the window and the state they
// share. The window calls the procedures; they act on it only through
// Controls. A procedure never throws: an internal error is shown in a box and
// ends the program. Once the program has ended, every procedure does nothing.
class TestRun {
public:
    explicit TestRun(Controls& controls) : controls_(controls) {}

    void Command1_Click();  // Start
    void Command2_Click();  // Check
    void Command3_Click();  // Exit
    void Command4_Click();  // Next
    void Timer1_Timer();    // clock tick

    bool Ended() const { return ended_; }
    const TestState& State() const { return state_; }

    // Lets a test put the state where ordinary use cannot, e.g. at the end of
    // the clock's range.
    TestState& StateForTesting() { return state_; }

private:
    void Start();
    void Check();
    void Exit();
    void Next();
    void Tick();
    void ShowQuestion();

    // Setting a command button's value to true runs its click procedure at
    // once, nested in the caller; false does nothing.
    void SetValue(Control button, bool value);
    void ClearAllOptions();
    void ApplyOptionLayout();
    void FillQuestionOrder();
    bool ShownQuestionJudged() const;
    void Warn(std::string_view prompt, MessageIcon icon);
    void End(int exitStatus);

    // The question order at a position, checked against 1..21.
    int QuestionOrderAt(int position) const;

    template <typename Body>
    void Dispatch(Body body);

    Controls& controls_;
    TestState state_;
    bool ended_ = false;
};

}  // namespace infotest

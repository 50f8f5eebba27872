// The window at work: Start and its nested Next, the option group, message
// boxes, the timer and the end of the program. The keyboard, the focus and
// Form1 as the window are checked by the suite every window runs
// (model_window_test.cpp).

#include <algorithm>

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "tests/ui/qt/form1_fixture.h"

namespace infotest::testing {
namespace {

using StartTest = Form1Test;
using OptionTest = Form1Test;
using MessageBoxTest = Form1Test;
using TimerTest = Form1Test;
using EndTest = Form1Test;

QString LabelText(QWidget* widget) { return qobject_cast<QLabel*>(widget)->text(); }

TEST_F(StartTest, PressingStartRunsTheNestedNextOnTheHiddenNextButton) {
    ASSERT_FALSE(Find(Control::Command4)->isVisible());
    Start();
    // Only the nested Next swaps the buttons and numbers the first position.
    EXPECT_FALSE(Find(Control::Command1)->isVisible());
    EXPECT_TRUE(Find(Control::Command4)->isVisible());
    EXPECT_EQ(Find(Control::Command4)->pos(), QPoint(304, 360));
    EXPECT_EQ(LabelText(Find(Control::Label6)), QStringLiteral("1"));
    EXPECT_EQ(LabelText(Find(Control::Label7)), QString());
    EXPECT_EQ(LabelText(Find(Control::Label8)), QStringLiteral("из 21"));
    EXPECT_EQ(form->Run().State().QuestionNo, 1);
    EXPECT_EQ(form->Run().State().StartCount, 1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(exits.empty());
}

TEST_F(StartTest, StartMovesTheTitleImageAwayAndShowsTheFirstQuestion) {
    Start();
    EXPECT_EQ(Find(Control::Picture1)->pos(), QPoint(933, 667));
    EXPECT_TRUE(Find(Control::Picture1)->isVisible());
    EXPECT_FALSE(LabelText(Find(Control::Label1)).isEmpty());
    EXPECT_EQ(form->childAt(QPoint(400, 100)), Find(Control::Label1));
    int topPlace = 0;
    std::vector<int> tops;
    for (int n = 1; n <= 4; ++n) {
        QWidget* option = Find(OptionControl(n));
        EXPECT_TRUE(option->isVisible()) << n;
        EXPECT_FALSE(qobject_cast<QRadioButton*>(option)->text().isEmpty()) << n;
        if (option->pos() == QPoint(24, 24)) {
            ++topPlace;
        } else {
            EXPECT_EQ(option->x(), 23) << n;  // 350 twips
            tops.push_back(option->y());
        }
    }
    EXPECT_EQ(topPlace, 1);
    std::sort(tops.begin(), tops.end());
    EXPECT_EQ(tops, (std::vector<int>{60, 100, 140}));
    EXPECT_TRUE(SelectedOptions().empty());
}

TEST_F(OptionTest, AClickSelectsOneOptionAndClearsTheOthers) {
    Start();
    Click(Control::Option2);
    EXPECT_EQ(SelectedOptions(), std::vector<int>{2});
    EXPECT_TRUE(form->Selected(Control::Option2));
    Click(Control::Option4);
    EXPECT_EQ(SelectedOptions(), std::vector<int>{4});
    EXPECT_FALSE(form->Selected(Control::Option2));
}

TEST_F(OptionTest, ClearingTheSelectedOptionLeavesNoneSelected) {
    Start();
    Click(Control::Option3);
    ASSERT_EQ(SelectedOptions(), std::vector<int>{3});
    form->ClearSelected(Control::Option3);
    EXPECT_TRUE(SelectedOptions().empty());
    for (int n = 1; n <= 4; ++n) EXPECT_FALSE(form->Selected(OptionControl(n))) << n;
    // The group is exclusive again, and its buttons still announce themselves
    // as radio buttons.
    Click(Control::Option1);
    Click(Control::Option2);
    EXPECT_EQ(SelectedOptions(), std::vector<int>{2});
    auto* option = Find<QRadioButton>(Control::Option1);
    ASSERT_NE(option->group(), nullptr);
    EXPECT_TRUE(option->group()->exclusive());
    EXPECT_TRUE(option->autoExclusive());
    // Clearing an option that is not selected changes nothing.
    form->ClearSelected(Control::Option1);
    EXPECT_EQ(SelectedOptions(), std::vector<int>{2});
}

TEST_F(OptionTest, NextShowsTheFollowingQuestionWithNoOptionSelected) {
    Start();
    Click(Control::Option1);
    Click(Control::Command2);
    Click(Control::Command4);
    EXPECT_EQ(LabelText(Find(Control::Label6)), QStringLiteral("2"));
    EXPECT_TRUE(SelectedOptions().empty());
}

TEST_F(OptionTest, AClickOnAnOptionRunsNoProcedure) {
    Start();
    const TestState before = form->Run().State();
    const QString label4 = LabelText(Find(Control::Label4));
    const QString label7 = LabelText(Find(Control::Label7));
    for (int n = 1; n <= 4; ++n) {
        Click(OptionControl(n));
        Find<QRadioButton>(OptionControl(n))->click();
    }
    const TestState& after = form->Run().State();
    EXPECT_EQ(after.QuestionNo, before.QuestionNo);
    EXPECT_EQ(after.CheckCount, before.CheckCount);
    EXPECT_EQ(after.EmptyCheckCount, before.EmptyCheckCount);
    EXPECT_EQ(after.ErrorCount, before.ErrorCount);
    EXPECT_EQ(after.ExitCount, before.ExitCount);
    EXPECT_EQ(after.MsgResult, before.MsgResult);
    EXPECT_EQ(LabelText(Find(Control::Label4)), label4);
    EXPECT_EQ(LabelText(Find(Control::Label7)), label7);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(exits.empty());
}

TEST_F(MessageBoxTest, RefusalsGoThroughThePresenterWithTheirTextsAndIcons) {
    Start();
    Click(Control::Command2);  // nothing selected
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].prompt, "Выберите ответ");
    EXPECT_EQ(boxes[0].title, "Внимание!");
    EXPECT_EQ(boxes[0].icon, MessageIcon::Question);
    EXPECT_EQ(form->Run().State().MsgResult, "1");
    Click(Control::Command4);
    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_EQ(boxes[1].prompt, "Нажмите кнопку ПРОВЕРИТЬ");
    EXPECT_EQ(boxes[1].icon, MessageIcon::Question);
    Click(Control::Command3);
    ASSERT_EQ(boxes.size(), 3U);
    EXPECT_EQ(boxes[2].prompt, "Нажмите кнопку ПРОВЕРИТЬ    ");
    EXPECT_EQ(boxes[2].icon, MessageIcon::Information);
    EXPECT_TRUE(exits.empty());
}

// The real presenter, answered from a timer inside the box's own event loop.
TEST_F(MessageBoxTest, TheRealBoxIsModalWithTitleTextIconAndOneOkButton) {
    struct Case {
        MessageIcon icon;
        QMessageBox::Icon expected;
    };
    for (const Case& c :
         {Case{MessageIcon::Question, QMessageBox::Question}, Case{MessageIcon::Information, QMessageBox::Information},
          Case{MessageIcon::Critical, QMessageBox::Critical}}) {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        qsizetype buttons = 0;
        QString okText;
        bool modal = false;
        QWidget* parent = nullptr;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->buttons().size();
            okText = box->button(QMessageBox::Ok) != nullptr ? box->button(QMessageBox::Ok)->text() : QString();
            modal = box->isModal();
            parent = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
        });
        const int result = qt::ShowMessageBox(*form, QStringLiteral("Нажмите кнопку ПРОВЕРИТЬ    "),
                                              QStringLiteral("Внимание!"), c.icon);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(title, QStringLiteral("Внимание!"));
        EXPECT_EQ(text, QStringLiteral("Нажмите кнопку ПРОВЕРИТЬ    "));
        EXPECT_EQ(icon, c.expected);
        EXPECT_EQ(buttons, 1);
        EXPECT_TRUE(modal);
        EXPECT_EQ(parent, form.get());
        EXPECT_EQ(okText, QStringLiteral("OK"));  // Russian Qt keeps "OK"
    }
}

TEST_F(MessageBoxTest, QtsOwnTextsAreRussian) {
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Close"), QStringLiteral("Закрыть"));
}

TEST_F(TimerTest, TheClockTicksFromCreationAndStopsWhenDisabled) {
    auto* timer = form->findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    form->SetClockSource({});  // the window's own clock, and its real timer
    QTest::qWait(1150);
    EXPECT_EQ(LabelText(Find(Control::Label11)), QStringLiteral("0"));
    EXPECT_EQ(LabelText(Find(Control::Label13)), QStringLiteral("1"));
    form->SetTimerEnabled(false);
    EXPECT_FALSE(timer->isActive());
    form->SetTimerEnabled(true);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(EndTest, ExitBeforeStartClosesTheWindowWithStatusZero) {
    Click(Control::Command3);
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->Ended());
    EXPECT_FALSE(form->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    // Nothing reaches the logic any more.
    Find<QPushButton>(Control::Command1)->click();
    EXPECT_EQ(form->Run().State().StartCount, 0);
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(EndTest, EndProgramPassesItsStatusOnOnce) {
    form->EndProgram(1);
    form->EndProgram(0);
    EXPECT_EQ(exits, std::vector<int>{1});
    EXPECT_FALSE(form->isVisible());
}

TEST_F(EndTest, ClosingTheWindowEndsTheProgramWithStatusZero) {
    Start();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_TRUE(form->Ended());
    EXPECT_FALSE(form->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    Find<QPushButton>(Control::Command2)->click();
    EXPECT_TRUE(boxes.empty());
}

TEST_F(EndTest, TheGradeAndTheSecondExit) {
    Start();
    for (int question = 1; question <= 5; ++question) {
        Click(Control::Option1);
        Click(Control::Command2);
        if (question < 5) Click(Control::Command4);
    }
    Click(Control::Command3);
    EXPECT_TRUE(Find(Control::Label14)->isVisible());
    EXPECT_TRUE(LabelText(Find(Control::Label14)).startsWith(QStringLiteral("Ваша оценка: ")));
    EXPECT_FALSE(Find(Control::Command4)->isVisible());
    EXPECT_FALSE(Find(Control::Label7)->isVisible());
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].prompt, "Покажите результат учителю");
    EXPECT_TRUE(exits.empty());
    Click(Control::Command3);
    EXPECT_EQ(exits, std::vector<int>{0});
}

}  // namespace
}  // namespace infotest::testing

// The window at work: Start and its nested Next, the option group, message
// boxes, the timer, the end of the program and the focus chain.

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
using WindowTest = Form1Test;

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

TEST_F(StartTest, EnterOnTheFocusedStartButtonStartsTheTest) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    ASSERT_EQ(QApplication::focusWidget(), Find(Control::Command1));
    QTest::keyClick(Find(Control::Command1), Qt::Key_Return);
    EXPECT_FALSE(Find(Control::Command1)->isVisible());
    EXPECT_EQ(form->Run().State().QuestionNo, 1);
}

// Qt's own button pressed again at every repeat of a held Enter.
TEST_F(StartTest, AHeldEnterOnNextMovesOnOneQuestion) {
    Start();
    Click(Control::Option1);
    Click(Control::Command2);
    QWidget* next = Find(Control::Command4);
    next->setFocus();
    QTest::keyPress(next, Qt::Key_Return);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(next, &repeat);
    }
    QTest::keyRelease(next, Qt::Key_Return);
    EXPECT_EQ(form->Run().State().QuestionNo, 2);
    EXPECT_TRUE(boxes.empty());
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
    EXPECT_EQ(boxes[0].prompt, QStringLiteral("Выберите ответ"));
    EXPECT_EQ(boxes[0].title, QStringLiteral("Внимание!"));
    EXPECT_EQ(boxes[0].icon, MessageIcon::Question);
    EXPECT_EQ(form->Run().State().MsgResult, "1");
    Click(Control::Command4);
    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_EQ(boxes[1].prompt, QStringLiteral("Нажмите кнопку ПРОВЕРИТЬ"));
    EXPECT_EQ(boxes[1].icon, MessageIcon::Question);
    Click(Control::Command3);
    ASSERT_EQ(boxes.size(), 3U);
    EXPECT_EQ(boxes[2].prompt, QStringLiteral("Нажмите кнопку ПРОВЕРИТЬ    "));
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
    EXPECT_EQ(boxes[0].prompt, QStringLiteral("Покажите результат учителю"));
    EXPECT_TRUE(exits.empty());
    Click(Control::Command3);
    EXPECT_EQ(exits, std::vector<int>{0});
}

// Form1 is the window itself: it keeps its place on the screen, takes a back
// colour in its client area and hides as a whole, without ending anything.
TEST_F(WindowTest, Form1KeepsItsPlaceTakesItsColourAndHidesAsAWhole) {
    const QPoint place = form->pos();
    form->Move(Control::Form1, 0, 0);
    EXPECT_EQ(form->pos(), place);
    form->SetBackColor(Control::Form1, 0x0000FF);
    EXPECT_EQ(form->grab().toImage().pixelColor(2, 2), Bgr(0x0000FF));
    form->SetVisible(Control::Form1, false);
    EXPECT_FALSE(form->isVisible());
    form->SetVisible(Control::Form1, true);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->Ended());
}

class FocusChainTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // The widgets that Tab visits from the focused one, until it comes back.
    std::vector<QWidget*> TabCycle() {
        std::vector<QWidget*> cycle;
        QWidget* first = QApplication::focusWidget();
        for (int step = 0; step < 30; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            if (now == first) break;
            cycle.push_back(now);
        }
        return cycle;
    }

    // The shown options, topmost first, as drawn.
    std::vector<QWidget*> OptionsByTop() const {
        std::vector<QWidget*> options;
        for (int n = 1; n <= 4; ++n) options.push_back(Find(OptionControl(n)));
        std::stable_sort(options.begin(), options.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
        return options;
    }
};

TEST_F(FocusChainTest, StartHasTheFocusAndTabSkipsHiddenControls) {
    EXPECT_EQ(QApplication::focusWidget(), Find(Control::Command1));
    const std::vector<QWidget*> expected{Find(Control::Command2), Find(Control::Command3), Find(Control::Picture1)};
    EXPECT_EQ(TabCycle(), expected);
}

// The option group is one stop: Tab enters it at the selected option (the
// topmost drawn when none is), and the arrow keys move within it.
TEST_F(FocusChainTest, AfterStartTheTitleImageIsOutOfTheChain) {
    // The questions in the bank's order, then the arrangement that draws
    // Option4 at the top and Option1 below it.
    int draws = 0;
    form->SetRandomSource([&draws] { return draws < kQuestionCount ? (draws++ + 0.5) / kQuestionCount : 0.1; }, [] {});
    Start();
    ASSERT_EQ(OptionsByTop().front(), Find(Control::Option4));
    EXPECT_EQ(Find(Control::Picture1)->focusPolicy(), Qt::NoFocus);
    Find(Control::Command2)->setFocus();
    const std::vector<QWidget*> none{Find(Control::Command3), Find(Control::Command4), OptionsByTop().front()};
    EXPECT_EQ(TabCycle(), none);
    Click(Control::Option3);
    Find(Control::Command2)->setFocus();
    const std::vector<QWidget*> third{Find(Control::Command3), Find(Control::Command4), Find(Control::Option3)};
    EXPECT_EQ(TabCycle(), third);
}

// Qt's own arrows moved the focus by geometry without selecting, and did
// not wrap.
TEST_F(FocusChainTest, ArrowsSelectTheOptionsInTheirDrawnOrderAndWrap) {
    Start();
    const std::vector<QWidget*> byTop = OptionsByTop();
    byTop.front()->setFocus();
    QTest::keyClick(byTop.front(), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), byTop.back());
    EXPECT_EQ(SelectedOptions().size(), 1U);
    EXPECT_TRUE(qobject_cast<QRadioButton*>(byTop.back())->isChecked());
    QTest::keyClick(byTop.back(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), byTop.front());
    EXPECT_TRUE(qobject_cast<QRadioButton*>(byTop.front())->isChecked());
    EXPECT_EQ(SelectedOptions().size(), 1U);
}

TEST_F(FocusChainTest, NextLeavesTheChainWhenItLeavesTheWindowAtQuestion21) {
    Start();
    auto* next = Find<QPushButton>(Control::Command4);
    for (int question = 1; question < 21; ++question) {
        Find<QRadioButton>(Control::Option1)->click();
        Find<QPushButton>(Control::Command2)->click();
        next->setFocus();
        QTest::keyClick(next, Qt::Key_Space);
    }
    ASSERT_EQ(form->Run().State().QuestionNo, 21);
    EXPECT_EQ(LabelText(Find(Control::Label6)), QStringLiteral("21"));
    EXPECT_EQ(next->pos(), QPoint(933, 667));
    EXPECT_TRUE(next->isVisible());  // moved away, not hidden
    EXPECT_EQ(next->focusPolicy(), Qt::NoFocus);
    EXPECT_NE(QApplication::focusWidget(), next);
    EXPECT_EQ(form->childAt(QPoint(400, 376)), nullptr);  // nothing to click there
    const std::vector<QWidget*> cycle = TabCycle();
    EXPECT_EQ(std::count(cycle.begin(), cycle.end(), next), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FocusChainTest, AControlMovedBackInRejoinsTheChain) {
    form->Move(Control::Command4, 14000, 10000);
    EXPECT_EQ(Find(Control::Command4)->focusPolicy(), Qt::NoFocus);
    form->Move(Control::Command4, 4560, 5400);
    EXPECT_EQ(Find(Control::Command4)->focusPolicy(), Qt::StrongFocus);
}

}  // namespace
}  // namespace infotest::testing

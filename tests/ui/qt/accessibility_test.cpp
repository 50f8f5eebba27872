// What a screen reader finds in the window, read through Qt's accessibility
// interfaces as an assistive technology reads them: every control that can
// be seen is named by the caption it shows (the title image by the text in
// it) and sits in the window's accessibility tree, hidden controls are
// reported invisible, and the text of each message box can be read while the
// box is open.

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "bank/question_bank.h"
#include "tests/ui/qt/form1_fixture.h"

namespace infotest::testing {
namespace {

class AccessibilityTest : public Form1Test {
protected:
    QWidget* Widget(Control control) const { return control == Control::Form1 ? form.get() : Find(control); }

    // The caption a sighted pupil sees; the title image shows its text.
    QString ShownCaption(Control control) const {
        QWidget* widget = Widget(control);
        if (control == Control::Form1) return widget->windowTitle();
        if (control == Control::Picture1) return Text(kTitleImageText);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
        if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
        return qobject_cast<QLabel*>(widget)->text();
    }

    static QString Text(std::string_view text) {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }

    // The objects of the window's accessibility tree, as a screen reader
    // walks it from the window down.
    std::set<QObject*> Tree() const {
        std::set<QObject*> objects;
        std::vector<QAccessibleInterface*> open{QAccessible::queryAccessibleInterface(form.get())};
        while (!open.empty()) {
            QAccessibleInterface* node = open.back();
            open.pop_back();
            if (node == nullptr) continue;
            objects.insert(node->object());
            for (int i = 0; i < node->childCount(); ++i) open.push_back(node->child(i));
        }
        return objects;
    }

    // Every control: seen ones named by their captions and in the tree,
    // hidden ones reported invisible. Returns how many could be seen.
    int ExpectNamesAreCaptions(const char* when) {
        const std::set<QObject*> tree = Tree();
        int seen = 0;
        for (int index = 0; index < kControlCount; ++index) {
            const auto control = static_cast<Control>(index);
            if (control == Control::Timer1) continue;
            QWidget* widget = Widget(control);
            QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
            if (node == nullptr || !node->isValid()) {
                ADD_FAILURE() << Name(control) << " has no accessible interface " << when;
                continue;
            }
            if (!widget->isVisibleTo(form.get())) {
                EXPECT_TRUE(node->state().invisible) << Name(control) << " is hidden " << when;
                continue;
            }
            ++seen;
            EXPECT_EQ(node->text(QAccessible::Name).toStdString(), ShownCaption(control).toStdString())
                << Name(control) << " " << when;
            EXPECT_FALSE(node->state().invisible) << Name(control) << " " << when;
            EXPECT_TRUE(tree.count(widget) == 1) << Name(control) << " is not in the tree " << when;
        }
        return seen;
    }

    // One second of Timer1, as its event dispatcher delivers it.
    void Tick() { StallClock(1); }

    void ChooseAndCheck(int option) {
        Click(OptionControl(option));
        Click(Control::Command2);
    }

    // An option that is not the answer to the question shown.
    int WrongOption() const {
        const TestState& state = form->Run().State();
        const int id = state.QuestionOrder.at(static_cast<std::size_t>(state.QuestionNo - 1));
        return FindQuestion(id)->CorrectOption % 4 + 1;
    }
};

TEST_F(AccessibilityTest, EveryShownControlIsNamedByItsCaptionThroughoutATest) {
    // The title screen: the window, the title image, the frame, three
    // buttons and the fourteen labels but the grade.
    EXPECT_EQ(ExpectNamesAreCaptions("on the title screen"), 20);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.get())->text(QAccessible::Name),
              QStringLiteral("Информация. Измерение информации. Ловенда"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Find(Control::Picture1))->text(QAccessible::Name),
              QStringLiteral("Информатика\n9 класс\nТест № 1\nИнформация. Измерение информации"));

    // The first question: the option buttons and Next appear, Start goes.
    Start();
    EXPECT_EQ(ExpectNamesAreCaptions("after Start"), 24);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(Find(Control::Label1))->text(QAccessible::Name).isEmpty());
    for (int n = 1; n <= 4; ++n) {
        QAccessibleInterface* option = QAccessible::queryAccessibleInterface(Find(OptionControl(n)));
        EXPECT_EQ(option->role(), QAccessible::RadioButton) << n;
        EXPECT_FALSE(option->text(QAccessible::Name).isEmpty()) << n;
    }

    // Captions the logic changes: the status line and the error count on a
    // Check, the position on Next, the clock on its ticks.
    const QString firstQuestion = Find<QLabel>(Control::Label1)->text();
    ChooseAndCheck(WrongOption());
    ASSERT_EQ(Find<QLabel>(Control::Label4)->text(), QStringLiteral("1"));
    ASSERT_EQ(Find<QLabel>(Control::Label7)->text(), QStringLiteral("Ответ принят"));
    ExpectNamesAreCaptions("after a Check");
    Click(Control::Command4);
    ASSERT_EQ(Find<QLabel>(Control::Label6)->text(), QStringLiteral("2"));
    EXPECT_NE(Find<QLabel>(Control::Label1)->text(), firstQuestion);
    for (int second = 0; second < 61; ++second) Tick();
    ASSERT_EQ(Find<QLabel>(Control::Label11)->text(), QStringLiteral("1"));
    ASSERT_EQ(Find<QLabel>(Control::Label13)->text(), QStringLiteral("1"));
    ExpectNamesAreCaptions("after Next and a minute");

    for (int question = 2; question <= 5; ++question) {
        ChooseAndCheck(WrongOption());
        if (question < 5) Click(Control::Command4);
    }
    ASSERT_EQ(Find<QLabel>(Control::Label4)->text(), QStringLiteral("5"));
    ExpectNamesAreCaptions("at question 5");

    // The grade replaces the status line and Next.
    Click(Control::Command3);
    ASSERT_TRUE(Find(Control::Label14)->isVisible());
    EXPECT_EQ(ExpectNamesAreCaptions("with the grade shown"), 23);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(Find(Control::Label14))
                    ->text(QAccessible::Name)
                    .startsWith(QStringLiteral("Ваша оценка: ")));
}

// At question 21 the Next button is moved out of the window, not hidden: a
// screen reader still finds it by its caption, as it stays visible.
TEST_F(AccessibilityTest, TheNamesHoldAtTheLastQuestion) {
    Start();
    for (int question = 1; question < 21; ++question) {
        ChooseAndCheck(1);
        Click(Control::Command4);
    }
    ASSERT_EQ(Find<QLabel>(Control::Label6)->text(), QStringLiteral("21"));
    ASSERT_FALSE(form->rect().intersects(Find(Control::Command4)->geometry()));
    EXPECT_EQ(ExpectNamesAreCaptions("at question 21"), 24);
}

// The program's own message boxes, opened by real clicks: while each is
// open, an assistive technology finds an alert whose text is the prompt and
// whose one button is OK.
TEST_F(AccessibilityTest, TheTextOfEachMessageBoxCanBeRead) {
    form->SetMessagePresenter({});  // the real box
    struct Read {
        QAccessible::Role role = QAccessible::NoRole;
        QString name;
        QString value;
        std::vector<QString> texts;    // of the static texts inside
        std::vector<QString> buttons;  // of the buttons inside
    };
    std::vector<Read> reads;
    // Reads the box once it is open, then presses OK (or closes a stray
    // widget, so that a failure cannot leave the test waiting).
    QTimer reader;
    reader.setInterval(5);
    QObject::connect(&reader, &QTimer::timeout, [&reads] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        Read read;
        if (QAccessibleInterface* box = QAccessible::queryAccessibleInterface(modal)) {
            read.role = box->role();
            read.name = box->text(QAccessible::Name);
            read.value = box->text(QAccessible::Value);
            std::vector<QAccessibleInterface*> open{box};
            while (!open.empty()) {
                QAccessibleInterface* node = open.back();
                open.pop_back();
                for (int i = 0; i < node->childCount(); ++i) {
                    QAccessibleInterface* child = node->child(i);
                    if (child == nullptr || child->state().invisible) continue;
                    if (child->role() == QAccessible::StaticText) read.texts.push_back(child->text(QAccessible::Name));
                    if (child->role() == QAccessible::PushButton)
                        read.buttons.push_back(child->text(QAccessible::Name));
                    open.push_back(child);
                }
            }
        }
        reads.push_back(std::move(read));
        if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && box->button(QMessageBox::Ok) != nullptr)
            box->button(QMessageBox::Ok)->click();
        else modal->close();
    });
    reader.start();

    Start();
    Click(Control::Command2);  // nothing chosen
    Click(Control::Command4);  // not checked
    Click(Control::Command3);  // not checked
    reader.stop();

    const std::vector<QString> prompts{QStringLiteral("Выберите ответ"), QStringLiteral("Нажмите кнопку ПРОВЕРИТЬ"),
                                       QStringLiteral("Нажмите кнопку ПРОВЕРИТЬ    ")};
    ASSERT_EQ(reads.size(), prompts.size());
    for (std::size_t i = 0; i < prompts.size(); ++i) {
        const Read& read = reads[i];
        EXPECT_EQ(read.role, QAccessible::AlertMessage) << i;
        EXPECT_EQ(read.name.toStdString(), "Внимание!") << i;
        EXPECT_EQ(read.value.toStdString(), prompts[i].toStdString()) << i;
        EXPECT_EQ(std::count(read.texts.begin(), read.texts.end(), prompts[i]), 1) << i;
        EXPECT_EQ(read.buttons, std::vector<QString>{QStringLiteral("OK")}) << i;
    }
    EXPECT_TRUE(exits.empty());
    EXPECT_EQ(form->Run().State().MsgResult, "1");  // each box was answered with OK
}

}  // namespace
}  // namespace infotest::testing

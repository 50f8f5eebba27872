// The window as it is created: geometry, stacking, colours, fonts,
// visibility, captions and accessible names, read back from the widgets.

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

#include "bank/question_bank.h"
#include "tests/ui/qt/form1_fixture.h"

namespace infotest::testing {
namespace {

using WindowTest = Form1Test;
using GeometryTest = Form1Test;
using StackingTest = Form1Test;
using ColourTest = Form1Test;
using FontTest = Form1Test;
using CaptionTest = Form1Test;
using LabelTest = Form1Test;
using ScaleTest = Form1Test;

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString WidgetCaption(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    return {};
}

TEST_F(WindowTest, HasItsTitleFixedClientSizeAndPlace) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Информация. Измерение информации. Ловенда"));
    EXPECT_EQ(form->size(), QSize(794, 428));
    EXPECT_EQ(form->minimumSize(), QSize(794, 428));
    EXPECT_EQ(form->maximumSize(), QSize(794, 428));
    EXPECT_EQ(form->pos(), QPoint(107, 160));  // the frame's corner
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(WindowTest, HasTheIconAndTheLightGreenBackground) {
    ASSERT_FALSE(form->windowIcon().isNull());
    EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(48, 48)));
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0xC0, 0xFF, 0xC0));
    const QImage shot = form->grab().toImage();
    EXPECT_EQ(shot.size(), QSize(794, 428));
    EXPECT_EQ(QColor(shot.pixel(2, 2)), QColor(0xC0, 0xFF, 0xC0));
    EXPECT_EQ(QColor(shot.pixel(790, 424)), QColor(0xC0, 0xFF, 0xC0));
}

TEST_F(WindowTest, HasOneChildWidgetPerControlAndATimer) {
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind == ControlKind::Timer) continue;
        EXPECT_NE(Find(row.control), nullptr) << Name(row.control);
    }
    auto* timer = form->findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(GeometryTest, HandComputedRectanglesInPixels) {
    EXPECT_EQ(Find(Control::Command4)->geometry(), QRect(304, 360, 201, 33));
    EXPECT_EQ(Find(Control::Command1)->geometry(), QRect(344, 360, 137, 33));
    EXPECT_EQ(Find(Control::Picture1)->geometry(), QRect(48, 80, 697, 249));
    EXPECT_EQ(Find(Control::Frame1)->geometry(), QRect(64, 152, 673, 177));
    // 9500 twips are 633.3 px; inside Frame1.
    EXPECT_EQ(Find(Control::Option1)->geometry(), QRect(24, 24, 633, 25));
    EXPECT_EQ(Find(Control::Option1)->parentWidget(), Find(Control::Frame1));
    EXPECT_EQ(Find(Control::Label1)->geometry(), QRect(48, 72, 697, 73));
    EXPECT_EQ(Find(Control::Label6)->geometry(), QRect(672, 8, 41, 25));
    EXPECT_EQ(Find(Control::Label8)->geometry(), QRect(696, 8, 57, 25));
    EXPECT_EQ(Find(Control::Label14)->geometry(), QRect(216, 328, 385, 25));
    EXPECT_EQ(Find(Control::Label15)->geometry(), QRect(8, 400, 289, 17));
}

TEST_F(GeometryTest, EveryControlIsAtItsTwipsDividedByFifteenRounded) {
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind == ControlKind::Timer) continue;
        QWidget* widget = Find(row.control);
        const QRect expected(static_cast<int>(std::lround(row.left / 15.0)),
                             static_cast<int>(std::lround(row.top / 15.0)),
                             static_cast<int>(std::lround(row.width / 15.0)),
                             static_cast<int>(std::lround(row.height / 15.0)));
        EXPECT_EQ(widget->geometry(), expected) << Name(row.control);
        EXPECT_EQ(widget->parentWidget(), row.parent == Control::Frame1 ? Find(Control::Frame1) : form.get())
            << Name(row.control);
    }
}

TEST_F(GeometryTest, MoveRoundsToTheNearestPixelAndKeepsTheSize) {
    form->Move(Control::Option1, 350, 900);  // 23.33 px, 60 px
    EXPECT_EQ(Find(Control::Option1)->geometry(), QRect(23, 60, 633, 25));
    form->Move(Control::Option2, 352.5, 2107);  // 23.5 px rounds up, 140.47 down
    EXPECT_EQ(Find(Control::Option2)->pos(), QPoint(24, 140));
    form->Move(Control::Picture1, 14000, 10000);  // 933.33 px, 666.67 px
    EXPECT_EQ(Find(Control::Picture1)->geometry(), QRect(933, 667, 697, 249));
    EXPECT_TRUE(Find(Control::Picture1)->isVisible());
}

// Qt draws later siblings over earlier ones; the table lists the topmost first.
TEST_F(StackingTest, SiblingsAreStackedAsListedTopmostFirst) {
    const auto& rows = Form1Layout();
    for (std::size_t upper = 0; upper < rows.size(); ++upper) {
        for (std::size_t lower = upper + 1; lower < rows.size(); ++lower) {
            QWidget* a = Find(rows[upper].control);
            QWidget* b = Find(rows[lower].control);
            if (a == nullptr || b == nullptr || a->parentWidget() != b->parentWidget()) continue;
            const auto& siblings = a->parentWidget()->children();
            EXPECT_GT(siblings.indexOf(a), siblings.indexOf(b))
                << Name(rows[upper].control) << " should lie over " << Name(rows[lower].control);
        }
    }
}

TEST_F(StackingTest, TheTitleImageCoversTheFrameAndTheQuestionLabel) {
    EXPECT_EQ(form->childAt(QPoint(400, 240)), Find(Control::Picture1));  // over Frame1
    EXPECT_EQ(form->childAt(QPoint(400, 100)), Find(Control::Picture1));  // over Label1
    EXPECT_EQ(form->childAt(QPoint(400, 75)), Find(Control::Label1));     // above the picture
    EXPECT_EQ(form->childAt(QPoint(300, 328)), Find(Control::Picture1));  // Label14's top row
    // "из 21" lies over the question number where they overlap (696..712).
    EXPECT_EQ(form->childAt(QPoint(700, 12)), Find(Control::Label8));
    EXPECT_EQ(form->childAt(QPoint(680, 12)), Find(Control::Label6));
    // Next lies over Start.
    form->SetVisible(Control::Command4, true);
    EXPECT_EQ(form->childAt(QPoint(400, 376)), Find(Control::Command4));
}

TEST_F(ColourTest, LabelsAreOpaqueInTheirBackColourWithTheirForeColour) {
    const QColor systemText = QApplication::palette().color(QPalette::WindowText);
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind != ControlKind::Label) continue;
        auto* label = Find<QLabel>(row.control);
        EXPECT_TRUE(label->autoFillBackground()) << Name(row.control);
        EXPECT_EQ(label->palette().color(label->backgroundRole()), Bgr(row.backColour)) << Name(row.control);
        const QColor fore = row.foreColour == kSystemColour ? systemText : Bgr(row.foreColour);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), fore) << Name(row.control);
    }
    // A few by hand: 0xBBGGRR turned around.
    EXPECT_EQ(Find(Control::Label14)->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
    EXPECT_EQ(Find(Control::Label7)->palette().color(QPalette::WindowText), QColor(0xC0, 0, 0));
    EXPECT_EQ(Find(Control::Label1)->palette().color(QPalette::WindowText), QColor(0, 0x40, 0));
    EXPECT_EQ(Find(Control::Frame1)->palette().color(QPalette::WindowText), QColor(0x80, 0, 0x80));
}

TEST_F(ColourTest, AnEmptyLabelShowsOnlyItsLightGreenRectangle) {
    const QImage shot = Find(Control::Label4)->grab().toImage();
    EXPECT_EQ(MostCommonColour(shot), QColor(0xC0, 0xFF, 0xC0));
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(0xC0, 0xFF, 0xC0));
    EXPECT_EQ(QColor(shot.pixel(shot.width() - 1, shot.height() - 1)), QColor(0xC0, 0xFF, 0xC0));
}

TEST_F(ColourTest, CommandButtonsHaveASolidFaceAndTheSystemTextColour) {
    form->SetVisible(Control::Command4, true);
    const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
    struct Expected {
        Control control;
        QColor face;
    };
    for (const Expected& expected :
         {Expected{Control::Command1, QColor(0xFF, 0xFF, 0x80)}, Expected{Control::Command2, QColor(0x80, 0xFF, 0x80)},
          Expected{Control::Command3, QColor(0x80, 0xFF, 0x80)},
          Expected{Control::Command4, QColor(0x80, 0xFF, 0x80)}}) {
        QWidget* button = Find(expected.control);
        EXPECT_EQ(MostCommonColour(button->grab().toImage()), expected.face) << Name(expected.control);
        EXPECT_EQ(button->palette().color(QPalette::ButtonText), buttonText) << Name(expected.control);
    }
}

TEST_F(ColourTest, TheFocusedButtonShowsAFocusFrame) {
    QWidget* check = Find(Control::Command2);
    QWidget* start = Find(Control::Command1);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    ASSERT_TRUE(start->hasFocus());
    const QImage unfocused = check->grab().toImage();
    check->setFocus();
    ASSERT_TRUE(check->hasFocus());
    const QImage focused = check->grab().toImage();
    // The outline: the corner pixel turns to the text colour.
    EXPECT_NE(QColor(unfocused.pixel(0, 0)), QApplication::palette().color(QPalette::ButtonText));
    EXPECT_EQ(QColor(focused.pixel(0, 0)), QApplication::palette().color(QPalette::ButtonText));
    EXPECT_NE(unfocused, focused);
}

TEST_F(ColourTest, OptionButtonsAndTheFrameFillTheirBackColour) {
    Start();
    for (int n = 1; n <= 4; ++n) {
        const QImage shot = Find(OptionControl(n))->grab().toImage();
        EXPECT_EQ(QColor(shot.pixel(shot.width() - 1, 0)), QColor(0xC0, 0xFF, 0xC0)) << n;
        EXPECT_EQ(Find(OptionControl(n))->palette().color(QPalette::WindowText), QColor(0, 0x40, 0)) << n;
    }
    form->SetBackColor(Control::Option2, 0x0000FF);  // red
    const QImage red = Find(Control::Option2)->grab().toImage();
    EXPECT_EQ(QColor(red.pixel(red.width() - 1, 0)), QColor(0xFF, 0, 0));
    const QImage frame = Find(Control::Frame1)->grab().toImage();
    EXPECT_EQ(QColor(frame.pixel(frame.width() / 2, frame.height() - 10)), QColor(0xC0, 0xFF, 0xC0));
}

TEST_F(FontTest, FontsArePixelSizedSansFacesWithTheTableWeights) {
    for (const ControlLayout& row : Form1Layout()) {
        if (row.face == FontFace::NoFont) continue;
        const QFontInfo info(Find(row.control)->font());
        EXPECT_EQ(info.family(), QStringLiteral("Liberation Sans")) << Name(row.control);
        EXPECT_EQ(info.pixelSize(), static_cast<int>(std::lround(row.points * 4 / 3))) << Name(row.control);
        EXPECT_EQ(info.weight(), row.bold ? 700 : 400) << Name(row.control);
        EXPECT_FALSE(info.italic()) << Name(row.control);
        EXPECT_FALSE(Find(row.control)->font().underline()) << Name(row.control);
    }
    EXPECT_EQ(QFontInfo(Find(Control::Label1)->font()).pixelSize(), 19);   // 14.25 pt
    EXPECT_EQ(QFontInfo(Find(Control::Label15)->font()).pixelSize(), 15);  // 11.25 pt
    EXPECT_EQ(QFontInfo(Find(Control::Label10)->font()).pixelSize(), 12);  // 9 pt
    EXPECT_EQ(QFontInfo(Find(Control::Label7)->font()).pixelSize(), 13);   // 9.75 pt
    EXPECT_TRUE(QFontInfo(Find(Control::Command1)->font()).bold());
}

TEST_F(FontTest, EveryStartCaptionFitsOnOneLineOfItsControl) {
    for (const ControlLayout& row : Form1Layout()) {
        if (row.caption.empty() || row.kind == ControlKind::Frame) continue;
        QWidget* widget = Find(row.control);
        EXPECT_LE(QFontMetrics(widget->font()).horizontalAdvance(Text(row.caption)), widget->width())
            << Name(row.control);
    }
    const QFontMetrics frameFont(Find(Control::Frame1)->font());
    EXPECT_LT(frameFont.horizontalAdvance(QStringLiteral("Выберите ответ (изменения вносите до ПРОВЕРКИ)")),
              Find(Control::Frame1)->width() - 16);
    const QFontMetrics gradeFont(Find(Control::Label14)->font());
    EXPECT_LT(gradeFont.horizontalAdvance(QStringLiteral("Ваша оценка: 5")), Find(Control::Label14)->width());
}

TEST_F(FontTest, EveryQuestionFitsThreeLinesAndEveryAnswerItsOptionButton) {
    auto* question = Find<QLabel>(Control::Label1);
    for (const Question& entry : QuestionBank()) {
        question->setText(Text(entry.QuestionText));
        EXPECT_LE(question->heightForWidth(question->width()), question->height()) << entry.QuestionText;
        for (int n = 1; n <= 4; ++n) {
            auto* option = Find<QRadioButton>(OptionControl(n));
            QStyleOptionButton styleOption;
            styleOption.initFrom(option);
            const QRect textRect =
                option->style()->subElementRect(QStyle::SE_RadioButtonContents, &styleOption, option);
            const QString caption = Text(entry.OptionCaptions[static_cast<std::size_t>(n - 1)]);
            EXPECT_LT(textRect.left() + QFontMetrics(option->font()).horizontalAdvance(caption), option->width())
                << entry.OptionCaptions[static_cast<std::size_t>(n - 1)];
        }
    }
}

TEST_F(CaptionTest, ControlsShowTheirStartCaptions) {
    EXPECT_EQ(Find<QPushButton>(Control::Command1)->text(), QStringLiteral("Начать тест"));
    EXPECT_EQ(Find<QPushButton>(Control::Command4)->text(), QStringLiteral("Следующий вопрос"));
    EXPECT_EQ(Find<QLabel>(Control::Label10)->text(), QStringLiteral("мин  :  сек"));
    EXPECT_EQ(Find<QLabel>(Control::Label12)->text(), QStringLiteral(":"));
    EXPECT_EQ(Find<QLabel>(Control::Label9)->text(), QStringLiteral("автор: Зуверина февраль 2010 г."));
    EXPECT_EQ(Find<QLabel>(Control::Label1)->text(), QString());
    EXPECT_EQ(Find<QGroupBox>(Control::Frame1)->title(), QString());
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind == ControlKind::Timer || row.kind == ControlKind::PictureBox) continue;
        EXPECT_EQ(WidgetCaption(Find(row.control)), Text(row.caption)) << Name(row.control);
        EXPECT_EQ(form->Caption(row.control), std::string(row.caption)) << Name(row.control);
    }
    EXPECT_EQ(form->Caption(Control::Form1), "Информация. Измерение информации. Ловенда");
}

TEST_F(CaptionTest, AccessibleNamesAreTheVisibleCaptions) {
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind == ControlKind::Timer || row.kind == ControlKind::PictureBox) continue;
        EXPECT_EQ(Find(row.control)->accessibleName(), Text(row.caption)) << Name(row.control);
    }
    EXPECT_EQ(Find(Control::Picture1)->accessibleName(),
              QStringLiteral("Информатика\n9 класс\nТест № 1\nИнформация. Измерение информации"));
    QAccessibleInterface* start = QAccessible::queryAccessibleInterface(Find(Control::Command1));
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->role(), QAccessible::Button);
    EXPECT_EQ(start->text(QAccessible::Name), QStringLiteral("Начать тест"));
    QAccessibleInterface* option = QAccessible::queryAccessibleInterface(Find(Control::Option1));
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->role(), QAccessible::RadioButton);
}

TEST_F(CaptionTest, AccessibleNamesFollowCaptionChanges) {
    Start();
    EXPECT_EQ(Find(Control::Label8)->accessibleName(), QStringLiteral("из 21"));
    EXPECT_EQ(Find(Control::Label6)->accessibleName(), QStringLiteral("1"));
    EXPECT_EQ(Find(Control::Frame1)->accessibleName(),
              QStringLiteral("Выберите ответ (изменения вносите до ПРОВЕРКИ)"));
    for (int n = 1; n <= 4; ++n) {
        auto* option = Find<QRadioButton>(OptionControl(n));
        EXPECT_FALSE(option->text().isEmpty()) << n;
        EXPECT_EQ(option->accessibleName(), option->text()) << n;
    }
    EXPECT_EQ(Find(Control::Label1)->accessibleName(), Find<QLabel>(Control::Label1)->text());
    QAccessibleInterface* label8 = QAccessible::queryAccessibleInterface(Find(Control::Label8));
    ASSERT_NE(label8, nullptr);
    EXPECT_EQ(label8->text(QAccessible::Name), QStringLiteral("из 21"));
}

TEST_F(CaptionTest, OnlyTheStartControlsAreVisible) {
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind == ControlKind::Timer) continue;
        EXPECT_EQ(Find(row.control)->isVisible(), row.visible) << Name(row.control);
    }
    EXPECT_FALSE(Find(Control::Command4)->isVisible());
    EXPECT_FALSE(Find(Control::Label14)->isVisible());
    EXPECT_FALSE(Find(Control::Option1)->isVisible());
    EXPECT_TRUE(Find(Control::Picture1)->isVisible());
}

TEST_F(LabelTest, LabelsAreFixedTopAlignedWrappedPlainAndNeverFocused) {
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind != ControlKind::Label) continue;
        auto* label = Find<QLabel>(row.control);
        EXPECT_EQ(label->minimumSize(), label->size()) << Name(row.control);
        EXPECT_EQ(label->maximumSize(), label->size()) << Name(row.control);
        EXPECT_EQ(label->frameShape(), QFrame::NoFrame) << Name(row.control);
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << Name(row.control);
        EXPECT_TRUE(label->wordWrap()) << Name(row.control);
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << Name(row.control);
        EXPECT_TRUE(label->alignment() & Qt::AlignTop) << Name(row.control);
    }
    EXPECT_EQ(Find<QLabel>(Control::Label11)->alignment(), Qt::AlignTop | Qt::AlignRight);
    EXPECT_EQ(Find<QLabel>(Control::Label12)->alignment(), Qt::AlignTop | Qt::AlignHCenter);
    EXPECT_EQ(Find<QLabel>(Control::Label13)->alignment(), Qt::AlignTop | Qt::AlignLeft);
    EXPECT_EQ(Find(Control::Frame1)->focusPolicy(), Qt::NoFocus);
}

TEST_F(LabelTest, AFourthLineIsClippedNotScrolled) {
    auto* question = Find<QLabel>(Control::Label1);
    const QString fourLines = QStringLiteral("первая строка\nвторая строка\nтретья строка\nчетвёртая строка");
    form->SetCaption(Control::Label1, fourLines.toStdString());
    EXPECT_EQ(question->text(), fourLines);
    EXPECT_EQ(question->size(), QSize(697, 73));
    EXPECT_GT(question->heightForWidth(697), 73);
}

TEST_F(CaptionTest, TheTitleImageIsDrawnUnscaledFromTheTopLeft) {
    auto* picture = Find<QLabel>(Control::Picture1);
    ASSERT_FALSE(picture->pixmap().isNull());
    EXPECT_EQ(picture->pixmap().size(), QSize(716, 253));
    EXPECT_FALSE(picture->hasScaledContents());
    EXPECT_EQ(picture->alignment(), Qt::AlignLeft | Qt::AlignTop);
    const QImage shown = picture->grab().toImage();
    const QImage image = picture->pixmap().toImage();
    EXPECT_EQ(shown.size(), QSize(697, 249));
    for (const QPoint point : {QPoint(0, 0), QPoint(348, 40), QPoint(200, 190), QPoint(696, 248)}) {
        EXPECT_EQ(shown.pixel(point), image.pixel(point)) << point.x() << "," << point.y();
    }
}

// At a device pixel ratio of 1 the pixels are the layout's; at 2 (run with
// QT_SCALE_FACTOR=2) everything is twice as large and looks the same.
TEST_F(ScaleTest, DevicePixelsAreTheLayoutTimesTheRatio) {
    const qreal ratio = form->devicePixelRatio();
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == QStringLiteral("2")) {
        EXPECT_EQ(ratio, 2);
    }
    EXPECT_EQ(form->size(), QSize(794, 428));
    const QImage shot = form->grab().toImage();
    EXPECT_EQ(shot.size(), QSize(794, 428) * ratio);
    EXPECT_EQ(QColor(shot.pixel(4, 4)), QColor(0xC0, 0xFF, 0xC0));
    const QImage start = Find(Control::Command1)->grab().toImage();
    EXPECT_EQ(start.size(), QSize(137, 33) * ratio);
    EXPECT_EQ(MostCommonColour(start), QColor(0xFF, 0xFF, 0x80));
    EXPECT_EQ(QFontInfo(Find(Control::Label1)->font()).pixelSize(), 19);
}

}  // namespace
}  // namespace infotest::testing

// The page's window against the layout table, and what a pupil meets in the
// boxes, at the end of the program and at a control moved out of view. The
// page's own box and end serve here. The keyboard, the focus and Form1 as
// the window are checked by the suite every window runs (sequence_test.cpp).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/ui/web/web_window_driver.h"
#include "ui/layout/form1_layout.h"
#include "ui/layout/painting.h"

namespace infotest::testing {
namespace {

std::string Js(const std::string& expression) { return PageText(expression); }

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The box's icon: its picture, from page.css by the icon's kind, and what
// it says to a screen reader.
std::string IconPicture() {
    return Js("getComputedStyle(document.getElementById('MsgBoxIcon')).backgroundImage.slice(0, 23)");
}
std::string IconText() {
    const std::string icon = "document.getElementById('MsgBoxIcon')";
    return Js(icon + ".getAttribute('role') + ' ' + " + icon + ".getAttribute('aria-label')");
}

std::string Style(Control control, const char* property) {
    return Js("getComputedStyle(document.getElementById(" + Quoted(ControlName(control)) + "))." + property);
}

class PageWindow : public ::testing::Test {
protected:
    void SetUp() override { page.Open({}); }

    web::Form1& Form() { return page.Window(); }
    void Start() { page.Click(Control::Command1); }
    void TabTo(Control control) {
        for (int step = 0; step < kControlCount && page.Focused() != control; ++step) page.PressKey(Key::Tab);
        ASSERT_EQ(page.Focused(), control);
    }

    WebWindow page{false};
};

// ---- The window as it opens ----

using PageWindowLayout = PageWindow;

TEST_F(PageWindowLayout, EveryControlSitsAtItsTableRectangle) {
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind == ControlKind::Timer) continue;
        SCOPED_TRACE(ControlName(row.control));
        const PageRect rect = WebWindow::Rect(row.control);
        EXPECT_NEAR(rect.left, row.left / 15.0, 2);
        EXPECT_NEAR(rect.top, row.top / 15.0, 2);
        EXPECT_NEAR(rect.width, row.width / 15.0, 2);
        EXPECT_NEAR(rect.height, row.height / 15.0, 2);
    }
    EXPECT_EQ(Js("document.getElementById('Form1').getBoundingClientRect().width"), "794");
    EXPECT_EQ(Js("document.getElementById('Form1').getBoundingClientRect().height"), "428");
}

TEST_F(PageWindowLayout, CaptionsColoursAndVisibilityAreTheTables) {
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind == ControlKind::Timer) continue;
        SCOPED_TRACE(ControlName(row.control));
        EXPECT_EQ(WebWindow::Caption(row.control), row.caption);
        EXPECT_EQ(WebWindow::BackColour(row.control),
                  row.backColour == kSystemColour ? kForm1BackColour : row.backColour);
        const std::uint32_t fore = row.foreColour == kSystemColour ? 0 : row.foreColour;
        const std::string rgb = "rgb(" + std::to_string(fore & 0xFF) + ", " + std::to_string((fore >> 8) & 0xFF) +
                                ", " + std::to_string(fore >> 16) + ")";
        if (row.kind != ControlKind::PictureBox) EXPECT_EQ(Style(row.control, "color"), rgb);
        EXPECT_EQ(Style(row.control, "visibility"), row.visible ? "visible" : "hidden");
        EXPECT_EQ(Style(row.control, "zIndex"), std::to_string(&Form1Layout().back() - &row + 1));
    }
}

TEST_F(PageWindowLayout, FontsAreTheTablesPointsAtNinetySixPixelsPerInch) {
    for (const ControlLayout& row : Form1Layout()) {
        if (row.face == FontFace::NoFont) continue;
        SCOPED_TRACE(ControlName(row.control));
        EXPECT_NEAR(std::stod(Style(row.control, "fontSize")), row.points * 4 / 3, 0.01);
        EXPECT_EQ(Style(row.control, "fontWeight"), row.bold ? "700" : "400");
        EXPECT_EQ(
            Style(row.control, "fontFamily").find(row.face == FontFace::Arial ? "Arial" : "\"Microsoft Sans Serif\""),
            0u);
    }
}

TEST_F(PageWindowLayout, FrameCaptionSitsWhereEveryWindowPaintsIt) {
    Start();
    ASSERT_NE(WebWindow::Caption(Control::Frame1), "");
    // The caption's text, and the strip of back colour behind it, from the
    // frame's left edge.
    const std::string frameLeft = "document.getElementById('Frame1').getBoundingClientRect().left";
    const std::string caption = "document.getElementById('Frame1Caption')";
    const std::string text = Js("(function(){var r=document.createRange();r.selectNodeContents(" + caption +
                                ");return Math.round(r.getBoundingClientRect().left-" + frameLeft + ");})()");
    const std::string strip = Js("Math.round(" + caption + ".getBoundingClientRect().left-" + frameLeft + ")");
    const FramePaint paint = FrameGeometry({0, 0, 673, 177}, 300, 20);
    EXPECT_EQ(text, std::to_string(paint.caption.left));
    EXPECT_EQ(strip, std::to_string(paint.behindCaption.left));
}

TEST_F(PageWindowLayout, TitleImageIsDrawnUnscaledFromItsCornerWithItsText) {
    EXPECT_EQ(Js("document.getElementById('Picture1').alt"), kTitleImageText);
    // A GIF89a inside the page (its size is checked once it has loaded, by the runner).
    EXPECT_EQ(Js("document.getElementById('Picture1').src.slice(0, 30)"), "data:image/gif;base64,R0lGODlh");
    EXPECT_EQ(Style(Control::Picture1, "objectFit"), "none");
    EXPECT_EQ(Style(Control::Picture1, "objectPosition"), "0px 0px");
}

TEST_F(PageWindowLayout, PageIsTitledAfterTheWindowInRussian) {
    EXPECT_EQ(Js("document.title"), kForm1Title);
    EXPECT_EQ(Js("document.documentElement.lang"), "ru");
    EXPECT_EQ(Js("document.getElementById('Note').hidden"), "true");
}

// ---- Double and triple clicks ----

TEST_F(PageWindow, ATripleClickOnNextAdvancesOnceAndTheBoxStopsTheRest) {
    Start();
    page.Click(Control::Option1);
    page.Click(Control::Command2);
    page.Click(Control::Command4, 3);
    EXPECT_EQ(WebWindow::Caption(Control::Label6), "2");
    EXPECT_TRUE(Form().BoxOpen());
    EXPECT_EQ(Js("document.getElementById('MsgBoxText').textContent"), "Нажмите кнопку ПРОВЕРИТЬ");
}

// ---- The boxes ----

using PageWindowBox = PageWindow;

TEST_F(PageWindowBox, IsAnAlertDialogNamedByItsTitleDescribedByItsPromptWithTheFocusOnOk) {
    Start();
    TabTo(Control::Command2);
    page.PressKey(Key::Space);
    EXPECT_EQ(Js("document.getElementById('MsgBox').getAttribute('role')"), "alertdialog");
    EXPECT_EQ(
        Js("document.getElementById(document.getElementById('MsgBox').getAttribute('aria-labelledby')).textContent"),
        "Внимание!");
    EXPECT_EQ(
        Js("document.getElementById(document.getElementById('MsgBox').getAttribute('aria-describedby')).textContent"),
        "Выберите ответ");
    EXPECT_EQ(IconText(), "img Вопрос");
    EXPECT_EQ(IconPicture(), "url(\"data:image/svg+xml");
    EXPECT_EQ(Js("document.activeElement.id"), "MsgBoxOK");
    EXPECT_EQ(Js("document.getElementById('MsgBoxOK').textContent"), "ОК");
    EXPECT_EQ(Js("document.getElementById('Form1').getAttribute('aria-hidden')"), "true");
}

TEST_F(PageWindowBox, NothingBehindItTakesAClickOrAKeyButTheClockCounts) {
    Start();
    page.Click(Control::Command2);
    ASSERT_TRUE(Form().BoxOpen());
    EXPECT_EQ(page.Click(Control::Command3), "MsgBoxCover");
    EXPECT_NE(page.Click(Control::Option1), "Option1");
    EXPECT_FALSE(Form().Selected(Control::Option1));
    page.PressKey(Key::Tab);
    page.PressKey(Key::Down);
    EXPECT_EQ(Js("document.activeElement.id"), "MsgBoxOK");
    EXPECT_EQ(Form().Run().State().EmptyCheckCount, 1);
    page.Tick();
    EXPECT_EQ(WebWindow::Caption(Control::Label13), "1");
    EXPECT_TRUE(Form().BoxOpen());
}

TEST_F(PageWindowBox, EscapeClosesItAndTheFocusReturnsWhereItWas) {
    Start();
    TabTo(Control::Command3);
    page.PressKey(Key::Space);
    EXPECT_EQ(Js("document.getElementById('MsgBoxText').textContent"), "Нажмите кнопку ПРОВЕРИТЬ    ");
    EXPECT_EQ(IconText(), "img Информация");
    EXPECT_EQ(IconPicture(), "url(\"data:image/svg+xml");
    page.PressKey(Key::Escape);
    EXPECT_EQ(Js("String(document.getElementById('MsgBox'))"), "null");
    EXPECT_EQ(page.Focused(), Control::Command3);
}

// ---- The end of the program ----

using PageWindowEnd = PageWindow;

TEST_F(PageWindowEnd, ReplacesTheWindowWithTheEndMessageAndStatusZero) {
    page.Click(Control::Command3);
    EXPECT_EQ(Js("document.documentElement.getAttribute('data-window')"), "ended");
    EXPECT_EQ(Js("document.documentElement.getAttribute('data-exit-status')"), "0");
    EXPECT_EQ(Js("String(document.getElementById('Stage'))"), "null");
    // What is drawn: the heading, the window's title, is for a screen
    // reader only.
    EXPECT_EQ(Js("Array.from(document.querySelectorAll('#End p'), p => p.textContent).join('|')"),
              "Тест завершён. Эту вкладку можно закрыть.|Начать тест заново");
    EXPECT_EQ(Js("document.querySelector('#End h1').textContent"), std::string(kForm1Title));
    EXPECT_EQ(Js("document.getElementById('Again').getAttribute('href')"), "");
}

TEST_F(PageWindowEnd, AfterTheInternalErrorBoxComesWhenTheBoxClosesWithStatusOne) {
    Form().RunForTesting().StateForTesting().ElapsedSeconds = std::numeric_limits<std::int32_t>::max();
    page.Tick();
    ASSERT_TRUE(Form().BoxOpen());
    EXPECT_EQ(Js("document.getElementById('MsgBoxTitle').textContent"), "Ошибка");
    EXPECT_EQ(IconText(), "img Ошибка");
    EXPECT_EQ(IconPicture(), "url(\"data:image/svg+xml");
    EXPECT_EQ(Js("String(document.documentElement.getAttribute('data-exit-status'))"), "null");
    page.PressKey(Key::Enter);
    EXPECT_EQ(Js("document.documentElement.getAttribute('data-exit-status')"), "1");
    EXPECT_EQ(Js("String(document.getElementById('Form1'))"), "null");
}

// ---- Controls moved out of view ----

using PageWindowOutOfView = PageWindow;

TEST_F(PageWindowOutOfView, TheTitleImageCannotBeFocusedAfterStart) {
    TabTo(Control::Picture1);
    page.PressKey(Key::Tab, true);  // back to Command3, then Start from the keyboard
    TabTo(Control::Command1);
    page.PressKey(Key::Space);
    Js("document.getElementById('Picture1').focus()");
    EXPECT_NE(page.Focused(), Control::Picture1);
    EXPECT_EQ(Style(Control::Picture1, "visibility"), "hidden");
    EXPECT_EQ(Js("document.getElementById('Form1').scrollLeft"), "0");
}

TEST_F(PageWindowOutOfView, NextAtTheLastQuestionPassesTheFocusOnAndCannotBeReached) {
    Start();
    TestState& state = Form().RunForTesting().StateForTesting();
    state.QuestionNo = state.CheckCount = kQuestionCount - 1;
    TabTo(Control::Command4);
    page.PressKey(Key::Space);
    ASSERT_EQ(WebWindow::Caption(Control::Label6), "21");
    EXPECT_NE(page.Focused(), Control::Command4);
    Js("document.getElementById('Command4').focus()");
    EXPECT_NE(page.Focused(), Control::Command4);
    EXPECT_EQ(page.Click(Control::Command4), "");
    EXPECT_EQ(Js("window.find('Следующий вопрос')"), "false");
    EXPECT_EQ(Js("document.getElementById('Form1').scrollLeft"), "0");
}

}  // namespace
}  // namespace infotest::testing

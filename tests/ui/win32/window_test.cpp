// The Win32 window itself: every control where the layout table puts it, at
// 96 dpi and larger at 144; the keyboard; the real message box; closing; and
// a title image that cannot be decoded.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "tests/ui/win32/win32_window_driver.h"
#include "ui/layout/form1_layout.h"
#include "ui/win32/text.h"

namespace infotest::testing {
namespace {

using win32::Narrow;
using win32::Widen;
using win32::WindowText;

std::string Name(Control control) { return std::string(ControlName(control)); }

// Draws that give the questions in the bank's order and, by the last one,
// an arrangement of the options.
model::Sequence OrderedDraws(double arrangement = 0.1) {
    model::Sequence sequence;
    for (int i = 0; i < kQuestionCount; ++i) sequence.draws.push_back((i + 0.5) / kQuestionCount);
    sequence.draws.push_back(arrangement);
    return sequence;
}

class LayoutTest : public ::testing::TestWithParam<int> {};

TEST_P(LayoutTest, EveryControlSitsAtItsTableRectangleWithItsCaption) {
    const int dpi = GetParam();
    win32::Form1 form(GetModuleHandleW(nullptr), win32::Form1Settings{dpi, std::nullopt});
    form.Show();
    RECT client{};
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(kForm1ClientWidth, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(kForm1ClientHeight, dpi));
    EXPECT_EQ(Narrow(WindowText(form.Handle())), kForm1Title);
    EXPECT_TRUE(form.HasTitleImage());
    EXPECT_NE(GetClassLongPtrW(form.Handle(), GCLP_HICON), 0) << "the window has no icon";

    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind == ControlKind::Timer) continue;
        HWND child = form.ControlWindow(row.control);
        ASSERT_NE(child, nullptr) << Name(row.control);
        const RECT rect = RectInContainer(form, row.control);
        EXPECT_NEAR(rect.left, row.left * dpi / 1440.0, 1) << Name(row.control);
        EXPECT_NEAR(rect.top, row.top * dpi / 1440.0, 1) << Name(row.control);
        EXPECT_NEAR(rect.right - rect.left, row.width * dpi / 1440.0, 1) << Name(row.control);
        EXPECT_NEAR(rect.bottom - rect.top, row.height * dpi / 1440.0, 1) << Name(row.control);
        const std::string_view text = row.kind == ControlKind::PictureBox ? kTitleImageText : row.caption;
        EXPECT_EQ(Narrow(WindowText(child)), text) << Name(row.control);
        EXPECT_EQ((GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) != 0, row.visible) << Name(row.control);
        if (row.face == FontFace::NoFont) continue;
        LOGFONTW font{};
        ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof font, &font), 0)
            << Name(row.control);
        // Pixels per point: 4/3 at 96 dpi; above it the 96-dpi size scaled
        // and rounded down (14.25 pt: 19 px, at 144 dpi 28, not 29).
        const int pixels96 = static_cast<int>(std::lround(row.points * 4 / 3));
        EXPECT_EQ(font.lfHeight, -(pixels96 * dpi / 96)) << Name(row.control);
        EXPECT_EQ(font.lfWeight, row.bold ? FW_BOLD : FW_NORMAL) << Name(row.control);
        EXPECT_EQ(font.lfCharSet, RUSSIAN_CHARSET) << Name(row.control);
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutTest, ::testing::Values(96, 144),
                         [](const auto& info) { return "At" + std::to_string(info.param) + "Dpi"; });

TEST(TitleImageTest, AnImageThatCannotBeDecodedLeavesAnEmptyPictureAndAUsableWindow) {
    Win32Window window(win32::Form1Settings{96, std::string_view("GIF89a, but only the start of one")});
    window.Open(OrderedDraws());
    EXPECT_FALSE(window.Window().HasTitleImage());
    window.Click(Control::Command1);
    EXPECT_EQ(window.Window().Caption(Control::Label8), "из 21");
    EXPECT_EQ(window.Window().Caption(Control::Label6), "1");
}

TEST(KeyboardTest, TabFollowsTheTabOrderAndSkipsWhatCannotBeSeen) {
    Win32Window window;
    window.Open(OrderedDraws());
    EXPECT_EQ(window.Focused(), Control::Command1);
    const Control before[] = {Control::Command2, Control::Command3, Control::Picture1, Control::Command1};
    for (Control expected : before) {
        window.PressKey(VK_TAB);
        EXPECT_EQ(window.Focused(), expected);
    }
    window.PressKey(VK_RETURN);  // Enter presses the focused Start
    ASSERT_EQ(window.Window().Caption(Control::Label6), "1");
    // Start hid itself and passed the focus on; the picture has left the
    // window; the option group is one stop, at its topmost option while
    // none is selected.
    EXPECT_EQ(window.Focused(), Control::Command2);
    const Control after[] = {Control::Command3, Control::Command4, Control::Option4};
    for (Control expected : after) {
        window.PressKey(VK_TAB);
        EXPECT_EQ(window.Focused(), expected);
    }
}

TEST(KeyboardTest, ArrowsSelectTheOptionsInTheOrderThePupilSeesThem) {
    Win32Window window;
    // The arrangement with, from the top, Option3, Option2, Option4, Option1.
    window.Open(OrderedDraws(0.30));
    window.Click(Control::Command1);
    window.Click(Control::Option2);
    std::vector<Control> seen;
    for (int i = 0; i < 4; ++i) {
        window.PressKey(VK_DOWN);
        seen.push_back(window.Focused());
        int selected = 0;
        for (int n = 1; n <= 4; ++n) selected += window.Window().Selected(OptionControl(n)) ? 1 : 0;
        EXPECT_EQ(selected, 1);
        EXPECT_TRUE(window.Window().Selected(window.Focused()));
    }
    std::vector<Control> byTop;
    for (int n = 1; n <= 4; ++n) byTop.push_back(OptionControl(n));
    std::sort(byTop.begin(), byTop.end(), [&](Control a, Control b) {
        return RectInContainer(window.Window(), a).top < RectInContainer(window.Window(), b).top;
    });
    const auto from = std::find(byTop.begin(), byTop.end(), Control::Option2) - byTop.begin();
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(seen[i], byTop[(static_cast<std::size_t>(from) + 1 + i) % 4]);
}

TEST(ClickTest, TheSecondClickOfADoubleClickIsASecondPress) {
    Win32Window window;
    window.Open(OrderedDraws());
    window.Click(Control::Command1);
    window.Click(Control::Command2, true);  // nothing chosen: refused twice
    ASSERT_EQ(window.Boxes().size(), 2U);
    EXPECT_EQ(window.Boxes()[1].prompt, "Выберите ответ");
}

TEST(CloseTest, ACloseRequestEndsTheProgramWithStatusZero) {
    Win32Window window;
    window.Open(OrderedDraws());
    SendMessageW(window.Window().Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(window.Exits(), std::vector<int>{0});
    EXPECT_FALSE(IsWindowVisible(window.Window().Handle()));
    EXPECT_FALSE(window.Window().TimerRunning());
}

// Form1 is the window itself: it keeps its place on the screen, takes a back
// colour in its client area and hides as a whole, without ending anything.
TEST(WindowTest, Form1KeepsItsPlaceTakesItsColourAndHidesAsAWhole) {
    win32::Form1 form(GetModuleHandleW(nullptr), win32::Form1Settings{96, std::nullopt});
    form.Show();
    RECT before{};
    GetWindowRect(form.Handle(), &before);
    form.Move(Control::Form1, 0, 0);
    RECT after{};
    GetWindowRect(form.Handle(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    form.SetBackColor(Control::Form1, 0x0000FF);
    UpdateWindow(form.Handle());
    HDC dc = GetDC(form.Handle());
    const COLORREF corner = GetPixel(dc, 2, 2);
    ReleaseDC(form.Handle(), dc);
    EXPECT_EQ(corner, 0x0000FFU);
    form.SetVisible(Control::Form1, false);
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    form.SetVisible(Control::Form1, true);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_FALSE(form.Ended());
}

// The real box: owned by the window, titled and worded as the logic asks,
// closed by its OK button with the result 1; a close request while it is
// open changes nothing.
TEST(MessageBoxTest, TheRealBoxIsOwnedByTheWindowAndIgnoresACloseRequest) {
    win32::Form1 form(GetModuleHandleW(nullptr), win32::Form1Settings{96, std::nullopt});
    std::vector<int> exits;
    form.SetProgramEnder([&exits](int status) { exits.push_back(status); });
    form.Show();
    HWND owner = form.Handle();
    const DWORD windowThread = GetCurrentThreadId();
    std::atomic<bool> ownedByTheWindow{false};
    std::atomic<bool> closedWhileOpen{false};
    std::string text;
    std::thread pupil([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        HWND box = nullptr;
        while (box == nullptr && std::chrono::steady_clock::now() < deadline) {
            box = FindWindowW(L"#32770", Widen("Внимание!").c_str());
            if (box == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (box == nullptr) {
            // Ends the box's loop, so that the test fails instead of hanging.
            PostThreadMessageW(windowThread, WM_QUIT, 0, 0);
            return;
        }
        ownedByTheWindow = GetWindow(box, GW_OWNER) == owner;
        text = Narrow(WindowText(GetDlgItem(box, 0xFFFF)));
        SendMessageW(owner, WM_CLOSE, 0, 0);
        closedWhileOpen = IsWindowVisible(owner) != FALSE;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    const int result = form.ShowMessage("Выберите ответ", "Внимание!", MessageIcon::Question);
    pupil.join();
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(ownedByTheWindow);
    EXPECT_EQ(text, "Выберите ответ");
    EXPECT_TRUE(closedWhileOpen);
    EXPECT_TRUE(exits.empty());
    EXPECT_FALSE(form.Ended());
}

}  // namespace
}  // namespace infotest::testing

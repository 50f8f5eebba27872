// The Win32 window itself: every control where the layout table puts it, at
// 96 dpi and larger at 144; a double click; the real message box; closing;
// and a title image that cannot be decoded. The keyboard, the focus and
// Form1 as the window are checked by the suite every window runs
// (sequence_test.cpp).

#include <gtest/gtest.h>

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

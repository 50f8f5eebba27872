#include "tests/ui/web/web_window_driver.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdlib>

#include "ui/layout/form1_layout.h"

// The buffer driver_text returns, which the caller frees. Exported by the
// program itself: newer emscripten (3.1.69) no longer exports malloc
// unless asked.
extern "C" EMSCRIPTEN_KEEPALIVE char* driver_allocate(int size) {
    return static_cast<char*>(std::malloc(static_cast<std::size_t>(size)));
}

#ifdef EM_JS_DEPS
// Newer emscripten links only the runtime functions asked for.
EM_JS_DEPS(infotest_driver, "$UTF8ToString,$lengthBytesUTF8,$stringToUTF8");
#endif
// clang-format off
EM_JS(char*, driver_text, (const char* expression), {
    var value = String(eval(UTF8ToString(expression)));
    var size = lengthBytesUTF8(value) + 1;
    var text = _driver_allocate(size);
    stringToUTF8(value, text, size);
    return text;
});
EM_JS(double, driver_number, (const char* expression), { return Number(eval(UTF8ToString(expression))); });
EM_JS(void, driver_key, (const char* key, int shift, int repeats),
      { infotestDriver.key(UTF8ToString(key), shift, repeats); });
// clang-format on

// The script layer's entry point for the page's timer.
extern "C" void infotest_clock();

namespace infotest::testing {
namespace {

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string Name(Control control) { return std::string(ControlName(control)); }

double Number(const std::string& expression) { return driver_number(expression.c_str()); }

// The key's name in the browser's key events.
const char* KeyName(Key key) {
    switch (key) {
        case Key::Tab: return "Tab";
        case Key::Enter: return "Enter";
        case Key::Escape: return "Escape";
        case Key::Space: return " ";
        case Key::Left: return "ArrowLeft";
        case Key::Up: return "ArrowUp";
        case Key::Right: return "ArrowRight";
        case Key::Down: return "ArrowDown";
    }
    return "";
}

// Every control's element id, comma-separated.
std::string ControlIds() {
    std::string ids;
    for (int index = 0; index < kControlCount; ++index) {
        if (index > 0) ids += ",";
        ids += ControlName(static_cast<Control>(index));
    }
    return ids;
}

}  // namespace

std::string PageText(const std::string& expression) {
    char* text = driver_text(expression.c_str());
    std::string result(text);
    std::free(text);
    return result;
}

WebWindow::WebWindow(bool recorded) : recorded_(recorded) {}

WebWindow::~WebWindow() = default;

void WebWindow::OpenWindow(const model::Sequence& sequence) {
    form_.reset();
    ticksSent_ = 0;
    clockMs_ = 0;
    ownBoxes_ = false;
    ownBoxesClosed_ = 0;
    // The window's clock is the test's own: it moves only in StallClock.
    form_ = std::make_unique<web::Form1>(web::Form1Settings{false});
    form_->SetClockSource([this] { return clockMs_; });
    if (recorded_) services_.Install(*form_, sequence, [this](model::WindowView& view) { ReadWindow(view); });
    form_->Show();
    PageText("infotestDriver.attach(" + Quoted(ControlIds()) + ")");
}

// The window is on the page and not hidden.
bool WebWindow::WindowShown() const { return PageText("infotestDriver.windowShown()") == "true"; }

bool WebWindow::ProgramEnded() const { return recorded_ ? services_.Ended() : form_->Ended(); }

bool WebWindow::TakesActions() const { return !ProgramEnded() && WindowShown(); }

std::string WebWindow::Click(const std::string& id, int times) {
    return PageText("infotestDriver.click(" + Quoted(id) + ", " + std::to_string(times) + ")");
}

std::string WebWindow::Click(Control control, int times) { return Click(Name(control), times); }

void WebWindow::ClickControl(Control control) {
    Click(control);
    CloseOwnBoxWithEnter();
}

void WebWindow::PressKey(Key key, bool shift) {
    driver_key(KeyName(key), shift ? 1 : 0, 0);
    CloseOwnBoxWithEnter();
}

void WebWindow::HoldKey(Key key, int repeats) {
    driver_key(KeyName(key), 0, repeats);
    CloseOwnBoxWithEnter();
}

ScreenPoint WebWindow::ClientPlace() const {
    return {static_cast<int>(Number("infotestDriver.place()[0]")),
            static_cast<int>(Number("infotestDriver.place()[1]"))};
}

void WebWindow::UseOwnBoxesClosedByEnter() {
    form_->SetMessagePresenter({});
    ownBoxes_ = true;
}

void WebWindow::CloseOwnBoxWithEnter() {
    if (!ownBoxes_ || !form_->BoxOpen()) return;
    driver_key("Enter", 0, 0);
    ++ownBoxesClosed_;
}

// The page's timer is armed only while Timer1 runs; it wakes the window
// through the script layer's entry point.
void WebWindow::StallClock(int seconds) {
    clockMs_ += seconds * kTimer1IntervalMs;
    if (form_->TimerRunning()) infotest_clock();
}

void WebWindow::Tick(int seconds) {
    if (form_->TimerRunning()) ticksSent_ += seconds;
    StallClock(seconds);
}

void WebWindow::DeliverTick() { Tick(1); }

void WebWindow::RequestClose() { PageText("infotestDriver.pageClosing()"); }

std::optional<std::string> WebWindow::AnswerDescription(Control option) const {
    return PageText("infotestDriver.description(" + Quoted(ControlName(option)) + ")");
}

std::optional<std::vector<std::string>> WebWindow::Announcements() const {
    std::vector<std::string> said;
    const std::string joined = PageText("infotestDriver.announcements()");
    for (std::size_t at = 0; !joined.empty();) {
        const std::size_t end = joined.find('\x1e', at);
        said.push_back(joined.substr(at, end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return said;
}

std::string WebWindow::Caption(Control control) {
    return PageText("infotestDriver.caption(" + Quoted(ControlName(control)) + ")");
}

PageRect WebWindow::Rect(Control control) {
    const std::string rect = "infotestDriver.rect(" + Quoted(ControlName(control)) + ")";
    return {Number(rect + "[0]"), Number(rect + "[1]"), Number(rect + "[2]"), Number(rect + "[3]")};
}

std::uint32_t WebWindow::BackColour(Control control) {
    return static_cast<std::uint32_t>(Number("infotestDriver.backColour(" + Quoted(ControlName(control)) + ")"));
}

void WebWindow::ReadWindow(model::WindowView& into) const {
    const std::string text = PageText("infotestDriver.view(" + Quoted(ControlIds()) + ")");
    // One record per control, its fields in the order view() writes them.
    std::size_t at = 0;
    for (int index = 0; index < kControlCount; ++index) {
        const std::size_t recordEnd = std::min(text.find('\x1e', at), text.size());
        std::vector<std::string> fields;
        for (std::size_t field = at; field <= recordEnd;) {
            const std::size_t fieldEnd = std::min(text.find('\x1f', field), recordEnd);
            fields.push_back(text.substr(field, fieldEnd - field));
            field = fieldEnd + 1;
        }
        at = recordEnd + 1;
        const auto control = static_cast<Control>(index);
        if (control == Control::Timer1 || fields.size() != 6) continue;  // Timer1's state is timerEnabled
        model::ControlView& view = into.controls.at(static_cast<std::size_t>(index));
        view.caption = fields[0];
        view.left = std::strtod(fields[1].c_str(), nullptr) * kTwipsPerPixel;
        view.top = static_cast<int>(std::strtod(fields[2].c_str(), nullptr) * kTwipsPerPixel);
        view.backColor = static_cast<std::uint32_t>(std::strtoul(fields[3].c_str(), nullptr, 10));
        view.visible = fields[4] == "1";
        view.selected = fields[5] == "1";
        if (control == Control::Form1) {
            view.left = 0;
            view.top = 0;
            // Once the program has ended the window must be gone from the
            // page, which `ended` reads.
            view.visible = ProgramEnded() || WindowShown();
        }
    }
    into.timerEnabled = form_->TimerRunning();
}

void WebWindow::Observe(model::Observation& into) {
    ReadWindow(into.window);
    if (recorded_) services_.Report(into, WindowShown());
}

}  // namespace infotest::testing

#include "ui/web/page_bridge.h"

#include <emscripten.h>

// The page's elements are made and changed by the script layer (page.js),
// which keeps one element per control; these are its entry points.
#ifdef EM_JS_DEPS
// Newer emscripten (3.1.69) links only the runtime functions asked for;
// older ones have no such macro and always include UTF8ToString.
EM_JS_DEPS(infotest_page, "$UTF8ToString");
#endif
// clang-format off
EM_JS(void, page_create_window, (const char* title), { infotestPage.createWindow(UTF8ToString(title)); });
EM_JS(void, page_set_text, (int control, const char* text), { infotestPage.setText(control, UTF8ToString(text)); });
EM_JS(void, page_set_style, (int control, const char* name, const char* value), {
    infotestPage.setStyle(control, UTF8ToString(name), UTF8ToString(value));
});
EM_JS(void, page_set_flag, (int control, const char* name, int on), {
    infotestPage.setFlag(control, UTF8ToString(name), on);
});
EM_JS(int, page_checked, (int control), { return infotestPage.checked(control) ? 1 : 0; });
EM_JS(void, page_set_checked, (int control, int on), { infotestPage.setChecked(control, on); });
EM_JS(void, page_focus, (int control), { infotestPage.focus(control); });
EM_JS(void, page_focus_box, (), { infotestPage.focusBox(); });
EM_JS(int, page_focused, (), { return infotestPage.focused(); });
EM_JS(void, page_show_window, (), { infotestPage.showWindow(); });
EM_JS(double, page_window_shown_at, (), { return infotestPage.windowShownAt(); });
EM_JS(void, page_remove_window, (), { infotestPage.removeWindow(); });
EM_JS(void, page_show_end, (int status), { infotestPage.showEnd(status); });
EM_JS(void, page_open_box, (const char* title, const char* prompt, const char* icon, const char* iconText), {
    infotestPage.openBox(UTF8ToString(title), UTF8ToString(prompt), UTF8ToString(icon), UTF8ToString(iconText));
});
EM_JS(void, page_close_box, (), { infotestPage.closeBox(); });
EM_JS(void, page_describe_answers, (const char* text), { infotestPage.describeAnswers(UTF8ToString(text)); });
EM_JS(void, page_announce, (const char* text), { infotestPage.announce(UTF8ToString(text)); });
EM_JS(double, page_now, (), { return performance.now(); });
EM_JS(void, page_schedule_tick, (double delayMs), { infotestPage.scheduleTick(delayMs); });
EM_JS(void, page_cancel_tick, (), { infotestPage.cancelTick(); });
// clang-format on

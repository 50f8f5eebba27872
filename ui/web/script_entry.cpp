// The entry points of the script layer: the browser's events handed over to
// the window.
//
// No exception may leave into the browser's event loop: this is the page's
// one edge, and what it catches goes to the core's error boundary.

#include <emscripten.h>

#include "ui/web/form1.h"
#include "ui/web/page_bridge.h"

namespace {

template <typename Result, typename Body>
Result Guarded(Result fallback, Body body) {
    infotest::web::Form1* form = infotest::web::Form1::Current();
    Result result = fallback;
    if (form != nullptr) form->Guarded([&] { result = body(*form); });
    return result;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void infotest_click(int target) {
    Guarded(0, [target](infotest::web::Form1& form) {
        form.Click(target);
        return 0;
    });
}

EMSCRIPTEN_KEEPALIVE int infotest_pointer_down(int target) {
    return Guarded(0, [target](infotest::web::Form1& form) { return form.PointerDown(target) ? 1 : 0; });
}

EMSCRIPTEN_KEEPALIVE void infotest_focus_in(int target) {
    Guarded(0, [target](infotest::web::Form1& form) {
        form.FocusIn(target);
        return 0;
    });
}

EMSCRIPTEN_KEEPALIVE int infotest_context_menu(int target) {
    return Guarded(0, [target](infotest::web::Form1& form) { return form.ContextMenu(target) ? 1 : 0; });
}

EMSCRIPTEN_KEEPALIVE int infotest_key(int key, int shift, int repeat) {
    return Guarded(0, [key, shift, repeat](infotest::web::Form1& form) {
        return form.PressKey(static_cast<infotest::Key>(key), shift != 0, repeat != 0) ? 1 : 0;
    });
}

EMSCRIPTEN_KEEPALIVE void infotest_clock() {
    Guarded(0, [](infotest::web::Form1& form) {
        form.TimerFired();
        return 0;
    });
}

EMSCRIPTEN_KEEPALIVE void infotest_page_closing() {
    Guarded(0, [](infotest::web::Form1& form) {
        form.PageClosing();
        return 0;
    });
}

}  // extern "C"

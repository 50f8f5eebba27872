#pragma once

// The script bridge: the page's script layer (page.js) makes and changes the
// elements, one per control, and the window calls it through these. They
// are defined in page_bridge.cpp as calls into the script.

#include <emscripten/em_macros.h>

#include "run/controls.h"

extern "C" {
// clang-format off
// Takes over the window the page's markup drew (markup.cpp), or a copy of it
// once that one is taken.
void page_create_window(const char* title) EM_IMPORT(page_create_window);
void page_set_text(int control, const char* text) EM_IMPORT(page_set_text);
void page_set_style(int control, const char* name, const char* value) EM_IMPORT(page_set_style);
// "hidden" (shown or not) and "outside" (placed out of its container).
void page_set_flag(int control, const char* name, int on) EM_IMPORT(page_set_flag);
int page_checked(int control) EM_IMPORT(page_checked);
void page_set_checked(int control, int on) EM_IMPORT(page_set_checked);
// The focus to a control's element; 0 (Form1) takes it off every control.
void page_focus(int control) EM_IMPORT(page_focus);
void page_focus_box() EM_IMPORT(page_focus_box);
// The control whose element has the focus; 0 or -1 when none has.
int page_focused() EM_IMPORT(page_focused);
void page_show_window() EM_IMPORT(page_show_window);
// When the page first showed the markup's window, on page_now's clock; -1
// if it has not.
double page_window_shown_at() EM_IMPORT(page_window_shown_at);
void page_remove_window() EM_IMPORT(page_remove_window);
void page_show_end(int status) EM_IMPORT(page_show_end);
void page_open_box(const char* title, const char* prompt, const char* icon, const char* iconText) EM_IMPORT(page_open_box);
void page_close_box() EM_IMPORT(page_close_box);
// What a screen reader is told: the answers' description, and a polite
// announcement.
void page_describe_answers(const char* text) EM_IMPORT(page_describe_answers);
void page_announce(const char* text) EM_IMPORT(page_announce);
// Milliseconds of the page's monotonic clock.
double page_now() EM_IMPORT(page_now);
void page_schedule_tick(double delayMs) EM_IMPORT(page_schedule_tick);
void page_cancel_tick() EM_IMPORT(page_cancel_tick);
// The run stops halfway: the page shows its note, status 1.
// clang-format on
}

namespace infotest::web {

// A control's number on the page: its element's index in the script layer.
inline int Id(Control control) { return static_cast<int>(control); }

}  // namespace infotest::web

// The page's message box: shown over the window without blocking the
// procedure that asked for it, one at a time, with the end of the program
// held back behind it (the focus model's rules); and its icons.

#include "ui/layout/form1_layout.h"
#include "ui/web/form1.h"
#include "ui/web/page_bridge.h"

namespace infotest::web {
namespace {

struct IconImage {
    std::string_view alt;
    std::string_view source;
};

// The three icons of the boxes, drawn as small images with what they mean
// for a screen reader.
IconImage BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Question:
            return {"Вопрос",
                    "data:image/svg+xml,%3Csvg xmlns='http://www.w3.org/2000/svg' width='32' height='32'%3E"
                    "%3Ccircle cx='16' cy='16' r='15' fill='%23fff' stroke='%23236fd1' stroke-width='2'/%3E"
                    "%3Ctext x='16' y='23' font-family='Arial,sans-serif' font-size='21' font-weight='700' "
                    "text-anchor='middle' fill='%23236fd1'%3E%3F%3C/text%3E%3C/svg%3E"};
        case MessageIcon::Information:
            return {"Информация",
                    "data:image/svg+xml,%3Csvg xmlns='http://www.w3.org/2000/svg' width='32' height='32'%3E"
                    "%3Ccircle cx='16' cy='16' r='15' fill='%23236fd1'/%3E"
                    "%3Crect x='14' y='13' width='4' height='11' fill='%23fff'/%3E"
                    "%3Ccircle cx='16' cy='8.5' r='2.5' fill='%23fff'/%3E%3C/svg%3E"};
        case MessageIcon::Critical: break;
    }
    return {"Ошибка",
            "data:image/svg+xml,%3Csvg xmlns='http://www.w3.org/2000/svg' width='32' height='32'%3E"
            "%3Ccircle cx='16' cy='16' r='15' fill='%23d11f1f'/%3E"
            "%3Cpath d='M10 10L22 22M22 10L10 22' stroke='%23fff' stroke-width='3.5'/%3E%3C/svg%3E"};
}

}  // namespace

int Form1::PresentMessage(std::string_view prompt, std::string_view title, MessageIcon icon) {
    if (focus_.QueueBox(QueuedBox{std::string(prompt), std::string(title), icon}, Focused())) {
        OpenBox(focus_.OpenBox());
    }
    return kOkResult;
}

void Form1::OpenBox(const QueuedBox& box) {
    const IconImage image = BoxIcon(box.icon);
    const std::string kind(image.kind);
    const std::string text(image.text);
    page_open_box(box.title.c_str(), box.prompt.c_str(), kind.c_str(), text.c_str());
    page_focus_box();
}

// The end of the program that waited for the box comes once it closes.
void Form1::CloseBox() {
    if (!BoxOpen()) return;
    page_close_box();
    const AfterBox after = focus_.CloseBox();
    if (after.nextBox) OpenBox(focus_.OpenBox());
    if (after.hideWindow && current_ == this) page_set_flag(Id(Control::Form1), "hidden", 1);
    if (after.endStatus && current_ == this) page_show_end(*after.endStatus);
    FocusControl(after.focus);
}

// The end of the program waits for an open box: the pupil reads it first.
void Form1::HideWindow() {
    if (!focus_.HoldHide() && current_ == this) page_set_flag(Id(Control::Form1), "hidden", 1);
}

void Form1::EndEventLoop(int exitStatus) {
    if (!focus_.HoldEnd(exitStatus) && current_ == this) page_show_end(exitStatus);
}

}  // namespace infotest::web

// The page's message box: shown over the window without blocking the
// procedure that asked for it, one at a time, with the end of the program
// held back behind it (the focus model's rules), and so are the press's
// announcements for a screen reader; and its icons.

#include <string>

#include "ui/layout/form1_layout.h"
#include "ui/web/form1.h"
#include "ui/web/page_bridge.h"

namespace infotest::web {
namespace {

struct IconImage {
    std::string_view kind;  // its picture's class in page.css
    std::string_view text;  // what it means, for a screen reader
};

// The three icons of the boxes.
IconImage BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Question: return {"question", "Вопрос"};
        case MessageIcon::Information: return {"information", "Информация"};
        case MessageIcon::Critical: break;
    }
    return {"critical", "Ошибка"};
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
    if (after.announce && current_ == this) page_announce(after.announce->c_str());
}

void Form1::DescribeAnswers(std::string_view text) {
    if (current_ == this) page_describe_answers(std::string(text).c_str());
}

// The box speaks for itself: what the press announces comes after it.
void Form1::Announce(std::string_view text) {
    if (!focus_.HoldAnnouncement(std::string(text)) && current_ == this) page_announce(std::string(text).c_str());
}

// The end of the program waits for an open box: the pupil reads it first.
void Form1::HideWindow() {
    if (!focus_.HoldHide() && current_ == this) page_set_flag(Id(Control::Form1), "hidden", 1);
}

void Form1::EndEventLoop(int exitStatus) {
    if (!focus_.HoldEnd(exitStatus) && current_ == this) page_show_end(exitStatus);
}

}  // namespace infotest::web

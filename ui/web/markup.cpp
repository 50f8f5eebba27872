#include "ui/web/markup.h"

#include <algorithm>
#include <string_view>

#include "run/controls.h"
#include "ui/layout/form1_layout.h"
#include "ui/web/styles.h"

namespace infotest::web {
namespace {

// Text for an element's content or a quoted attribute.
std::string Escaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

std::string Attribute(std::string_view name, std::string_view value) {
    return " " + std::string(name) + "=\"" + Escaped(value) + '"';
}

// The opening of a control's element: what every kind has, and then
// `extra`, the attributes of its kind.
std::string Open(std::string_view tag, std::string_view className, const ControlLayout& row, int stackLevel,
                 std::string_view extra = "") {
    return "<" + std::string(tag) + Attribute("class", className) + Attribute("id", ControlName(row.control)) +
           Attribute("data-control", std::to_string(Index(row.control))) + std::string(extra) +
           Attribute("style", InitialStyle(row, stackLevel)) + (row.visible ? "" : " data-hidden") +
           (row.control == kFirstFocus ? " data-first-focus" : "") + ">";
}

std::string ControlMarkup(const ControlLayout& row, int stackLevel, const std::string& children) {
    const std::string name(ControlName(row.control));
    switch (row.kind) {
        case ControlKind::CommandButton:
            return Open("button", "command", row, stackLevel, Attribute("type", "button")) + Escaped(row.caption) +
                   "</button>";
        case ControlKind::PictureBox:
            return Open("img", "picture", row, stackLevel,
                        Attribute("src", "@TITLE_IMAGE@") + Attribute("alt", kTitleImageText) +
                            Attribute("tabindex", "0") + Attribute("draggable", "false"));
        case ControlKind::Frame:
            // Its caption is drawn in its top border: a span over the
            // border's line.
            return Open("div", "frame", row, stackLevel,
                        Attribute("role", "radiogroup") + Attribute("aria-labelledby", name + "Caption")) +
                   R"(<div class="frame-border"></div><span class="frame-caption")" +
                   Attribute("id", name + "Caption") + ">" + Escaped(row.caption) + "</span>" + children + "</div>";
        case ControlKind::OptionButton:
            return Open("label", "option", row, stackLevel) +
                   R"(<input type="radio" name="answer" aria-describedby="AnswersDescription">)"
                   R"(<span class="caption">)" +
                   Escaped(row.caption) + "</span></label>";
        case ControlKind::Label: return Open("div", "label", row, stackLevel) + Escaped(row.caption) + "</div>";
        case ControlKind::Timer: break;
    }
    return "";
}

}  // namespace

std::string WindowMarkup() {
    // Elements go into the page in tab order and then as stacked, so that a
    // screen reader's reading order follows the focus order; the stacking
    // itself comes from the table's order.
    const auto& layout = Form1Layout();
    auto children = [&layout](Control parent, auto& self) -> std::string {
        std::string markup;
        for (const Control control : CreationOrder()) {
            const auto at = std::find_if(layout.begin(), layout.end(),
                                         [control](const ControlLayout& row) { return row.control == control; });
            if (at->parent != parent) continue;
            const std::string inside = at->kind == ControlKind::Frame ? self(control, self) : "";
            markup += ControlMarkup(*at, static_cast<int>(layout.end() - at), inside);
        }
        return markup;
    };
    // The window's title, which it does not draw, is the page's heading for
    // a screen reader; the answers' description is read from a hidden
    // element, and the polite live region is there from the start so that
    // its first change is spoken.
    return R"(<main id="Stage" data-hidden><h1 class="unseen">)" + Escaped(kForm1Title) +
           R"(</h1><div id="AnswersDescription" hidden></div>)"
           R"(<div class="unseen" id="Spoken" role="status" aria-live="polite"></div>)"
           R"(<div id="Form1")" +
           Attribute("data-control", std::to_string(Index(Control::Form1))) +
           Attribute("style", "background-color:" + Css(kForm1BackColour)) + ">" + children(Control::Form1, children) +
           "</div></main>";
}

}  // namespace infotest::web

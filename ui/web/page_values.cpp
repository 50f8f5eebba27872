// Writes what the page shares with the C++ tables, so that none of it is
// written twice: as JSON the window's title and size, the key codes, the
// number of Form1 and the painting geometry of the frame and the command
// buttons; and the window's markup (markup.cpp). The build runs it under
// Node and make_page.py puts what it writes into the page.
//
//     page_values VALUES MARKUP
//
// "script" becomes the script's object infotestWindow; "style" becomes
// custom properties of the page's root element, for page.css.

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "run/controls.h"
#include "ui/core/keys.h"
#include "ui/layout/form1_layout.h"
#include "ui/layout/painting.h"
#include "ui/web/markup.h"

namespace {

using namespace infotest;

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

std::string Pixels(int pixels) { return Quoted(std::to_string(pixels) + "px"); }

std::string Values() {
    const int width = TwipsToPixels(kForm1ClientWidth);
    const int height = TwipsToPixels(kForm1ClientHeight);
    // The painting geometry at 96 dots per inch, measured on a frame and a
    // button large enough for none of it to be clipped.
    const PixelRect box{0, 0, 200, 100};
    const FramePaint frame = FrameGeometry(box, 50, 16);
    const CommandButtonPaint focused = CommandButtonGeometry(box, true, false);
    const CommandButtonPaint pressed = CommandButtonGeometry(box, false, true);
    const CommandButtonPaint raised = CommandButtonGeometry(box, false, false);

    std::string keys;
    for (const auto& [name, key] : {std::pair{"Tab", Key::Tab},
                                    {"Enter", Key::Enter},
                                    {"Escape", Key::Escape},
                                    {"Space", Key::Space},
                                    {"Left", Key::Left},
                                    {"Up", Key::Up},
                                    {"Right", Key::Right},
                                    {"Down", Key::Down}}) {
        keys += (keys.empty() ? "" : ", ") + Quoted(name) + ": " + std::to_string(static_cast<int>(key));
    }
    return "{\n  \"title\": " + Quoted(kForm1Title) +
           ",\n  \"script\": {\"form1\": " + std::to_string(Index(Control::Form1)) +
           ", \"width\": " + std::to_string(width) + ", \"height\": " + std::to_string(height) + ", \"keys\": {" +
           keys + "}},\n  \"style\": {\"window-width\": " + Pixels(width) + ", \"window-height\": " + Pixels(height) +
           ", \"frame-caption-indent\": " + Pixels(frame.caption.left - box.left) +
           ", \"frame-caption-gap\": " + Pixels(frame.caption.left - frame.behindCaption.left) +
           ", \"button-focus-inset\": " + Pixels(focused.focus.left - box.left) +
           ", \"button-pressed-shift\": " + Pixels(pressed.caption.left - raised.caption.left) + "}\n}\n";
}

// Writes `text` to `path`; false, with the reason on stderr, when it
// cannot.
bool Write(const char* path, const std::string& text) {
    std::FILE* output = std::fopen(path, "wb");
    if (output == nullptr) {
        std::perror(path);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), output) == text.size();
    const bool closed = std::fclose(output) == 0;
    if (!written || !closed) std::perror(path);
    return written && closed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: page_values VALUES MARKUP\n", stderr);
        return 2;
    }
    // A build step: anything thrown (only running out of memory can) fails
    // it with a message rather than an abort.
    try {
        return Write(argv[1], Values()) && Write(argv[2], web::WindowMarkup()) ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "page_values: %s\n", error.what());
        return 1;
    }
}

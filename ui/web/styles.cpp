#include "ui/web/styles.h"

#include <cstdio>

#include "ui/layout/painting.h"

namespace infotest::web {

std::string Css(std::uint32_t bgr) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    return text;
}

namespace {

// The face the layout asks for, followed by the face that travels inside
// the page with the same metrics, so that every caption fits its rectangle
// on a device without it.
std::string FontFamily(FontFace face) {
    return '"' + std::string(FamilyName(face)) + R"(", "Infotest Sans", sans-serif)";
}

std::string_view Align(TextAlign align) {
    switch (align) {
        case TextAlign::Centre: return "center";
        case TextAlign::Right: return "right";
        default: return "left";
    }
}

}  // namespace

// The element's style at creation: its rectangle (1 CSS pixel per 15
// twips), stacking, colours and font.
std::string InitialStyle(const ControlLayout& row, int stackLevel) {
    std::string style =
        "left:" + std::to_string(TwipsToPixels(row.left)) + "px;top:" + std::to_string(TwipsToPixels(row.top)) +
        "px;width:" + std::to_string(TwipsToPixels(row.width)) +
        "px;height:" + std::to_string(TwipsToPixels(row.height)) + "px;z-index:" + std::to_string(stackLevel) + ";";
    style += "background-color:" + Css(row.backColour == kSystemColour ? kForm1BackColour : row.backColour) + ";";
    if (row.foreColour != kSystemColour) style += "color:" + Css(row.foreColour) + ";";
    if (row.face != FontFace::NoFont) {
        char size[32];
        // Points at 96 pixels per inch.
        std::snprintf(size, sizeof size, "%.4gpx", row.points * kStandardDpi / kPointsPerInch);
        style += "font-family:" + FontFamily(row.face) + ";font-size:" + size +
                 ";font-weight:" + (row.bold ? "700" : "400") + ";";
    }
    if (row.align != TextAlign::NoAlign) style += "text-align:" + std::string(Align(row.align)) + ";";
    return style;
}

}  // namespace infotest::web

#pragma once

// The title image of Picture1: found among the program's resources, decoded
// into a bitmap of its own, and drawn into the picture box.

#include <string_view>

#include "ui/win32/handles.h"

namespace infotest::win32 {

// The title image file built into the program (RCDATA "TITLE_GIF"); empty
// for a program without it.
std::string_view ResourceImage(HINSTANCE instance);

// Decodes an image file (GIF, among others) with OLE's picture loader,
// which every Windows has; an empty bitmap when the bytes are not a picture.
Bitmap DecodeImage(std::string_view file);

// Draws the image from the box's top-left corner, clipped by the box; above
// 96 dpi scaled to the same size in inches.
void DrawTitleImage(HDC dc, const RECT& box, HBITMAP image, int dpi);

}  // namespace infotest::win32

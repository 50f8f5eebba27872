#pragma once

// Owning handles for the window and its GDI objects (fonts, brushes,
// bitmaps), so that each is released exactly once by whoever holds it, also
// when a window is torn down half-built.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace infotest::win32 {

// The top-level window, destroyed when its holder goes. It is first cut off
// from the object that handled its messages, which is going away too.
class OwnedWindow {
public:
    OwnedWindow() = default;
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    ~OwnedWindow();

    HWND Get() const { return window_; }
    // Takes the window over as it is being created.
    void Adopt(HWND window) { window_ = window; }
    // The window was destroyed from elsewhere: nothing is left to destroy.
    void Forget() { window_ = nullptr; }

private:
    HWND window_ = nullptr;
};

// One GDI object, deleted with DeleteObject when its holder goes.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(nullptr); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    void Reset(Handle handle) {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = handle;
    }

    Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;

// A solid brush for each colour the window paints with. The table has a
// handful of colours and the logic sets no others, so a short list that
// only grows when a new colour comes is all it takes; KeepOnly drops the
// brushes of colours that are no longer in use, so that a colour set and
// replaced leaves nothing behind.
class Brushes {
public:
    // The brush of a colour (0xBBGGRR), made at its first use.
    HBRUSH Of(std::uint32_t bgr);

    // Keeps only the brushes of these colours.
    template <typename Colours>
    void KeepOnly(const Colours& inUse) {
        std::erase_if(brushes_,
                      [&](const auto& entry) { return std::ranges::find(inUse, entry.first) == inUse.end(); });
    }

private:
    std::vector<std::pair<std::uint32_t, Brush>> brushes_;
};

}  // namespace infotest::win32

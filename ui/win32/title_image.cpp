// The title image: decoding the GIF the program carries and drawing it.

#include "ui/win32/title_image.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>

#include "ui/layout/form1_layout.h"

namespace infotest::win32 {
namespace {

// A COM interface pointer, released when it goes.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (pointer_ != nullptr) pointer_->Release();
    }

    Interface* operator->() const { return pointer_; }
    Interface** Out() { return &pointer_; }
    Interface* Get() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

// COM on this thread for as long as it is held; the loader may use COM
// decoders.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

private:
    HRESULT result_;
};

// A movable global memory block holding a copy of the bytes; the stream
// made on it takes it over.
HGLOBAL CopyToGlobal(std::string_view bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (memory == nullptr) return nullptr;
    void* target = GlobalLock(memory);
    if (target == nullptr) {
        GlobalFree(memory);
        return nullptr;
    }
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(target));
    GlobalUnlock(memory);
    return memory;
}

}  // namespace

std::string_view ResourceImage(HINSTANCE instance) {
    HRSRC found = FindResourceW(instance, L"TITLE_GIF", MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(instance, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return {static_cast<const char*>(bytes), SizeofResource(instance, found)};
}

Bitmap DecodeImage(std::string_view file) {
    if (file.empty()) return {};
    const ComScope com;
    HGLOBAL memory = CopyToGlobal(file);
    if (memory == nullptr) return {};
    ComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Out()))) {
        GlobalFree(memory);
        return {};
    }
    ComRef<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(file.size()), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(picture.Out()))) ||
        picture.Get() == nullptr) {
        return {};
    }
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle))) return {};
    // The picture's own bitmap goes with the picture: keep a copy.
    auto* source = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    return Bitmap(static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

void DrawTitleImage(HDC dc, const RECT& box, HBITMAP image, int dpi) {
    BITMAP info{};
    if (GetObjectW(image, sizeof info, &info) == 0) return;
    HDC source = CreateCompatibleDC(dc);
    if (source == nullptr) return;
    HGDIOBJ previous = SelectObject(source, image);
    if (dpi == kStandardDpi) {
        BitBlt(dc, box.left, box.top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, box.left, box.top, ScalePixels(info.bmWidth, dpi), ScalePixels(info.bmHeight, dpi), source, 0, 0,
                   info.bmWidth, info.bmHeight, SRCCOPY);
    }
    SelectObject(source, previous);
    DeleteDC(source);
}

}  // namespace infotest::win32

// Asks a window to close the way a window manager's close button does: it
// sends the window a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
// (Destroying the window, as `xdotool windowclose` does, is not a close
// request, and there is no window manager under Xvfb to send one.)
//
// Usage: close_window PID TITLE
// The window is the top-level window of process PID whose title is TITLE;
// it must take part in WM_DELETE_WINDOW. Exits 0 once the message is sent,
// 1 when no such window exists, 2 on a usage or display error.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A property of a window: its format (8, 16 or 32) and its items, where
// Xlib hands format-32 items over as longs whatever their size on the wire.
struct PropertyValue {
    int format = 0;
    std::vector<unsigned char> bytes;
};

PropertyValue Property(Display* display, Window window, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    PropertyValue value;
    if (XGetWindowProperty(display, window, property, 0, 1L << 16, False, type, &actualType, &format, &count,
                           &remaining, &data) != Success) {
        return value;
    }
    if (data != nullptr && actualType == type) {
        const std::size_t itemSize = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
        value.format = format;
        value.bytes.assign(data, data + count * itemSize);
    }
    if (data != nullptr) XFree(data);
    return value;
}

std::vector<long> Longs(const PropertyValue& value) {
    std::vector<long> items;
    if (value.format != 32) return items;
    items.resize(value.bytes.size() / sizeof(long));
    std::memcpy(items.data(), value.bytes.data(), items.size() * sizeof(long));
    return items;
}

std::string Text(const PropertyValue& value) {
    if (value.format != 8) return {};
    return {value.bytes.begin(), value.bytes.end()};
}

// A window's _NET_WM_PID, or -1.
long ProcessOf(Display* display, Window window) {
    const std::vector<long> pid =
        Longs(Property(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL));
    return pid.empty() ? -1 : pid.front();
}

std::string TitleOf(Display* display, Window window) {
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    std::string title = Text(Property(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8));
    if (title.empty()) title = Text(Property(display, window, XA_WM_NAME, XA_STRING));
    return title;
}

// Searches the tree under root depth first; without a window manager the
// program's windows are children of the root, with one they are deeper.
Window Find(Display* display, Window parent, long pid, const std::string& title) {
    Window root = None;
    Window parentOut = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &parentOut, &children, &count) == 0) return None;
    Window found = None;
    for (unsigned int i = 0; i < count && found == None; ++i) {
        if (ProcessOf(display, children[i]) == pid && TitleOf(display, children[i]) == title) {
            found = children[i];
        } else {
            found = Find(display, children[i], pid, title);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: close_window PID TITLE\n", stderr);
        return 2;
    }
    const long pid = std::strtol(argv[1], nullptr, 10);
    const std::string title = argv[2];
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("close_window: cannot open the display\n", stderr);
        return 2;
    }
    // A window may go away while the tree is searched; that is no error here.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const Window window = Find(display, DefaultRootWindow(display), pid, title);
    if (window == None) {
        std::fprintf(stderr, "close_window: no window of pid %ld titled \"%s\"\n", pid, title.c_str());
        XCloseDisplay(display);
        return 1;
    }
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    const std::vector<long> taken = Longs(Property(display, window, protocols, XA_ATOM));
    if (std::find(taken.begin(), taken.end(), static_cast<long>(deleteWindow)) == taken.end()) {
        std::fprintf(stderr, "close_window: window 0x%lx does not take WM_DELETE_WINDOW\n", window);
        XCloseDisplay(display);
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}

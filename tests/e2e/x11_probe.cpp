// Looks for a top-level X window by caption and asks it to close, as a window manager would.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

std::string window_name(Display* display, Window window)
{
    char* name = nullptr;
    std::string result;
    if (XFetchName(display, window, &name) && name) {
        result = name;
        XFree(name);
    }
    return result;
}

Window find_window(Display* display, Window parent, const std::string& caption)
{
    if (window_name(display, parent) == caption)
        return parent;
    Window root_return = 0;
    Window parent_return = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root_return, &parent_return, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i)
        found = find_window(display, children[i], caption);
    if (children)
        XFree(children);
    return found;
}

bool is_viewable(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) &&
           attributes.map_state == IsViewable;
}

void send_close(Display* display, Window window)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

}  // namespace

// x11_probe <caption> <timeout seconds> [close]
int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: x11_probe <caption> <timeout seconds> [close]\n");
        return 2;
    }
    const std::string caption = argv[1];
    const int timeout = std::atoi(argv[2]);
    const bool close = argc > 3 && std::strcmp(argv[3], "close") == 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x11_probe: cannot open display\n");
        return 2;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout);
    Window window = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        window = find_window(display, DefaultRootWindow(display), caption);
        if (window && is_viewable(display, window))
            break;
        window = 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!window) {
        std::fprintf(stderr, "x11_probe: no window \"%s\" within %d s\n", caption.c_str(),
                     timeout);
        XCloseDisplay(display);
        return 1;
    }
    std::printf("found \"%s\" (0x%lx)\n", caption.c_str(), window);
    if (close)
        send_close(display, window);
    XCloseDisplay(display);
    return 0;
}

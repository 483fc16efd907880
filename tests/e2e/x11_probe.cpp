// Works a top-level X window found by its caption as a user and a window manager would: waits
// for it, closes it, types keys and drags the mouse through the XTEST extension (input that
// reaches the program as a device's would), and watches an area of it for changing pixels.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void pause_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The window's WM_NAME, whether Latin-1 text (Qt) or UTF-8 text (SDL).
std::string window_name(Display* display, Window window)
{
    XTextProperty property{};
    std::string result;
    if (!XGetWMName(display, window, &property) || !property.value)
        return result;
    if (property.format == 8)
        result.assign(reinterpret_cast<const char*>(property.value), property.nitems);
    XFree(property.value);
    return result;
}

bool is_viewable(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) &&
           attributes.map_state == IsViewable;
}

// Popup menus and tooltips: shown windows that a window manager leaves alone.
bool is_popup(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) &&
           attributes.map_state == IsViewable && attributes.override_redirect;
}

// The first shown window, other than a popup, that carries one of the captions.
Window find_window(Display* display, Window parent, const std::vector<std::string>& captions)
{
    const std::string name = window_name(display, parent);
    for (const std::string& caption : captions)
        if (name == caption && is_viewable(display, parent) && !is_popup(display, parent))
            return parent;
    Window root_return = 0;
    Window parent_return = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root_return, &parent_return, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i)
        found = find_window(display, children[i], captions);
    if (children)
        XFree(children);
    return found;
}

// Looks at least once, then every 100 ms until the deadline.
Window wait_for_window(Display* display, const std::vector<std::string>& captions,
                       Clock::time_point deadline)
{
    while (true) {
        const Window window = find_window(display, DefaultRootWindow(display), captions);
        if (window || Clock::now() >= deadline)
            return window;
        pause_ms(100);
    }
}

int popup_count(Display* display)
{
    Window root_return = 0;
    Window parent_return = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root_return, &parent_return, &children,
                    &count))
        return 0;
    int popups = 0;
    for (unsigned i = 0; i < count; ++i)
        popups += is_popup(display, children[i]) ? 1 : 0;
    if (children)
        XFree(children);
    return popups;
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

// Raises the window and gives it the keyboard, as a click on it would.
void activate(Display* display, Window window)
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == window)
        return;
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    pause_ms(200);
}

// Keys by their X names ("Down", "Return", "minus"); one may carry modifiers, "Alt+f".
bool type_keys(Display* display, const std::vector<std::string>& keys)
{
    for (const std::string& key : keys) {
        std::vector<KeyCode> held;
        size_t start = 0;
        while (true) {
            const size_t plus = key.find('+', start);
            const std::string part =
                plus == std::string::npos ? key.substr(start) : key.substr(start, plus - start);
            std::string name = part == "Alt" ? "Alt_L" : part == "Ctrl" ? "Control_L" : part;
            const KeySym sym = XStringToKeysym(name.c_str());
            const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
            if (!code) {
                std::fprintf(stderr, "x11_probe: no key \"%s\"\n", part.c_str());
                return false;
            }
            held.push_back(code);
            if (plus == std::string::npos)
                break;
            start = plus + 1;
        }
        for (KeyCode code : held)
            XTestFakeKeyEvent(display, code, True, CurrentTime);
        for (auto it = held.rbegin(); it != held.rend(); ++it)
            XTestFakeKeyEvent(display, *it, False, CurrentTime);
        XSync(display, False);
        pause_ms(300);
    }
    return true;
}

struct Point {
    int x, y;
};

Point on_screen(Display* display, Window window, int x, int y)
{
    int rx = 0;
    int ry = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rx, &ry, &child);
    return {rx, ry};
}

void move_pointer(Display* display, Point p)
{
    XTestFakeMotionEvent(display, DefaultScreen(display), p.x, p.y, CurrentTime);
    XSync(display, False);
    pause_ms(30);
}

// Presses the left button at one point of the window, moves in small steps to the other and
// lets go there; the same point twice is a click.
void drag(Display* display, Window window, Point from, Point to)
{
    const Point a = on_screen(display, window, from.x, from.y);
    const Point b = on_screen(display, window, to.x, to.y);
    move_pointer(display, a);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XSync(display, False);
    pause_ms(100);
    constexpr int steps = 20;
    for (int i = 1; i <= steps; ++i)
        move_pointer(display, {a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps});
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    pause_ms(300);
}

// Clicks a menu's title and, once its popup is shown, types the keys that choose the entry.
bool choose_from_menu(Display* display, Window window, Point title,
                      const std::vector<std::string>& keys, Clock::time_point deadline)
{
    const int before = popup_count(display);
    drag(display, window, title, title);
    while (popup_count(display) <= before) {
        if (Clock::now() >= deadline) {
            std::fprintf(stderr, "x11_probe: no menu opened at %d,%d\n", title.x, title.y);
            return false;
        }
        pause_ms(100);
    }
    return type_keys(display, keys);
}

struct Area {
    int x, y, width, height;
};

// The area's pixels as 8-bit RGB, or nothing when the window cannot be read.
std::vector<unsigned char> grab(Display* display, Window window, const Area& area)
{
    XImage* image = XGetImage(display, window, area.x, area.y, static_cast<unsigned>(area.width),
                              static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (!image)
        return {};
    std::vector<unsigned char> rgb;
    rgb.reserve(static_cast<size_t>(area.width) * static_cast<size_t>(area.height) * 3);
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            rgb.push_back(static_cast<unsigned char>((pixel & image->red_mask) >> 16));
            rgb.push_back(static_cast<unsigned char>((pixel & image->green_mask) >> 8));
            rgb.push_back(static_cast<unsigned char>(pixel & image->blue_mask));
        }
    }
    XDestroyImage(image);
    return rgb;
}

size_t colour_count(const std::vector<unsigned char>& rgb)
{
    std::set<unsigned long> colours;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        colours.insert(static_cast<unsigned long>(rgb[i]) << 16 |
                       static_cast<unsigned long>(rgb[i + 1]) << 8 | rgb[i + 2]);
    return colours.size();
}

size_t changed_pixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    size_t changed = 0;
    for (size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3)
        if (std::memcmp(&a[i], &b[i], 3) != 0)
            ++changed;
    return changed;
}

void write_ppm(const std::string& path, const Area& area, const std::vector<unsigned char>& rgb)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << area.width << ' ' << area.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
}

// The pixels of a file written by write_ppm for an area of this size, or nothing.
std::vector<unsigned char> read_ppm(const std::string& path, const Area& area)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0;
    int height = 0;
    int maximum = 0;
    in >> magic >> width >> height >> maximum;
    if (!in || magic != "P6" || width != area.width || height != area.height || maximum != 255 ||
        in.get() != '\n')
        return {};
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    return in ? rgb : std::vector<unsigned char>{};
}

// Grabs the area every half second until a grab differs from the reference, or the deadline.
std::vector<unsigned char> grab_until_changed(Display* display, Window window, const Area& area,
                                              const std::vector<unsigned char>& reference,
                                              Clock::time_point deadline, size_t* changed)
{
    while (true) {
        std::vector<unsigned char> rgb = grab(display, window, area);
        *changed = changed_pixels(reference, rgb);
        if (*changed > 0 || rgb.empty() || Clock::now() >= deadline)
            return rgb;
        pause_ms(500);
    }
}

// Waits for the area to differ from BEFORE (an earlier grab): that picture must hold more than
// one colour, and a later grab must differ from it. The two are written to PREFIX-first.ppm
// and PREFIX-last.ppm.
int watch(Display* display, Window window, const Area& area, Clock::time_point deadline,
          const std::string& before_path, const std::string& prefix)
{
    const std::vector<unsigned char> before = read_ppm(before_path, area);
    if (before.empty()) {
        std::fprintf(stderr, "x11_probe: %s is no grab of a %dx%d area\n", before_path.c_str(),
                     area.width, area.height);
        return 2;
    }
    size_t changed = 0;
    const std::vector<unsigned char> first =
        grab_until_changed(display, window, area, before, deadline, &changed);
    if (first.empty()) {
        std::fprintf(stderr, "x11_probe: cannot read the area %dx%d+%d+%d\n", area.width,
                     area.height, area.x, area.y);
        return 1;
    }
    write_ppm(prefix + "-first.ppm", area, first);
    if (changed == 0) {
        std::fprintf(stderr, "x11_probe: the area still shows what it showed before\n");
        return 1;
    }
    const size_t colours = colour_count(first);
    std::printf("first grab: %zu pixels changed from before, %zu colours\n", changed, colours);
    if (colours < 2) {
        std::fprintf(stderr, "x11_probe: the area is all one colour\n");
        return 1;
    }
    const std::vector<unsigned char> last =
        grab_until_changed(display, window, area, first, deadline, &changed);
    write_ppm(prefix + "-last.ppm", area, last);
    if (changed == 0) {
        std::fprintf(stderr, "x11_probe: the area did not change\n");
        return 1;
    }
    std::printf("later grab: %zu pixels changed\n", changed);
    return 0;
}

bool read_ints(char** args, int count, int* values)
{
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        const long v = std::strtol(args[i], &end, 10);
        if (end == args[i] || *end != '\0' || v < -100000 || v > 100000)
            return false;
        values[i] = static_cast<int>(v);
    }
    return true;
}

// A request on a window that went away, or an area outside it, fails that request only.
int ignore_error(Display*, XErrorEvent*)
{
    return 0;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: x11_probe <command> <timeout seconds> <caption> [arguments]\n"
                 "  wait CAPTION...           one of the windows is shown; prints which\n"
                 "  close                     ask the window to close\n"
                 "  keys KEY...               give it the keyboard and type keys\n"
                 "  menu X Y KEY...           open the menu whose title is there, type keys\n"
                 "  drag X1 Y1 X2 Y2          drag with the left button\n"
                 "  size                      print its width and height\n"
                 "  grab X Y W H FILE         write its pixels there to FILE (PPM)\n"
                 "  watch X Y W H BEFORE PREFIX  its pixels there leave those of the grab\n"
                 "                            BEFORE, vary and change\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return usage();
    const std::string command = argv[1];
    int timeout = 0;
    if (!read_ints(argv + 2, 1, &timeout) || timeout < 0)
        return usage();
    std::vector<std::string> captions = {argv[3]};
    char** args = argv + 4;
    const int arg_count = argc - 4;
    int numbers[4] = {};
    const bool ok =
        command == "wait" ||
        ((command == "close" || command == "size") && arg_count == 0) ||
        (command == "keys" && arg_count > 0) ||
        (command == "menu" && arg_count > 2 && read_ints(args, 2, numbers)) ||
        (command == "drag" && arg_count == 4 && read_ints(args, 4, numbers)) ||
        (command == "grab" && arg_count == 5 && read_ints(args, 4, numbers)) ||
        (command == "watch" && arg_count == 6 && read_ints(args, 4, numbers));
    if (!ok)
        return usage();
    if (command == "wait")
        captions.insert(captions.end(), args, args + arg_count);

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x11_probe: cannot open display\n");
        return 2;
    }
    XSetErrorHandler(ignore_error);
    int event_base = 0;
    int error_base = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display, &event_base, &error_base, &major, &minor)) {
        std::fprintf(stderr, "x11_probe: the X server has no XTEST extension\n");
        XCloseDisplay(display);
        return 2;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(timeout);
    const Window window = wait_for_window(display, captions, deadline);
    if (!window) {
        std::string names;
        for (const std::string& caption : captions)
            names += (names.empty() ? "\"" : " or \"") + caption + "\"";
        std::fprintf(stderr, "x11_probe: no window %s within %d s\n", names.c_str(), timeout);
        XCloseDisplay(display);
        return 1;
    }
    std::printf("found \"%s\" (0x%lx)\n", window_name(display, window).c_str(), window);
    int status = 0;
    if (command == "close") {
        send_close(display, window);
    } else if (command == "keys") {
        activate(display, window);
        status = type_keys(display, std::vector<std::string>(args, args + arg_count)) ? 0 : 1;
    } else if (command == "menu") {
        activate(display, window);
        status = choose_from_menu(display, window, {numbers[0], numbers[1]},
                                  std::vector<std::string>(args + 2, args + arg_count), deadline)
                     ? 0
                     : 1;
    } else if (command == "drag") {
        activate(display, window);
        drag(display, window, {numbers[0], numbers[1]}, {numbers[2], numbers[3]});
    } else if (command == "size") {
        XWindowAttributes attributes;
        XGetWindowAttributes(display, window, &attributes);
        std::printf("%d %d\n", attributes.width, attributes.height);
    } else if (command == "grab") {
        const Area area = {numbers[0], numbers[1], numbers[2], numbers[3]};
        const std::vector<unsigned char> rgb = grab(display, window, area);
        if (rgb.empty()) {
            std::fprintf(stderr, "x11_probe: cannot read the area\n");
            status = 1;
        } else {
            write_ppm(args[4], area, rgb);
        }
    } else if (command == "watch") {
        status = watch(display, window, {numbers[0], numbers[1], numbers[2], numbers[3]},
                       deadline, args[4], args[5]);
    }
    XCloseDisplay(display);
    return status;
}

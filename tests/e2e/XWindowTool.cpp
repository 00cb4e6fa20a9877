// Finds, photographs and closes a top-level window of an X display by its title, the way a
// window manager or a user would, for the real-window tests.
//   talivo_xwindow wait TITLE SECONDS   waits until such a window is mapped
//   talivo_xwindow shot TITLE FILE.png  writes the window's picture
//   talivo_xwindow close TITLE          asks the window to close (WM_DELETE_WINDOW)
//   talivo_xwindow click TITLE X Y      clicks the left button at a point of the window; negative
//                                       coordinates count from its right and bottom edges
//   talivo_xwindow screen FILE.png      writes the picture of the whole screen, menus included
//   talivo_xwindow list                 prints the titles of the mapped top-level windows
//   talivo_xwindow spots TITLE RRGGBB   prints the centre of each patch of that colour in the
//                                       window, one "X Y" a line, from top to bottom
//   talivo_xwindow compare A.png B.png PERCENT
//                                       fails when the pictures differ in size or in more than
//                                       PERCENT per cent of their pixels

#include <QImage>
#include <QString>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::string WindowTitle(Display *display, Window window)
{
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
        return title;
    }
    char *name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

// One colour channel of a pixel, scaled to 0..255 whatever the visual's depth.
int Channel(unsigned long pixel, unsigned long mask)
{
    if (!mask)
        return 0;
    const int shift = std::countr_zero(mask);
    return int(((pixel & mask) >> shift) * 255 / (mask >> shift));
}

bool Mapped(Display *display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

std::vector<Window> Children(Display *display, Window window)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        result.assign(children, children + count);
        XFree(children);
    }
    return result;
}

// The windows of the programs: the children of the root, or with a window manager the windows
// it has put into its frames a level or two further down.
std::vector<Window> TopLevels(Display *display)
{
    std::vector<Window> result;
    std::vector<Window> level = Children(display, DefaultRootWindow(display));
    for (int depth = 0; depth < 3 && !level.empty(); ++depth) {
        std::vector<Window> next;
        for (Window window : level) {
            if (!Mapped(display, window))
                continue;
            if (!WindowTitle(display, window).empty()) {
                result.push_back(window);
                continue;
            }
            const std::vector<Window> inner = Children(display, window);
            next.insert(next.end(), inner.begin(), inner.end());
        }
        level = std::move(next);
    }
    return result;
}

std::optional<Window> Find(Display *display, const std::string &title)
{
    for (Window window : TopLevels(display)) {
        if (WindowTitle(display, window) == title)
            return window;
    }
    return std::nullopt;
}

int Wait(Display *display, const std::string &title, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (Find(display, title))
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::fprintf(stderr, "No window \"%s\" appeared within %g s\n", title.c_str(), seconds);
    return 1;
}

// The window's picture; a null image when it cannot be read.
QImage Capture(Display *display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        std::fprintf(stderr, "Cannot read the window's size\n");
        return {};
    }
    XImage *image =
        XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "Cannot read the window's picture\n");
        return {};
    }
    QImage picture(attributes.width, attributes.height, QImage::Format_RGB32);
    for (int y = 0; y < attributes.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            line[x] = qRgb(Channel(pixel, image->red_mask), Channel(pixel, image->green_mask),
                           Channel(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return picture;
}

int Shot(Display *display, Window window, const char *file)
{
    const QImage picture = Capture(display, window);
    if (picture.isNull())
        return 1;
    if (!picture.save(QString::fromLocal8Bit(file), "PNG")) {
        std::fprintf(stderr, "Cannot write %s\n", file);
        return 1;
    }
    return 0;
}

// The press and release reach the program as from a pointer; Qt takes synthetic button events
// like real ones.
int Click(Display *display, Window window, int x, int y)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        std::fprintf(stderr, "Cannot read the window's size\n");
        return 1;
    }
    if (x < 0)
        x += attributes.width;
    if (y < 0)
        y += attributes.height;
    const Window root = DefaultRootWindow(display);
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display, window, root, x, y, &rootX, &rootY, &child);
    XEvent motion;
    std::memset(&motion, 0, sizeof motion);
    motion.xmotion.type = MotionNotify;
    motion.xmotion.send_event = True;
    motion.xmotion.display = display;
    motion.xmotion.window = window;
    motion.xmotion.root = root;
    motion.xmotion.x = x;
    motion.xmotion.y = y;
    motion.xmotion.x_root = rootX;
    motion.xmotion.y_root = rootY;
    motion.xmotion.same_screen = True;
    XSendEvent(display, window, True, PointerMotionMask, &motion);
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event;
        std::memset(&event, 0, sizeof event);
        event.xbutton.type = type;
        event.xbutton.send_event = True;
        event.xbutton.display = display;
        event.xbutton.window = window;
        event.xbutton.root = root;
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.x_root = rootX;
        event.xbutton.y_root = rootY;
        event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        event.xbutton.button = Button1;
        event.xbutton.same_screen = True;
        XSendEvent(display, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
                   &event);
        XFlush(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

bool Near(QRgb pixel, QRgb colour)
{
    constexpr int tolerance = 24;
    return std::abs(qRed(pixel) - qRed(colour)) <= tolerance &&
           std::abs(qGreen(pixel) - qGreen(colour)) <= tolerance &&
           std::abs(qBlue(pixel) - qBlue(colour)) <= tolerance;
}

// Finds things drawn in a known colour (the nuclei of a picture of cells) wherever the program
// happens to show them, so that a check can click on them.
int Spots(Display *display, Window window, const char *colourName)
{
    const QImage picture = Capture(display, window);
    if (picture.isNull())
        return 1;
    const QRgb colour = QRgb(std::strtoul(colourName, nullptr, 16));
    const int width = picture.width();
    std::vector<bool> seen(size_t(width) * picture.height());
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < width; ++x) {
            if (seen[size_t(y) * width + x] || !Near(picture.pixel(x, y), colour))
                continue;
            // One patch, filled from its first pixel.
            long sumX = 0, sumY = 0, count = 0;
            std::vector<std::pair<int, int>> open{{x, y}};
            seen[size_t(y) * width + x] = true;
            while (!open.empty()) {
                const auto [px, py] = open.back();
                open.pop_back();
                sumX += px;
                sumY += py;
                ++count;
                for (const auto &[nx, ny] : {std::pair{px + 1, py}, std::pair{px - 1, py},
                                             std::pair{px, py + 1}, std::pair{px, py - 1}}) {
                    if (nx < 0 || ny < 0 || nx >= width || ny >= picture.height() ||
                        seen[size_t(ny) * width + nx] || !Near(picture.pixel(nx, ny), colour))
                        continue;
                    seen[size_t(ny) * width + nx] = true;
                    open.push_back({nx, ny});
                }
            }
            // Stray pixels of the colour (icons, anti-aliased edges) are no patch.
            if (count >= 12)
                std::printf("%ld %ld\n", sumX / count, sumY / count);
        }
    }
    return 0;
}

int Compare(const char *first, const char *second, double percent)
{
    const QImage a(QString::fromLocal8Bit(first));
    const QImage b(QString::fromLocal8Bit(second));
    if (a.isNull() || b.isNull()) {
        std::fprintf(stderr, "Cannot read %s\n", a.isNull() ? first : second);
        return 1;
    }
    if (a.size() != b.size()) {
        std::fprintf(stderr, "%s is %d x %d pixels, %s %d x %d\n", first, a.width(), a.height(),
                     second, b.width(), b.height());
        return 1;
    }
    long differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!Near(a.pixel(x, y), b.pixel(x, y)))
                ++differing;
        }
    }
    const double share = 100.0 * double(differing) / (double(a.width()) * a.height());
    if (share > percent) {
        std::fprintf(stderr, "%s and %s differ in %.2f %% of their pixels\n", first, second, share);
        return 1;
    }
    return 0;
}

int Close(Display *display, Window window)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "Cannot open the X display\n");
        return 2;
    }
    const std::string command = argc > 1 ? argv[1] : "";
    int result = 2;
    if (command == "compare" && argc == 5) {
        result = Compare(argv[2], argv[3], std::atof(argv[4]));
    } else if (command == "list") {
        for (Window window : TopLevels(display))
            std::printf("%s\n", WindowTitle(display, window).c_str());
        result = 0;
    } else if (command == "wait" && argc == 4) {
        result = Wait(display, argv[2], std::atof(argv[3]));
    } else if (command == "screen" && argc == 3) {
        result = Shot(display, DefaultRootWindow(display), argv[2]);
    } else if ((command == "shot" && argc == 4) || (command == "close" && argc == 3) ||
               (command == "click" && argc == 5) || (command == "spots" && argc == 4)) {
        const std::optional<Window> window = Find(display, argv[2]);
        if (!window)
            std::fprintf(stderr, "No window \"%s\"\n", argv[2]);
        else if (command == "shot")
            result = Shot(display, *window, argv[3]);
        else if (command == "click")
            result = Click(display, *window, std::atoi(argv[3]), std::atoi(argv[4]));
        else if (command == "spots")
            result = Spots(display, *window, argv[3]);
        else
            result = Close(display, *window);
        if (!window)
            result = 1;
    } else {
        std::fprintf(stderr,
                     "usage: %s wait TITLE SECONDS | shot TITLE FILE | close TITLE | "
                     "click TITLE X Y | spots TITLE RRGGBB | screen FILE | list | "
                     "compare A.png B.png PERCENT\n",
                     argv[0]);
    }
    XCloseDisplay(display);
    return result;
}

// Small X11 jobs that the end-to-end tests need and that no standard tool does reliably: offering
// a display mode the virtual server lacks, reading the screen's real size, making a window for the
// program to draw into, watching for new windows, moving the pointer without a device, asking
// a window to close the way a window manager does, and taking a screenshot and finding windows by
// name at a fraction of the cost of ImageMagick and xdotool (the suites do both hundreds of times).
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: xhelper offer-mode W H | screen | make-window W H |\n"
                 "       watch-windows | warp X Y | close-window ID | window ID | grab FILE |\n"
                 "       windows TITLE [mapped] | names\n");
    return 2;
}

// Waits for the signal that ends the helper: what it holds (a mode, a window) lives as long as
// its connection, and the server drops it when the helper is gone.
void holdUntilSignalled() {
    for (;;) {
        pause();
    }
}

// Xvfb lists only its own screen size as a mode; a real monitor lists many. Adding a mode to the
// output makes the virtual screen behave like a monitor that offers that size too.
int offerMode(Display* display, int width, int height) {
    Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources || resources->noutput < 1) {
        return 1;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%dx%d", width, height);
    XRRModeInfo mode{};
    mode.width = static_cast<unsigned>(width);
    mode.height = static_cast<unsigned>(height);
    mode.dotClock = 25175000;
    mode.hSyncStart = static_cast<unsigned>(width) + 16;
    mode.hSyncEnd = static_cast<unsigned>(width) + 112;
    mode.hTotal = static_cast<unsigned>(width) + 160;
    mode.vSyncStart = static_cast<unsigned>(height) + 10;
    mode.vSyncEnd = static_cast<unsigned>(height) + 12;
    mode.vTotal = static_cast<unsigned>(height) + 45;
    mode.name = name;
    mode.nameLength = static_cast<unsigned>(std::strlen(name));
    RRMode id = XRRCreateMode(display, root, &mode);
    XRRAddOutputMode(display, resources->outputs[0], id);
    XRRFreeScreenResources(resources);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);
    holdUntilSignalled();
    return 0;
}

// The root window's size and the first CRTC's mode size, read without asking the server to probe
// its outputs (which would make Xvfb forget the offered mode).
int printScreen(Display* display) {
    Window root = DefaultRootWindow(display);
    Window ignored;
    int x, y;
    unsigned width, height, border, depth;
    XGetGeometry(display, root, &ignored, &x, &y, &width, &height, &border, &depth);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    unsigned crtcWidth = 0, crtcHeight = 0;
    if (resources && resources->ncrtc > 0) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[0]);
        if (crtc) {
            crtcWidth = crtc->width;
            crtcHeight = crtc->height;
            XRRFreeCrtcInfo(crtc);
        }
    }
    if (resources) {
        XRRFreeScreenResources(resources);
    }
    std::printf("screen %ux%u crtc %ux%u\n", width, height, crtcWidth, crtcHeight);
    return 0;
}

int makeWindow(Display* display, int width, int height) {
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(
        display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, window, "foreign");
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    holdUntilSignalled();
    return 0;
}

// Prints a line for every window made on the root from now on, until the helper is ended.
int watchWindows(Display* display) {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify) {
            std::printf("created 0x%lx\n", event.xcreatewindow.window);
            std::fflush(stdout);
        }
    }
}

// Moves the pointer without any input device: windows see the motion, raw device events do not.
int warpPointer(Display* display, int x, int y) {
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
    XSync(display, False);
    return 0;
}

int closeWindow(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

// One line of facts about a window: whether it bypasses the window manager, its place and size,
// whether it is viewable, and whether it asks for WM_DELETE_WINDOW.
int printWindow(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return 1;
    }
    Atom* protocols = nullptr;
    int count = 0;
    bool closable = false;
    if (XGetWMProtocols(display, window, &protocols, &count)) {
        Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        for (int i = 0; i < count; i++) {
            closable = closable || protocols[i] == deleteWindow;
        }
        XFree(protocols);
    }
    std::printf("override=%d geometry=%dx%d+%d+%d viewable=%d closable=%d\n",
                attributes.override_redirect ? 1 : 0, attributes.width, attributes.height,
                attributes.x, attributes.y, attributes.map_state == IsViewable ? 1 : 0,
                closable ? 1 : 0);
    return 0;
}

// A window's name as xdotool reads it: _NET_WM_NAME where it is set, else WM_NAME, as bytes.
std::string windowName(Display* display, Window window) {
    for (const char* property : {"_NET_WM_NAME", "WM_NAME"}) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* value = nullptr;
        const Atom atom = XInternAtom(display, property, False);
        if (XGetWindowProperty(display, window, atom, 0, 1024, False, AnyPropertyType, &type,
                               &format, &count, &after, &value) == Success &&
            value != nullptr) {
            const std::string name(reinterpret_cast<const char*>(value), format == 8 ? count : 0);
            XFree(value);
            if (!name.empty()) {
                return name;
            }
        }
    }
    return std::string();
}

bool viewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

std::vector<Window> children(Display* display, Window window) {
    Window root = None;
    Window parent = None;
    Window* list = nullptr;
    unsigned count = 0;
    std::vector<Window> found;
    if (XQueryTree(display, window, &root, &parent, &list, &count) && list != nullptr) {
        found.assign(list, list + count);
        XFree(list);
    }
    return found;
}

// Prints the id of every window named exactly TITLE (only the viewable ones with MAPPED), in
// xdotool search's order: each window's children, bottom to top, before their children.
void printWindowsNamed(Display* display, Window window, const std::string& title, bool mapped) {
    const std::vector<Window> below = children(display, window);
    for (Window child : below) {
        if (windowName(display, child) == title && (!mapped || viewable(display, child))) {
            std::printf("%lu\n", child);
        }
    }
    for (Window child : below) {
        printWindowsNamed(display, child, title, mapped);
    }
}

// Prints the name of every viewable window on the root, bottom to top ("untitled window ID" for
// one without a name).
int printNames(Display* display) {
    for (Window child : children(display, DefaultRootWindow(display))) {
        if (viewable(display, child)) {
            const std::string name = windowName(display, child);
            if (name.empty()) {
                std::printf("untitled window %lu\n", child);
            } else {
                std::printf("%s\n", name.c_str());
            }
        }
    }
    return 0;
}

// Windows come and go while the tree is read: a window gone by the time it is asked about is
// simply not listed.
int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

// One channel of a pixel, scaled to 8 bits from however many bits its mask holds (5 or 6 on
// a 16-bit screen), rounded as ImageMagick's import rounds it.
unsigned char channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    unsigned long value = pixel & mask;
    while ((mask & 1) == 0) {
        mask >>= 1;
        value >>= 1;
    }
    return static_cast<unsigned char>((value * 255 + mask / 2) / mask);
}

// What the screen shows (the root window with every window on it) as a binary PPM in PATH.
int grabScreen(Display* display, const char* path) {
    Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, root, &attributes)) {
        return 1;
    }
    XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) {
        return 1;
    }
    std::FILE* out = std::fopen(path, "wb");
    bool written = out != nullptr;
    if (written) {
        std::fprintf(out, "P6\n%d %d\n255\n", image->width, image->height);
        std::vector<unsigned char> row(static_cast<size_t>(image->width) * 3);
        for (int y = 0; y < image->height && written; ++y) {
            for (int x = 0; x < image->width; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                row[static_cast<size_t>(x) * 3] = channel(pixel, image->red_mask);
                row[static_cast<size_t>(x) * 3 + 1] = channel(pixel, image->green_mask);
                row[static_cast<size_t>(x) * 3 + 2] = channel(pixel, image->blue_mask);
            }
            written = std::fwrite(row.data(), 1, row.size(), out) == row.size();
        }
        written = std::fclose(out) == 0 && written;
    }
    XDestroyImage(image);
    return written ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage();
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xhelper: no display\n");
        return 1;
    }
    const char* command = argv[1];
    int result = 2;
    if (std::strcmp(command, "offer-mode") == 0 && argc == 4) {
        result = offerMode(display, std::atoi(argv[2]), std::atoi(argv[3]));
    } else if (std::strcmp(command, "screen") == 0) {
        result = printScreen(display);
    } else if (std::strcmp(command, "make-window") == 0 && argc == 4) {
        result = makeWindow(display, std::atoi(argv[2]), std::atoi(argv[3]));
    } else if (std::strcmp(command, "watch-windows") == 0) {
        result = watchWindows(display);
    } else if (std::strcmp(command, "warp") == 0 && argc == 4) {
        result = warpPointer(display, std::atoi(argv[2]), std::atoi(argv[3]));
    } else if (std::strcmp(command, "close-window") == 0 && argc == 3) {
        result = closeWindow(display, std::strtoul(argv[2], nullptr, 0));
    } else if (std::strcmp(command, "window") == 0 && argc == 3) {
        result = printWindow(display, std::strtoul(argv[2], nullptr, 0));
    } else if (std::strcmp(command, "grab") == 0 && argc == 3) {
        result = grabScreen(display, argv[2]);
    } else if (std::strcmp(command, "windows") == 0 &&
               (argc == 3 || (argc == 4 && std::strcmp(argv[3], "mapped") == 0))) {
        // Polled many times a case: a server that stopped answering ends the helper, not the
        // suite.
        alarm(10);
        XSetErrorHandler(ignoreError);
        printWindowsNamed(display, DefaultRootWindow(display), argv[2], argc == 4);
        result = 0;
    } else if (std::strcmp(command, "names") == 0) {
        alarm(10);
        XSetErrorHandler(ignoreError);
        result = printNames(display);
    } else {
        usage();
    }
    XCloseDisplay(display);
    return result;
}

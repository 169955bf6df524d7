// The about box: a small dialog window with the text and an OK button, drawn with the core font.
// Without a display the text goes to standard output instead.
#include "platform/Platform.h"

#include "platform/x11/ErrorTrap.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int MARGIN = 16;
const int BUTTON_WIDTH = 80;
const int BUTTON_HEIGHT = 26;

struct AboutLayout {
    std::vector<std::string> lines;
    int lineHeight;
    int ascent;
    int width;
    int height;
    int buttonX;
    int buttonY;
};

std::vector<std::string> splitLines(const char* text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char* c = text; *c; c++) {
        if (*c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += *c;
        }
    }
    lines.push_back(line);
    return lines;
}

AboutLayout layOut(XFontStruct* font, const char* text) {
    AboutLayout layout;
    layout.lines = splitLines(text);
    layout.ascent = font->ascent;
    layout.lineHeight = font->ascent + font->descent + 2;
    int textWidth = 0;
    for (const std::string& line : layout.lines) {
        const int width = XTextWidth(font, line.c_str(), static_cast<int>(line.size()));
        textWidth = width > textWidth ? width : textWidth;
    }
    const int contentWidth = textWidth > BUTTON_WIDTH ? textWidth : BUTTON_WIDTH;
    layout.width = contentWidth + 2 * MARGIN;
    const int textHeight = static_cast<int>(layout.lines.size()) * layout.lineHeight;
    layout.buttonX = (layout.width - BUTTON_WIDTH) / 2;
    layout.buttonY = MARGIN + textHeight + MARGIN;
    layout.height = layout.buttonY + BUTTON_HEIGHT + MARGIN;
    return layout;
}

void draw(Display* display, Window window, GC gc, XFontStruct* font, const AboutLayout& layout) {
    const int screen = DefaultScreen(display);
    XSetForeground(display, gc, BlackPixel(display, screen));
    for (size_t i = 0; i < layout.lines.size(); i++) {
        const std::string& line = layout.lines[i];
        XDrawString(display, window, gc, MARGIN,
                    MARGIN + layout.ascent + static_cast<int>(i) * layout.lineHeight, line.c_str(),
                    static_cast<int>(line.size()));
    }
    XDrawRectangle(display, window, gc, layout.buttonX, layout.buttonY, BUTTON_WIDTH - 1,
                   BUTTON_HEIGHT - 1);
    const char label[] = "OK";
    const int labelWidth = XTextWidth(font, label, 2);
    XDrawString(display, window, gc, layout.buttonX + (BUTTON_WIDTH - labelWidth) / 2,
                layout.buttonY + (BUTTON_HEIGHT + font->ascent - font->descent) / 2, label, 2);
}

bool insideButton(const AboutLayout& layout, int x, int y) {
    return x >= layout.buttonX && x < layout.buttonX + BUTTON_WIDTH && y >= layout.buttonY &&
           y < layout.buttonY + BUTTON_HEIGHT;
}

// Enter and space press the one button; Escape closes the box as it does a message box.
bool closesBox(XKeyEvent& key) {
    const KeySym symbol = XLookupKeysym(&key, 0);
    return symbol == XK_Return || symbol == XK_KP_Enter || symbol == XK_space ||
           symbol == XK_Escape;
}

void printAbout(const char* caption, const char* text) {
    std::printf("%s\n%s\n", caption, text);
    std::fflush(stdout);
}

} // namespace

void showAbout(const char* caption, const char* text) {
    caption = caption ? caption : "";
    text = text ? text : "";
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        printAbout(caption, text);
        return;
    }
    installErrorHandler();
    const int screen = DefaultScreen(display);
    GC gc = XCreateGC(display, RootWindow(display, screen), 0, nullptr);
    XFontStruct* font = XLoadQueryFont(display, "fixed");
    // A server without the "fixed" font still has the one the GC starts with.
    const bool fontLoaded = font != nullptr;
    if (!font) {
        font = XQueryFont(display, XGContextFromGC(gc));
    }
    if (!font) {
        XFreeGC(display, gc);
        XCloseDisplay(display);
        printAbout(caption, text);
        return;
    }
    if (fontLoaded) {
        XSetFont(display, gc, font->fid);
    }
    const AboutLayout layout = layOut(font, text);

    const int x = (DisplayWidth(display, screen) - layout.width) / 2;
    const int y = (DisplayHeight(display, screen) - layout.height) / 2;
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x > 0 ? x : 0,
                                        y > 0 ? y : 0, static_cast<unsigned>(layout.width),
                                        static_cast<unsigned>(layout.height), 1,
                                        BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, caption);
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    Atom windowType = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom dialogType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, window, windowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dialogType), 1);
    XSizeHints* size = XAllocSizeHints();
    size->flags = PMinSize | PMaxSize;
    size->min_width = size->max_width = layout.width;
    size->min_height = size->max_height = layout.height;
    XSetWMNormalHints(display, window, size);
    XFree(size);
    XSelectInput(display, window,
                 ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                     StructureNotifyMask);
    XMapRaised(display, window);

    bool pressedInButton = false;
    bool destroyed = false;
    bool open = true;
    while (open) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case MapNotify:
            // Without a window manager nobody else gives the box the keyboard.
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
            break;
        case Expose:
            if (event.xexpose.count == 0) {
                draw(display, window, gc, font, layout);
            }
            break;
        case KeyPress:
            open = !closesBox(event.xkey);
            break;
        case ButtonPress:
            pressedInButton = event.xbutton.button == Button1 &&
                              insideButton(layout, event.xbutton.x, event.xbutton.y);
            break;
        case ButtonRelease:
            open = !(pressedInButton && event.xbutton.button == Button1 &&
                     insideButton(layout, event.xbutton.x, event.xbutton.y));
            pressedInButton = false;
            break;
        case ClientMessage:
            open = !(event.xclient.message_type == protocols &&
                     static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow);
            break;
        case DestroyNotify:
            destroyed = true;
            open = false;
            break;
        default:
            break;
        }
    }
    if (!destroyed) {
        XDestroyWindow(display, window);
    }
    if (fontLoaded) {
        XFreeFont(display, font);
    } else {
        XFreeFontInfo(nullptr, font, 0);
    }
    XFreeGC(display, gc);
    XCloseDisplay(display);
}

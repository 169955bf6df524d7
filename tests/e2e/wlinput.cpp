// The mouse and keyboard of the Wayland host: one virtual pointer and one virtual keyboard,
// made once and kept for the whole case, so that every client sees a seat with a pointer and a
// keyboard from its start, as on a user's desk (a device made per command would come and go, and
// a client would lose its wl_pointer and the events sent before it bound a new one).
//
//   wlinput            commands on standard input, one a line, "ok" on standard output after
//                      each has reached the compositor ("ready" once the devices exist):
//     move DX DY       relative motion in pixels
//     place X Y W H    the pointer to X,Y of a layout W x H (absolute motion)
//     button N         press and release of X button N: 1 left, 2 middle, 3 right, 8 back,
//                      4 and 5 a wheel step up and down, as xdotool names them
//     wheel N          N wheel steps, down when positive
//     key NAME         press and release of the key that types the keysym NAME (xkb names)
//
// The virtual-pointer protocol is not packaged here, so its few requests are declared by hand
// (the type lists are not const: wl_message wants them so);
// the virtual keyboard's likewise. A command it cannot carry out prints "error ..." and the
// client goes on; a lost compositor ends it with status 1.
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

const wl_interface* NO_TYPES[5] = {};

extern const wl_interface virtualPointerInterface;
extern const wl_interface virtualKeyboardInterface;

const wl_interface* CREATE_POINTER_TYPES[] = {&wl_seat_interface, &virtualPointerInterface};
const wl_message POINTER_MANAGER_REQUESTS[] = {
    {"create_virtual_pointer", "?on", CREATE_POINTER_TYPES},
    {"destroy", "", NO_TYPES},
};
const wl_interface pointerManagerInterface = {"zwlr_virtual_pointer_manager_v1", 1, 2,
                                              POINTER_MANAGER_REQUESTS,          0, nullptr};

enum PointerRequest {
    POINTER_MOTION,
    POINTER_MOTION_ABSOLUTE,
    POINTER_BUTTON,
    POINTER_AXIS,
    POINTER_FRAME,
    POINTER_AXIS_SOURCE,
    POINTER_AXIS_STOP,
    POINTER_AXIS_DISCRETE,
    POINTER_DESTROY,
};
const wl_message POINTER_REQUESTS[] = {
    {"motion", "uff", NO_TYPES},   {"motion_absolute", "uuuuu", NO_TYPES},
    {"button", "uuu", NO_TYPES},   {"axis", "uuf", NO_TYPES},
    {"frame", "", NO_TYPES},       {"axis_source", "u", NO_TYPES},
    {"axis_stop", "uu", NO_TYPES}, {"axis_discrete", "uufi", NO_TYPES},
    {"destroy", "", NO_TYPES},
};
const wl_interface virtualPointerInterface = {"zwlr_virtual_pointer_v1", 1, 9,
                                              POINTER_REQUESTS,          0, nullptr};

const wl_interface* CREATE_KEYBOARD_TYPES[] = {&wl_seat_interface, &virtualKeyboardInterface};
const wl_message KEYBOARD_MANAGER_REQUESTS[] = {
    {"create_virtual_keyboard", "on", CREATE_KEYBOARD_TYPES},
};
const wl_interface keyboardManagerInterface = {"zwp_virtual_keyboard_manager_v1", 1, 1,
                                               KEYBOARD_MANAGER_REQUESTS,         0, nullptr};

enum KeyboardRequest { KEYBOARD_KEYMAP, KEYBOARD_KEY, KEYBOARD_MODIFIERS, KEYBOARD_DESTROY };
const wl_message KEYBOARD_REQUESTS[] = {
    {"keymap", "uhu", NO_TYPES},
    {"key", "uuu", NO_TYPES},
    {"modifiers", "uuuu", NO_TYPES},
    {"destroy", "", NO_TYPES},
};
const wl_interface virtualKeyboardInterface = {"zwp_virtual_keyboard_v1", 1, 4,
                                               KEYBOARD_REQUESTS,         0, nullptr};

// Linux input codes (linux/input-event-codes.h) and wl_pointer's values.
const uint32_t BTN_LEFT_CODE = 0x110, BTN_RIGHT_CODE = 0x111, BTN_MIDDLE_CODE = 0x112,
               BTN_SIDE_CODE = 0x113;
const uint32_t PRESSED = 1, RELEASED = 0, AXIS_VERTICAL = 0, SOURCE_WHEEL = 0;
// A wheel step turns the axis by 15 units, as libinput reports a mouse wheel's click.
const double WHEEL_STEP = 15.0;
const uint32_t KEYMAP_XKB_V1 = 1;

struct Host {
    wl_display* display = nullptr;
    wl_seat* seat = nullptr;
    wl_proxy* pointerManager = nullptr;
    wl_proxy* keyboardManager = nullptr;
    wl_proxy* pointer = nullptr;
    wl_proxy* keyboard = nullptr;
    xkb_keymap* keymap = nullptr;
};

void announced(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    Host* host = static_cast<Host*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !host->seat) {
        host->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, pointerManagerInterface.name) == 0) {
        host->pointerManager =
            static_cast<wl_proxy*>(wl_registry_bind(registry, name, &pointerManagerInterface, 1));
    } else if (std::strcmp(interface, keyboardManagerInterface.name) == 0) {
        host->keyboardManager =
            static_cast<wl_proxy*>(wl_registry_bind(registry, name, &keyboardManagerInterface, 1));
    }
}

void withdrawn(void*, wl_registry*, uint32_t) {}

const wl_registry_listener REGISTRY_LISTENER = {announced, withdrawn};

uint32_t nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

template <typename... Args> void request(wl_proxy* proxy, uint32_t opcode, Args... args) {
    wl_proxy_marshal_flags(proxy, opcode, nullptr, wl_proxy_get_version(proxy), 0, args...);
}

void destroy(wl_proxy* proxy, uint32_t opcode) {
    wl_proxy_marshal_flags(proxy, opcode, nullptr, wl_proxy_get_version(proxy),
                           WL_MARSHAL_FLAG_DESTROY);
}

// The keyboard's keymap, the usual US layout, handed over as a file as the protocol wants.
bool sendKeymap(Host& host) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context) {
        return false;
    }
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    host.keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_context_unref(context);
    if (!host.keymap) {
        return false;
    }
    char* text = xkb_keymap_get_as_string(host.keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const int fd = memfd_create("wlinput-keymap", MFD_CLOEXEC);
    const size_t size = std::strlen(text) + 1;
    const bool written = fd >= 0 && write(fd, text, size) == static_cast<ssize_t>(size);
    std::free(text);
    if (written) {
        request(host.keyboard, KEYBOARD_KEYMAP, KEYMAP_XKB_V1, fd, static_cast<uint32_t>(size));
    }
    if (fd >= 0) {
        close(fd);
    }
    return written;
}

// The evdev code of the first key whose unshifted level types the keysym, or -1.
int keyCode(const Host& host, const char* name) {
    const xkb_keysym_t wanted = xkb_keysym_from_name(name, XKB_KEYSYM_NO_FLAGS);
    if (wanted == XKB_KEY_NoSymbol) {
        return -1;
    }
    for (xkb_keycode_t code = xkb_keymap_min_keycode(host.keymap);
         code <= xkb_keymap_max_keycode(host.keymap); code++) {
        const xkb_keysym_t* symbols = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(host.keymap, code, 0, 0, &symbols);
        if (count == 1 && symbols[0] == wanted && code >= 8) {
            return static_cast<int>(code - 8);
        }
    }
    return -1;
}

void wheel(Host& host, int steps) {
    request(host.pointer, POINTER_AXIS_SOURCE, SOURCE_WHEEL);
    request(host.pointer, POINTER_AXIS_DISCRETE, nowMs(), AXIS_VERTICAL,
            wl_fixed_from_double(WHEEL_STEP * steps), steps);
    request(host.pointer, POINTER_FRAME);
}

bool pressButton(Host& host, int button) {
    static const uint32_t CODES[] = {0, BTN_LEFT_CODE, BTN_MIDDLE_CODE, BTN_RIGHT_CODE};
    uint32_t code = 0;
    if (button >= 1 && button <= 3) {
        code = CODES[button];
    } else if (button == 8) {
        code = BTN_SIDE_CODE;
    } else if (button == 4 || button == 5) {
        wheel(host, button == 4 ? -1 : 1);
        return true;
    } else {
        return false;
    }
    request(host.pointer, POINTER_BUTTON, nowMs(), code, PRESSED);
    request(host.pointer, POINTER_FRAME);
    request(host.pointer, POINTER_BUTTON, nowMs(), code, RELEASED);
    request(host.pointer, POINTER_FRAME);
    return true;
}

// Carries out one command line; false when it names nothing this client can do.
bool carryOut(Host& host, const char* line) {
    char word[16] = {}, name[64] = {};
    double dx = 0, dy = 0;
    unsigned x = 0, y = 0, width = 0, height = 0;
    int number = 0;
    if (std::sscanf(line, "move %lf %lf", &dx, &dy) == 2) {
        request(host.pointer, POINTER_MOTION, nowMs(), wl_fixed_from_double(dx),
                wl_fixed_from_double(dy));
        request(host.pointer, POINTER_FRAME);
        return true;
    }
    if (std::sscanf(line, "place %u %u %u %u", &x, &y, &width, &height) == 4 && x < width &&
        y < height) {
        request(host.pointer, POINTER_MOTION_ABSOLUTE, nowMs(), x, y, width, height);
        request(host.pointer, POINTER_FRAME);
        return true;
    }
    if (std::sscanf(line, "button %d", &number) == 1) {
        return pressButton(host, number);
    }
    if (std::sscanf(line, "wheel %d", &number) == 1 && number != 0) {
        wheel(host, number);
        return true;
    }
    if (std::sscanf(line, "%15s %63s", word, name) == 2 && std::strcmp(word, "key") == 0) {
        const int code = keyCode(host, name);
        if (code < 0) {
            return false;
        }
        request(host.keyboard, KEYBOARD_KEY, nowMs(), static_cast<uint32_t>(code), PRESSED);
        request(host.keyboard, KEYBOARD_KEY, nowMs(), static_cast<uint32_t>(code), RELEASED);
        return true;
    }
    return false;
}

} // namespace

int main() {
    Host host;
    host.display = wl_display_connect(nullptr);
    if (!host.display) {
        std::fprintf(stderr, "wlinput: no compositor at WAYLAND_DISPLAY\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(host.display);
    wl_registry_add_listener(registry, &REGISTRY_LISTENER, &host);
    wl_display_roundtrip(host.display);
    if (!host.seat || !host.pointerManager || !host.keyboardManager) {
        std::fprintf(stderr, "wlinput: the compositor offers no seat, virtual pointer or "
                             "virtual keyboard\n");
        return 1;
    }
    host.pointer = wl_proxy_marshal_flags(host.pointerManager, 0, &virtualPointerInterface, 1, 0,
                                          host.seat, nullptr);
    host.keyboard = wl_proxy_marshal_flags(host.keyboardManager, 0, &virtualKeyboardInterface, 1, 0,
                                           host.seat, nullptr);
    if (!sendKeymap(host) || wl_display_roundtrip(host.display) < 0) {
        std::fprintf(stderr, "wlinput: the devices could not be made\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        const bool done = carryOut(host, line);
        if (wl_display_roundtrip(host.display) < 0) {
            std::fprintf(stderr, "wlinput: the compositor went away\n");
            return 1;
        }
        std::printf(done ? "ok\n" : "error %s", line);
        std::fflush(stdout);
    }
    destroy(host.pointer, POINTER_DESTROY);
    destroy(host.keyboard, KEYBOARD_DESTROY);
    xkb_keymap_unref(host.keymap);
    wl_display_roundtrip(host.display);
    wl_display_disconnect(host.display);
    return 0;
}

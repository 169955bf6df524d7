// Looks at the program's windows from inside the same Wine session, where the X side cannot see
// Win32 styles or the text of a message box, and starts a program with an exact command line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Search {
    const char* title;
    std::vector<HWND> found;
};

BOOL CALLBACK collectByTitle(HWND window, LPARAM data) {
    Search* search = reinterpret_cast<Search*>(data);
    char text[512];
    GetWindowTextA(window, text, sizeof text);
    // FindWindowA ignores case; the tests need the title exactly as written.
    if (std::strcmp(text, search->title) == 0) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> windowsTitled(const char* title) {
    Search search{title, {}};
    EnumWindows(collectByTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string escaped(const char* text) {
    std::string out;
    for (const char* c = text; *c; ++c) {
        switch (*c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += *c;
        }
    }
    return out;
}

// One line per top-level window with that title: styles, outer rectangle, client rectangle on
// the screen, and whether it is visible.
int describeWindows(const char* title) {
    std::vector<HWND> windows = windowsTitled(title);
    for (HWND window : windows) {
        RECT outer;
        RECT client;
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        std::printf("style=0x%08lx exstyle=0x%08lx window=%ld,%ld,%ld,%ld client=%ld,%ld,%ld,%ld "
                    "visible=%d\n",
                    static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                    static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)), outer.left,
                    outer.top, outer.right, outer.bottom, origin.x, origin.y,
                    origin.x + client.right, origin.y + client.bottom,
                    IsWindowVisible(window) ? 1 : 0);
    }
    return windows.empty() ? 1 : 0;
}

BOOL CALLBACK printChild(HWND child, LPARAM) {
    char className[128];
    char text[1024];
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    RECT rect;
    GetWindowRect(child, &rect);
    std::printf("%s\t%s\t%ld,%ld,%ld,%ld\n", className, escaped(text).c_str(), rect.left, rect.top,
                rect.right, rect.bottom);
    return TRUE;
}

// The controls of a dialog, such as a message box, one line each: class, escaped text and the
// rectangle on the screen, separated by tabs.
int describeControls(const char* title) {
    std::vector<HWND> windows = windowsTitled(title);
    if (windows.empty()) {
        return 1;
    }
    EnumChildWindows(windows.front(), printChild, 0);
    return 0;
}

int adjustedRectangle(char** values) {
    RECT rect{std::atol(values[0]), std::atol(values[1]), std::atol(values[2]),
              std::atol(values[3])};
    DWORD style = std::strtoul(values[4], nullptr, 0);
    DWORD exStyle = std::strtoul(values[5], nullptr, 0);
    if (!AdjustWindowRectEx(&rect, style, FALSE, exStyle)) {
        return 1;
    }
    std::printf("%ld,%ld,%ld,%ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

// Wine quotes every argument that holds a blank, so a command line of blanks only can be given
// to a program only by building it here: the quoted program name, then the tail unchanged.
int runWithTail(const char* program, const char* tail) {
    std::string commandLine = std::string("\"") + program + "\"" + tail;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "winprobe: cannot start %s (error %lu)\n", program,
                     static_cast<unsigned long>(GetLastError()));
        return 125;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 125;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// The class names of the visible top-level windows from the top of the z-order down: Wine's X
// stacking may show a window on top whatever its place in that order.
BOOL CALLBACK printVisibleClass(HWND window, LPARAM) {
    char name[128];
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name)) {
        std::printf("%s\n", name);
    }
    return TRUE;
}

// An always-on-top window, as a taskbar's is, until the Wine session ends.
int showTopmost(char** at) {
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "Static", "always on top", WS_POPUP | WS_VISIBLE,
                                  std::atoi(at[0]), std::atoi(at[1]), std::atoi(at[2]),
                                  std::atoi(at[3]), nullptr, nullptr, nullptr, nullptr);
    MSG message;
    while (window && GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return window ? 0 : 1;
}

int usage() {
    std::fprintf(stderr, "usage: winprobe window TITLE | controls TITLE |\n"
                         "       adjust LEFT TOP RIGHT BOTTOM STYLE EXSTYLE | run PROGRAM TAIL |\n"
                         "       topmost LEFT TOP WIDTH HEIGHT | order\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "window") == 0) {
        return describeWindows(argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "controls") == 0) {
        return describeControls(argv[2]);
    }
    if (argc == 8 && std::strcmp(argv[1], "adjust") == 0) {
        return adjustedRectangle(argv + 2);
    }
    if (argc == 2 && std::strcmp(argv[1], "order") == 0) {
        return EnumWindows(printVisibleClass, 0) ? 0 : 1;
    }
    if (argc == 6 && std::strcmp(argv[1], "topmost") == 0) {
        return showTopmost(argv + 2);
    }
    if (argc == 4 && std::strcmp(argv[1], "run") == 0) {
        return runWithTail(argv[2], argv[3]);
    }
    return usage();
}

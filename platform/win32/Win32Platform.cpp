// The message queue, the multimedia clock and the about box on Win32.
#include "platform/Platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <mmsystem.h>

PlatformMessage takeMessage() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        return {0, 0, 0};
    }
    if (message.message == WM_QUIT) {
        return {1, 1, message.wParam};
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return {1, 0, message.wParam};
}

uint32_t clockMilliseconds() {
    return timeGetTime();
}

void showAbout(const char* caption, const char* text) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

const char* fallbackDataDirectory() {
    return PLATFORM_WINDOWS_DATA_DIRECTORY;
}

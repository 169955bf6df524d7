#include "platform/x11/ModeGuard.h"

#include "platform/x11/ModeRecord.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A guard whose own connection breaks has nothing left to restore.
int leaveQuietly(Display*) {
    _exit(0);
}

// Runs in the child: it shares nothing with the program but the pipe, and never returns.
[[noreturn]] void guardMode(const char* displayName, Window holder, pid_t instance, int readEnd) {
    // The program's X connection must close when the program dies, so the child lets go of every
    // descriptor it inherited but its end of the pipe.
    if (readEnd != 3) {
        dup2(readEnd, 3);
    }
    closefrom(4);
    // Nor does it keep the program's terminal or output pipes open; it has nothing to say.
    const int nothing = open("/dev/null", O_RDWR);
    if (nothing >= 0) {
        dup2(nothing, 0);
        dup2(nothing, 1);
        dup2(nothing, 2);
        if (nothing > 3) {
            close(nothing);
        }
    }
    // A Ctrl-C on the terminal reaches the whole process group; the guard outlives it to restore.
    signal(SIGINT, SIG_IGN);
    signal(SIGHUP, SIG_IGN);
    signal(SIGTERM, SIG_IGN);
    signal(SIGQUIT, SIG_IGN);
    char byte;
    for (;;) {
        ssize_t count = read(3, &byte, 1);
        if (count == 0 || (count < 0 && errno != EINTR)) {
            break;
        }
    }
    XSetIOErrorHandler(leaveQuietly);
    Display* display = XOpenDisplay(displayName);
    if (display) {
        releaseDisplayMode(display, holder, static_cast<unsigned long>(instance));
        XCloseDisplay(display);
    }
    _exit(0);
}

} // namespace

int startModeGuard(const char* displayName, unsigned long holder, ModeGuard* guard) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return 0;
    }
    const pid_t instance = getpid();
    pid_t pid = fork();
    if (pid == 0) {
        close(ends[1]);
        guardMode(displayName, holder, instance, ends[0]);
    }
    close(ends[0]);
    if (pid < 0) {
        close(ends[1]);
        return 0;
    }
    guard->pid = pid;
    guard->pipe = ends[1];
    return 1;
}

void finishModeGuard(ModeGuard* guard) {
    if (guard->pid <= 0) {
        return;
    }
    close(guard->pipe);
    while (waitpid(guard->pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    guard->pid = 0;
    guard->pipe = -1;
}

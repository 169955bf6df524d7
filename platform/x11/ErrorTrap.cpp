#include "platform/x11/ErrorTrap.h"

namespace {

// Xlib calls the handler with no context of ours, so the count has to live here.
unsigned long errorCount = 0;

int countError(Display*, XErrorEvent*) {
    ++errorCount;
    return 0;
}

} // namespace

void installErrorHandler() {
    XSetErrorHandler(countError);
}

ErrorTrap::ErrorTrap(Display* display) : display(display), errorsBefore(0) {
    installErrorHandler();
    XSync(display, False);
    errorsBefore = errorCount;
}

bool ErrorTrap::succeeded() {
    XSync(display, False);
    return errorCount == errorsBefore;
}

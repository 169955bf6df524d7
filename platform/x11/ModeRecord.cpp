#include "platform/x11/ModeRecord.h"

#include "platform/x11/ErrorTrap.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// The record: the original mode's fields, its outputs (always SAVED_MODE_MAX_OUTPUTS slots), then
// the holders' window ids, as 32-bit values.
const char RECORD_NAME[] = "_QUELLMOOR_DISPLAY_MODE";
enum { MODE_FIELDS = 10, HEADER_LONGS = MODE_FIELDS + SAVED_MODE_MAX_OUTPUTS, MAX_HOLDERS = 256 };

struct Record {
    SavedDisplayMode original;
    std::vector<Window> holders;
};

// Xlib hands 32-bit property values over in longs; these read them back whatever the width.
unsigned long unsignedValue(long value) {
    return static_cast<uint32_t>(value);
}

int signedValue(long value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

// While it lives, no other client's request is handled.
struct ServerGrab {
    Display* display;
    explicit ServerGrab(Display* display) : display(display) { XGrabServer(display); }
    ~ServerGrab() {
        XUngrabServer(display);
        XFlush(display);
    }
    ServerGrab(const ServerGrab&) = delete;
    ServerGrab& operator=(const ServerGrab&) = delete;
};

// False when there is no record, or the property is not one this program wrote.
bool readRecord(Display* display, Window root, Atom name, Record* record) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, root, name, 0, HEADER_LONGS + MAX_HOLDERS, False, XA_CARDINAL,
                           &type, &format, &count, &remaining, &data) != Success) {
        return false;
    }
    bool valid = type == XA_CARDINAL && format == 32 && count >= HEADER_LONGS && data;
    if (valid) {
        const long* values = reinterpret_cast<const long*>(data);
        SavedDisplayMode& mode = record->original;
        mode.crtc = unsignedValue(values[0]);
        mode.mode = unsignedValue(values[1]);
        mode.x = signedValue(values[2]);
        mode.y = signedValue(values[3]);
        mode.rotation = static_cast<unsigned short>(unsignedValue(values[4]));
        mode.outputCount = signedValue(values[5]);
        mode.screenWidth = signedValue(values[6]);
        mode.screenHeight = signedValue(values[7]);
        mode.screenWidthMm = signedValue(values[8]);
        mode.screenHeightMm = signedValue(values[9]);
        valid = mode.outputCount >= 0 && mode.outputCount <= SAVED_MODE_MAX_OUTPUTS;
        for (int i = 0; i < SAVED_MODE_MAX_OUTPUTS; i++) {
            mode.outputs[i] = unsignedValue(values[MODE_FIELDS + i]);
        }
        record->holders.clear();
        for (unsigned long i = HEADER_LONGS; i < count; i++) {
            record->holders.push_back(unsignedValue(values[i]));
        }
    }
    if (data) {
        XFree(data);
    }
    return valid;
}

bool writeRecord(Display* display, Window root, Atom name, const Record& record) {
    const SavedDisplayMode& mode = record.original;
    std::vector<long> values = {static_cast<long>(mode.crtc),
                                static_cast<long>(mode.mode),
                                mode.x,
                                mode.y,
                                mode.rotation,
                                mode.outputCount,
                                mode.screenWidth,
                                mode.screenHeight,
                                mode.screenWidthMm,
                                mode.screenHeightMm};
    values.insert(values.end(), mode.outputs, mode.outputs + SAVED_MODE_MAX_OUTPUTS);
    values.insert(values.end(), record.holders.begin(), record.holders.end());
    ErrorTrap trap(display);
    XChangeProperty(display, root, name, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
    return trap.succeeded();
}

bool windowExists(Display* display, Window window) {
    ErrorTrap trap(display);
    XWindowAttributes attributes;
    const Status found = XGetWindowAttributes(display, window, &attributes);
    return trap.succeeded() && found;
}

// Drops one entry of `leaving` and every holder whose window is gone (its program ended without
// leaving). Only one: the server may have given a gone holder's id to the window of an instance
// that joined before that holder's guard left for it.
void keepHoldersStaying(Display* display, Record* record, Window leaving) {
    std::vector<Window>& holders = record->holders;
    const auto entry = std::find(holders.begin(), holders.end(), leaving);
    if (entry != holders.end()) {
        holders.erase(entry);
    }
    holders.erase(std::remove_if(holders.begin(), holders.end(),
                                 [&](Window holder) { return !windowExists(display, holder); }),
                  holders.end());
}

// The last holder out puts the original mode back and deletes the record.
void endRecord(Display* display, Window root, Atom name, const Record& record) {
    restoreDisplayMode(display, record.original);
    XDeleteProperty(display, root, name);
}

} // namespace

int holdDisplayMode(Display* display, Window holder, int width, int height, int bits,
                    ModeArea* area) {
    const Window root = DefaultRootWindow(display);
    const Atom name = XInternAtom(display, RECORD_NAME, False);
    ServerGrab grab(display);
    Record record{};
    // An existing record keeps the original even when all its holders are gone: their guards may
    // not have put it back yet, and the display may still show the changed mode.
    const bool joined = readRecord(display, root, name, &record);
    SavedDisplayMode current{};
    if (!changeDisplayMode(display, width, height, bits, &current, area)) {
        return 0;
    }
    if (!joined) {
        record.original = current;
        record.holders.clear();
    }
    keepHoldersStaying(display, &record, 0);
    record.holders.resize(std::min<size_t>(record.holders.size(), MAX_HOLDERS - 1));
    record.holders.push_back(holder);
    if (!writeRecord(display, root, name, record)) {
        // A hold that no record shows could never be given back.
        if (record.holders.size() == 1) {
            endRecord(display, root, name, record);
        }
        return 0;
    }
    return 1;
}

void releaseDisplayMode(Display* display, Window holder) {
    const Window root = DefaultRootWindow(display);
    const Atom name = XInternAtom(display, RECORD_NAME, False);
    ServerGrab grab(display);
    Record record{};
    if (!readRecord(display, root, name, &record)) {
        return;
    }
    keepHoldersStaying(display, &record, holder);
    if (record.holders.empty()) {
        endRecord(display, root, name, record);
    } else {
        writeRecord(display, root, name, record);
    }
}

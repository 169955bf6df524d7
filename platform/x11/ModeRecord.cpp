#include "platform/x11/ModeRecord.h"

#include "platform/x11/ErrorTrap.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

const char RECORD_NAME[] = "_QUELLMOOR_DISPLAY_MODE";
// On a holder's window, the process id of the instance that holds the mode through it.
const char MARK_NAME[] = "_QUELLMOOR_MODE_HOLDER";
enum { MODE_FIELDS = 13, HEADER_LONGS = MODE_FIELDS + SAVED_MODE_MAX_OUTPUTS, MAX_HOLDERS = 256 };

using Holder = ModeHolder;
using Record = ModeRecordContents;

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
    if (XGetWindowProperty(display, root, name, 0, HEADER_LONGS + 2 * MAX_HOLDERS, False,
                           XA_CARDINAL, &type, &format, &count, &remaining, &data) != Success) {
        return false;
    }
    const bool valid = type == XA_CARDINAL && format == 32 && data &&
                       readModeRecordValues(reinterpret_cast<const long*>(data), count, record);
    if (data) {
        XFree(data);
    }
    return valid;
}

bool writeRecord(Display* display, Window root, Atom name, const Record& record) {
    const std::vector<long> values = modeRecordValues(record);
    ErrorTrap trap(display);
    XChangeProperty(display, root, name, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
    return trap.succeeded();
}

// A holder stays while its window exists and still carries its mark; a window that is gone, or
// whose id now belongs to another instance or program, leaves it gone (its program ended without
// leaving).
bool holderStays(Display* display, Atom mark, const Holder& holder) {
    ErrorTrap trap(display);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(display, holder.window, mark, 0, 1, False, XA_CARDINAL,
                                         &type, &format, &count, &remaining, &data) == Success;
    const bool marked = read && trap.succeeded() && type == XA_CARDINAL && format == 32 &&
                        count == 1 && data &&
                        unsignedValue(*reinterpret_cast<const long*>(data)) == holder.instance;
    if (data) {
        XFree(data);
    }
    return marked;
}

// Drops the entry of `leaving` and every holder that is gone.
void keepHoldersStaying(Display* display, Record* record, const Holder& leaving) {
    std::vector<Holder>& holders = record->holders;
    const Atom mark = XInternAtom(display, MARK_NAME, False);
    holders.erase(std::remove_if(holders.begin(), holders.end(),
                                 [&](const Holder& holder) {
                                     return holder == leaving ||
                                            !holderStays(display, mark, holder);
                                 }),
                  holders.end());
}

// The last holder out puts the original mode back and deletes the record.
void endRecord(Display* display, Window root, Atom name, const Record& record) {
    restoreDisplayMode(display, record.original);
    XDeleteProperty(display, root, name);
}

} // namespace

std::vector<long> modeRecordValues(const Record& record) {
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
                                mode.screenHeightMm,
                                static_cast<long>(mode.changedMode),
                                mode.changedScreenWidth,
                                mode.changedScreenHeight};
    values.insert(values.end(), mode.outputs, mode.outputs + SAVED_MODE_MAX_OUTPUTS);
    for (const Holder& holder : record.holders) {
        values.push_back(static_cast<long>(holder.window));
        values.push_back(static_cast<long>(holder.instance));
    }
    return values;
}

bool readModeRecordValues(const long* values, unsigned long count, Record* record) {
    if (count < HEADER_LONGS || (count - HEADER_LONGS) % 2 != 0) {
        return false;
    }
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
    mode.changedMode = unsignedValue(values[10]);
    mode.changedScreenWidth = signedValue(values[11]);
    mode.changedScreenHeight = signedValue(values[12]);
    for (int i = 0; i < SAVED_MODE_MAX_OUTPUTS; i++) {
        mode.outputs[i] = unsignedValue(values[MODE_FIELDS + i]);
    }
    record->holders.clear();
    for (unsigned long i = HEADER_LONGS; i < count; i += 2) {
        record->holders.push_back({unsignedValue(values[i]), unsignedValue(values[i + 1])});
    }
    return mode.outputCount >= 0 && mode.outputCount <= SAVED_MODE_MAX_OUTPUTS;
}

int holdDisplayMode(Display* display, Window holder, int width, int height, int bits,
                    ModeArea* area) {
    const Holder entering{holder, static_cast<uint32_t>(getpid())};
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
    const long mark = static_cast<long>(entering.instance);
    XChangeProperty(display, holder, XInternAtom(display, MARK_NAME, False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&mark), 1);
    keepHoldersStaying(display, &record, entering);
    record.holders.resize(std::min<size_t>(record.holders.size(), MAX_HOLDERS - 1));
    record.holders.push_back(entering);
    if (!writeRecord(display, root, name, record)) {
        // A hold that no record shows could never be given back.
        if (record.holders.size() == 1) {
            endRecord(display, root, name, record);
        }
        return 0;
    }
    return 1;
}

void releaseDisplayMode(Display* display, Window holder, unsigned long instance) {
    const Window root = DefaultRootWindow(display);
    const Atom name = XInternAtom(display, RECORD_NAME, False);
    ServerGrab grab(display);
    Record record{};
    if (!readRecord(display, root, name, &record)) {
        return;
    }
    keepHoldersStaying(display, &record, {holder, instance});
    if (record.holders.empty()) {
        endRecord(display, root, name, record);
    } else {
        writeRecord(display, root, name, record);
    }
}

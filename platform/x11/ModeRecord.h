// The display mode shared by every full-screen instance on one display. A record on the root
// window holds the mode the display had before the first of them changed it, and the windows of
// the instances that hold the changed mode; it is read and written only under a server grab, so
// two instances never race. A later instance joins the record instead of taking the changed mode
// for the original, and the last one to leave puts the original back. A holder whose window no
// longer exists, or has become another's, counts as gone.
#pragma once

#include "platform/x11/DisplayMode.h"

#include <X11/Xlib.h>

#include <vector>

// The server hands a dead client's window ids to the next client that takes its place, and
// another instance makes its window in the same order: a window id alone cannot tell a holder
// from the instance that came after it.
struct ModeHolder {
    unsigned long window;
    unsigned long instance;
    bool operator==(const ModeHolder& other) const {
        return window == other.window && instance == other.instance;
    }
};

struct ModeRecordContents {
    SavedDisplayMode original;
    std::vector<ModeHolder> holders;
};

// The record as the 32-bit values of its property: the original mode's fields, its outputs
// (always SAVED_MODE_MAX_OUTPUTS slots), then each holder's window id and process id.
std::vector<long> modeRecordValues(const ModeRecordContents& record);

// Reads `count` values back into `record`. False for values this program did not write (too few
// for the mode, holders not in pairs, more outputs than the slots, as an older version or a write
// cut short may leave): nothing beyond `count` is ever read.
bool readModeRecordValues(const long* values, unsigned long count, ModeRecordContents* record);

// Changes the display to width x height (as changeDisplayMode does) and enters `holder`, a window
// of this instance, with this process's id in the record, which is made with the current mode as
// the original when there is none. Returns 1 and fills `area` on success; on failure returns 0 and
// leaves the display and the record as they were.
int holdDisplayMode(Display* display, Window holder, int width, int height, int bits,
                    ModeArea* area);

// Takes `holder` as entered by the process `instance`, and every holder that is gone, out of the
// record. When none remains, puts the
// original mode back and deletes the record; with no record there is nothing to do.
void releaseDisplayMode(Display* display, Window holder, unsigned long instance);

// The display-mode change through XRandR: one output's CRTC switched to a mode of the asked size,
// the screen shrunk around it, and everything put back afterwards.
#pragma once

#include <X11/Xlib.h>

enum { SAVED_MODE_MAX_OUTPUTS = 8 };

// What a restore needs: the CRTC as it was and the screen size around it, and what the run made
// of them, so that a restore gives back only what the run changed.
struct SavedDisplayMode {
    unsigned long crtc;
    unsigned long mode;
    int x;
    int y;
    unsigned short rotation;
    unsigned long outputs[SAVED_MODE_MAX_OUTPUTS];
    int outputCount;
    int screenWidth;
    int screenHeight;
    int screenWidthMm;
    int screenHeightMm;
    unsigned long changedMode;
    int changedScreenWidth;
    int changedScreenHeight;
};

// Where the changed mode shows on the screen.
struct ModeArea {
    int x;
    int y;
};

// One mode that an output lists, in the output's order.
struct ListedMode {
    unsigned long id;
    int width;
    int height;
    bool interlaced;
};

// The first progressive mode of exactly width x height, else the first interlaced one of that
// size (a progressive mode flickers less and is what a full-screen program expects); 0 for none.
unsigned long chooseModeOfSize(const ListedMode* modes, int count, int width, int height);

// Switches the primary output (or else the first connected output that is lit) to a mode of
// exactly width x height, when the screen's pixels have `bits` bits (depth or bits per pixel) and
// the output is not turned by a quarter. Returns 1 and fills `saved` and `area` on success; on
// failure returns 0 and leaves the display as it was. No mode is ever made up: a size that the
// output does not list fails.
int changeDisplayMode(Display* display, int width, int height, int bits, SavedDisplayMode* saved,
                      ModeArea* area);

// Puts the CRTC and the screen size back as `saved` holds them, as far as planRestore finds the
// user has left them as the run made them. Errors are swallowed: there is nothing better to do
// about them.
void restoreDisplayMode(Display* display, const SavedDisplayMode& saved);

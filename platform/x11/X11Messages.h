// The window procedure of the X11 backend: which X events the quit rules see, and as what.
#pragma once

#include <X11/Xlib.h>

#include "platform/WindowRules.h"

// The window events that the rules know, from the events of `window`; WINDOW_EVENT_OTHER for the
// rest. A key press is a key down, a WM_DELETE_WINDOW request from the window manager and the
// destruction of the window by its owner are a close, pointer motion is a mouse move.
WindowEvent windowEventOf(const XEvent& event, Window window, Atom protocolsAtom,
                          Atom deleteWindowAtom);

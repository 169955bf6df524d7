// What every reader promises about the Image it leaves, whatever bytes it was given.
#pragma once

#include "image/Image.h"

#include <cstddef>

// The sides a read leaves, loaded or not, are no larger than the input could justify, so memory
// and time stay bounded by the input's size. A loaded picture is consistent (kind, channels) and
// of a kind in allowedKinds (a bit set of 1 << kind); with unitRange, its samples lie in [0, 1].
void checkReadPicture(const Image& image, size_t inputSize, unsigned allowedKinds, bool unitRange);

// Kind, sides and samples (bit for bit) are the same; the comments are not compared.
bool samePicture(const Image& a, const Image& b);

// A small picture with the comment "marker", put in an Image before a read to see what the reader
// changed.
void fillMarker(Image& image);
bool holdsMarkerPicture(const Image& image);
bool isEmptyPicture(const Image& image);

// What the texture upload does to a loaded picture: unless a side already is a power of two, both
// become powers of two, rounded down and at most 2048, and finite samples stay finite.
void checkPowerOfTwoResize(const Image& image);

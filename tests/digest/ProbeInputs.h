// The probe's made-up inputs: height maps, pictures, coordinates and image files of every kind the
// readers take, all built in memory from a fixed seed, so that every build sees the same bytes.
#pragma once

#include "image/Image.h"

#include <cstdint>
#include <string>
#include <vector>

// A small linear congruential generator: the same numbers on every build.
class ProbeRandom {
  public:
    explicit ProbeRandom(uint32_t seed) : state_(seed) {}
    uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_;
    }
    // k / 2^24 for a random k: exact in a float.
    float unit() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
    float between(float low, float high) { return low + (high - low) * unit(); }

  private:
    uint32_t state_;
};

// Fills a map of the given kind with random samples.
void makeRandomPicture(Image& image, int width, int height, int kind, ProbeRandom& random);

// Coordinates where sampling is most likely to go wrong: cell and map edges, signed zeros, the
// ends of the direct floor range, huge values, infinities, not-a-number, subnormals.
std::vector<float> edgeCoordinates(int width, int height);

struct ProbeFile {
    std::string name;
    int format; // PROBE_TGA, PROBE_BMP or PROBE_PNM
    std::vector<unsigned char> bytes;
};

enum { PROBE_TGA, PROBE_BMP, PROBE_PNM };

// Files of every type and depth that the readers decode, with comments and padding.
std::vector<ProbeFile> probeFiles();

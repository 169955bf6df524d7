// The reader benchmarks' files: one 2048 x 2048 picture in each format, written to a fresh
// temporary directory that goes away with the object.
#pragma once

#include "tests/unit/image/ImageBytes.h"

#include <string>
#include <vector>

constexpr int TEST_IMAGE_SIDE = 2048;

struct TestImage {
    std::string name; // short label: "tga24", "pgm", ...
    std::string path;
    size_t bytes; // file size
};

class TestImages {
  public:
    TestImages();
    TestImages(const TestImages&) = delete;
    TestImages& operator=(const TestImages&) = delete;

    // Empty when the directory or a file could not be written.
    const std::vector<TestImage>& files() const { return files_; }

  private:
    TempDir directory_;
    std::vector<TestImage> files_;
};

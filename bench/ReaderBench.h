// Our readers against stb_image on the same files, and the cost of a fresh float picture of the
// same size, registered once the files exist.
#pragma once

#include "TestImages.h"

void registerReaderBenchmarks(const std::vector<TestImage>& files);

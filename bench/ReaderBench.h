// Our readers against stb_image on the same files, registered once the files exist.
#pragma once

#include "TestImages.h"

void registerReaderBenchmarks(const std::vector<TestImage>& files);

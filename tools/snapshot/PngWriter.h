// Writes 8-bit RGBA pixels as an opaque RGB PNG file.
#pragma once

#include <string>
#include <vector>

// rgba holds width * height * 4 bytes, top row first. Returns false, with the reason in error,
// when the file cannot be written; a partly written file is removed.
bool writePng(const std::string& path, int width, int height,
              const std::vector<unsigned char>& rgba, std::string* error);

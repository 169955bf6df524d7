// Brings a whole file into memory so that the image readers never read a stream byte by byte.
#pragma once

#include <vector>

// Reads the file at path in large chunks into bytes; false when it can't be opened or read.
bool readWholeFile(const char* path, std::vector<unsigned char>& bytes);

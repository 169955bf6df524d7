// A file opened for reading in binary mode, closed when the reader is done with it.
#pragma once

#include <cstdio>

class InputFile {
  public:
    explicit InputFile(const char* path)
        : file_(path != nullptr ? std::fopen(path, "rb") : nullptr) {}
    ~InputFile() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Null when the file could not be opened.
    std::FILE* get() const { return file_; }

  private:
    std::FILE* file_;
};

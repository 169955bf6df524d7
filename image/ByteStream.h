// Reads bytes already in memory with the outcomes of a binary std::istream: single bytes, putting
// one back, block reads, line reads into a fixed buffer and decimal int extraction. Once a read
// fails, every later read fails too, so a short file behaves as a stream at its end would.
#pragma once

#include <cstddef>

class ByteStream {
  public:
    ByteStream(const unsigned char* data, size_t size);

    // Takes one byte; false at the end of the data or after an earlier failure.
    bool get(unsigned char& byte);
    // Gives back the byte that the last successful get took.
    void unget();
    // Copies up to count bytes into out and returns how many; bytes past the end of the data leave
    // their places in out untouched.
    size_t read(unsigned char* out, size_t count);
    // Hands out the next count bytes in place, taken as read, for a reader that decodes a whole
    // run of them at once; nullptr, with nothing taken and no failure, when fewer remain or an
    // earlier read failed.
    const unsigned char* take(size_t count);
    // Like istream::getline(buffer, size) with '\n' as delimiter: stores at most size - 1 bytes and
    // a terminating NUL, drops the line feed, and fails when the line does not fit or nothing at
    // all could be taken.
    void getLine(char* buffer, size_t size);
    // Like istream >> int: skips white space, accepts a sign and decimal digits. On failure (no
    // digits, end of data, a value out of range, or an earlier failure) value keeps what it held.
    bool readInt(int& value);

    bool failed() const { return failed_; }
    size_t remaining() const { return size_ - position_; }

  private:
    const unsigned char* data_;
    size_t size_;
    size_t position_;
    bool failed_;
};

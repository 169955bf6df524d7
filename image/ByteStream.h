// Reads bytes with the outcomes of a binary std::istream: single bytes, putting one back, block
// reads, line reads into a fixed buffer and decimal int extraction. Once a read fails, every later
// read fails too, so a short file behaves as a stream at its end would.
//
// The bytes come either from memory or from an open file. A file is read through a window of
// fixed size, only as far as the reads ask (plus at most STREAM_READ_AHEAD_BYTES bytes), so a
// reader that stops after the header reads no more of a huge file than that, and no allocation
// ever depends on the file's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

// The window a file is read through, and how far single-byte reads fill it beyond the byte asked.
constexpr size_t STREAM_WINDOW_BYTES = size_t{1} << 18;
constexpr size_t STREAM_READ_AHEAD_BYTES = size_t{1} << 16;

class ByteStream {
  public:
    ByteStream(const unsigned char* data, size_t size);
    // Reads the open file from its current position; the caller keeps and closes it. windowBytes
    // (at least 2) is for tests that need the window's edges to fall inside their files.
    explicit ByteStream(std::FILE* file, size_t windowBytes = STREAM_WINDOW_BYTES);

    // Takes one byte; false at the end of the data or after an earlier failure.
    bool get(unsigned char& byte);
    // Gives back the byte that the last successful get took.
    void unget();
    // Copies up to count bytes into out and returns how many; bytes past the end of the data leave
    // their places in out untouched.
    size_t read(unsigned char* out, size_t count);
    // Hands out in place as many whole units of unitBytes as are there, at most `units` of them,
    // taken as read, for a reader that decodes a run of values at once. `got` says how many; 0,
    // with nothing taken and no failure, when not one whole unit remains, an earlier read failed,
    // or a unit is larger than the window.
    const unsigned char* takeUnits(size_t units, size_t unitBytes, size_t& got);
    // Like istream::getline(buffer, size) with '\n' as delimiter: stores at most size - 1 bytes and
    // a terminating NUL, drops the line feed, and fails when the line does not fit or nothing at
    // all could be taken.
    void getLine(char* buffer, size_t size);
    // Like istream >> int: skips white space, accepts a sign and decimal digits. On failure (no
    // digits, end of data, a value out of range, or an earlier failure) value keeps what it held.
    bool readInt(int& value);

    bool failed() const { return failed_; }
    // True when the file could not be read at all: a read error (a directory, say) or no memory
    // for the window. Always false over memory.
    bool unreadable() const { return unreadable_; }
    // The bytes still to come: in memory, those after the position; from a file, its size less
    // what has been taken (only what the window holds when the size can't be told).
    std::uint64_t remaining() const;

  private:
    // Makes at least `wanted` bytes (at most the window's size) available from the position, unless
    // the data ends first; returns how many are available.
    size_t fill(size_t wanted);
    // The next byte without taking it, or -1 at the end.
    int peek();

    const unsigned char* data_;
    size_t position_;
    size_t end_;
    std::FILE* file_;
    std::unique_ptr<unsigned char[]> window_;
    size_t windowBytes_;
    std::uint64_t fileUnread_; // bytes of the file not yet in the window, when the size is known
    bool sizeKnown_;
    bool failed_;
    bool unreadable_;
};

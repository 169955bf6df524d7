#include "ByteStream.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace {

// White space as the classic locale classifies it for stream extraction.
bool isStreamSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(int c) {
    return c >= '0' && c <= '9';
}

// The bytes from the file's position to its end, when the system can tell.
bool bytesToEnd(std::FILE* file, std::uint64_t& bytes) {
#if defined(_WIN32)
    const long long start = _ftelli64(file);
    if (start < 0 || _fseeki64(file, 0, SEEK_END) != 0) {
        return false;
    }
    const long long end = _ftelli64(file);
    const bool back = _fseeki64(file, start, SEEK_SET) == 0;
#else
    const off_t start = ftello(file);
    if (start < 0 || fseeko(file, 0, SEEK_END) != 0) {
        return false;
    }
    const off_t end = ftello(file);
    const bool back = fseeko(file, start, SEEK_SET) == 0;
#endif
    if (!back) {
        // The position is lost: read from the beginning, as a fresh file would be.
        std::rewind(file);
        return false;
    }
    if (end < start) {
        return false;
    }
    bytes = static_cast<std::uint64_t>(end - start);
    return true;
}

} // namespace

ByteStream::ByteStream(const unsigned char* data, size_t size)
    : data_(data), position_(0), end_(data != nullptr ? size : 0), file_(nullptr), windowBytes_(0),
      fileUnread_(0), sizeKnown_(true), failed_(false), unreadable_(false) {}

ByteStream::ByteStream(std::FILE* file, size_t windowBytes)
    : data_(nullptr), position_(0), end_(0), file_(file),
      windowBytes_(std::max(windowBytes, size_t{2})), fileUnread_(0), sizeKnown_(false),
      failed_(false), unreadable_(false) {
    window_.reset(new (std::nothrow) unsigned char[windowBytes_]);
    if (file_ == nullptr || window_ == nullptr) {
        failed_ = true;
        unreadable_ = true;
        return;
    }
    data_ = window_.get();
    sizeKnown_ = bytesToEnd(file_, fileUnread_);
}

std::uint64_t ByteStream::remaining() const {
    return (end_ - position_) + (sizeKnown_ ? fileUnread_ : 0);
}

size_t ByteStream::fill(size_t wanted) {
    const size_t available = end_ - position_;
    if (available >= wanted || file_ == nullptr || unreadable_) {
        return available;
    }
    // One byte before the position stays, so that unget still finds it.
    const size_t kept = position_ > 0 ? 1 : 0;
    wanted = std::min(wanted, windowBytes_ - 1);
    if (position_ + std::max(wanted, STREAM_READ_AHEAD_BYTES) > windowBytes_) {
        std::memmove(window_.get(), window_.get() + position_ - kept, available + kept);
        position_ = kept;
        end_ = available + kept;
    }
    const size_t target =
        std::min(windowBytes_, position_ + std::max(wanted, STREAM_READ_AHEAD_BYTES));
    while (end_ < target) {
        const size_t asked = target - end_;
        const size_t got = std::fread(window_.get() + end_, 1, asked, file_);
        end_ += got;
        fileUnread_ -= std::min<std::uint64_t>(fileUnread_, got);
        if (got < asked) {
            if (std::ferror(file_) != 0) {
                unreadable_ = true;
            }
            break;
        }
    }
    return end_ - position_;
}

int ByteStream::peek() {
    if (position_ < end_ || fill(1) > 0) {
        return data_[position_];
    }
    return -1;
}

bool ByteStream::get(unsigned char& byte) {
    if (failed_ || peek() < 0) {
        failed_ = true;
        return false;
    }
    byte = data_[position_++];
    return true;
}

void ByteStream::unget() {
    if (position_ > 0) {
        --position_;
    }
}

size_t ByteStream::read(unsigned char* out, size_t count) {
    if (failed_) {
        return 0;
    }
    size_t taken = 0;
    while (taken < count) {
        const size_t available = fill(count - taken);
        if (available == 0) {
            break;
        }
        const size_t part = std::min(available, count - taken);
        std::memcpy(out + taken, data_ + position_, part);
        position_ += part;
        taken += part;
    }
    if (taken < count) {
        failed_ = true;
    }
    return taken;
}

const unsigned char* ByteStream::takeUnits(size_t units, size_t unitBytes, size_t& got) {
    got = 0;
    if (failed_ || units == 0 || unitBytes == 0 ||
        (file_ != nullptr && unitBytes > windowBytes_ - 1)) {
        return nullptr;
    }
    // A file gives at most a window's worth at a time.
    const size_t most = file_ != nullptr ? (windowBytes_ - 1) / unitBytes : SIZE_MAX / unitBytes;
    const size_t available = fill(std::min(units, most) * unitBytes);
    got = std::min(units, available / unitBytes);
    if (got == 0) {
        return nullptr;
    }
    const unsigned char* bytes = data_ + position_;
    position_ += got * unitBytes;
    return bytes;
}

void ByteStream::getLine(char* buffer, size_t size) {
    if (size == 0) {
        failed_ = true;
        return;
    }
    buffer[0] = '\0';
    if (failed_) {
        return;
    }
    size_t stored = 0;
    int c = peek();
    while (stored + 1 < size && c >= 0 && c != '\n') {
        buffer[stored++] = static_cast<char>(c);
        ++position_;
        c = peek();
    }
    buffer[stored] = '\0';
    if (c < 0) {
        // Reaching the end is only a failure when nothing at all was taken.
        if (stored == 0) {
            failed_ = true;
        }
    } else if (c == '\n') {
        ++position_;
    } else {
        failed_ = true;
    }
}

bool ByteStream::readInt(int& value) {
    if (failed_) {
        return false;
    }
    int c = peek();
    while (isStreamSpace(c)) {
        ++position_;
        c = peek();
    }
    if (c < 0) {
        failed_ = true;
        return false;
    }
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        ++position_;
        c = peek();
    }
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(INT_MAX) + 1 : INT_MAX;
    unsigned long long magnitude = 0;
    bool anyDigit = false;
    bool outOfRange = false;
    while (isDigit(c)) {
        anyDigit = true;
        if (!outOfRange) {
            magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
            outOfRange = magnitude > limit;
        }
        ++position_;
        c = peek();
    }
    if (!anyDigit || outOfRange) {
        failed_ = true;
        return false;
    }
    value = negative ? static_cast<int>(-static_cast<long long>(magnitude))
                     : static_cast<int>(magnitude);
    return true;
}

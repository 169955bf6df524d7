#include "ByteStream.h"

#include <climits>
#include <cstring>

namespace {

// White space as the classic locale classifies it for stream extraction.
bool isStreamSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

} // namespace

ByteStream::ByteStream(const unsigned char* data, size_t size)
    : data_(data), size_(data != nullptr ? size : 0), position_(0), failed_(false) {}

bool ByteStream::get(unsigned char& byte) {
    if (failed_ || position_ >= size_) {
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
    size_t taken = count < remaining() ? count : remaining();
    if (taken > 0) {
        std::memcpy(out, data_ + position_, taken);
    }
    position_ += taken;
    if (taken < count) {
        failed_ = true;
    }
    return taken;
}

const unsigned char* ByteStream::take(size_t count) {
    if (failed_ || count > remaining()) {
        return nullptr;
    }
    const unsigned char* bytes = data_ + position_;
    position_ += count;
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
    while (stored + 1 < size && position_ < size_ && data_[position_] != '\n') {
        buffer[stored++] = static_cast<char>(data_[position_++]);
    }
    buffer[stored] = '\0';
    if (position_ >= size_) {
        // Reaching the end is only a failure when nothing at all was taken.
        if (stored == 0) {
            failed_ = true;
        }
    } else if (data_[position_] == '\n') {
        ++position_;
    } else {
        failed_ = true;
    }
}

bool ByteStream::readInt(int& value) {
    if (failed_) {
        return false;
    }
    while (position_ < size_ && isStreamSpace(data_[position_])) {
        ++position_;
    }
    if (position_ >= size_) {
        failed_ = true;
        return false;
    }
    bool negative = false;
    if (data_[position_] == '+' || data_[position_] == '-') {
        negative = data_[position_] == '-';
        ++position_;
    }
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(INT_MAX) + 1 : INT_MAX;
    unsigned long long magnitude = 0;
    bool anyDigit = false;
    bool outOfRange = false;
    while (position_ < size_ && isDigit(data_[position_])) {
        anyDigit = true;
        if (!outOfRange) {
            magnitude = magnitude * 10 + (data_[position_] - '0');
            outOfRange = magnitude > limit;
        }
        ++position_;
    }
    if (!anyDigit || outOfRange) {
        failed_ = true;
        return false;
    }
    value = negative ? static_cast<int>(-static_cast<long long>(magnitude))
                     : static_cast<int>(magnitude);
    return true;
}

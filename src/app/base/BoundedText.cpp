#include "app/base/BoundedText.h"

#include <cstring>

BoundedText::BoundedText(char* buffer, std::size_t capacity)
    : buffer_(buffer), capacity_(capacity) {
    while (length_ + 1 < capacity_ && buffer_[length_] != '\0')
        ++length_;
    buffer_[length_] = '\0'; // a buffer without its terminator ends where the room does
}

BoundedText& BoundedText::Add(const char* text) {
    std::size_t length = std::strlen(text);
    const std::size_t room = capacity_ - 1 - length_;
    if (length > room) {
        length = room;
        overflowed_ = true;
    }
    std::memcpy(buffer_ + length_, text, length);
    length_ += length;
    buffer_[length_] = '\0';
    return *this;
}

// Text composed in a fixed buffer without allocating (the out-of-memory road composes text too):
// what fits is kept and terminated, and an overflow is remembered instead of written past the end.
#pragma once

#include <cstddef>

class BoundedText {
  public:
    // Continues the terminated text `buffer` already holds; `capacity` counts the terminator.
    BoundedText(char* buffer, std::size_t capacity);

    // Appends as much of `text` as fits.
    BoundedText& Add(const char* text);
    // True once anything added did not fit whole.
    bool Overflowed() const { return overflowed_; }

  private:
    char* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
    bool overflowed_ = false;
};

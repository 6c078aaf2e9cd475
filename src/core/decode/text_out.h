// Writes a text into a fixed field, always terminated, cut to the field's size.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstring>

namespace tw::decode {

class TextOut {
public:
    TextOut(char* field, size_t size) : field_(field), size_(size)
    {
        std::memset(field_, 0, size_);
    }
    void put(char c)
    {
        if (length_ + 1 < size_)
            field_[length_++] = c;
    }
    void put(const char* s)
    {
        while (*s)
            put(*s++);
    }
    template <typename Integer>
    void putNumber(Integer value)
    {
        char digits[24];
        auto result = std::to_chars(digits, digits + sizeof digits, value);
        for (char* p = digits; p != result.ptr; ++p)
            put(*p);
    }
    size_t length() const { return length_; }

private:
    char* field_;
    size_t size_;
    size_t length_ = 0;
};

} // namespace tw::decode

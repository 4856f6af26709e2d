// UTF-8 decoding shared by the XML readers. Header-only, like XmlGuard.h, so that readers that
// build alone (fuzzing) need no library.
#pragma once

#include <cstddef>

namespace utf8 {

// Length of the well-formed UTF-8 sequence at p[i] (1 for ASCII, NUL included), its code point
// in value; 0 when the bytes there are not one: a bad lead or continuation byte, a sequence cut
// by the end, an overlong form, a surrogate or a value past U+10FFFF.
inline size_t SequenceAt(const unsigned char* p, size_t n, size_t i, unsigned* value)
{
    const unsigned c = p[i];
    if (c < 0x80) {
        *value = c;
        return 1;
    }
    size_t len = 0;
    unsigned min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > n)
        return 0;
    unsigned v = c & (0xFF >> (len + 1));
    for (size_t k = 1; k < len; ++k) {
        if ((p[i + k] & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | (p[i + k] & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return 0;
    *value = v;
    return len;
}

} // namespace utf8

#ifndef ORVAN_TOU_COPYTEXT_H
#define ORVAN_TOU_COPYTEXT_H

#include <cstddef>
#include <cstring>

namespace Orvan {
namespace Tou {

// Copies text into a fixed field: cut to size - 1 characters and terminated; null counts as empty.
inline void copyText(char* out, size_t size, const char* text)
{
    size_t n = text ? strnlen(text, size - 1) : 0;
    if (n)
        std::memcpy(out, text, n);
    out[n] = '\0';
}

} // namespace Tou
} // namespace Orvan

#endif

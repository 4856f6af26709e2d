// Text helpers of the template file reader; see the header.
#include "Template/TemplateXmlText.h"

#include <cerrno>
#include <cstdint>
#include <climits>
#include <cstdlib>

#include <tinyxml.h>

namespace tplxml {

std::string ToNarrow(const wchar_t* text)
{
    std::string out;
    if (!text)
        return out;
    for (; *text; ++text) {
        auto c = static_cast<uint32_t>(*text);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring ToWide(const std::string& text)
{
    std::wstring out;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned c = p[i];
        size_t len = 0;
        unsigned min = 0;
        if (c < 0x80) {
            out += static_cast<wchar_t>(c);
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            min = 0x10000;
        }
        unsigned value = len ? (c & (0xFF >> (len + 1))) : 0;
        bool ok = len != 0 && i + len <= n;
        for (size_t k = 1; ok && k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                value = (value << 6) | (p[i + k] & 0x3F);
        }
        if (ok && (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)))
            ok = false;
        out += ok ? static_cast<wchar_t>(value) : L'\xFFFD';
        i += ok ? len : 1;
    }
    return out;
}

bool QueryInt(const TiXmlElement* element, const char* name, int& value)
{
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text)
        return false;
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')
        ++text;
    const char* digits = text + ((*text == '-' || *text == '+') ? 1 : 0);
    if (*digits < '0' || *digits > '9')
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace tplxml

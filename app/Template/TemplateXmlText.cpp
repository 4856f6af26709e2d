// Text helpers of the template file reader; see the header.
#include "Template/TemplateXmlText.h"

#include <cerrno>
#include <cstdint>
#include <climits>
#include <cstdlib>

#include <tinyxml.h>

#include "Common/Utf8.h"

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
        unsigned value = 0;
        const size_t len = utf8::SequenceAt(p, n, i, &value);
        out += len ? static_cast<wchar_t>(value) : L'\xFFFD';
        i += len ? len : 1;
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

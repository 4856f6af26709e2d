// Limits checked before an XML text reaches the parser: the parser descends recursively, so a
// text nested some thousands of levels deep would exhaust the stack. Header-only, so that every
// reader (settings, language files, workbook parts) can use it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include <tinyxml.h>

#include "Common/Utf8.h"

namespace xmlguard {

enum : int { kMaxDepth = 256 };
enum : size_t { kMaxFileBytes = 16u << 20, kMaxElements = 2000000 };

// Nesting depth and number of the elements, counted without a parser; false with the reason when
// the depth passes maxDepth or the count maxElements. Comments, CDATA, declarations and quoted
// attribute values are skipped.
inline bool ShapeWithin(const char* text, size_t size, int maxDepth, size_t maxElements, std::string* why)
{
    int depth = 0;
    size_t elements = 0;
    size_t i = 0;
    auto skipTo = [&](const char* end) {
        const size_t n = std::strlen(end);
        while (i + n <= size && std::memcmp(text + i, end, n) != 0)
            ++i;
        i = i + n <= size ? i + n : size;
    };
    while (i < size) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        if (size - i >= 4 && std::memcmp(text + i, "<!--", 4) == 0) {
            skipTo("-->");
        } else if (size - i >= 9 && std::memcmp(text + i, "<![CDATA[", 9) == 0) {
            skipTo("]]>");
        } else if (i + 1 < size && (text[i + 1] == '?' || text[i + 1] == '!')) {
            skipTo(">");
        } else if (i + 1 < size && text[i + 1] == '/') {
            skipTo(">");
            if (depth > 0)
                --depth;
        } else {
            char quote = 0;
            char last = 0;
            ++i;
            while (i < size && (quote || text[i] != '>')) {
                if (quote && text[i] == quote)
                    quote = 0;
                else if (!quote && (text[i] == '"' || text[i] == '\''))
                    quote = text[i];
                if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n')
                    last = text[i];
                ++i;
            }
            ++i;
            if (++elements > maxElements) {
                if (why)
                    *why = "more than " + std::to_string(maxElements) + " elements";
                return false;
            }
            if (last != '/' && ++depth > maxDepth) {
                if (why)
                    *why = "elements nested more than " + std::to_string(maxDepth) + " levels deep";
                return false;
            }
        }
    }
    return true;
}

// Whether the text is UTF-8 without NUL: the parser skips a multi-byte character by its first
// byte alone and would read past the end of a cut one.
inline bool ValidUtf8(const std::string& text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        unsigned value = 0;
        const size_t len = utf8::SequenceAt(p, n, i, &value);
        if (len == 0 || value == 0)
            return false;
        i += len;
    }
    return true;
}

// Parses the text into doc after the encoding and shape checks; false with the reason otherwise.
inline bool ParseChecked(const std::string& text, TiXmlDocument* doc, std::string* why)
{
    doc->Clear();
    if (!ValidUtf8(text)) {
        if (why)
            *why = "not UTF-8 text";
        return false;
    }
    if (!ShapeWithin(text.data(), text.size(), kMaxDepth, kMaxElements, why))
        return false;
    doc->Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (doc->Error() || !doc->RootElement()) {
        if (why)
            *why = doc->Error() ? doc->ErrorDesc() : "no root element";
        return false;
    }
    return true;
}

// Reads a file of at most kMaxFileBytes and parses it checked; false with the reason otherwise.
inline bool LoadChecked(const char* path, TiXmlDocument* doc, std::string* why)
{
    doc->Clear();
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) {
        if (why)
            *why = "cannot be opened";
        return false;
    }
    std::string text;
    char buf[65536];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (text.size() + n > kMaxFileBytes) {
            std::fclose(f);
            if (why)
                *why = "larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
            return false;
        }
        text.append(buf, n);
    }
    std::fclose(f);
    return ParseChecked(text, doc, why);
}

} // namespace xmlguard

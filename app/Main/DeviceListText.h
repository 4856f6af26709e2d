// Text helpers of the device list: UTF-8 and wide text, bounded copies of device texts.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include <QString>

#include "Common/StrHelpers.h"

inline std::string WideToUtf8(const std::wstring& text)
{
    return QString::fromStdWString(text).toStdString();
}

inline std::wstring Utf8ToWide(const char* text)
{
    return text ? QString::fromUtf8(text).toStdWString() : std::wstring();
}

// Length of a device text held in a field of `size` bytes (it may lack its terminator).
inline size_t FieldLength(const char* field, size_t size)
{
    const void* end = std::memchr(field, 0, size);
    return end ? static_cast<size_t>(static_cast<const char*>(end) - field) : size;
}

inline std::string FieldText(const char* field, size_t size)
{
    return std::string(field, FieldLength(field, size));
}

#define FIELD_TEXT(field) FieldText((field), sizeof(field))
#define COPY_FIELD(destination, source) SafeStrCopy((destination), sizeof(destination), (source), sizeof(source))
#define COPY_TEXT(destination, text) SafeStrCopy((destination), sizeof(destination), (text))

// Text helpers of the device list: UTF-8 and wide text, bounded copies of device texts.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include <QString>

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

// Copies at most size - 1 bytes of the source and always terminates the destination.
inline void CopyField(char* destination, size_t size, const char* source, size_t sourceSize = static_cast<size_t>(-1))
{
    if (size == 0)
        return;
    std::memset(destination, 0, size);
    if (!source)
        return;
    size_t n = 0;
    while (n + 1 < size && n < sourceSize && source[n] != 0)
        ++n;
    std::memcpy(destination, source, n);
}

#define FIELD_TEXT(field) FieldText((field), sizeof(field))
#define COPY_FIELD(destination, source) CopyField((destination), sizeof(destination), (source), sizeof(source))
#define COPY_TEXT(destination, text) CopyField((destination), sizeof(destination), (text))

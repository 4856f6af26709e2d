// Conversions between fixed-width record fields and cell texts, shared by the sheet operations.
#pragma once

#include <QString>

#include <cstring>
#include <string>

#include "Common/Translate.h"

namespace excelcell {

// More data rows than a legacy workbook can hold is no device list: refuse it rather than
// allocating a record for each of up to a million rows.
constexpr int kMaxDeviceRows = 65535;

// Text of a fixed-width record field (which may lack its terminator) as valid UTF-8.
template <size_t N>
std::string FieldText(const char (&field)[N])
{
    return QString::fromUtf8(field, static_cast<int>(strnlen(field, N))).toStdString();
}

inline std::string TrUtf8(const wchar_t* key)
{
    return QString::fromWCharArray(Tr(key)).toStdString();
}

// Copies at most `limit` bytes of the text, never splitting a UTF-8 character, and terminates.
template <size_t N>
void CopyCellText(char (&field)[N], const std::string& text, size_t limit)
{
    static_assert(N > 0, "field");
    if (limit > N - 1)
        limit = N - 1;
    size_t n = text.size();
    if (n > limit) {
        n = limit;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    }
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

} // namespace excelcell

#include "Common/InputCheck.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsDigit(unsigned c) { return c >= '0' && c <= '9'; }
bool IsLower(unsigned c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(unsigned c) { return c >= 'A' && c <= 'Z'; }
bool IsLetter(unsigned c) { return IsLower(c) || IsUpper(c); }
bool IsHex(unsigned c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
// Printable ASCII that is neither letter, digit nor space (ispunct in the C locale).
bool IsSymbol(unsigned c) { return c > 32 && c < 127 && !IsLetter(c) && !IsDigit(c); }
bool IsForbidden(unsigned c) { return c == ' ' || c == '"' || c == '&' || c == '\'' || c == ':' || c == ';'; }

// Four decimal numbers 0..255 separated by single dots, nothing else; leading zeros allowed.
bool IsDottedQuad(const char* p, const char* end)
{
    int parts = 0;
    while (p < end) {
        int value = 0;
        int digits = 0;
        while (p < end && IsDigit(static_cast<unsigned char>(*p))) {
            value = value * 10 + (*p - '0');
            if (value > 255)
                return false;
            ++digits;
            ++p;
        }
        if (digits == 0)
            return false;
        ++parts;
        if (p == end)
            break;
        if (*p != '.' || parts == 4)
            return false;
        ++p;
        if (p == end)
            return false;
    }
    return parts == 4;
}

} // namespace

int IsValidIpv4Text(const char* text)
{
    if (!text || strlen(text) > 16)
        return 0;
    int n[5] = {};
    if (sscanf(text, "%d.%d.%d.%d.%d", &n[0], &n[1], &n[2], &n[3], &n[4]) != 4)
        return 0;
    for (int i = 0; i < 4; ++i) {
        if (n[i] < 0 || n[i] > 255)
            return 0;
    }
    return 1;
}

bool IsValidIpv4Strict(const char* text)
{
    if (!text || strlen(text) > 255)
        return false;
    int n[4] = {};
    int consumed = 0;
    if (sscanf(text, "%3d.%3d.%3d.%3d%n", &n[0], &n[1], &n[2], &n[3], &consumed) != 4 || text[consumed] != 0)
        return false;
    for (int v : n) {
        if (v < 0 || v > 255)
            return false;
    }
    return true;
}

bool IsValidIpv6(const char* text)
{
    if (!text)
        return false;
    const size_t len = strlen(text);
    if (len == 0 || len >= 256)
        return false;
    size_t i = 0;
    if (text[0] == ':') {
        if (len < 2 || text[1] != ':')
            return false;
        i = 1;
    }
    unsigned group = 0;
    bool open = false;
    size_t groupStart = i;
    int bytes = 0;
    int doubleColonAt = -1;
    for (; i < len; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsHex(c)) {
            if (!open) {
                open = true;
                group = 0;
                groupStart = i;
            }
            group = group * 16 + static_cast<unsigned>(IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
            if (group > 0xFFFF)
                return false;
        } else if (c == ':') {
            if (open) {
                if (i + 1 == len)
                    return false;
                bytes += 2;
                if (bytes > 16)
                    return false;
                open = false;
            } else {
                if (doubleColonAt >= 0)
                    return false;
                doubleColonAt = bytes;
            }
        } else if (c == '.') {
            bytes += 4;
            if (bytes > 16 || !open)
                return false;
            if (!IsDottedQuad(text + groupStart, text + len))
                return false;
            return doubleColonAt >= 0 ? bytes < 16 : bytes == 16;
        } else {
            return false;
        }
    }
    if (open) {
        bytes += 2;
        if (bytes > 16)
            return false;
    }
    return doubleColonAt >= 0 ? bytes < 16 : bytes == 16;
}

int IsValidMac(const char* text)
{
    if (!text || strlen(text) != 17)
        return 0;
    for (int i = 0; i < 17; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (i % 3 == 2) {
            if (c != ':')
                return 0;
        } else if (!IsHex(c)) {
            return 0;
        }
    }
    return 1;
}

bool IsIdentChars(const char* text, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!IsDigit(c) && !IsLetter(c) && c != '_')
            return false;
    }
    return true;
}

bool IsAlnumText(const wchar_t* text, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const unsigned c = static_cast<unsigned>(text[i]);
        if (!IsDigit(c) && !IsLetter(c))
            return false;
    }
    return true;
}

bool IsDomainNameChars(const std::string& text)
{
    if (text.empty())
        return false;
    for (unsigned char c : text) {
        if (!IsDigit(c) && !IsLetter(c) && c != '-' && c != '.' && c != '_')
            return false;
    }
    return true;
}

int StripBadPasswordChar(wchar_t* text, size_t count)
{
    if (!text)
        return 1;
    for (size_t i = 0; i < count && text[i]; ++i) {
        if (IsForbidden(static_cast<unsigned>(text[i]))) {
            for (size_t j = i; text[j]; ++j)
                text[j] = text[j + 1];
            return 0;
        }
    }
    return 1;
}

bool CheckPasswordRule(const wchar_t* text, int count)
{
    if (!text || count < 1)
        return false;
    int letters = 0, digits = 0, symbols = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned c = static_cast<unsigned>(text[i]);
        if (IsForbidden(c))
            return false;
        if (IsLetter(c))
            ++letters;
        else if (IsDigit(c))
            ++digits;
        else if (IsSymbol(c))
            ++symbols;
        else
            return false;
    }
    return (letters > 0) + (digits > 0) + (symbols > 0) >= 2;
}

int GetPasswordStrength(const wchar_t* text, int count)
{
    if (!text || count <= 0)
        return 0;
    int lower = 0, upper = 0, digits = 0, symbols = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned c = static_cast<unsigned>(text[i]);
        if (IsLower(c))
            ++lower;
        else if (IsUpper(c))
            ++upper;
        else if (IsDigit(c))
            ++digits;
        else if (IsSymbol(c))
            ++symbols;
    }
    int score = count <= 4 ? 5 : (count <= 7 ? 10 : 25);
    const bool bothCases = lower > 0 && upper > 0;
    const bool anyLetter = lower > 0 || upper > 0;
    score += bothCases ? 20 : (anyLetter ? 10 : 0);
    score += digits == 1 ? 10 : (digits >= 2 ? 20 : 0);
    score += symbols == 1 ? 10 : (symbols >= 2 ? 25 : 0);
    if (digits > 0) {
        if (symbols > 0)
            score += bothCases ? 5 : (anyLetter ? 3 : 0);
        else if (anyLetter)
            score += 2;
    }
    return score < 50 ? 1 : (score < 70 ? 2 : 3);
}

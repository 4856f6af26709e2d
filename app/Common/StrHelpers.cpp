#include "Common/StrHelpers.h"

#include "Common/AppPath.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

// atoi without undefined behaviour on long numbers: saturates like strtol, then narrows.
int SafeAtoi(const char* text)
{
    errno = 0;
    long value = strtol(text, nullptr, 10);
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    return static_cast<int>(value);
}

bool ReadFourOctets(const char* text, int& a, int& b, int& c, int& d)
{
    a = b = c = d = 0;
    return text && sscanf(text, "%d.%d.%d.%d", &a, &b, &c, &d) == 4;
}

void WriteSlot(char* slot, int a, int b, int c, int d)
{
    memset(slot, 0, IP_SLOT_SIZE);
    snprintf(slot, IP_SLOT_SIZE, "%d.%d.%d.%d", a, b, c, d);
}

void CopyIntoSlot(char* slot, const char* text, size_t maxBytes)
{
    SafeStrCopy(slot, IP_SLOT_SIZE, text, maxBytes);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

} // namespace

int WideFormat(wchar_t* buffer, size_t count, const wchar_t* format, ...)
{
    if (!buffer || count == 0 || !format)
        return -1;
    std::vector<wchar_t> work(count < 256 ? 256 : count);
    int written = -1;
    for (;;) {
        va_list args;
        va_start(args, format);
        written = vswprintf(work.data(), work.size(), format, args);
        va_end(args);
        if (written >= 0 || work.size() >= (1u << 20))
            break;
        work.resize(work.size() * 4);
    }
    if (written < 0) {
        buffer[0] = 0;
        return -1;
    }
    const size_t n = static_cast<size_t>(written);
    if (n < count) {
        wmemcpy(buffer, work.data(), n + 1);
        return written;
    }
    wmemcpy(buffer, work.data(), count - 1);
    buffer[count - 1] = 0;
    return -1;
}

int IntToWide(int value, wchar_t* buffer) { return WideFormat(buffer, 64, L"%d", value); }

void SafeStrCopy(char* destination, size_t size, const char* source, size_t sourceSize)
{
    if (!destination || size == 0)
        return;
    memset(destination, 0, size);
    if (!source)
        return;
    size_t n = 0;
    while (n + 1 < size && n < sourceSize && source[n] != 0)
        ++n;
    memcpy(destination, source, n);
}

size_t StrToUpper(std::string& text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text.size();
}

std::string StrUpper(std::string text)
{
    StrToUpper(text);
    return text;
}

std::wstring ReplaceAllW(std::wstring text, std::wstring search, std::wstring replacement)
{
    if (search.empty())
        return text;
    size_t pos = 0;
    while ((pos = text.find(search, pos)) != std::wstring::npos) {
        text.replace(pos, search.size(), replacement);
        pos += replacement.size();
    }
    return text;
}

std::string GetFileNameFromPath(std::string path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::wstring GetSkinPath(const std::wstring& name) { return SFGetAppPath() + L"/Skin" + name; }

void HexToBytes(const std::string& hex, unsigned char* out)
{
    if (!out)
        return;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out[i / 2] = static_cast<unsigned char>(HexValue(hex[i]) * 16 + HexValue(hex[i + 1]));
}

void BytesToHex(const char* text, char* out)
{
    if (!out)
        return;
    static const char digits[] = "0123456789abcdef";
    size_t n = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : ""); *p; ++p) {
        out[n++] = digits[*p >> 4];
        out[n++] = digits[*p & 15];
    }
    out[n] = 0;
}

int ParseWideUInt(const wchar_t* text, int& value, int maxDigits)
{
    if (!text || text[0] < L'0' || text[0] > L'9')
        return 0;
    value = 0;
    for (int i = 0; i < maxDigits && text[i]; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return 0;
        value = static_cast<int>(static_cast<unsigned>(value) * 10u + static_cast<unsigned>(text[i] - L'0'));
    }
    return 1;
}

uint32_t VersionToInt(std::string text)
{
    uint32_t value = 0;
    size_t pos = 0;
    for (;;) {
        const size_t dot = text.find('.', pos);
        if (dot == std::string::npos) {
            value = value * 256u + static_cast<uint32_t>(SafeAtoi(text.c_str() + pos));
            return value;
        }
        if (dot == pos)
            return value * 256u;
        value = value * 256u + static_cast<uint32_t>(SafeAtoi(text.substr(pos, dot - pos).c_str()));
        pos = dot + 1;
    }
}

uint32_t IpTextToUInt(std::string text, bool* ok)
{
    if (ok)
        *ok = false;
    if (text.empty() || text[0] == '.')
        return 0xFFFFFFFFu;
    size_t dots[3];
    size_t pos = 0;
    for (size_t& dot : dots) {
        dot = text.find('.', pos);
        if (dot == std::string::npos)
            return 0xFFFFFFFFu;
        pos = dot + 1;
    }
    if (dots[2] + 1 >= text.size())
        return 0xFFFFFFFFu;
    const uint32_t a = static_cast<uint32_t>(SafeAtoi(text.substr(0, dots[0]).c_str()));
    const uint32_t b = static_cast<uint32_t>(SafeAtoi(text.substr(dots[0] + 1, dots[1] - dots[0] - 1).c_str()));
    const uint32_t c = static_cast<uint32_t>(SafeAtoi(text.substr(dots[1] + 1, dots[2] - dots[1] - 1).c_str()));
    const uint32_t d = static_cast<uint32_t>(SafeAtoi(text.c_str() + dots[2] + 1));
    if (ok)
        *ok = true;
    return (a << 24) | ((b & 0xFF) << 16) | ((c & 0xFF) << 8) | d;
}

std::string IpSortKey(const std::string& ip)
{
    std::string key;
    size_t start = 0;
    while (true) {
        const size_t dot = ip.find('.', start);
        std::string part = ip.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (part.size() < 3)
            part.insert(0, 3 - part.size(), '0');
        key += part;
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return key;
}

int IsSameSubnet(std::string address, std::string mask, std::string gateway)
{
    bool okA = false, okM = false, okG = false;
    const uint32_t a = IpTextToUInt(address, &okA);
    const uint32_t m = IpTextToUInt(mask, &okM);
    const uint32_t g = IpTextToUInt(gateway, &okG);
    if (!okA || !okM || !okG)
        return 0;
    return (m & g) == (m & a) ? 1 : 0;
}

int MakeIpSequence(const char* start, int count, char* slots)
{
    if (!slots || count <= 0)
        return 1;
    int a, b, c, d;
    ReadFourOctets(start, a, b, c, d);
    CopyIntoSlot(slots, start, 16);
    for (int i = 1; i < count; ++i) {
        if (++d >= 256) {
            d = 0;
            if (++c >= 256) {
                c = 0;
                if (++b >= 256) {
                    b = 0;
                    if (++a >= 256)
                        break;
                }
            }
        }
        WriteSlot(slots + static_cast<size_t>(i) * IP_SLOT_SIZE, a, b, c, d);
    }
    return 1;
}

int OffsetIp(const char* start, int offset, char* slot, int keep)
{
    if (!slot)
        return 1;
    if (keep) {
        CopyIntoSlot(slot, start, IP_SLOT_SIZE - 1);
        return 1;
    }
    int a, b, c, d;
    ReadFourOctets(start, a, b, c, d);
    if (offset == 0) {
        CopyIntoSlot(slot, start, 16);
        return 1;
    }
    long long la = a, lb = b, lc = c, ld = static_cast<long long>(d) + offset;
    if (ld >= 256) {
        lc += ld / 256;
        ld %= 256;
    }
    if (lc >= 256) {
        lb += lc / 256;
        lc %= 256;
    }
    if (lb >= 256) {
        la += lb / 256;
        lb %= 256;
    }
    if (la >= 256)
        la = 255;
    WriteSlot(slot, int(la), int(lb), int(lc), int(ld));
    return 1;
}

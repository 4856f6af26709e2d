// Text, number and address helpers between the SDK's fixed narrow fields, wide texts and numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// swprintf into `count` units (wide strings are %ls). Always terminated; output that does not fit is
// cut to count - 1 units. Returns the units written, or -1 when the output was cut.
int WideFormat(wchar_t* buffer, size_t count, const wchar_t* format, ...);
// The value in decimal into a buffer of at least 64 units.
int IntToWide(int value, wchar_t* buffer);
// Zero-fills `size` bytes, then copies at most size - 1 bytes of the source, stopping at its
// terminator or after sourceSize bytes: always terminated. Does nothing when size is 0.
void SafeStrCopy(char* destination, size_t size, const char* source, size_t sourceSize = static_cast<size_t>(-1));
// Upper-cases a to z in place; returns the length.
size_t StrToUpper(std::string& text);
// The text with a to z upper-cased.
std::string StrUpper(std::string text);
std::wstring ReplaceAllW(std::wstring text, std::wstring search, std::wstring replacement);
// The text after the last "/".
std::string GetFileNameFromPath(std::string path);
// Application directory + "/Skin" + name (names begin with "/").
std::wstring GetSkinPath(const std::wstring& name);
// One byte per pair of hexadecimal digits; an odd last digit is ignored; no terminator written.
void HexToBytes(const std::string& hex, unsigned char* out);
// Two lower-case hexadecimal digits per byte up to the first zero, then a terminator.
void BytesToHex(const char* text, char* out);

// Parses a decimal number from the start of `text`, reading at most `maxDigits` units. 0 (value
// untouched) when the first unit is not a digit; 0 with the digits read so far at a non-digit; else 1.
int ParseWideUInt(const wchar_t* text, int& value, int maxDigits);
// value = value * 256 + part for each dotted part: "1.2.3" is 0x10203.
uint32_t VersionToInt(std::string text);
// Host-order value of an IPv4 text; 0xFFFFFFFF with *ok false when the text is not one. *ok tells
// "255.255.255.255" from an error.
uint32_t IpTextToUInt(std::string text, bool* ok = nullptr);
// Sort key of a dotted address: every part left-padded with "0" to three characters, so that
// "10.0.0.9" orders before "10.0.0.10"; longer parts stay as they are.
std::string IpSortKey(const std::string& ip);
// 1 when all three read as addresses and (mask & gateway) == (mask & address).
int IsSameSubnet(std::string address, std::string mask, std::string gateway);

enum { IP_SLOT_SIZE = 64 };
// `count` consecutive addresses from `start` into 64-byte slots; each octet wraps at 256 and carries;
// stops when the first octet would pass 255. Returns 1.
int MakeIpSequence(const char* start, int count, char* slots);
// `start` plus `offset` into one 64-byte slot (carrying at 256; the first octet stops at 255), or
// `start` unchanged when `keep` is nonzero. Returns 1.
int OffsetIp(const char* start, int offset, char* slot, int keep);

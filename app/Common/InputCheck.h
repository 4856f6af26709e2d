// Checks of addresses, MAC addresses, names and passwords typed by the user or reported by devices.
#pragma once

#include <cstddef>
#include <string>

int IsValidIpv4Text(const char* text);
bool IsValidIpv4Strict(const char* text);
bool IsValidIpv6(const char* text);
// Six pairs of hexadecimal digits separated by ":".
int IsValidMac(const char* text);
bool IsIdentChars(const char* text, size_t count);
bool IsAlnumText(const wchar_t* text, size_t count);
bool IsDomainNameChars(const std::string& text);

// Removes the first of space, ", &, ', :, ; among the first `count` units: 0 when one was removed,
// 1 when there was none.
int StripBadPasswordChar(wchar_t* text, size_t count);
bool CheckPasswordRule(const wchar_t* text, int count);
// 0 for an empty text, else 1 weak, 2 medium, 3 strong.
int GetPasswordStrength(const wchar_t* text, int count);

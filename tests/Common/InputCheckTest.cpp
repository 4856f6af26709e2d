// Address, name and password checks.
#include "Common/InputCheck.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

TEST(InputCheck, Ipv4)
{
    struct Case {
        const char* text;
        int loose;
        bool strict;
    } cases[] = {
        {"192.168.1.1", 1, true},   {"192.168.1.1 ", 1, false}, {"192.168.1.1abc", 1, false},
        {"1.2.3.4.5", 0, false},    {"1.2.3", 0, false},        {"256.1.1.1", 0, false},
        {"-1.2.3.4", 0, false},     {"0.0.0.0", 1, true},       {"255.255.255.255", 1, true},
        {"1234.1.1.1", 0, false},   {"192.168.100.100 x", 0, false}, {"", 0, false},
        {"1.2.3.4.", 1, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.loose, IsValidIpv4Text(c.text)) << c.text;
        EXPECT_EQ(c.strict, IsValidIpv4Strict(c.text)) << c.text;
    }
}

TEST(InputCheck, Ipv6)
{
    for (const char* good : {"::", "::1", "1::", "fe80::1", "::ffff:192.168.1.1", "1:2:3:4:5:6:7:8",
                             "0001:0DB8::1", "1:2:3:4:5:6:1.2.3.4", "1::2:3"})
        EXPECT_TRUE(IsValidIpv6(good)) << good;
    for (const char* bad : {"", ":", ":1", "1:::2", "1::2::3", "1:2:3:4:5:6:7", "12345::", "1:2:3:4:5:6:7:8::",
                            "1:2:3:4:5:6:7:8:9", "g::1", "1:", "::1.2.3", "::256.1.1.1", "1:2:3:4:5:6:7:1.2.3.4"})
        EXPECT_FALSE(IsValidIpv6(bad)) << bad;
    EXPECT_FALSE(IsValidIpv6(std::string(300, '1').c_str()));
}

TEST(InputCheck, MacAndNames)
{
    EXPECT_EQ(1, IsValidMac("00:1a:2B:3c:4D:5e"));
    for (const char* bad : {"00:1a:2b:3c:4d:5g", "zz:zz:zz:zz:zz:zz", "00-1a-2b-3c-4d-5e", "00:1a:2b:3c:4d:5",
                            "00:1a:2b:3c:4d:5e:", "001a:2b:3c:4d:5e:"})
        EXPECT_EQ(0, IsValidMac(bad)) << bad;
    EXPECT_TRUE(IsIdentChars("ab_C9", 5));
    EXPECT_TRUE(IsIdentChars("", 0));
    EXPECT_FALSE(IsIdentChars("a-b", 3));
    EXPECT_FALSE(IsIdentChars("a\xC3\xB6", 3));
    EXPECT_TRUE(IsIdentChars("ab-", 2));
    EXPECT_TRUE(IsAlnumText(L"abC9", 4));
    EXPECT_FALSE(IsAlnumText(L"ab_", 3));
    EXPECT_FALSE(IsAlnumText(L"\u00e4", 1));
    EXPECT_TRUE(IsDomainNameChars("a-b.c_d9"));
    EXPECT_FALSE(IsDomainNameChars(""));
    EXPECT_FALSE(IsDomainNameChars("a b"));
}

TEST(InputCheck, PasswordRule)
{
    struct Case {
        const wchar_t* text;
        bool ok;
    } cases[] = {
        {L"abcdefgh", false}, {L"abcd1234", true}, {L"1234!@#$", true}, {L"abc!", true},
        {L"abc;1234", false}, {L"abc 1234", false}, {L"", false},        {L"12345678", false},
        {L"!@#$%", false},    {L"abc\u00e41", false}, {L"ab\"12", false}, {L"ab&1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.ok, CheckPasswordRule(c.text, int(wcslen(c.text)))) << c.text;
}

TEST(InputCheck, PasswordStrength)
{
    struct Case {
        const wchar_t* text;
        int level;
    } cases[] = {
        {L"", 0},           {L"abcd", 1},       // 5 + 10 = 15
        {L"abcDEF12", 2},   // 25 + 20 + 20 + 2 = 67
        {L"abcDEF1!", 3},   // 25 + 20 + 10 + 10 + 5 = 70
        {L"12345678", 1},   // 25 + 20 = 45
        {L"abcdefg1!", 2},  // 25 + 10 + 10 + 10 + 3 = 58
        {L"ab!!cdef", 2},   // 25 + 10 + 25 = 60, no bonus without digits
        {L"aB1!aB2@x", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.level, GetPasswordStrength(c.text, int(wcslen(c.text)))) << c.text;
}

TEST(InputCheck, StripRemovesOnlyTheFirstForbiddenCharacter)
{
    wchar_t text[] = L"a b;c";
    EXPECT_EQ(0, StripBadPasswordChar(text, wcslen(text)));
    EXPECT_STREQ(L"ab;c", text);
    EXPECT_EQ(0, StripBadPasswordChar(text, wcslen(text)));
    EXPECT_STREQ(L"abc", text);
    EXPECT_EQ(1, StripBadPasswordChar(text, wcslen(text)));
    EXPECT_STREQ(L"abc", text);
    wchar_t beyond[] = L"ab:";
    EXPECT_EQ(1, StripBadPasswordChar(beyond, 2));
}

} // namespace

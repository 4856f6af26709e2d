// Text, number and address helpers.
#include "Common/AppPath.h"
#include "Common/StrHelpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(StrHelpers, WideFormatCutsAndTerminates)
{
    wchar_t buf[8];
    EXPECT_EQ(5, WideFormat(buf, 8, L"%ls-%d", L"ab", 12));
    EXPECT_STREQ(L"ab-12", buf);
    EXPECT_EQ(-1, WideFormat(buf, 8, L"%ls", L"0123456789"));
    EXPECT_STREQ(L"0123456", buf);
    wchar_t num[64];
    EXPECT_EQ(2, IntToWide(-5, num));
    EXPECT_STREQ(L"-5", num);
    IntToWide(-2147483647 - 1, num);
    EXPECT_STREQ(L"-2147483648", num);
}

TEST(StrHelpers, SafeStrCopyAlwaysTerminates)
{
    char field[8];
    memset(field, 'x', sizeof field);
    SafeStrCopy(field, sizeof field, "abc");
    EXPECT_STREQ("abc", field);
    EXPECT_EQ(0, field[7]);
    SafeStrCopy(field, sizeof field, "0123456789");
    EXPECT_STREQ("0123456", field);
    SafeStrCopy(field, sizeof field, "");
    EXPECT_STREQ("", field);
}

TEST(StrHelpers, CaseFoldReplaceAndPaths)
{
    std::string text = "abc-XyZ 09 \xC3\xB6";
    EXPECT_EQ(text.size(), StrToUpper(text));
    EXPECT_EQ("ABC-XYZ 09 \xC3\xB6", text);
    EXPECT_EQ(L"a;b;c", ReplaceAllW(L"a,b,c", L",", L";"));
    EXPECT_EQ(L"aaaa", ReplaceAllW(L"aa", L"a", L"aa"));
    EXPECT_EQ(L"abc", ReplaceAllW(L"abc", L"x", L"y"));
    EXPECT_EQ(L"abc", ReplaceAllW(L"abc", L"", L"y"));
    EXPECT_EQ("c.bin", GetFileNameFromPath("a/b/c.bin"));
    EXPECT_EQ("c.bin", GetFileNameFromPath("c.bin"));
    EXPECT_EQ("", GetFileNameFromPath("a/b/"));
    SFSetAppPathForTest(L"/opt/app");
    EXPECT_EQ(L"/opt/app/Skin/btn.png", GetSkinPath(L"/btn.png"));
}

TEST(StrHelpers, HexConversions)
{
    unsigned char bytes[4] = {};
    HexToBytes("0aFf7", bytes);
    EXPECT_EQ(0x0A, bytes[0]);
    EXPECT_EQ(0xFF, bytes[1]);
    EXPECT_EQ(0, bytes[2]);
    char hex[16];
    BytesToHex("\x01\xAB" "z", hex);
    EXPECT_STREQ("01ab7a", hex);
    BytesToHex("", hex);
    EXPECT_STREQ("", hex);
}

TEST(StrHelpers, ParseWideUInt)
{
    struct Case {
        const wchar_t* text;
        int maxDigits;
        int result, value;
    } cases[] = {
        {L"12a", 3, 0, 12}, {L"12a", 2, 1, 12}, {L"", 3, 0, -7},  {L"x1", 3, 0, -7},
        {L"007", 3, 1, 7},  {L"12", 5, 1, 12},  {L"99999", 3, 1, 999},
    };
    for (const auto& c : cases) {
        int value = -7;
        EXPECT_EQ(c.result, ParseWideUInt(c.text, value, c.maxDigits)) << c.text;
        EXPECT_EQ(c.value, value) << c.text;
    }
}

TEST(StrHelpers, VersionToInt)
{
    struct Case {
        const char* text;
        uint32_t value;
    } cases[] = {
        {"1.2.3", 0x10203}, {"2", 2},     {"1.0", 256}, {"a.b", 0}, {"", 0}, {"1..2", 256}, {".5", 0},
        {"192.168.1.10", 0xC0A8010A}, {"99999999999999999999.1", 0xFFFFFF01},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, VersionToInt(c.text)) << c.text;
}

TEST(StrHelpers, IpTextToUInt)
{
    struct Case {
        const char* text;
        uint32_t value;
        bool ok;
    } cases[] = {
        {"192.168.1.10", 0xC0A8010A, true}, {"255.255.255.255", 0xFFFFFFFF, true},
        {"0.0.0.0", 0, true},               {"10.1.2.300", 0x0A01022C | 0x100, true},
        {"192.168.1", 0xFFFFFFFF, false},   {"1.2.3.", 0xFFFFFFFF, false},
        {".1.2.3", 0xFFFFFFFF, false},      {"", 0xFFFFFFFF, false},
    };
    for (const auto& c : cases) {
        bool ok = !c.ok;
        EXPECT_EQ(c.value, IpTextToUInt(c.text, &ok)) << c.text;
        EXPECT_EQ(c.ok, ok) << c.text;
    }
}

TEST(StrHelpers, IsSameSubnet)
{
    EXPECT_EQ(1, IsSameSubnet("192.168.1.10", "255.255.255.0", "192.168.1.1"));
    EXPECT_EQ(0, IsSameSubnet("192.168.1.10", "255.255.255.0", "192.168.2.1"));
    EXPECT_EQ(1, IsSameSubnet("10.0.0.1", "255.255.255.255", "10.0.0.1"));
    EXPECT_EQ(0, IsSameSubnet("10.0.0.1", "255.255.255.255", "10.0.0.2"));
    EXPECT_EQ(0, IsSameSubnet("10.0.0", "255.0.0.0", "10.0.0.1"));
}

std::vector<std::string> Slots(const std::vector<char>& raw)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < raw.size(); i += IP_SLOT_SIZE)
        out.emplace_back(raw.data() + i);
    return out;
}

TEST(StrHelpers, MakeIpSequence)
{
    std::vector<char> raw(4 * IP_SLOT_SIZE, 0);
    EXPECT_EQ(1, MakeIpSequence("10.0.0.254", 4, raw.data()));
    EXPECT_EQ((std::vector<std::string>{"10.0.0.254", "10.0.0.255", "10.0.1.0", "10.0.1.1"}), Slots(raw));
    std::vector<char> last(3 * IP_SLOT_SIZE, 0);
    MakeIpSequence("255.255.255.255", 3, last.data());
    EXPECT_EQ((std::vector<std::string>{"255.255.255.255", "", ""}), Slots(last));
    std::vector<char> wrap(2 * IP_SLOT_SIZE, 0);
    MakeIpSequence("1.255.255.255", 2, wrap.data());
    EXPECT_EQ((std::vector<std::string>{"1.255.255.255", "2.0.0.0"}), Slots(wrap));
}

TEST(StrHelpers, OffsetIpCarriesAt256)
{
    struct Case {
        const char* start;
        int offset, keep;
        const char* expected;
    } cases[] = {
        {"192.168.1.250", 10, 0, "192.168.2.4"},  {"192.168.1.250", 5, 0, "192.168.1.255"},
        {"192.168.1.250", 6, 0, "192.168.2.0"},   {"10.0.255.255", 1, 0, "10.1.0.0"},
        {"255.255.255.255", 1, 0, "255.0.0.0"},   {"1.2.3.4", 0, 0, "1.2.3.4"},
        {"1.2.3.4", 7, 1, "1.2.3.4"},             {"10.0.0.0", 65536, 0, "10.1.0.0"},
    };
    for (const auto& c : cases) {
        char slot[IP_SLOT_SIZE];
        memset(slot, 'x', sizeof slot);
        EXPECT_EQ(1, OffsetIp(c.start, c.offset, slot, c.keep));
        EXPECT_STREQ(c.expected, slot) << c.start << "+" << c.offset;
        // Agrees with the sequence generator.
        if (!c.keep && c.offset > 0 && c.offset < 300) {
            std::vector<char> raw(size_t(c.offset + 1) * IP_SLOT_SIZE, 0);
            MakeIpSequence(c.start, c.offset + 1, raw.data());
            if (raw[size_t(c.offset) * IP_SLOT_SIZE]) {
                EXPECT_STREQ(raw.data() + size_t(c.offset) * IP_SLOT_SIZE, slot);
            }
        }
    }
}

} // namespace

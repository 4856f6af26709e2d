// Device classes, tabs, status bits, flag arrays and resolution tables.
#include "Common/DevClass.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(DevClass, ClassesFromTypeTexts)
{
    struct Case {
        const char* type;
        int cls, exact;
    } cases[] = {
        {"IPC", 1, 1},          {"IP CAMERA", 1, 1}, {"ipc-hdw1234", 1, 16}, {"SD", 2, 2},
        {"sd6c225", 2, 16},     {"PTZ", 2, 2},       {"DVR", 4, 4},          {"hcvr5104", 4, 16},
        {"HCVR", 4, 4},         {"nvr4216", 8, 16},  {"NVS", 8, 8},          {"", 16, 16},
        {"VTO2000", 16, 16},    {"IPC NVR", 1, 16},  {"Ip Camera", 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.cls, GetDevClass(c.type)) << c.type;
        EXPECT_EQ(c.exact, GetDevClassExact(c.type)) << c.type;
    }
}

TEST(DevClass, TypeTests)
{
    EXPECT_TRUE(IsIPCType("xip camera"));
    EXPECT_TRUE(IsPTZType("ptz"));
    EXPECT_TRUE(IsDVRType("hcvr"));
    EXPECT_TRUE(IsNVRType("nvs"));
    EXPECT_FALSE(IsNVRType("DVR"));
    EXPECT_TRUE(IsEVSType("evs5016", ""));
    EXPECT_TRUE(IsEVSType("", "hcvr"));
    EXPECT_FALSE(IsEVSType("HCVR", "EVS"));
    for (const char* type : {"ASM100", "asi", "ASC1202", "BSC", "arc2000", "VTH1510", "vto"})
        EXPECT_TRUE(IsAccessType(type)) << type;
    EXPECT_FALSE(IsAccessType("IPC"));
    EXPECT_TRUE(IsSameDevClass("IPC-A", "ip camera", 1));
    EXPECT_FALSE(IsSameDevClass("IPC", "NVR", 1));
    EXPECT_TRUE(IsSameDevClass("NVR", "nvs", 8));
    EXPECT_FALSE(IsSameDevClass("X", "X", 16));
}

TEST(DevClass, NormalizeType)
{
    struct Case {
        const char* type;
        const char* model;
        const char* expected;
    } cases[] = {
        {"unknown", "ipc-hfw", "IPC"}, {"", "my ip camera", "IPC"}, {"", "XVR-DVR", "DVR"},
        {"", "nvr", "NVR"},           {"", "sd59", "SD"},          {"", "VTO", "VTO"},
        {"", "vth", "VTH"},           {"", "HCVR", "HCVR"},         {"", "abc", ""},
        {"Unknown", "ipc", "Unknown"}, {"NVR", "ipc", "NVR"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, NormalizeDevType(c.type, c.model)) << c.type << "/" << c.model;
}

TEST(DevClass, PreviousTab)
{
    EXPECT_EQ(L"", GetPrevDevTypeTab(L"IPC"));
    EXPECT_EQ(L"IPC", GetPrevDevTypeTab(L"SD"));
    EXPECT_EQ(L"SD", GetPrevDevTypeTab(L"DVR"));
    EXPECT_EQ(L"DVR", GetPrevDevTypeTab(L"NVR"));
    EXPECT_EQ(L"NVR", GetPrevDevTypeTab(L"Others"));
    EXPECT_EQ(L"Others", GetPrevDevTypeTab(L"ipc"));
}

TEST(DevClass, StatusBits)
{
    for (int s : {1, 5, 0xFD})
        EXPECT_TRUE(IsUninitializedStatus(uint8_t(s))) << s;
    for (int s : {0, 2, 3, 0xFF})
        EXPECT_FALSE(IsUninitializedStatus(uint8_t(s))) << s;
    EXPECT_TRUE(IsResetByPhone(1));
    EXPECT_TRUE(IsResetByPhone(3));
    EXPECT_FALSE(IsResetByPhone(2));
}

TEST(DevClass, FlagArrayKeepsFourFlagsPerWord)
{
    uint32_t flags[SF_FLAG_WORDS];
    for (auto& w : flags)
        w = 0xFFFFFFFF;
    ClearAllBits(flags);
    SetBit(flags, 5);
    EXPECT_EQ(2u, flags[1]);
    EXPECT_TRUE(TestBit(flags, 5));
    EXPECT_FALSE(TestBit(flags, 4));
    EXPECT_FALSE(TestBit(flags, 6));
    SetBit(flags, 127);
    EXPECT_EQ(8u, flags[31]);
    ClearBit(flags, 5);
    EXPECT_EQ(0u, flags[1]);
    SetBit(flags, 128);
    SetBit(flags, -1);
    EXPECT_FALSE(TestBit(flags, 128));
}

TEST(Resolution, TablesAndLookups)
{
    const int differing[] = {2, 6, 7, 8, 12, 14};
    const std::pair<int, int> ntscOnly[] = {{176, 120}, {352, 240}, {352, 480}, {704, 240}, {704, 480}, {960, 480}};
    for (int i = 0; i < RESOLUTION_COUNT; ++i) {
        int pw = -5, ph = -5, nw = -5, nh = -5;
        GetResolutionByIndex(i, pw, ph, 0);
        GetResolutionByIndex(i, nw, nh, 1);
        EXPECT_EQ(i, GetResolutionIndex(pw, ph, 0));
        EXPECT_EQ(i, GetResolutionIndex(nw, nh, 1));
        const bool differs = std::find(std::begin(differing), std::end(differing), i) != std::end(differing);
        EXPECT_EQ(differs, pw != nw || ph != nh) << i;
    }
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(differing[k], GetResolutionIndex(ntscOnly[k].first, ntscOnly[k].second, 1));
        bool found = true;
        EXPECT_EQ(0, GetResolutionIndex(ntscOnly[k].first, ntscOnly[k].second, 0, &found));
        EXPECT_FALSE(found);
    }
    int w = 0, h = 0;
    GetResolutionByIndex(32, w, h, 0);
    EXPECT_EQ(2432, w);
    EXPECT_EQ(2050, h);
    bool found = false;
    EXPECT_EQ(0, GetResolutionIndex(160, 90, 1, &found));
    EXPECT_TRUE(found);
    EXPECT_EQ(0, GetResolutionIndex(161, 90, 0, &found));
    EXPECT_FALSE(found);
    EXPECT_EQ(25, GetResolutionIndex(1920, 1080, 0));
    EXPECT_EQ(43, GetResolutionIndex(4000, 3000, 1));
    w = h = 7;
    GetResolutionByIndex(44, w, h, 0);
    GetResolutionByIndex(-1, w, h, 1);
    EXPECT_EQ(7, w);
    EXPECT_EQ(7, h);
    EXPECT_EQ("1.3M", FixResolutionName("1_3M"));
    EXPECT_EQ("1_3m", FixResolutionName("1_3m"));
}

} // namespace

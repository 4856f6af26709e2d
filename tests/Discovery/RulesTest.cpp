// Pure rules of the device list: filter, IPv4 sort, web address, details fields, search range,
// address blocks.
#include <gtest/gtest.h>

#include "Main/CDetialsDlgEventImp.h"
#include "Main/CFilterMainEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CSearchDevLogic.h"
#include "Main/CUserSearchSettingEventImp.h"
#include "RecordingPeers.h"

TEST(DeviceFilterRule, Table)
{
    DevicePtr ipc = MakeDevice("10.1.2.3", "aa:bb:cc:dd:ee:01", "IPC");
    COPY_TEXT(ipc->stNetInfo.szSerialNumber, "sn7Kq");
    COPY_TEXT(ipc->stNetInfo.szSoftVersion, "2.800.rc");
    DevicePtr nvr = MakeDevice("10.1.2.4", "aa:bb:cc:dd:ee:02", "NVR");
    DevicePtr other = MakeDevice("10.1.2.5", "aa:bb:cc:dd:ee:03", "ITC");
    DevicePtr uninit = MakeDevice("10.1.2.6", "aa:bb:cc:dd:ee:04", "IPC", 1);
    DevicePtr v6 = MakeDevice("fe80::1/64", "aa:bb:cc:dd:ee:05", "IPC", 2, 6);
    DevicePtr lowerType = MakeDevice("10.1.2.7", "aa:bb:cc:dd:ee:06", "ipc");
    COPY_TEXT(lowerType->stNetInfo.szDetailName, "VX1230");

    struct Case {
        const char* name;
        DevicePtr device;
        int ipType, devTypes, init;
        const char* keyword;
        bool shown;
    } cases[] = {
        {"all pass", ipc, 4, 31, 3, "", true},
        {"IPv6 hidden under IPV4", v6, 4, 31, 3, "", false},
        {"IPv6 shown under IPV6", v6, 6, 31, 3, "", true},
        {"any version", v6, 10, 31, 3, "", true},
        {"NVR cleared", nvr, 4, 31 & ~8, 3, "", false},
        {"other class needs Others", other, 4, 15, 3, "", false},
        {"other class with Others", other, 4, 16, 3, "", true},
        {"uninitialised needs UnInit", uninit, 4, 31, 2, "", false},
        {"initialised needs Init", ipc, 4, 31, 1, "", false},
        {"neither state hides all", ipc, 4, 31, 0, "", false},
        {"keyword in MAC any case", ipc, 4, 31, 3, "DD:EE", true},
        {"keyword in serial lower", ipc, 4, 31, 3, "sn7kq", true},
        {"keyword in version", ipc, 4, 31, 3, "800.RC", true},
        {"keyword in address", ipc, 4, 31, 3, "1.2.3", true},
        {"keyword nowhere", ipc, 4, 31, 3, "zz", false},
        {"type matched as stored", lowerType, 4, 31, 3, "ipc", false},
        {"type matched upper", ipc, 4, 31, 3, "ipc", true},
    };
    for (const Case& c : cases) {
        DeviceFilter f;
        f.ipType = c.ipType;
        f.devTypes = c.devTypes;
        f.initStates = c.init;
        f.keyword = c.keyword;
        EXPECT_EQ(c.shown, MatchDeviceFilter(f, c.device->stNetInfo)) << c.name;
    }
}

TEST(DeviceListSort, IpKeysCompareLikeAddresses)
{
    std::vector<DEVICE_INFO> records;
    for (const char* ip : {"10.0.0.9", "10.0.0.10", "9.255.0.1", "10.0.1.0"})
        records.push_back(*MakeDevice(ip, "aa:bb:cc:dd:ee:01"));
    CSearchDevEventImp::SortByIpKey(records, false);
    std::vector<std::string> order;
    for (const DEVICE_INFO& r : records)
        order.push_back(r.stNetInfo.szIpAddr);
    EXPECT_EQ((std::vector<std::string>{"10.0.1.0", "10.0.0.10", "10.0.0.9", "9.255.0.1"}), order);
    CSearchDevEventImp::SortByIpKey(records, true);
    EXPECT_STREQ("9.255.0.1", records[0].stNetInfo.szIpAddr);
    EXPECT_STREQ("10.0.0.9", records[1].stNetInfo.szIpAddr);
    EXPECT_STREQ("10.0.0.10", records[2].stNetInfo.szIpAddr);
}

TEST(WebLogin, Addresses)
{
    struct Case {
        const char* ip;
        int port;
        const wchar_t* url;
    } cases[] = {
        {"192.168.1.108", 8080, L"http://192.168.1.108:8080"},
        {"192.168.1.108", 80, L"http://192.168.1.108"},
        {"192.168.1.108", 0, L"http://192.168.1.108"},
        {"fe80::1/64", 0, L"http://[fe80::1]"},
        {"fe80::1/64", 8080, L"http://[fe80::1]:8080"},
        // An IPv6 address without a prefix length is bracketed too.
        {"fe80::1", 8080, L"http://[fe80::1]:8080"},
        {"", 8080, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.url), CSearchDevEventImp::MakeWebUrl(c.ip, c.port)) << c.ip << " " << c.port;
}

TEST(DetailsDialog, NineFields)
{
    DevicePtr d = MakeDevice("10.0.0.5", "aa:bb:cc:dd:ee:0f", "IPC");
    DEVICE_NET_INFO_EX& i = d->stNetInfo;
    COPY_TEXT(i.szDetailName, "IPC-VD2431");
    COPY_TEXT(i.szNetMask, "255.255.255.0");
    COPY_TEXT(i.szGatewayAddr, "10.0.0.1");
    COPY_TEXT(i.szSerialNumber, "7K0ABC");
    COPY_TEXT(i.szSoftVersion, "2.800.0.5");
    std::wstring f[CDetialsDlgEventImp::FIELD_COUNT];
    CDetialsDlgEventImp::FormatFields(i, (2016u << 16) + (5u << 8) + 15u, f);
    EXPECT_EQ(L"IPC", f[0]);
    EXPECT_EQ(L"IPC-VD2431", f[1]);
    EXPECT_EQ(L"37777", f[2]);
    EXPECT_EQ(L"aa:bb:cc:dd:ee:0f", f[3]);
    EXPECT_EQ(L"255.255.255.0", f[4]);
    EXPECT_EQ(L"10.0.0.1", f[5]);
    EXPECT_EQ(L"7K0ABC", f[6]);
    EXPECT_EQ(L"V2.800.0.5", f[7]);
    EXPECT_EQ(L"2016-05-15", f[8]);

    // No date read yet and no version: both fields stay empty (no lone "V").
    i.szSoftVersion[0] = 0;
    CDetialsDlgEventImp::FormatFields(i, 0, f);
    EXPECT_EQ(L"", f[7]);
    EXPECT_EQ(L"", f[8]);
}

TEST(SearchSettings, RangeChecks)
{
    const uint32_t start = (10u << 24) + 1;  // 10.0.0.1
    struct Case {
        uint32_t end;
        int result;
    } cases[] = {
        {start, 0},                         // one address
        {(10u << 24) + (3u << 8) + 232, 0}, // 1000 addresses, up to 10.0.3.232
        {(10u << 24) + (3u << 8) + 233, 2}, // 1001
        {start - 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, CheckSearchRange(start, c.end)) << IpValueToText(c.end);
    EXPECT_EQ("10.0.3.232", IpValueToText((10u << 24) + (3u << 8) + 232));
}

TEST(SearchWorker, AddressBlocks)
{
    struct Case {
        int count;
        std::vector<int> blocks;
    } cases[] = {
        {0, {}}, {-3, {}}, {1, {1}}, {255, {255}}, {256, {255, 1}}, {1000, {255, 255, 255, 235}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.blocks, CSearchDevLogic::SplitBlocks(c.count)) << c.count;
}

#include "TestFleet.h"

#include <vector>

namespace devtest {
namespace {

class RecordsTest : public SdkFleetTest {};

// What Manual Add reads after a login, checked at the byte offsets its callers use.
TEST_F(RecordsTest, ManualAddReadsEveryStatedOffset)
{
    StartFleet(8);
    const size_t dev = 7; // an NVR with 16 channels
    devsim::DeviceState s = fleet_->StateOf(dev);
    std::vector<char> login(100, 0);
    int err = -1;
    LONG h = SdkLoginEx(s.ip.c_str(), 37777, "admin", "admin123", EM_LOGIN_SPEC_CAP_TCP, nullptr,
                        reinterpret_cast<SDK_LOGIN_DEVICE_INFO*>(login.data()), &err);
    ASSERT_GE(h, 2);
    EXPECT_EQ(ReadAt<int32_t>(login.data(), 64), s.channels);

    std::vector<char> ver(1004, 0);
    int len = 0;
    ASSERT_TRUE(SdkQueryDevState(h, SDK_DEVSTATE_SOFTWARE, ver.data(), int(ver.size()), &len, 1000));
    EXPECT_EQ(SdkGetLastError(), 0u);
    EXPECT_EQ(TextAt(ver.data(), 0), s.serial);
    EXPECT_EQ(TextAt(ver.data(), 49), s.type);
    EXPECT_EQ(TextAt(ver.data(), 88), s.version);
    EXPECT_EQ(ReadAt<uint32_t>(ver.data(), 216), s.buildDate);
    EXPECT_EQ(TextAt(ver.data(), 748), s.model);

    std::vector<char> attr(212, 0);
    ReadAt<uint32_t>(attr.data(), 0);
    uint32_t size = 212;
    std::memcpy(attr.data(), &size, 4);
    int returned = 0;
    ASSERT_TRUE(SdkGetDevConfig(h, SDK_DEV_DEVICECFG, 0, attr.data(), 212, &returned, 500));
    EXPECT_EQ(returned, 212);
    EXPECT_EQ(uint8_t(attr[181]), s.channels);
    EXPECT_EQ(uint8_t(attr[186]), s.alarmIn);
    EXPECT_EQ(uint8_t(attr[187]), s.alarmOut);
    EXPECT_EQ(uint8_t(attr[204]), s.videoStandard);
    EXPECT_EQ(uint8_t(attr[148]), s.typeFlag);

    std::vector<char> text(1048576, 0);
    int e = 0;
    std::vector<char> net(54660, 0);
    ASSERT_TRUE(SdkGetNewConfig(h, "Network", 0, text.data(), DWORD(text.size()), &e, 500));
    ASSERT_TRUE(SdkCfgParse("Network", text.data(), net.data(), DWORD(net.size())));
    ASSERT_GE(ReadAt<int32_t>(net.data(), 384), 1);
    EXPECT_EQ(TextAt(net.data(), 388 + 0), "eth0");
    EXPECT_EQ(TextAt(net.data(), 388 + 128), s.ip);
    EXPECT_EQ(TextAt(net.data(), 388 + 384), s.mask);
    EXPECT_EQ(TextAt(net.data(), 388 + 640), s.gateway);
    EXPECT_EQ(ReadAt<int32_t>(net.data(), 388 + 896), s.dhcp ? 1 : 0);
    EXPECT_EQ(TextAt(net.data(), 388 + 1420), s.mac);

    std::vector<char> dvrip(30744, 0), https(916, 0);
    std::fill(text.begin(), text.end(), 0);
    ASSERT_TRUE(SdkGetNewConfig(h, "DVRIP", 0, text.data(), DWORD(text.size()), &e, 500));
    ASSERT_TRUE(SdkCfgParse("DVRIP", text.data(), dvrip.data(), DWORD(dvrip.size())));
    EXPECT_EQ(ReadAt<int32_t>(dvrip.data(), 0), 37777);
    std::fill(text.begin(), text.end(), 0);
    ASSERT_TRUE(SdkGetNewConfig(h, "Https", 0, text.data(), DWORD(text.size()), &e, 500));
    ASSERT_TRUE(SdkCfgParse("Https", text.data(), https.data(), DWORD(https.size())));
    EXPECT_EQ(ReadAt<int32_t>(https.data(), 4) & 0xFFFF, 443);
    SdkLogout(h);
}

struct CfgCase {
    const char* name;
    size_t size;
};

// get -> parse -> pack -> set -> get -> parse keeps every byte of the record.
TEST_F(RecordsTest, ConfigurationTextRoundTripsThroughTheDevice)
{
    StartFleet(1);
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    const CfgCase cases[] = {{"Network", 54660}, {"DVRIP", 30744}, {"Https", 916}, {"VideoInOptions", 652},
                             {"VideoColor", 1544}, {"ChannelTitle", 264}, {"Locales", 96}, {"NTP", 1460},
                             {"AutoMaintain", 44}};
    for (const CfgCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<char> text(32768, 0), first(c.size, 0), second(c.size, 0);
        int e = 0, restart = 0;
        int channel = std::string(c.name) == "Locales" || std::string(c.name) == "NTP" ? -1 : 0;
        ASSERT_TRUE(SdkGetNewConfig(h, c.name, channel, text.data(), DWORD(text.size()), &e, 3000));
        ASSERT_TRUE(SdkCfgParse(c.name, text.data(), first.data(), DWORD(first.size())));
        std::vector<char> packed(32768, 0);
        ASSERT_TRUE(SdkCfgPack(c.name, first.data(), DWORD(first.size()), packed.data(), DWORD(packed.size())));
        if (std::string(c.name) != "Network") { // a Network write is tested where it moves the device
            ASSERT_TRUE(SdkSetNewConfig(h, c.name, channel, packed.data(), DWORD(packed.size()), &e, &restart, 3000));
            std::fill(text.begin(), text.end(), 0);
            ASSERT_TRUE(SdkGetNewConfig(h, c.name, channel, text.data(), DWORD(text.size()), &e, 3000));
        } else {
            text.assign(packed.begin(), packed.end());
        }
        ASSERT_TRUE(SdkCfgParse(c.name, text.data(), second.data(), DWORD(second.size())));
        EXPECT_EQ(first, second);
    }
    SdkLogout(h);
}

TEST(CfgSdk, BadTextAndShortBuffersFailWithTheirErrors)
{
    std::vector<char> rec(sizeof(CFG_NETWORK_INFO), 0);
    struct {
        const char* text;
        DWORD error;
    } bad[] = {{"", SDK_DESERIALIZE_ERROR}, {"not json", SDK_DESERIALIZE_ERROR}, {"[1,2]", SDK_DESERIALIZE_ERROR},
               {"{\"Interfaces\":", SDK_DESERIALIZE_ERROR}};
    for (auto& b : bad) {
        EXPECT_FALSE(SdkCfgParse("Network", b.text, rec.data(), DWORD(rec.size()))) << b.text;
        EXPECT_EQ(SdkGetLastError(), b.error);
    }
    EXPECT_FALSE(SdkCfgParse("Network", "{}", rec.data(), 100)) << "record smaller than the name's";
    EXPECT_EQ(SdkGetLastError(), SDK_ILLEGAL_PARAM);
    EXPECT_FALSE(SdkCfgParse("NoSuchName", "{}", rec.data(), DWORD(rec.size())));

    // 40 interfaces in the text: 32 fit the record.
    std::string many = "{\"Interfaces\":[";
    for (int i = 0; i < 40; ++i)
        many += std::string(i ? "," : "") + "{\"Name\":\"eth" + std::to_string(i) + "\"}";
    many += "]}";
    ASSERT_TRUE(SdkCfgParse("Network", many.c_str(), rec.data(), DWORD(rec.size())));
    EXPECT_EQ(SdkGetLastError(), 0u);
    EXPECT_EQ(ReadAt<int32_t>(rec.data(), 384), 32);
    EXPECT_EQ(TextAt(rec.data(), 388 + 31 * 1696), "eth31");

    // Text longer than the field is cut and terminated.
    std::string longName = "{\"Interfaces\":[{\"Name\":\"" + std::string(300, 'x') + "\"}]}";
    ASSERT_TRUE(SdkCfgParse("Network", longName.c_str(), rec.data(), DWORD(rec.size())));
    EXPECT_EQ(TextAt(rec.data(), 388).size(), 127u);

    char small[16] = {};
    EXPECT_FALSE(SdkCfgPack("Network", rec.data(), DWORD(rec.size()), small, sizeof small));
    EXPECT_EQ(SdkGetLastError(), SDK_SERIALIZE_ERROR);
}

TEST(CfgSdk, ParseKeepsPresetSizesAndFieldsTheTextLacks)
{
    AV_CFG_ChannelVideoColor c{};
    c.nStructSize = sizeof c;
    for (auto& p : c.stuColor) {
        p.nStructSize = 64;
        p.stuTimeSection.nStructSize = 32;
        p.nSaturation = 77;
    }
    ASSERT_TRUE(SdkCfgParse("VideoColor", "{\"Periods\":[{\"Brightness\":12}]}", &c, sizeof c));
    EXPECT_EQ(ReadAt<int32_t>(&c, 0), 1544);
    EXPECT_EQ(ReadAt<int32_t>(&c, 4), 1);
    EXPECT_EQ(ReadAt<int32_t>(&c, 8), 64);
    EXPECT_EQ(ReadAt<int32_t>(&c, 12), 32);
    EXPECT_EQ(ReadAt<int32_t>(&c, 44), 12);
    EXPECT_EQ(ReadAt<int32_t>(&c, 8 + 44), 77);
}

} // namespace
} // namespace devtest

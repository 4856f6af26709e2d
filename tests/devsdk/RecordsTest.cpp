#include "TestFleet.h"

#include "devsdk/Wire.h"

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
    // The device may have several cards: the entry of the one it answers on.
    const int32_t cards = ReadAt<int32_t>(net.data(), 384);
    ASSERT_GE(cards, 1);
    size_t entry = 0;
    while (entry + 1 < size_t(cards) && TextAt(net.data(), 388 + 1696 * entry + 128) != s.ip)
        ++entry;
    const size_t at = 388 + 1696 * entry;
    EXPECT_EQ(TextAt(net.data(), at + 0), "eth0");
    EXPECT_EQ(TextAt(net.data(), at + 128), s.ip);
    EXPECT_EQ(TextAt(net.data(), at + 384), s.mask);
    EXPECT_EQ(TextAt(net.data(), at + 640), s.gateway);
    EXPECT_EQ(ReadAt<int32_t>(net.data(), at + 896), s.dhcp ? 1 : 0);
    EXPECT_EQ(TextAt(net.data(), at + 1420), s.mac);

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

namespace devtest {
namespace {

struct TypedCase {
    int command;
    size_t size;
    bool profiled;
};

// Each typed record: what is written is read back, per channel and per profile.
TEST_F(RecordsTest, TypedRecordsKeepWhatIsWrittenPerChannelAndProfile)
{
    StartFleet(8);
    const size_t dev = 6; // an HCVR with 16 channels
    LONG h = LoginTo(dev);
    ASSERT_GE(h, 2);
    const TypedCase cases[] = {{NET_EM_CFG_ENCODE_CHANNELTITLE, 60, false}, {NET_EM_CFG_ENCODE_TIMETITLE, 64, false},
                               {NET_EM_CFG_ENCODE_GPSTITLE, 8, false},      {NET_EM_CFG_VIDEOIN_SWITCHMODE, 32, false},
                               {NET_EM_CFG_VIDEOIN_COLOR, 28, true},        {NET_EM_CFG_VIDEOIN_BACKLIGHT, 40, true},
                               {NET_EM_CFG_VIDEOIN_DAYNIGHT, 20, true}};
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(c.command);
        auto fresh = [&](int profile) {
            std::vector<int32_t> rec(c.size / 4, 0);
            rec[0] = int32_t(c.size);
            if (c.profiled)
                rec[1] = profile;
            return rec;
        };
        std::vector<int32_t> before = fresh(0), written = fresh(1), got = fresh(1), other = fresh(0);
        ASSERT_TRUE(SdkGetConfig(h, c.command, 3, before.data(), DWORD(c.size), 5000));
        EXPECT_EQ(before[0], int32_t(c.size));
        written = fresh(1);
        written.back() = 4242;
        ASSERT_TRUE(SdkSetConfig(h, c.command, 3, written.data(), DWORD(c.size), 5000));
        ASSERT_TRUE(SdkGetConfig(h, c.command, 3, got.data(), DWORD(c.size), 5000));
        EXPECT_EQ(got, written);
        ASSERT_TRUE(SdkGetConfig(h, c.command, 2, other.data(), DWORD(c.size), 5000));
        EXPECT_NE(other.back(), 4242) << "another channel is untouched";
        if (c.profiled) {
            std::vector<int32_t> p0 = fresh(0);
            ASSERT_TRUE(SdkGetConfig(h, c.command, 3, p0.data(), DWORD(c.size), 5000));
            EXPECT_EQ(p0, before) << "another profile is untouched";
        }
        std::vector<int32_t> unstamped(c.size / 4, 0);
        EXPECT_FALSE(SdkGetConfig(h, c.command, 3, unstamped.data(), DWORD(c.size), 5000));
        EXPECT_EQ(SdkGetLastError(), SDK_ILLEGAL_PARAM);
        EXPECT_FALSE(SdkGetConfig(h, c.command, 99, got.data(), DWORD(c.size), 5000));
    }
    // Watermark through the command interface.
    ZRDEV_WATERMAKE_CFG w{};
    w.dwSize = sizeof w;
    int returned = 0;
    ASSERT_TRUE(SdkGetDevConfig(h, SDK_DEV_WATERMAKE_CFG, 0, &w, sizeof w, &returned, 5000));
    EXPECT_EQ(returned, 4752);
    strcpy(w.szData, "second text");
    w.nEnable = 1;
    ASSERT_TRUE(SdkSetDevConfig(h, SDK_DEV_WATERMAKE_CFG, 0, &w, sizeof w, 5000));
    ZRDEV_WATERMAKE_CFG back{};
    back.dwSize = sizeof back;
    ASSERT_TRUE(SdkGetDevConfig(h, SDK_DEV_WATERMAKE_CFG, 0, &back, sizeof back, &returned, 5000));
    EXPECT_STREQ(ReadAt<ZRDEV_WATERMAKE_CFG>(&back, 0).szData, "second text");
    EXPECT_EQ(ReadAt<int32_t>(&back, 4), 1);
    SdkLogout(h);
}

TEST_F(RecordsTest, EncodeTableThroughTheJsonInterfaceAndCapabilities)
{
    StartFleet(8);
    const size_t dev = 7;
    fleet_->With(dev, [](devsim::DeviceModel& m) { m.State().cameraStates = {2, 1, 2}; });
    LONG h = LoginTo(dev);
    ASSERT_GE(h, 2);
    std::string get = "{\"method\":\"configManager.getConfig\",\"params\":{\"channel\":1,\"name\":\"Encode\","
                      "\"onlyLocal\":true}}";
    std::vector<char> out(10240, 0);
    ASSERT_TRUE(SdkTransmitInfoForWeb(h, &get[0], DWORD(get.size()), out.data(), 10240, nullptr, 3000));
    Json::Value reply;
    ASSERT_TRUE(devsdk::wire::ParseObject(out.data(), reply));
    Json::Value table = reply["params"]["table"];
    ASSERT_EQ(table["MainFormat"].size(), 3u);
    ASSERT_EQ(table["ExtraFormat"].size(), 3u);
    table["MainFormat"][1]["Video"]["BitRate"] = 1234;
    Json::Value set;
    set["method"] = "configManager.setConfig";
    set["params"]["channel"] = 1;
    set["params"]["name"] = "Encode";
    set["params"]["table"] = table;
    std::string setText = devsdk::wire::WriteCompact(set);
    ASSERT_TRUE(SdkTransmitInfoForWeb(h, &setText[0], DWORD(setText.size()), out.data(), 10240, nullptr, 8000));
    ASSERT_TRUE(SdkTransmitInfoForWeb(h, &get[0], DWORD(get.size()), out.data(), 10240, nullptr, 3000));
    ASSERT_TRUE(devsdk::wire::ParseObject(out.data(), reply));
    EXPECT_EQ(reply["params"]["table"]["MainFormat"][1]["Video"]["BitRate"].asInt(), 1234);
    char tiny[8];
    EXPECT_FALSE(SdkTransmitInfoForWeb(h, &get[0], DWORD(get.size()), tiny, sizeof tiny, nullptr, 3000));
    EXPECT_EQ(SdkGetLastError(), SDK_INSUFFICIENT_BUFFER);

    auto in = std::make_unique<NET_IN_GET_CAMERA_STATEINFO>();
    std::memset(in.get(), 0, sizeof *in);
    in->dwSize = sizeof *in;
    in->bGetAllFlag = 1;
    std::vector<NET_CAMERA_STATE_INFO> states(4);
    NET_OUT_GET_CAMERA_STATEINFO outStates{};
    outStates.dwSize = sizeof outStates;
    outStates.nMaxNum = 4;
    outStates.pCameraStateInfo = states.data();
    ASSERT_TRUE(SdkGetDevCaps(h, NET_CAMERASTATE_CAPS, in.get(), &outStates, 0, 1000));
    EXPECT_EQ(outStates.nValidNum, 4) << "bounded by the caller's array";
    EXPECT_EQ(states[0].emConnectionState, 2);
    EXPECT_EQ(states[1].emConnectionState, 1);
    EXPECT_EQ(states[3].emConnectionState, 2);

    NET_IN_VIDEO_ENCODE_CAPS capsIn{sizeof(NET_IN_VIDEO_ENCODE_CAPS), 0, 0, 1};
    auto capsOut = std::make_unique<NET_OUT_VIDEO_ENCODE_CAPS>();
    std::memset(capsOut.get(), 0, sizeof *capsOut);
    capsOut->dwSize = sizeof *capsOut;
    ASSERT_TRUE(SdkGetDevCaps(h, NET_VIDEO_ENCODE_CAPS, &capsIn, capsOut.get(), 0, 5000));
    EXPECT_EQ(capsOut->nSVCLayerNum, 3);
    SdkLogout(h);
}

} // namespace
} // namespace devtest

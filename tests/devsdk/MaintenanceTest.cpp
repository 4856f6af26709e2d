#include "TestFleet.h"

#include <atomic>
#include <cstdio>
#include <set>
#include <vector>

namespace devtest {
namespace {

class MaintenanceTest : public SdkFleetTest {
protected:
    // Login-less calls find devices by MAC among search answers.
    void Discover()
    {
        auto list = std::make_unique<SDK_SEARCH_IP_LIST>();
        std::memset(list.get(), 0, sizeof *list);
        list->dwSize = sizeof *list;
        for (size_t i = 0; i < fleet_->Size(); ++i)
            strcpy(list->szIP[list->nIpNum++], DeviceIp(i).c_str());
        SdkSearchDevicesByIPs(list.get(), nullptr, nullptr, nullptr, 3000);
    }
};

TEST_F(MaintenanceTest, PasswordResetBySecurityCodeAndByAuthorisationCodes)
{
    StartFleet(2);
    fleet_->With(0, [](devsim::DeviceModel& m) {
        m.State().reservedPhone = "13800000000";
        m.State().authCodes = {"AUTH1", "AUTH2", "AUTH3"};
    });
    Discover();
    const std::string mac = fleet_->StateOf(0).mac;
    NET_IN_DESCRIPTION_FOR_RESET_PWD in{};
    in.dwSize = sizeof in;
    strcpy(in.szMac, mac.c_str());
    std::vector<char> qr(1000, 0);
    NET_OUT_DESCRIPTION_FOR_RESET_PWD out{};
    out.dwSize = sizeof out;
    out.pQrCode = qr.data();
    out.nQrCodeLen = 1000;
    ASSERT_TRUE(SdkGetDescriptionForResetPwd(&in, &out, 3000, nullptr));
    EXPECT_EQ(SdkGetLastError(), 0u);
    EXPECT_STREQ(out.szCellPhone, "13800000000");
    EXPECT_STRNE(qr.data(), "");
    const std::string code = fleet_->StateOf(0).securityCode;
    ASSERT_FALSE(code.empty());

    auto check = [&](const std::string& c) {
        NET_IN_CHECK_SECURITY_CODE ci{};
        ci.dwSize = sizeof ci;
        strcpy(ci.szMac, mac.c_str());
        std::snprintf(ci.szSecurity, sizeof ci.szSecurity, "%s", c.c_str());
        NET_OUT_CHECK_SECURITY_CODE co{sizeof co};
        return SdkCheckSecurityCode(&ci, &co, 3000, nullptr);
    };
    EXPECT_FALSE(check("000"));
    EXPECT_EQ(SdkGetLastError(), SDK_SECURITY_CODE_ERROR);
    EXPECT_TRUE(check(code));

    struct {
        const char* code;
        const char* password;
        bool ok;
        DWORD error;
    } steps[] = {
        {"999999", "newpass123", false, SDK_SECURITY_CODE_ERROR},
        {code.c_str(), "short", false, SDK_NEW_PASSWORD_FORMAT_ERROR},
        {code.c_str(), "newpass123", true, 0},
        {code.c_str(), "again12345", false, SDK_SECURITY_CODE_ERROR}, // a code resets once
        {"AUTH2", "second1234", true, 0},
        {"AUTH2", "third12345", false, SDK_SECURITY_CODE_ERROR},
        {"AUTH3", "third12345", true, 0},
    };
    for (auto& s : steps) {
        SCOPED_TRACE(std::string(s.code) + " " + s.password);
        NET_IN_RESET_PWD ri{};
        ri.dwSize = sizeof ri;
        strcpy(ri.szMac, mac.c_str());
        strcpy(ri.szUserName, "admin");
        strcpy(ri.szPwd, s.password);
        std::snprintf(ri.szSecurity, sizeof ri.szSecurity, "%s", s.code);
        NET_OUT_RESET_PWD ro{sizeof ro};
        EXPECT_EQ(SdkResetPwd(&ri, &ro, 3000, nullptr), s.ok ? 1 : 0);
        EXPECT_EQ(SdkGetLastError(), s.error);
    }
    int err = -1;
    LONG h = LoginTo(0, "admin", "third12345", &err);
    EXPECT_GE(h, 2);
    SdkLogout(h);

    strcpy(in.szMac, "NULL");
    EXPECT_FALSE(SdkGetDescriptionForResetPwd(&in, &out, 500, nullptr));
    EXPECT_EQ(SdkGetLastError(), SDK_NETWORK_ERROR);
}

TEST_F(MaintenanceTest, InitialisationOfANewDevice)
{
    StartFleet(6);
    const size_t dev = 5; // not initialised
    ASSERT_EQ(fleet_->StateOf(dev).initState, 1);
    Discover();
    const std::string mac = fleet_->StateOf(dev).mac;
    auto init = [&](const char* pwd) {
        NET_IN_INIT_DEVICE_ACCOUNT in{};
        in.dwSize = sizeof in;
        strcpy(in.szMac, mac.c_str());
        strcpy(in.szUserName, "admin");
        strcpy(in.szPwd, pwd);
        strcpy(in.szMail, "owner@example.org");
        NET_OUT_INIT_DEVICE_ACCOUNT out{sizeof out};
        return SdkInitDevAccount(&in, &out, 7000, nullptr);
    };
    EXPECT_FALSE(init("short"));
    EXPECT_EQ(SdkGetLastError(), SDK_NEW_PASSWORD_FORMAT_ERROR);
    EXPECT_TRUE(init("firstpass1"));
    EXPECT_EQ(SdkGetLastError(), 0u);
    EXPECT_FALSE(init("firstpass2"));
    EXPECT_EQ(SdkGetLastError(), SDK_DEVICE_INITIALIZED);

    DEVINIT_ACCOUNT_INFO opt{};
    opt.dwSize = sizeof opt;
    strcpy(opt.szMac, mac.c_str());
    strcpy(opt.szUserName, "admin");
    strcpy(opt.szPwd, "firstpass1");
    opt.byCloudAccess = 2;
    opt.byAutoCheck = 1;
    opt.nVideoStandard = 2; // N
    DEVINIT_ACCOUNT_OUT oo{sizeof oo};
    EXPECT_TRUE(SdkInitDevOptions(&opt, &oo, 10000, ""));
    devsim::DeviceState s = fleet_->StateOf(dev);
    EXPECT_EQ(s.initState, 2);
    EXPECT_EQ(s.videoStandard, 1);
    EXPECT_EQ(s.reservedMail, "owner@example.org");
    int err = -1;
    LONG h = LoginTo(dev, "admin", "firstpass1", &err);
    EXPECT_GE(h, 2);
    SdkLogout(h);
}

TEST_F(MaintenanceTest, UserListAndPasswordChange)
{
    StartFleet(1);
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    auto users = std::make_unique<USER_MANAGE_INFO>();
    std::memset(users.get(), 0, sizeof *users);
    ASSERT_TRUE(SdkQueryUserInfo(h, users.get(), 1000));
    ASSERT_EQ(ReadAt<DWORD>(users.get(), 15928), 2u);
    EXPECT_EQ(TextAt(users.get(), 15932 + 8), "admin");
    EXPECT_EQ(TextAt(users.get(), 15932 + 512 + 8), "user");

    USER_INFO oldEntry = users->userList[0], newEntry = users->userList[0];
    strcpy(oldEntry.passWord, "wrong");
    strcpy(newEntry.passWord, "changed123");
    EXPECT_FALSE(SdkOperateUserInfo(h, SDK_USER_MODIFY_PASSWORD, &newEntry, &oldEntry, 1000));
    EXPECT_EQ(SdkGetLastError(), SDK_OLD_PASSWORD_ERROR);
    strcpy(oldEntry.passWord, "admin123");
    EXPECT_TRUE(SdkOperateUserInfo(h, SDK_USER_MODIFY_PASSWORD, &newEntry, &oldEntry, 1000));

    auto list = std::make_unique<USER_MANAGE_INFO_NEW>();
    std::memset(list.get(), 0, sizeof *list);
    list->dwSize = sizeof *list;
    ASSERT_TRUE(SdkQueryUserInfoNew(h, list.get(), nullptr, 1000));
    EXPECT_EQ(ReadAt<DWORD>(list.get(), 156860), 2u);
    EXPECT_EQ(TextAt(list.get(), 156864 + 12), "admin");
    USER_INFO_NEW o = list->userList[0], n = list->userList[0];
    strcpy(o.passWord, "changed123");
    strcpy(n.passWord, "changedAgain1");
    EXPECT_TRUE(SdkOperateUserInfoNew(h, SDK_USER_MODIFY_PASSWORD, &n, &o, nullptr, 1000));
    SdkLogout(h);
    int err = -1;
    EXPECT_EQ(LoginTo(0, "admin", "admin123", &err), 0);
    LONG again = LoginTo(0, "admin", "changedAgain1", &err);
    EXPECT_GE(again, 2);
    SdkLogout(again);
}

struct Stream {
    std::mutex mu;
    int blocks = 0;
    int withFocus = 0;
    bool badMagic = false;
    std::set<std::thread::id> threads;
};

void OnData(LONG, DWORD, BYTE* data, DWORD len, LONG, void* user)
{
    auto* s = static_cast<Stream*>(user);
    std::lock_guard<std::mutex> lk(s->mu);
    ++s->blocks;
    s->threads.insert(std::this_thread::get_id());
    if (len < 32 || std::memcmp(data, "VXSF", 4) != 0)
        s->badMagic = true;
    else if (ReadAt<int32_t>(data, 16) >= 0)
        ++s->withFocus;
}

TEST_F(MaintenanceTest, LiveViewDeliversBlocksUntilStopped)
{
    StartFleet(1);
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    EXPECT_EQ(SdkStartRealPlay(h, 5, nullptr), 0) << "no such channel";
    EXPECT_FALSE(SdkSetRealDataCallBack(0, OnData, nullptr, 0x1F));
    Stream s;
    LONG play = SdkStartRealPlay(h, 0, nullptr);
    ASSERT_GE(play, 2);
    ASSERT_TRUE(SdkSetRealDataCallBack(play, OnData, &s, 0x1F));
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> lk(s.mu);
        return s.blocks >= 3;
    }));
    // The focus switch of the channel puts focus reports into the stream.
    std::string text(5000, '\0');
    int e = 0, restart = 0;
    std::string on = "{\"FocusStatus\":1}";
    ASSERT_TRUE(SdkSetNewConfig(h, "VideoInOptions", 0, &on[0], DWORD(on.size() + 1), &e, &restart, 3000));
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> lk(s.mu);
        return s.withFocus >= 2;
    }));
    ASSERT_TRUE(SdkStopRealPlay(play));
    int after;
    {
        std::lock_guard<std::mutex> lk(s.mu);
        after = s.blocks;
        EXPECT_FALSE(s.badMagic);
        EXPECT_EQ(s.threads.count(std::this_thread::get_id()), 0u);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    {
        std::lock_guard<std::mutex> lk(s.mu);
        EXPECT_EQ(s.blocks, after) << "no data after stop";
    }
    EXPECT_FALSE(SdkStopRealPlay(play));
    // Logout ends the live views of the login.
    LONG play2 = SdkStartRealPlay(h, 0, nullptr);
    ASSERT_GE(play2, 2);
    SdkLogout(h);
    EXPECT_FALSE(SdkStopRealPlay(play2));
}

} // namespace
} // namespace devtest

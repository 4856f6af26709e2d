// Password-reset batches against an external devsim fleet: by security code (the QR-code way)
// and by the codes of an imported authorisation file, with the Part's result words.
#include "SysConfigTestSupport.h"

#include <ctime>

#include <QThread>

#include "devsdk/DevSdk.h"

namespace {

constexpr DWORD kFail = 0x80000001;

std::string CreateTimeAgo(int64_t seconds)
{
    std::time_t t = std::time(nullptr) - std::time_t(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

// The result a device of a reset batch ends with, and its words.
struct ResultCase {
    size_t device;
    int code;
    const wchar_t* words;
};

class ResetBatchTest : public ::testing::Test {
protected:
    void Start(size_t count, const std::function<void(size_t, devsim::DeviceState&)>& script)
    {
        systest::EnsureLoops();
        ASSERT_TRUE(fleet.Start(count, script));
        systest::Discover(fleet);
        view = std::make_shared<systest::RecordingView>();
        logic = CConfigUILogic::Create(view);
        view->logic = logic;
        systest::AddFleet(*logic, fleet, "");
    }
    int Result(size_t i) const { return logic->GetDeviceResult(int(i) + 100); }
    void ExpectResults(const std::vector<ResultCase>& cases) const
    {
        for (const ResultCase& c : cases) {
            SCOPED_TRACE(c.device);
            EXPECT_EQ(Result(c.device), c.code);
            EXPECT_EQ(systest::ResultWords(SYSCONFIG_RESET_PASSWORD, Result(c.device)), c.words);
        }
    }
    bool LoginWith(size_t i, const char* password)
    {
        LONG h = systest::Login(fleet.Device(i).ip, password);
        if (h)
            SdkLogout(h);
        return h != 0;
    }

    systest::ExternalFleet fleet;
    std::shared_ptr<systest::RecordingView> view;
    std::shared_ptr<CConfigUILogic> logic;
};

} // namespace

TEST_F(ResetBatchTest, BySecurityCode)
{
    enum : size_t { kOk, kExpired, kNoDescription, kHangs, kDescriptionFails, kCount };
    Start(kCount, [](size_t i, devsim::DeviceState& s) {
        s.fixedSecurityCode = "246810";
        if (i == kExpired)
            s.codeValidSec = 1;
        if (i == kHangs)
            s.hangOps.insert(52);
        if (i == kDescriptionFails)
            s.failOps[50] = kFail;
    });
    // One device at a time, as the QR-code dialog does: description, then the code check.
    for (size_t i : {size_t(kOk), size_t(kExpired), size_t(kHangs), size_t(kDescriptionFails)}) {
        SCOPED_TRACE(i);
        logic->ClearDevices();
        logic->AddDevice(0, fleet.Device(i).ip.c_str(), "admin", "", fleet.Device(i).mac.c_str(), 0, "IPC", 100,
                         fleet.Device(i).serial);
        const size_t before = view->descriptions.size();
        logic->GetPwdDescription();
        ASSERT_TRUE(systest::PumpUntil([&] { return view->descriptions.size() > before; }));
        EXPECT_EQ(view->descriptionResults.back(), i == kDescriptionFails ? 0 : 1);
        if (i == kDescriptionFails) {
            EXPECT_EQ(view->descriptionErrors.back(), kFail);
            continue;
        }
        EXPECT_NE(view->descriptions.back().text.find(fleet.Device(i).serial), std::string::npos);
        const size_t checks = view->checks.size();
        logic->CheckSecurityCode("111111");
        logic->CheckSecurityCode("246810");
        ASSERT_TRUE(systest::PumpUntil([&] { return view->checks.size() == checks + 2; }));
        EXPECT_EQ(view->checks[checks], 0);
        EXPECT_EQ(view->checks[checks + 1], 1);
    }
    // Let the short-lived code expire.
    QThread::msleep(2500);

    systest::AddFleet(*logic, fleet, "");
    logic->SetXmlResetMode(0);
    logic->SetResetPasswordParam("Resetpass1", "246810");
    ASSERT_TRUE(systest::RunAndWait(*logic, *view, 1, SYSCONFIG_RESET_PASSWORD));
    ExpectResults({
        {kOk, SYSCONFIG_ERR_SUCCESS, L"Success"},
        {kExpired, SYSCONFIG_ERR_SECURITY_CODE, L"Security code error"},
        {kNoDescription, SYSCONFIG_ERR_SECURITY_CODE, L"Security code error"},
        {kHangs, SYSCONFIG_ERR_TIMEOUT, L"Time out"},
        {kDescriptionFails, SYSCONFIG_ERR_SECURITY_CODE, L"Security code error"},
    });
    EXPECT_TRUE(LoginWith(kOk, "Resetpass1"));
    EXPECT_TRUE(LoginWith(kExpired, "admin123"));

    // A password the device refuses.
    logic->ClearDevices();
    logic->AddDevice(0, fleet.Device(kNoDescription).ip.c_str(), "admin", "",
                     fleet.Device(kNoDescription).mac.c_str(), 0, "IPC", 100, "");
    logic->GetPwdDescription();
    ASSERT_TRUE(systest::PumpUntil([&] { return view->descriptions.size() == 5; }));
    logic->SetResetPasswordParam("short", "246810");
    ASSERT_TRUE(systest::RunAndWait(*logic, *view, 1, SYSCONFIG_RESET_PASSWORD));
    EXPECT_EQ(Result(0), SYSCONFIG_ERR_NEW_PASSWORD);
    EXPECT_EQ(systest::ResultWords(SYSCONFIG_RESET_PASSWORD, Result(0)), L"New password illegal");
}

TEST_F(ResetBatchTest, ByImportedCodes)
{
    enum : size_t { kOne, kSecond, kThird, kAllWrong, kNoSerial, kNoCodes, kShortEntry, kCount };
    Start(kCount, [](size_t i, devsim::DeviceState& s) {
        const char* codes[] = {"A1", "B2", "C3", "D1", "E1", "F1", "G1"};
        s.authCodes = {codes[i]};
        if (i == kNoSerial || i == kNoCodes)
            s.failOps[50] = kFail; // no description either
    });
    // Description collection: five fetches first, one more per answer, one report at the end.
    logic->StartGet2CodeInfo();
    EXPECT_EQ(logic->GetCurIndex(), 4);
    ASSERT_TRUE(systest::PumpUntil([&] { return !logic->IsConfiguring(); }));
    ASSERT_EQ(view->descriptionRuns.size(), 1u);
    EXPECT_EQ(view->descriptionRuns[0].size(), kCount - 2);

    auto sn = [&](size_t i) { return fleet.Device(i).serial; };
    CConfigUILogic::ResetCodeMap file = {
        {sn(kOne), {"A1"}},
        {sn(kSecond), {"WRONG", "B2"}},
        {sn(kThird), {"W1", "W2", "C3"}},
        {sn(kAllWrong), {"W1", "W2", "W3"}},
        {sn(kNoCodes), {}},
        {sn(kShortEntry), {"WRONG"}},
    };
    logic->SetXmlResetMode(1);
    // A file older than three days: every device found in it is refused without a call.
    logic->SetXmlResetInfo("Resetpass1", CreateTimeAgo(80 * 3600), file);
    EXPECT_EQ(logic->GetXmlResetDay(), -1);
    ASSERT_TRUE(systest::RunAndWait(*logic, *view, 1, SYSCONFIG_RESET_PASSWORD));
    for (size_t i = 0; i < kCount; ++i)
        EXPECT_EQ(Result(i), i == kNoSerial || i == kNoCodes ? SYSCONFIG_ERR_NO_SN : SYSCONFIG_ERR_CODE_INVALID) << i;
    EXPECT_EQ(systest::ResultWords(SYSCONFIG_RESET_PASSWORD, Result(kOne)), L"Security Code is invalid");

    // 30 hours old: day 2, the codes are tried in file order.
    logic->SetXmlResetInfo("Resetpass1", CreateTimeAgo(30 * 3600), file);
    EXPECT_EQ(logic->GetXmlResetDay(), 2);
    ASSERT_TRUE(systest::RunAndWait(*logic, *view, 1, SYSCONFIG_RESET_PASSWORD));
    const std::vector<ResultCase> cases = {
        {kOne, SYSCONFIG_ERR_SUCCESS, L"Success"},
        {kSecond, SYSCONFIG_ERR_SUCCESS, L"Success"},
        {kThird, SYSCONFIG_ERR_SUCCESS, L"Success"},
        {kAllWrong, SYSCONFIG_ERR_SECURITY_CODE, L"Security code error"},
        {kNoSerial, SYSCONFIG_ERR_NO_SN, L"Can't find device's SN"},
        {kNoCodes, SYSCONFIG_ERR_NO_SN, L"Can't find device's SN"},
        {kShortEntry, SYSCONFIG_ERR_SECURITY_CODE, L"Security code error"},
    };
    ExpectResults(cases);
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.device);
        EXPECT_EQ(LoginWith(c.device, "Resetpass1"), c.code == SYSCONFIG_ERR_SUCCESS);
    }
    // Each code resets once.
    ASSERT_TRUE(systest::RunAndWait(*logic, *view, 1, SYSCONFIG_RESET_PASSWORD));
    EXPECT_EQ(Result(kOne), SYSCONFIG_ERR_SECURITY_CODE);
}

// Update checks from the scheduler through the worker and the SDK to the update service.
#include "CloudFixture.h"

#include <cstring>

#include <QString>

#include "Common/AppSettings.h"

namespace cloudtest {
namespace {

class CloudCheckTest : public CloudFixture {
protected:
    void Check(size_t device, const char* password, int port = 37777, const NET_IN_CLOUD_UPGRADER_CHECK* kept = nullptr)
    {
        const devsim::DeviceState s = State(device);
        logic_->CloudUpgradeCheck(s.ip, port, "admin", password, s.mac, kept, s.serial, 0);
    }
};

TEST_F(CloudCheckTest, ChecksAnswerInPostingOrderWithLoginErrorsAndKeptRequests)
{
    Start(Devices(2));
    Check(0, "admin123");
    Check(1, "wrong-password");
    Check(1, "admin123", 0); // port 0 is 37777
    ASSERT_TRUE(WaitUntil([&] { return page_->checks.size() == 3; }));
    const std::vector<CheckResult>& r = page_->checks;
    EXPECT_EQ(r[0].ip, Ip(0));
    EXPECT_EQ(r[1].ip, Ip(1));
    EXPECT_EQ(r[2].ip, Ip(1));

    // Logged in, described itself, and the service offers the next version.
    EXPECT_EQ(r[0].checkResult, 1);
    EXPECT_EQ(r[0].result, 0);
    EXPECT_NE(r[0].login, 0);
    EXPECT_EQ(r[0].request.dwSize, 2416u);
    EXPECT_EQ(std::string(r[0].request.szSerialNo), State(0).serial);
    EXPECT_EQ(std::string(r[0].request.szSoftwareVersion), State(0).version);
    EXPECT_EQ(std::string(r[0].request.szAccount), "QXMTLOPAW-K7" + State(0).serial);
    EXPECT_EQ(std::string(r[0].request.szToken), cloudsvc::TokenFor(State(0).serial));
    EXPECT_EQ(std::string(r[0].request.szUrl), service_->Url());
    EXPECT_EQ(r[0].answer.bHasNewVersion, 1);
    EXPECT_EQ(std::string(r[0].answer.szPackageUrl), UrlFor(0));

    // A refused password: the login error, nothing asked.
    EXPECT_EQ(r[1].checkResult, 0);
    EXPECT_EQ(r[1].login, 0);
    EXPECT_EQ(r[1].result, 1);
    EXPECT_EQ(r[1].request.szSerialNo[0], 0);
    EXPECT_EQ(r[2].checkResult, 1);

    // The kept request of the first check: no login at all, same answer.
    const NET_IN_CLOUD_UPGRADER_CHECK kept = r[0].request;
    Check(0, "wrong-password", 37777, &kept);
    ASSERT_TRUE(WaitUntil([&] { return page_->checks.size() == 4; }));
    EXPECT_EQ(page_->checks[3].checkResult, 1);
    EXPECT_EQ(page_->checks[3].login, 0);
    EXPECT_EQ(page_->checks[3].result, 0);
    EXPECT_EQ(std::string(page_->checks[3].answer.szNewVersion), cloudsvc::NextVersion(State(0).version));
    EXPECT_EQ(std::string(page_->checks[3].request.szToken), cloudsvc::TokenFor(State(0).serial));
}

TEST_F(CloudCheckTest, StopFlagAnswersWaitingChecksAtOnceAndAFailingServiceGives13)
{
    Start(Devices(1));
    logic_->SetStopCheck(1);
    Check(0, "admin123");
    Check(0, "admin123");
    ASSERT_TRUE(WaitUntil([&] { return page_->checks.size() == 2; }));
    for (const CheckResult& r : page_->checks) {
        EXPECT_EQ(r.checkResult, 0);
        EXPECT_EQ(r.result, CLOUD_CHECK_STOPPED);
        EXPECT_EQ(r.login, 0);
    }
    logic_->SetStopCheck(0);

    // Nothing listens at the configured service: the check fails, the request still describes the device.
    CAppSettings::CloudURL = L"http://" + QString::fromStdString(prefix_).toStdWString() + L"251:9";
    Check(0, "admin123");
    ASSERT_TRUE(WaitUntil([&] { return page_->checks.size() == 3; }));
    EXPECT_EQ(page_->checks[2].checkResult, 0);
    EXPECT_EQ(page_->checks[2].result, CLOUD_CHECK_FAILED);
    EXPECT_EQ(std::string(page_->checks[2].request.szSerialNo), State(0).serial);
}

TEST_F(CloudCheckTest, RemoteCheckAsksByTheRemoteDevicesSerialNumber)
{
    Start(Devices(1));
    strudevice d;
    std::strcpy(d.szSerialNo, State(0).serial.c_str());
    std::strcpy(d.szVersion, State(0).version.c_str());
    std::strcpy(d.szType, "IPC");
    logic_->RemoteUpgraderCheck(&d, "AA:BB", 3);
    strudevice unknown;
    std::strcpy(unknown.szSerialNo, "NOT-KNOWN");
    logic_->RemoteUpgraderCheck(&unknown, "AA:BB", 4);
    ASSERT_TRUE(WaitUntil([&] { return page_->remoteChecks.size() == 2; }));
    EXPECT_EQ(page_->remoteChecks[0], std::make_pair(1, State(0).serial));
    EXPECT_EQ(page_->remoteChecks[1], std::make_pair(0, std::string("NOT-KNOWN")));
}

TEST(CloudTokenTest, Md5UpperHexAndTheRequestsAccountText)
{
    char hex[33];
    Md5UpperHex("ABC0123456789", 13, hex);
    EXPECT_STREQ(hex, "5AD9EFBC9BBFF14E7F56D7908C3B36A1");
    NET_IN_CLOUD_UPGRADER_CHECK req;
    std::memset(&req, 0, sizeof req);
    FillCloudAccount(req, "ABC0123456789", std::string(2000, 'u'));
    EXPECT_STREQ(req.szToken, "3B2DBAE076362C30776A20B3EDC32BDA");
    EXPECT_STREQ(req.szAccount, "QXMTLOPAW-K7ABC0123456789");
    EXPECT_EQ(std::strlen(req.szUrl), 1023u);
    FillCloudAccount(req, "", "");
    EXPECT_STREQ(req.szToken, "FD7A2820958BDE92B556D92C0401E887");
}

} // namespace
} // namespace cloudtest

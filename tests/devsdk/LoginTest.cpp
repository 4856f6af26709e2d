#include "TestFleet.h"

#include "devsdk/Wire.h"

#include <set>

namespace devtest {
namespace {

class LoginTest : public SdkFleetTest {};

struct LoginCase {
    const char* name;
    std::function<void(devsim::DeviceModel&)> setup;
    const char* user;
    const char* password;
    int loginError;
    DWORD lastError;
};

TEST_F(LoginTest, OutcomesCarryTheLoginErrorAndTheLastError)
{
    StartFleet(2);
    NET_PARAM np{};
    np.nWaittime = 500; // for the device that never answers
    SdkSetNetworkParam(&np);
    const LoginCase cases[] = {
        {"right credentials", nullptr, "admin", "admin123", 0, 0},
        {"wrong password", nullptr, "admin", "nope", 1, SDK_LOGIN_ERROR_PASSWORD},
        {"unknown user", nullptr, "ghost", "admin123", 2, SDK_LOGIN_ERROR_USER},
        {"no answer", [](devsim::DeviceModel& m) { m.State().hangOps.insert(devsdk::wire::kOpLogin); }, "admin",
         "admin123", 3, SDK_LOGIN_ERROR_TIMEOUT},
        {"busy", [](devsim::DeviceModel& m) { m.State().busy = true; }, "admin", "admin123", 7,
         SDK_LOGIN_ERROR_BUSY},
        {"blacklisted", [](devsim::DeviceModel& m) { m.State().blacklist.insert("127.0.0.1"); }, "admin", "admin123",
         6, SDK_LOGIN_ERROR_BLACKLIST},
        {"no sessions left", [](devsim::DeviceModel& m) { m.State().maxSessions = 0; }, "admin", "admin123", 10,
         SDK_LOGIN_ERROR_MAXCONNECT},
    };
    for (const LoginCase& c : cases) {
        SCOPED_TRACE(c.name);
        fleet_->With(0, [](devsim::DeviceModel& m) {
            m.State().hangOps.clear();
            m.State().busy = false;
            m.State().blacklist.clear();
            m.State().maxSessions = 32;
        });
        if (c.setup)
            fleet_->With(0, c.setup);
        int err = -1;
        LONG h = LoginTo(0, c.user, c.password, &err);
        DWORD last = SdkGetLastError();
        EXPECT_EQ(err, c.loginError);
        EXPECT_EQ(last, c.lastError);
        if (c.loginError == 0) {
            EXPECT_GE(h, 2);
            SdkLogout(h);
        } else {
            EXPECT_EQ(h, 0);
        }
    }
}

TEST_F(LoginTest, NothingListeningIsAConnectionFailure)
{
    StartFleet(1);
    int err = -1;
    EXPECT_EQ(SdkLogin(Addr(200).c_str(), 37777, "admin", "admin123", nullptr, &err), 0);
    EXPECT_EQ(err, SDK_LOGIN_CONNECT_FAILED);
    EXPECT_EQ(SdkGetLastError(), SDK_LOGIN_ERROR_CONNECT);
    // A failed P2P mapping leaves local port 0.
    EXPECT_EQ(SdkLoginEx("127.0.0.1", 0, "admin", "admin123", EM_LOGIN_SPEC_CAP_P2P, nullptr, nullptr, &err), 0);
    EXPECT_EQ(err, SDK_LOGIN_CONNECT_FAILED);
}

TEST_F(LoginTest, RepeatedWrongPasswordsLockTheAccount)
{
    StartFleet(1);
    int err = -1;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(LoginTo(0, "admin", "bad", &err), 0);
        EXPECT_EQ(err, SDK_LOGIN_PASSWORD);
    }
    EXPECT_EQ(LoginTo(0, "admin", "bad", &err), 0);
    EXPECT_EQ(err, SDK_LOGIN_LOCKED);
    EXPECT_EQ(LoginTo(0, "admin", "admin123", &err), 0) << "locked even with the right password";
    EXPECT_EQ(err, SDK_LOGIN_LOCKED);
    EXPECT_EQ(SdkGetLastError(), SDK_LOGIN_ERROR_LOCKED);
}

TEST_F(LoginTest, SingleSessionAccountRefusesASecondLogin)
{
    StartFleet(1);
    fleet_->With(0, [](devsim::DeviceModel& m) { m.State().users[0].single = true; });
    int err = -1;
    LONG first = LoginTo(0, "admin", "admin123", &err);
    ASSERT_GE(first, 2);
    EXPECT_EQ(LoginTo(0, "admin", "admin123", &err), 0);
    EXPECT_EQ(err, SDK_LOGIN_RELOGGED);
    SdkLogout(first);
    EXPECT_TRUE(WaitFor([&] { return fleet_->OpenSessions(0) == 0; }));
    LONG again = LoginTo(0, "admin", "admin123", &err);
    EXPECT_GE(again, 2);
    SdkLogout(again);
}

TEST_F(LoginTest, HandlesAreUniqueNeverZeroOrOneAndLogoutIsForgiving)
{
    StartFleet(3);
    std::set<LONG> handles;
    for (int round = 0; round < 3; ++round)
        for (size_t i = 0; i < 3; ++i) {
            LONG h = LoginTo(i);
            ASSERT_GE(h, 2);
            EXPECT_TRUE(handles.insert(h).second) << "handle reused: " << h;
            EXPECT_TRUE(SdkLogout(h));
            EXPECT_EQ(SdkGetLastError(), 0u);
            EXPECT_FALSE(SdkLogout(h)) << "second logout of the same handle";
        }
    EXPECT_FALSE(SdkLogout(0));
    EXPECT_FALSE(SdkLogout(1));
    ZRDEV_VERSION_INFO v{};
    int len = 0;
    EXPECT_FALSE(SdkQueryDevState(*handles.begin(), SDK_DEVSTATE_SOFTWARE, reinterpret_cast<char*>(&v), sizeof v, &len));
    EXPECT_EQ(SdkGetLastError(), SDK_INVALID_HANDLE);
}

TEST_F(LoginTest, CallThatTheDeviceNeverAnswersEndsAfterItsWait)
{
    StartFleet(1);
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    fleet_->With(0, [](devsim::DeviceModel& m) { m.State().hangOps.insert(devsdk::wire::kOpQueryDevState); });
    ZRDEV_VERSION_INFO v{};
    int len = 0;
    EXPECT_FALSE(SdkQueryDevState(h, SDK_DEVSTATE_SOFTWARE, reinterpret_cast<char*>(&v), sizeof v, &len, 300));
    EXPECT_EQ(SdkGetLastError(), SDK_NETWORK_ERROR);
    // The session is still usable afterwards.
    fleet_->With(0, [](devsim::DeviceModel& m) { m.State().hangOps.clear(); });
    EXPECT_TRUE(SdkQueryDevState(h, SDK_DEVSTATE_SOFTWARE, reinterpret_cast<char*>(&v), sizeof v, &len, 3000));
    SdkLogout(h);
}

TEST_F(LoginTest, LastErrorIsPerThread)
{
    StartFleet(1);
    int err;
    EXPECT_EQ(LoginTo(0, "admin", "bad", &err), 0);
    DWORD other = 1;
    std::thread([&] {
        LONG h = LoginTo(0);
        other = SdkGetLastError();
        SdkLogout(h);
    }).join();
    EXPECT_EQ(other, 0u);
    EXPECT_EQ(SdkGetLastError(), SDK_LOGIN_ERROR_PASSWORD);
}

} // namespace
} // namespace devtest

// Records, setters and the code tables of system configuration.
#include "SysConfigTestSupport.h"

#include <cstring>
#include <ctime>

#include "SysConfig/CConfigLogic.h"

namespace {

std::string CreateTimeAgo(int64_t now, int64_t seconds)
{
    std::time_t t = std::time_t(now - seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

} // namespace

TEST(SysConfigRecords, SyncTimeYearLimits)
{
    CConfigLogic worker{std::weak_ptr<CConfigUILogic>()};
    ASSERT_EQ(worker.SetSyncTimeParam(2020, 5, 6, 7, 8, 9), 1);
    struct {
        int year, stored;
    } cases[] = {{1999, 0}, {2000, 1}, {2099, 1}, {2100, 0}, {-1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.year);
        const int before = worker.GetSyncTime().nYear;
        EXPECT_EQ(worker.SetSyncTimeParam(c.year, 1, 2, 3, 4, 5), c.stored);
        EXPECT_EQ(worker.GetSyncTime().nYear, c.stored ? c.year : before);
    }
}

TEST(SysConfigRecords, TextsAreCutToTheirFields)
{
    CConfigLogic worker{std::weak_ptr<CConfigUILogic>()};
    worker.SetResetPasswordParam("Abcdefgh1", "1234567890ABC");
    EXPECT_STREQ(worker.GetSecurityCode(), "12345678");
    const std::string longPassword(40, 'x');
    worker.SetPasswordParam("old", longPassword.c_str());
    EXPECT_EQ(std::strlen(worker.GetNewPassword()), 32u);
    worker.SetNewPasswordParam(nullptr);
    EXPECT_STREQ(worker.GetNewPassword(), "");
}

TEST(SysConfigRecords, CodeTables)
{
    struct {
        int loginError, result;
    } logins[] = {{1, 17}, {4, 20}, {7, 23}, {8, 24}, {9, 24}, {0, 2}, {10, 2}, {-3, 2}};
    for (const auto& c : logins)
        EXPECT_EQ(sysconfig::LoginResult(c.loginError), c.result) << c.loginError;
    struct {
        DWORD error;
        int result;
    } resets[] = {{0x800003F7, 12}, {0x800003F8, 13}, {0x800003FA, 14}, {0x80000002, 16}, {0, 9}, {0x80000001, 9}};
    for (const auto& c : resets)
        EXPECT_EQ(sysconfig::ResetResult(c.error), c.result) << std::hex << c.error;
    const int failures[] = {3, 3, 5, 4, 6, 7, 8, 9, 9};
    for (int type = 0; type <= 8; ++type)
        EXPECT_EQ(sysconfig::FailureOf(type), failures[type]) << type;
}

TEST(SysConfigRecords, AuthorisationFileAge)
{
    const int64_t now = int64_t(std::time(nullptr));
    struct {
        std::string created;
        int day;
    } cases[] = {
        {CreateTimeAgo(now, 0), 1},
        {CreateTimeAgo(now, 86400), 1},
        {CreateTimeAgo(now, 86401), 2},
        {CreateTimeAgo(now, 30 * 3600), 2},
        {CreateTimeAgo(now, 259200), 3},
        {CreateTimeAgo(now, 80 * 3600), -1},
        {CreateTimeAgo(now, -3600), -1}, // an hour in the future
        {"2040-01-01T00:00:00", -1},     // years after 2037 count as 2037: in the future
        {"", -1},
        {"not a time", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sysconfig::ResetDayOf(c.created, now), c.day) << c.created;
}

TEST(SysConfigRecords, LocalAddressOfLoginLessCalls)
{
    EXPECT_EQ(NarrowLocalAddress(L""), "");
    EXPECT_EQ(NarrowLocalAddress(L"127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(NarrowLocalAddress(L"fe80:0000:0000:0000:0202:b3ff:fe1e:8329").size(), 19u);
}

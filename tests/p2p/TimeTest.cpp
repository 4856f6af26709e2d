#include "Infra3/Error.h"
#include "Infra3/Time.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>
#include <vector>

using namespace Orvan::Infra;

namespace {

struct Fields
{
    int y, mo, d, h, mi, s;
};

void expectFields(const CTime& t, const Fields& f)
{
    EXPECT_EQ(f.y, t.year);
    EXPECT_EQ(f.mo, t.month);
    EXPECT_EQ(f.d, t.day);
    EXPECT_EQ(f.h, t.hour);
    EXPECT_EQ(f.mi, t.minute);
    EXPECT_EQ(f.s, t.second);
}

} // namespace

TEST(Time, NormalisationClampsWithoutCarry)
{
    struct Case
    {
        Fields in;
        Fields out;
        int wday;
    } cases[] = {
        {{2023, 2, 29, 10, 0, 0}, {2023, 2, 28, 10, 0, 0}, 2},
        {{2024, 2, 29, 10, 0, 0}, {2024, 2, 29, 10, 0, 0}, 4},
        {{2050, 13, 0, 25, 61, -1}, {2038, 12, 1, 23, 59, 59}, 3},
        {{1900, 0, -5, -1, -1, 60}, {1970, 1, 1, 0, 0, 59}, 4},
        {{2000, 4, 31, 12, 60, 30}, {2000, 4, 30, 12, 59, 30}, 0},
        {{2100, 2, 29, 0, 0, 0}, {2038, 2, 28, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in.y);
        CTime t(c.in.y, c.in.mo, c.in.d, c.in.h, c.in.mi, c.in.s);
        expectFields(t, c.out);
        EXPECT_EQ(c.wday, t.wday);
    }
}

TEST(Time, DayArithmeticMatchesTheCLibraryOverTheWholeRange)
{
    const CTime epoch(1970, 1, 1, 0, 0, 0);
    for (int64_t days = 0; days < 25202; days += 1) {
        time_t secs = static_cast<time_t>(days * 86400 + 3723);
        struct tm ref;
        gmtime_r(&secs, &ref);
        CTime t = epoch + (days * 86400 + 3723);
        ASSERT_EQ(ref.tm_year + 1900, t.year) << days;
        ASSERT_EQ(ref.tm_mon + 1, t.month) << days;
        ASSERT_EQ(ref.tm_mday, t.day) << days;
        ASSERT_EQ(ref.tm_wday, t.wday) << days;
        ASSERT_EQ(1, t.hour);
        ASSERT_EQ(days * 86400 + 3723, t - epoch);
    }
}

TEST(Time, ComparisonIgnoresWeekdayAndReserved)
{
    CTime a(2024, 3, 5, 7, 8, 9), b(2024, 3, 5, 7, 8, 9);
    b.reserved = 99;
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a <= b && a >= b);
    CTime c = a + 1;
    EXPECT_TRUE(a < c && c > a && a != c);
    EXPECT_EQ(1, CTime(2000, 1, 1, 0, 0, 0) - CTime(1999, 12, 31, 23, 59, 59));
    a += 86400;
    EXPECT_EQ(6, a.day);
    a -= 2 * 86400;
    EXPECT_EQ(4, a.day);
}

TEST(Time, FormatUnderLibrarySettings)
{
    const CTime t(2024, 3, 5, 7, 8, 9);
    struct Case
    {
        const char* format;
        int flags;
        const char* text;
    } cases[] = {
        {"yyyy-MM-dd HH:mm:ss", 0, "2024-03-05 07:08:09"},
        {"yy/M/d h:m:s tt", 5, "24/3/5 7:8:9 AM"},
        {"dd.MM.yyyy", 0, "2024-03-05"},
        {"dd/MM/yyyy HH:mm", 3, "05/03/2024 07:08"},
        {"HH:mm:ss tt", 0, "07:08:09"},
    };
    for (const Case& c : cases) {
        char buf[64];
        t.format(buf, c.format, c.flags);
        EXPECT_STREQ(c.text, buf) << c.format;
    }
    char buf[64];
    CTime(2024, 3, 5, 19, 8, 9).format(buf, "hh:mm tt", 4);
    EXPECT_STREQ("07:08 PM", buf);
    t.format(buf);
    EXPECT_STREQ("2024-03-05 07:08:09", buf);
}

TEST(Time, Parse)
{
    struct Case
    {
        const char* text;
        const char* format;
        bool ok;
        Fields fields;
    } cases[] = {
        {"2024-03-05 19:08:09", "yyyy-MM-dd HH:mm:ss", true, {2024, 3, 5, 19, 8, 9}},
        {"05/03/2024 07:08:09 PM", "dd/MM/yyyy hh:mm:ss tt", true, {2024, 3, 5, 19, 8, 9}},
        {"03/05/2024 12:08:09 AM", "MM/dd/yyyy hh:mm:ss tt", true, {2024, 3, 5, 0, 8, 9}},
        {"2024-03-05", "yyyy-MM-dd HH:mm:ss", false, {0, 0, 0, 0, 0, 0}},
        {"05/03/2024 13:08:09 PM", "dd/MM/yyyy hh:mm:ss tt", false, {0, 0, 0, 0, 0, 0}},
        {"05/03/2024 07:08:09", "dd/MM/yyyy hh:mm:ss", false, {0, 0, 0, 0, 0, 0}},
    };
    LogCapture log;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CTime t;
        EXPECT_EQ(c.ok, t.parse(c.text, c.format));
        expectFields(t, c.fields);
    }
    EXPECT_EQ(1u, log.count("CTime parser input information is not enough."));
    EXPECT_EQ(1u, log.count("CTime parser input hour format is not accord with real value format."));
    EXPECT_EQ(1u, log.count("12 hours time point is unclear."));
}

TEST(Time, TickCountsNeverGoBackAcrossThreads)
{
    std::vector<std::thread> threads;
    std::atomic<bool> backwards{false};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            uint64_t last = 0;
            for (int i = 0; i < 20000; ++i) {
                uint64_t now = CTime::getTickCountMs();
                if (now < last)
                    backwards = true;
                last = now;
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_FALSE(backwards);
    uint64_t us = CTime::getTickCountUs();
    uint64_t ms = CTime::getTickCountMs();
    EXPECT_LE(us / 1000, ms + 1);
}

namespace {
int s_listenerCalls = 0;
void listener(CTime)
{
    ++s_listenerCalls;
}

CTime s_seen;
bool fakeSetter(const CTime& time, int)
{
    s_seen = time;
    setLastError(errorSetClockFailed);
    return false;
}
} // namespace

TEST(Time, ClockSetWithinToleranceChangesNothing)
{
    CTime::attachTimeChanged(CTime::TimeChangedProc(&listener));
    EXPECT_TRUE(CTime::setCurrentTime(CTime::currentLocal(), 3600));
    EXPECT_EQ(0, s_listenerCalls);
}

TEST(Time, ClockSetterCanBeReplacedAndItsFailureIsReported)
{
    CTime::TimeSetter old = CTime::replaceClockSetter(CTime::TimeSetter(&fakeSetter));
    EXPECT_FALSE(CTime::setCurrentTime(CTime(2030, 14, 1, 0, 0, 0), 0));
    EXPECT_EQ(12, s_seen.month);
    EXPECT_EQ(errorSetClockFailed, getLastError());
    CTime::replaceClockSetter(old);
    // An earlier failure is not taken for the next call's.
    EXPECT_TRUE(CTime::setCurrentTime(CTime::currentLocal(), 3600));
}

TEST(Time, UtcConversionWithoutZone)
{
    CTime::ignoreTimeZone();
    EXPECT_EQ(0u, CTime(1970, 1, 1, 0, 0, 0).toUtcSeconds());
    CTime t(static_cast<uint64_t>(1709622489));
    expectFields(t, {2024, 3, 5, 7, 8, 9});
    EXPECT_EQ(1709622489u, t.toUtcSeconds());
    uint64_t now = CTime::currentUtcSeconds();
    EXPECT_NEAR(static_cast<double>(now * 1000), static_cast<double>(CTime::currentUtcMs()), 2000.0);
}

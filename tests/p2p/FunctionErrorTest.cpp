#include "Infra3/Error.h"
#include "Infra3/Function.h"
#include "Infra3/Version.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace Orvan::Infra;

namespace {

struct Counter
{
    int value = 0;
    int add(int n) { return value += n; }
    int sub(int n) { return value -= n; }
    int get() const { return value; }
};

int twice(int n)
{
    return 2 * n;
}
int thrice(int n)
{
    return 3 * n;
}

using F = TFunction1<int, int>;

} // namespace

TEST(Function, CallsBoundTargets)
{
    Counter c;
    F add(&Counter::add, &c);
    EXPECT_EQ(5, add(5));
    EXPECT_EQ(2, F(&twice)(1));
    TFunction0<int> get(&Counter::get, &c);
    EXPECT_EQ(5, get());
    EXPECT_TRUE(F().empty());
    EXPECT_TRUE(F(static_cast<int (*)(int)>(nullptr)).empty());
}

TEST(Function, Equality)
{
    Counter a, b;
    struct Case
    {
        F left;
        F right;
        bool equal;
    } cases[] = {
        {F(&Counter::add, &a), F(&Counter::add, &a), true},
        {F(&Counter::add, &a), F(&Counter::add, &b), false},
        {F(&Counter::add, &a), F(&Counter::sub, &a), false},
        {F(&twice), F(&twice), true},
        {F(&twice), F(&thrice), false},
        {F(static_cast<int (*)(int)>(nullptr)), F(), true},
        {F(&twice), F(), false},
        {F(&Counter::add, &a, 0xFFFFFFFFu), F(&Counter::add, &a, 20), true},
        {F(&Counter::add, &a, 0xFFFFFFFFu), F(&Counter::add, &a, 30), true},
        {F(&Counter::add, &a, 20), F(&Counter::add, &a, 30), false},
        {F(&Counter::add, &a, 0xFFFFFFFFu), F(&Counter::add, &b, 20), false},
        {F(&Counter::add, &a, 20), F(&Counter::add, &a, 1), false},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        EXPECT_EQ(cases[i].equal, cases[i].left == cases[i].right) << i;
        EXPECT_EQ(cases[i].equal, cases[i].right == cases[i].left) << i;
    }
}

TEST(Function, TaggedCallLeavesTagInThread)
{
    Counter c;
    EXPECT_EQ(0u, std::async(std::launch::async, [] { return getThreadFunctionTag(); }).get());
    F tagged(&Counter::add, &c, 20);
    EXPECT_EQ(3, tagged(3));
    EXPECT_EQ(20u, getThreadFunctionTag());
    testing::internal::CaptureStdout();
    F invalid(&Counter::add, &c, 5);
    EXPECT_EQ(4, invalid(1));
    EXPECT_EQ(0, F(&Counter::add, &c, 0xFFFFFFFFu)(-4));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("FUNCTION_FUNCTION::operator() invalid function type : 5, typeid : "));
    EXPECT_NE(std::string::npos, out.find("invalid function type : 4294967295"));
}

TEST(Error, LastErrorIsPerThread)
{
    EXPECT_EQ(0u, std::async(std::launch::async, [] { return getLastError(); }).get());
    setLastError(0x10030001);
    EXPECT_EQ(0x10030001u, getLastError());
    EXPECT_EQ(0u, std::async(std::launch::async, [] { return getLastError(); }).get());
}

TEST(Error, TextTable)
{
    EXPECT_STREQ("", lookupErrorText(0x1000ABCD));
    registerErrorText(0x1000ABCD, "first");
    registerErrorText(0x1000ABCD, std::string("second"));
    EXPECT_STREQ("second", lookupErrorText(0x1000ABCD));
    registerErrorText(0x1000ABCE, static_cast<const char*>(nullptr));
    EXPECT_EQ("", lookupErrorTextCopy(0x1000ABCE));
}

TEST(Version, Banner)
{
    struct Case
    {
        const char* build;
        const char* date;
        const char* banner;
    } cases[] = {
        {"456", "Jan 13 2017", "[*] ICE 1.2.3.456 Built in 2017/ 1/13 [*]\n"},
        {"$Rev: 789 $", "Dec  5 2020", "[*] ICE 1.2.3.789 Built in 2020/12/ 5 [*]\n"},
        {"none", "Foo 13 2017", "[*] ICE 1.2.3.0 Built in 2017/13/13 [*]\n"},
    };
    for (const Case& c : cases) {
        VersionInfo v("ICE", 1, 2, 3, c.build, c.date);
        {
            LogCapture quiet(3);
            EXPECT_EQ(0, v.printBanner());
        }
        LogCapture log(4);
        EXPECT_GT(v.printBanner(), 0);
        ASSERT_EQ(1u, log.lines().size());
        const std::string line = log.lines()[0];
        EXPECT_EQ(c.banner, line.substr(line.size() - std::string(c.banner).size())) << line;
    }
    VersionInfo longName("abcdefghijklmnopqrstuvwxyz0123456789", 0, 0, 0, "", "");
    EXPECT_EQ(31u, std::string(longName.name).size());
}

TEST(ErrorDeathTest, AssertionEndsTheProcessWithItsReport)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(assertionFailed("x > 0", "void f()", "file.cpp", 12),
                 "Internal Program Error - assertion \\(x > 0\\) failed in void f\\(\\): file.cpp\\(12\\)");
    EXPECT_DEATH(assertionFailedWithText("y", "why", "void g()", "g.cpp", 3), "g.cpp\\(3\\): why");
}

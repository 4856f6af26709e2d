#include "Infra3/CurrentThread.h"
#include "Infra3/Thread.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

using namespace Orvan::Infra;

namespace {

bool waitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 2000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

class LoopThread : public CThread
{
public:
    explicit LoopThread(const char* name, int priority = 64) : CThread(name, priority) {}
    ~LoopThread() override
    {
        if (isLooping())
            DestroyThread();
    }
    std::atomic<int> passes{0};
    std::atomic<int> seenId{0};

private:
    void threadProc() override
    {
        seenId = currentThreadId();
        while (isLooping()) {
            ++passes;
            sleepMs(1);
        }
    }
};

class SelfStoppingThread : public CThread
{
public:
    SelfStoppingThread() : CThread("selfstop") {}
    std::atomic<bool> destroyResult{false};
    std::atomic<bool> returnedAtOnce{false};

private:
    void threadProc() override
    {
        destroyResult = DestroyThread();
        returnedAtOnce = true;
    }
};

class SelfDeletingThread : public CThread
{
public:
    explicit SelfDeletingThread(std::atomic<bool>* done) : CThread("selfdelete"), m_done(done) {}
    ~SelfDeletingThread() override { *m_done = true; }

private:
    void threadProc() override { delete this; }
    std::atomic<bool>* m_done;
};

} // namespace

TEST(Thread, Names)
{
    struct Case
    {
        const char* name;
        const char* expected;
    } cases[] = {
        {nullptr, "Nonamed"},
        {"worker", "worker"},
        {"0123456789012345678901234567890123456789", "0123456789012345678901234567890"},
    };
    for (const Case& c : cases) {
        LoopThread t(c.name);
        EXPECT_STREQ(c.expected, t.getName());
    }
    LoopThread t("a");
    t.rename(nullptr);
    EXPECT_STREQ("Nonamed", t.getName());
}

TEST(Thread, StartStopJoinAndRestart)
{
    LoopThread t("stopjoin");
    EXPECT_EQ(-1, t.getThreadId());
    EXPECT_TRUE(t.hasExited());
    ASSERT_TRUE(t.CreateThread());
    ASSERT_TRUE(waitFor([&] { return t.passes > 0; }));
    EXPECT_EQ(t.seenId.load(), t.getThreadId());
    std::string name;
    EXPECT_TRUE(CThreadManager::instance()->getThreadName(t.getThreadId(), name));
    EXPECT_EQ("stopjoin", name);
    EXPECT_TRUE(CThreadManager::instance()->hasThread(t.getThreadId()));
    EXPECT_TRUE(t.DestroyThread());
    // DestroyThread from another thread returns after the body ended.
    EXPECT_TRUE(t.hasExited());
    EXPECT_FALSE(CThreadManager::instance()->hasThread(t.seenId));

    ASSERT_TRUE(t.CreateThread());
    ASSERT_TRUE(waitFor([&] { return t.passes > 0 && t.getThreadId() != -1; }));
    EXPECT_TRUE(t.cancelThread());
    ASSERT_TRUE(waitFor([&] { return t.hasExited(); }));
}

TEST(Thread, RefusalsWarn)
{
    LogCapture log(3);
    LoopThread t("refusals");
    EXPECT_FALSE(t.DestroyThread());
    EXPECT_EQ(1u, log.count("CThread::DestroyThread() thread 'refusals' has exited!"));
    EXPECT_FALSE(t.cancelThread());
    EXPECT_EQ(1u, log.count("CThread::cancelThread() thread 'refusals' not exist!"));
    ASSERT_TRUE(t.CreateThread());
    EXPECT_FALSE(t.CreateThread());
    EXPECT_EQ(1u, log.count("CThread::CreateThread() thread 'refusals' is still running!"));
    EXPECT_TRUE(t.DestroyThread());
    EXPECT_FALSE(t.DestroyThread());
    EXPECT_EQ(1u, log.count("CThread::DestroyThread() thread 'refusals' has been destroyed!"));
}

TEST(Thread, DestroyFromInsideReturnsAtOnce)
{
    SelfStoppingThread t;
    ASSERT_TRUE(t.CreateThread());
    ASSERT_TRUE(waitFor([&] { return t.hasExited(); }));
    EXPECT_TRUE(t.destroyResult);
    EXPECT_TRUE(t.returnedAtOnce);
}

TEST(Thread, DeletingItselfFromItsBodyIsSafe)
{
    std::atomic<bool> done{false};
    auto* t = new SelfDeletingThread(&done);
    ASSERT_TRUE(t->CreateThread());
    EXPECT_TRUE(waitFor([&] { return done.load(); }));
}

TEST(Thread, PriorityLevels)
{
    struct Case
    {
        int priority;
        int policy;
        int level;
    } cases[] = {
        {64, 0, 0},  {1, 0, 15},  {127, 0, -15}, {5, 0, 15},  {6, 0, 2},   {59, 0, 2},  {60, 0, 1},
        {63, 0, 1},  {68, 0, 0},  {69, 0, -1},   {72, 0, -1}, {73, 0, -2}, {126, 0, -2}, {64, 1, 15},
        {127, 1, 15},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.level, CThread::systemPriorityLevel(c.priority, c.policy)) << c.priority << "/" << c.policy;
    // A thread that asks for more than a normal process may have still runs.
    LoopThread high("high", 1);
    ASSERT_TRUE(high.CreateThread());
    EXPECT_TRUE(waitFor([&] { return high.passes > 0; }));
}

TEST(Thread, OverdueThreadsAreListed)
{
    LoopThread t("overdue");
    ASSERT_TRUE(t.CreateThread());
    ASSERT_TRUE(waitFor([&] { return t.getThreadId() != -1; }));
    EXPECT_FALSE(t.isOverdue());
    t.setDeadline(1);
    ASSERT_TRUE(waitFor([&] { return t.isOverdue(); }));
    std::string names;
    EXPECT_TRUE(CThreadManager::instance()->getOverdueThreads(names));
    EXPECT_NE(std::string::npos, names.find("overdue(" + std::to_string(t.getThreadId()) + ")")) << names;

    LogCapture log(4);
    CThreadManager::instance()->markMainThread();
    CThreadManager::instance()->printThreads();
    std::string table = log.text();
    EXPECT_NE(std::string::npos, table.find("               Name            TID  Prior State\n"));
    EXPECT_NE(std::string::npos, table.find(std::string(55, '_')));
    char mainLine[128];
    std::snprintf(mainLine, sizeof(mainLine), "%24s   %8d  %3d  %s\n", "Main", currentThreadId(), 64, "Normal");
    EXPECT_NE(std::string::npos, table.find(mainLine));
    char line[128];
    std::snprintf(line, sizeof(line), "%24s   %8d  %3d  %s\n", "overdue", t.getThreadId(), 64, "Timeout");
    EXPECT_NE(std::string::npos, table.find(line)) << table;
    t.setDeadline(0);
    EXPECT_FALSE(t.isOverdue());
    EXPECT_FALSE(CThread::setDeadlineOfCaller(5));
}

TEST(ThreadDeathTest, LoadOutsideOneToHundredAsserts)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    CThread::load(1);
    CThread::load(100);
    EXPECT_DEATH(CThread::load(0), "percent >= 1 && percent <= 100");
    EXPECT_DEATH(CThread::load(101), "percent >= 1 && percent <= 100");
}

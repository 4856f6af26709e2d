#include "Infra3/CurrentThread.h"
#include "Infra3/Thread.h"
#include "Infra3/Time.h"
#include "Infra3/Timer.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

using namespace Orvan::Infra;
using namespace std::chrono_literals;

namespace {

bool waitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 2000 && !condition(); ++i)
        std::this_thread::sleep_for(10ms);
    return condition();
}

// Records every call of a timer procedure.
struct Probe
{
    std::mutex mutex;
    std::vector<uint64_t> starts;
    std::atomic<int> inside{0};
    std::atomic<int> maxInside{0};
    std::atomic<int> calls{0};
    std::atomic<unsigned> lastParam{0};
    uint32_t workMs = 0;

    void proc(unsigned int param)
    {
        int now = ++inside;
        if (now > maxInside)
            maxInside = now;
        {
            std::lock_guard<std::mutex> lock(mutex);
            starts.push_back(CTime::getTickCountMs());
        }
        lastParam = param;
        if (workMs)
            CThread::sleepMs(workMs);
        --inside;
        ++calls;
    }
    CTimer::TimerProc bind() { return CTimer::TimerProc(&Probe::proc, this); }
};

} // namespace

TEST(Timer, OneShotWithDelayAndAtOnce)
{
    Probe atOnce, delayed;
    CTimer now("now"), later("later");
    EXPECT_TRUE(now.start(atOnce.bind(), 0, 0, 7));
    EXPECT_TRUE(now.isFired());
    EXPECT_FALSE(now.isStarted());
    ASSERT_TRUE(waitFor([&] { return atOnce.calls == 1; }));
    EXPECT_EQ(7u, atOnce.lastParam);

    EXPECT_TRUE(later.start(delayed.bind(), 50, 0, 1));
    EXPECT_TRUE(later.isStarted());
    ASSERT_TRUE(waitFor([&] { return delayed.calls == 1; }));
    EXPECT_TRUE(later.isFired());
    EXPECT_FALSE(later.isStarted());
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(1, delayed.calls);
}

TEST(Timer, SlowPeriodicCallsNeverOverlapAndSkipMissedPeriods)
{
    Probe p;
    p.workMs = 250;
    CTimer timer("slow");
    ASSERT_TRUE(timer.start(p.bind(), 100, 100));
    ASSERT_TRUE(waitFor([&] { return p.calls >= 4; }));
    timer.Stop();
    EXPECT_EQ(1, p.maxInside);
    std::lock_guard<std::mutex> lock(p.mutex);
    for (size_t i = 1; i < p.starts.size(); ++i)
        EXPECT_GE(p.starts[i] - p.starts[i - 1], 250u) << i;
}

TEST(Timer, RestartReinsertsWithNewDelay)
{
    Probe p;
    CTimer timer("restart");
    ASSERT_TRUE(timer.start(p.bind(), 600000, 0));
    ASSERT_TRUE(timer.start(p.bind(), 20, 0, 3));
    ASSERT_TRUE(waitFor([&] { return p.calls == 1; }));
    EXPECT_EQ(3u, p.lastParam);
    EXPECT_FALSE(timer.cancel());
}

TEST(Timer, CancelWithFireNowRunsAOneShot)
{
    Probe p;
    CTimer timer("firenow");
    ASSERT_TRUE(timer.start(p.bind(), 600000, 0));
    EXPECT_TRUE(timer.cancel(true));
    ASSERT_TRUE(waitFor([&] { return p.calls == 1; }));
    EXPECT_FALSE(timer.isStarted());
}

namespace {
struct StopInside
{
    CTimer timer{"stopinside"};
    std::atomic<bool> stopped{false};
    void proc(unsigned int)
    {
        timer.Stop();
        stopped = true;
    }
};

struct SlowCall
{
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
    void proc(unsigned int)
    {
        entered = true;
        CThread::sleepMs(300);
        finished = true;
    }
};

struct LockProbe
{
    std::atomic<int> result{-1};
    void proc(unsigned int)
    {
        // Another thread needs the manager's lock while this procedure runs.
        auto other = std::async(std::launch::async, [] {
            CTimer t("other");
            t.start(CTimer::TimerProc(), 600000, 0);
            t.Stop();
            CTimerManager::instance()->printTimerTable();
            return true;
        });
        result = other.wait_for(30s) == std::future_status::ready ? 1 : 0;
        if (result == 1)
            other.get();
    }
};

struct SelfDelete
{
    CTimer* timer = nullptr;
    std::atomic<bool> deleted{false};
    void proc(unsigned int)
    {
        delete timer;
        deleted = true;
    }
};
} // namespace

TEST(Timer, StopInsideOwnProcedureReturnsAtOnce)
{
    StopInside s;
    ASSERT_TRUE(s.timer.start(CTimer::TimerProc(&StopInside::proc, &s), 10, 10));
    ASSERT_TRUE(waitFor([&] { return s.stopped.load(); }));
    EXPECT_FALSE(s.timer.isStarted());
}

TEST(Timer, StopFromOutsideWaitsForRunningCall)
{
    SlowCall s;
    CTimer timer("slowcall");
    ASSERT_TRUE(timer.start(CTimer::TimerProc(&SlowCall::proc, &s), 0, 0));
    ASSERT_TRUE(waitFor([&] { return s.entered.load(); }));
    EXPECT_TRUE(timer.isCalling());
    EXPECT_TRUE(timer.Stop());
    EXPECT_TRUE(s.finished);
    EXPECT_FALSE(timer.isCalling());
}

TEST(Timer, ProcedureRunsOutsideManagerLock)
{
    LockProbe p;
    CTimer timer("lockprobe");
    ASSERT_TRUE(timer.start(CTimer::TimerProc(&LockProbe::proc, &p), 0, 0));
    ASSERT_TRUE(waitFor([&] { return p.result != -1; }));
    EXPECT_EQ(1, p.result);
}

TEST(Timer, DeletedInsideItsOwnProcedure)
{
    for (int i = 0; i < 20; ++i) {
        SelfDelete s;
        s.timer = new CTimer("selfdelete");
        ASSERT_TRUE(s.timer->start(CTimer::TimerProc(&SelfDelete::proc, &s), i % 2 ? 0 : 10, 10));
        ASSERT_TRUE(waitFor([&] { return s.deleted.load(); }));
    }
    // The pool still serves later timers.
    Probe p;
    CTimer after("after");
    after.start(p.bind(), 0, 0);
    EXPECT_TRUE(waitFor([&] { return p.calls == 1; }));
}

TEST(Timer, StatisticsAndTable)
{
    Probe p;
    p.workMs = 20;
    CTimer timer("tabled");
    ASSERT_TRUE(timer.start(p.bind(), 10, 50, 0, 1000));
    timer.setStatistics(true);
    ASSERT_TRUE(waitFor([&] { return p.calls >= 3; }));
    LogCapture log(4);
    CTimerManager::instance()->printTimerTable();
    std::string table = log.text();
    EXPECT_NE(std::string::npos, table.find("Milli-Seconds Elapsed )\n"));
    EXPECT_NE(std::string::npos, table.find("            Name            NextTime RunningTime Period   Used/Timeout State\n"));
    EXPECT_NE(std::string::npos, table.find(std::string(76, '_')));
    EXPECT_NE(std::string::npos, table.find("                  tabled ")) << table;
    EXPECT_EQ(std::string::npos, table.find("I64")) << table;
    timer.setPeriod(80);
    timer.Stop();
}

TEST(Timer, IdlePoolIsCutToTheMaximum)
{
    CTimerManager::instance()->setMaxIdleThreads(1);
    SlowCall a, b;
    CTimer ta("idle-a"), tb("idle-b");
    ta.start(CTimer::TimerProc(&SlowCall::proc, &a), 0, 0);
    tb.start(CTimer::TimerProc(&SlowCall::proc, &b), 0, 0);
    ASSERT_TRUE(waitFor([&] { return a.finished && b.finished && !ta.isCalling() && !tb.isCalling(); }));
    auto pooled = [] {
        LogCapture log(4);
        CThreadManager::instance()->printThreads();
        return log.count("[Pooled]");
    };
    EXPECT_TRUE(waitFor([&] { return pooled() == 1; }));
    CTimerManager::instance()->setMaxIdleThreads(-1);
}

// Many threads start, re-period, cancel and stop timers and threads at once; run under the race detector.
TEST(Timer, ConcurrentUseStress)
{
    struct Target
    {
        std::atomic<int> calls{0};
        void proc(unsigned int) { ++calls; }
    } target;
    std::vector<std::thread> workers;
    std::atomic<bool> done{false};
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&, w] {
            std::mt19937 rng(static_cast<unsigned>(w));
            CTimer t0("s0"), t1("s1"), t2("s2");
            CTimer* timers[3] = {&t0, &t1, &t2};
            for (int i = 0; i < 150; ++i) {
                CTimer& t = *timers[rng() % 3];
                switch (rng() % 6) {
                case 0: t.start(CTimer::TimerProc(&Target::proc, &target), rng() % 3 * 10, rng() % 2 * 20); break;
                case 1: t.setPeriod(10 + rng() % 30); break;
                case 2: t.cancel(rng() % 2 == 0); break;
                case 3: t.Stop(); break;
                case 4: {
                    std::string names;
                    CThreadManager::instance()->getOverdueThreads(names);
                    break;
                }
                default: CThread::sleepMs(2); break;
                }
            }
            for (CTimer* t : timers)
                t->Stop();
        });
    }
    std::thread printer([&] {
        LogCapture log(4);
        while (!done) {
            CThreadManager::instance()->printThreads();
            CTimerManager::instance()->printTimerTable();
            std::this_thread::sleep_for(5ms);
        }
    });
    for (auto& t : workers)
        t.join();
    done = true;
    printer.join();
    EXPECT_GT(target.calls, 0);
}

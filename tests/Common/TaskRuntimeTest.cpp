// Tasks, queues, loops and their drivers.
#include "../support/QtWait.h"
#include "Common/SFMessageControlDefault.h"
#include "Common/SFMessageControlQt.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFThreadEx.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <regex>
#include <thread>
#include <vector>

using namespace VeyraBase;

namespace {

std::shared_ptr<CSFTask> MakeTask(std::function<void()> call)
{
    return std::make_shared<CSFConcreteTask<int>>(call);
}

// Pumps Qt events until `done` holds; generous limit so a slow machine never fails the test.
bool PumpUntil(const std::function<bool()>& done, int limitMs = 20000)
{
    return vxtest::PumpUntil(done, limitMs);
}

struct Recorder {
    std::mutex lock;
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    std::vector<std::chrono::steady_clock::time_point> times;
    void Add(int value)
    {
        std::lock_guard<std::mutex> guard(lock);
        order.push_back(value);
        threads.push_back(std::this_thread::get_id());
        times.push_back(std::chrono::steady_clock::now());
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> guard(lock);
        return order.size();
    }
};

class Loops : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CSFMessageLoopManager::Instance()->RegisterLoop(CreateMessageLoop(SF_LOOP_QT), ML_MAIN);
        for (int id : {ML_HELPER, ML_SDK}) {
            auto worker = CSFThreadEx_Qt::Create(SF_THREAD_CREATE{});
            worker->Start();
            CSFMessageLoopManager::Instance()->RegisterLoop(worker->GetMessageLoop(), id);
            s_workers.push_back(worker);
        }
    }
    static void TearDownTestSuite()
    {
        for (auto& worker : s_workers)
            EXPECT_EQ(1, worker->StopAndJoin(20000));
        s_workers.clear();
    }
    static std::vector<std::shared_ptr<CSFThreadEx_Qt>> s_workers;
};
std::vector<std::shared_ptr<CSFThreadEx_Qt>> Loops::s_workers;

// Posts from several threads reach each loop once, in each poster's order, on the loop's own thread.
TEST_F(Loops, PostsRunOnceInOrderOnTheLoopThread)
{
    for (int id : {ML_MAIN, ML_HELPER, ML_SDK}) {
        SCOPED_TRACE(id);
        auto loop = CSFMessageLoopManager::Instance()->GetMessageLoop(id);
        ASSERT_TRUE(loop);
        Recorder rec;
        const int posters = 3, perPoster = 20;
        std::vector<std::thread> threads;
        for (int p = 0; p < posters; ++p) {
            threads.emplace_back([&, p] {
                for (int i = 0; i < perPoster; ++i)
                    CSFMessageLoopManager::Instance()->GetMessageLoop(id)->PostTask(
                        MakeTask([&rec, p, i] { rec.Add(p * 1000 + i); }));
            });
        }
        for (auto& t : threads)
            t.join();
        ASSERT_TRUE(PumpUntil([&] { return rec.Count() == posters * perPoster; }));
        PumpUntil([] { return false; }, 50);
        ASSERT_EQ(size_t(posters * perPoster), rec.Count());
        std::vector<int> last(posters, -1);
        for (int value : rec.order) {
            EXPECT_GT(value % 1000, last[value / 1000]);
            last[value / 1000] = value % 1000;
        }
        for (auto tid : rec.threads)
            EXPECT_EQ(rec.threads[0], tid);
        if (id == ML_MAIN)
            EXPECT_EQ(std::this_thread::get_id(), rec.threads[0]);
        else
            EXPECT_NE(std::this_thread::get_id(), rec.threads[0]);
    }
}

TEST_F(Loops, WorkerPausesAfterEveryTask)
{
    Recorder rec;
    auto loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_SDK);
    for (int i = 0; i < 5; ++i)
        loop->PostTask(MakeTask([&rec, i] { rec.Add(i); }));
    ASSERT_TRUE(PumpUntil([&] { return rec.Count() == 5; }));
    for (size_t i = 1; i < rec.times.size(); ++i)
        EXPECT_GE(rec.times[i] - rec.times[i - 1], std::chrono::milliseconds(CSFMessageControl_Default::PAUSE_AFTER_TASK_MS));
}

TEST_F(Loops, GuiLoopRunsTasksInsideModalDialogs)
{
    auto loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_MAIN);
    std::atomic<int> ran{0};
    std::atomic<bool> insideDialog{false};

    // A dialog opened by the test: a worker posts while it runs; the last task closes it.
    QDialog dialog;
    QTimer::singleShot(0, [&] {
        insideDialog = true;
        std::thread([&] {
            for (int i = 0; i < 10; ++i)
                loop->PostTask(MakeTask([&] {
                    EXPECT_TRUE(insideDialog.load());
                    if (++ran == 10)
                        dialog.accept();
                }));
        }).detach();
    });
    QTimer::singleShot(20000, &dialog, &QDialog::reject);
    EXPECT_EQ(QDialog::Accepted, dialog.exec());
    insideDialog = false;
    EXPECT_EQ(10, ran.load());

    // A dialog opened by a task: later tasks still run inside it.
    std::atomic<int> inner{0};
    loop->PostTask(MakeTask([&] {
        QDialog nested;
        QTimer::singleShot(20000, &nested, &QDialog::reject);
        for (int i = 0; i < 3; ++i)
            loop->PostTask(MakeTask([&] {
                if (++inner == 3)
                    nested.accept();
            }));
        EXPECT_EQ(QDialog::Accepted, nested.exec());
    }));
    ASSERT_TRUE(PumpUntil([&] { return inner.load() == 3; }));
}

TEST_F(Loops, GuiTimerStopsWhenIdleAndRestartsOnPost)
{
    auto loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_MAIN);
    auto control = std::dynamic_pointer_cast<CSFMessageControl_Qt>(loop->GetControl());
    ASSERT_TRUE(control);
    std::vector<int> seen;
    for (int i = 0; i < 100; ++i)
        loop->PostTask(MakeTask([&seen, i] { seen.push_back(i); }));
    // One task per tick: after a single pass of events far fewer than 100 have run.
    QCoreApplication::processEvents();
    EXPECT_LT(seen.size(), 100u);
    ASSERT_TRUE(PumpUntil([&] { return seen.size() == 100 && !control->IsTicking(); }));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(i, seen[i]);
    bool again = false;
    loop->PostTask(MakeTask([&again] { again = true; }));
    ASSERT_TRUE(PumpUntil([&] { return again && !control->IsTicking(); }));
}

TEST(LoopManager, UnknownIdIsEmptyAndRegisteringReplaces)
{
    auto manager = CSFMessageLoopManager::Instance();
    EXPECT_FALSE(manager->GetMessageLoop(7));
    auto first = CreateMessageLoop(SF_LOOP_DEFAULT);
    auto second = CreateMessageLoop(SF_LOOP_DEFAULT);
    manager->RegisterLoop(first, 9);
    manager->RegisterLoop(second, 9);
    EXPECT_EQ(second, manager->GetMessageLoop(9));
    EXPECT_EQ(1, first.use_count());
    EXPECT_FALSE(CreateMessageLoop(5));
}

// A driver that counts wakes, to look at the queue rules without threads.
class CountingControl : public CSFMessageControl {
public:
    using CSFMessageControl::CSFMessageControl;
    void Run() override {}
    void Notify() override { ++notified; }
    void Stop() override {}
    int notified = 0;
};

TEST(TaskQueue, BatchOrderSelfPostAndPriority)
{
    auto loop = std::make_shared<CSFMessageLoop>();
    auto control = std::make_shared<CountingControl>(std::weak_ptr<CSFMessageControl::CDelegate>(loop));
    loop->SetControl(control);

    EXPECT_EQ(0, loop->RunTaskA());
    loop->PostTask(nullptr);
    EXPECT_EQ(0, control->notified);
    EXPECT_TRUE(loop->IsIdle());

    std::vector<std::string> ran;
    loop->PostTaskB(MakeTask([&] { ran.push_back("b"); }));
    for (const char* name : {"1", "2", "3"}) {
        loop->PostTask(MakeTask([&ran, &loop, name] {
            ran.push_back(name);
            if (std::string(name) == "1")
                loop->PostTask(MakeTask([&ran] { ran.push_back("self"); }));
        }));
    }
    EXPECT_EQ(4, control->notified);
    EXPECT_EQ(1, loop->RunTaskA());
    // Tasks 2 and 3 still wait in the working queue; only the self-post is incoming.
    EXPECT_FALSE(loop->IsIdle());
    EXPECT_EQ(1, loop->RunTaskA());
    EXPECT_EQ(1, loop->RunTaskA());
    EXPECT_EQ(1, loop->RunTaskA());
    EXPECT_EQ(0, loop->RunTaskA());
    EXPECT_EQ(1, loop->RunTaskB());
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3", "self", "b"}), ran);
}

TEST(TaskQueue, WorkingQueueIsNotSeenByIsEmpty)
{
    CSFTaskQueue queue;
    queue.Push(MakeTask([] {}));
    queue.Push(MakeTask([] {}));
    EXPECT_EQ(1, queue.ExecuteOne());
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_EQ(1, queue.ExecuteOne());
    EXPECT_EQ(0, queue.ExecuteOne());
}

struct Owner {
    int calls = 0;
    void Add(int n) { calls += n; }
};

TEST(Task, OwnerLivesUntilTheTaskIsGone)
{
    auto owner = std::make_shared<Owner>();
    std::weak_ptr<Owner> weak = owner;
    auto task = CreateTask<Owner>(std::bind(&Owner::Add, owner.get(), 2), owner);
    owner.reset();
    ASSERT_FALSE(weak.expired());
    EXPECT_EQ(1, task->Execute());
    EXPECT_EQ(2, weak.lock()->calls);
    task.reset();
    EXPECT_TRUE(weak.expired());
}

TEST(WorkerThread, StopAndJoinEndsTheThreadAndLeavesLaterPostsQueued)
{
    auto worker = CSFThreadEx_Qt::Create(SF_THREAD_CREATE{});
    EXPECT_EQ(0, worker->Start());
    std::atomic<int> ran{0};
    worker->GetMessageLoop()->PostTask(MakeTask([&] { ++ran; }));
    EXPECT_EQ(1, worker->StopAndJoin(20000));
    const int before = ran.load();
    worker->GetMessageLoop()->PostTask(MakeTask([&] { ++ran; }));
    EXPECT_FALSE(worker->GetMessageLoop()->IsIdle());
    EXPECT_EQ(before, ran.load());
}

} // namespace

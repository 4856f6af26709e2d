#include "Memory/SharedPtr.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using Orvan::Memory::TSharedPtr;

namespace {

struct Tracked
{
    static std::atomic<int> alive;
    static std::atomic<int> destroyed;
    Tracked() { ++alive; }
    virtual ~Tracked()
    {
        --alive;
        ++destroyed;
    }
    int value = 7;
};
std::atomic<int> Tracked::alive{0};
std::atomic<int> Tracked::destroyed{0};

struct Derived : Tracked
{
    ~Derived() override { ++derivedGone; }
    static int derivedGone;
};
int Derived::derivedGone = 0;

// Like the transport's deleter: the pointer never frees the object.
struct KeepDeleter
{
    void operator()(Tracked*) const {}
};

struct CountingDeleter
{
    int* calls;
    void operator()(Tracked* p) const
    {
        ++*calls;
        delete p;
    }
};

} // namespace

TEST(SharedPtr, EmptyCopiesTouchNoCount)
{
    TSharedPtr<Tracked> a;
    TSharedPtr<Tracked> b(a);
    EXPECT_EQ(nullptr, a.get());
    EXPECT_EQ(nullptr, b.get());
    EXPECT_EQ(0, b.use_count());
}

TEST(SharedPtr, SelfAndSharedAssignmentKeepCount)
{
    Tracked::destroyed = 0;
    TSharedPtr<Tracked> a(new Tracked);
    TSharedPtr<Tracked> b(a);
    EXPECT_EQ(2, a.use_count());
    a = a;
    a = b;
    b = a;
    EXPECT_EQ(2, a.use_count());
    TSharedPtr<Tracked> c(new Tracked);
    b = c;
    EXPECT_EQ(1, a.use_count());
    EXPECT_EQ(2, c.use_count());
    a.reset();
    EXPECT_EQ(1, Tracked::destroyed);
    EXPECT_EQ(7, c->value);
    EXPECT_EQ(7, (*b).value);
}

TEST(SharedPtr, LastOfManyCopiesOnManyThreadsDisposesOnce)
{
    for (int round = 0; round < 20; ++round) {
        int deleterCalls = 0;
        Tracked::destroyed = 0;
        std::vector<std::thread> threads;
        {
            TSharedPtr<Tracked> origin(new Tracked, CountingDeleter{&deleterCalls});
            for (int t = 0; t < 8; ++t) {
                threads.emplace_back([copy = origin] {
                    for (int i = 0; i < 1000; ++i) {
                        TSharedPtr<Tracked> local(copy);
                        TSharedPtr<Tracked> other;
                        other = local;
                    }
                });
            }
        }
        for (auto& th : threads)
            th.join();
        EXPECT_EQ(1, deleterCalls);
        EXPECT_EQ(1, Tracked::destroyed);
    }
    EXPECT_EQ(0, Tracked::alive);
}

TEST(SharedPtr, DeleterKindsAndVirtualDestruction)
{
    Tracked kept;
    {
        TSharedPtr<Tracked> p(&kept, KeepDeleter());
        EXPECT_NE(nullptr, p.get_deleter<KeepDeleter>());
        EXPECT_EQ(nullptr, p.get_deleter<CountingDeleter>());
    }
    EXPECT_EQ(7, kept.value); // survives the last release
    Derived::derivedGone = 0;
    {
        TSharedPtr<Tracked> d(new Derived);
        EXPECT_EQ(nullptr, d.get_deleter<KeepDeleter>());
        TSharedPtr<Tracked> e;
        e.swap(d);
        EXPECT_EQ(nullptr, d.get());
    }
    EXPECT_EQ(1, Derived::derivedGone);
}

TEST(SharedPtrDeathTest, Preconditions)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    TSharedPtr<Tracked> empty;
    EXPECT_DEATH(empty->value++, "px != 0");
    TSharedPtr<Tracked> p(new Tracked);
    EXPECT_DEATH(p.reset(p.get()), "p == 0 \\|\\| p != px");
}

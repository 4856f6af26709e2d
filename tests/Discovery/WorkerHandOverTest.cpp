// Calls from the search worker reach the list in order, in slices, with one run posted at a time.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Main/WorkerHandOver.h"

TEST(WorkerHandOver, RunsCallsInOrderInSlices)
{
    WorkerHandOver handOver;
    std::vector<int> ran;
    int posts = 0;
    for (int i = 0; i < 5; ++i)
        posts += handOver.Push([&ran, i] { ran.push_back(i); }) ? 1 : 0;
    EXPECT_EQ(1, posts); // one run for the lot

    // A slice that is over at once still runs one call; the rest waits in order.
    EXPECT_TRUE(handOver.Run(std::chrono::steady_clock::duration::zero()));
    EXPECT_EQ(std::vector<int>({0}), ran);
    // Calls sent after a run began post a run of their own and come after the older ones.
    EXPECT_TRUE(handOver.Push([&ran] { ran.push_back(5); }));
    EXPECT_FALSE(handOver.Run(std::chrono::hours(1)));
    EXPECT_EQ(std::vector<int>({0, 1, 2, 3, 4, 5}), ran);
    EXPECT_FALSE(handOver.Run(std::chrono::hours(1)));
}

TEST(WorkerHandOver, CallRunningAnotherRunKeepsTheOrder)
{
    // A call that opens a modal loop: the loop runs the hand-over again meanwhile.
    WorkerHandOver handOver;
    std::vector<std::string> ran;
    handOver.Push([&] {
        ran.push_back("modal");
        handOver.Run(std::chrono::hours(1));
    });
    handOver.Push([&] { ran.push_back("second"); });
    handOver.Push([&] { ran.push_back("third"); });
    EXPECT_FALSE(handOver.Run(std::chrono::hours(1)));
    EXPECT_EQ(std::vector<std::string>({"modal", "second", "third"}), ran);
}

TEST(WorkerHandOver, CallsFromManyThreadsAllArrive)
{
    WorkerHandOver handOver;
    std::vector<int> ran;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&handOver, &ran, t] {
            for (int i = 0; i < 1000; ++i)
                handOver.Push([&ran, t, i] { ran.push_back(t * 1000 + i); });
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_FALSE(handOver.Run(std::chrono::hours(1)));
    ASSERT_EQ(4000u, ran.size());
    // Each thread's calls in the order it sent them.
    std::vector<int> last(4, -1);
    for (int v : ran) {
        EXPECT_GT(v % 1000, last[v / 1000]);
        last[v / 1000] = v % 1000;
    }
}

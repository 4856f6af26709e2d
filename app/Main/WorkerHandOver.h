// Calls that the search worker and its callbacks send to the device list, in the order they were
// sent. Thousands of search answers reach the GUI thread as a few loop-1 tasks, each of which runs
// calls only for a bounded time, so that the window keeps repainting and taking input meanwhile.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>

class WorkerHandOver {
public:
    // Any thread. True when no run is pending: the caller posts one to loop 1.
    bool Push(std::function<void()> call);
    // Loop 1: runs waiting calls in order until none is left or `budget` has passed. True when
    // some are left: the caller posts another run. A call may open a modal loop that runs again.
    bool Run(std::chrono::steady_clock::duration budget);

private:
    std::mutex m_lock;
    std::deque<std::function<void()>> m_incoming; // under m_lock
    bool m_bRunPosted = false;                    // under m_lock
    std::deque<std::function<void()>> m_running;  // loop 1 only
};

#include "Main/WorkerHandOver.h"

bool WorkerHandOver::Push(std::function<void()> call)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_incoming.push_back(std::move(call));
    if (m_bRunPosted)
        return false;
    m_bRunPosted = true;
    return true;
}

bool WorkerHandOver::Run(std::chrono::steady_clock::duration budget)
{
    const auto deadline = std::chrono::steady_clock::now() + budget;
    {
        // Calls sent from now on post a run of their own: one that opens a modal loop below
        // does not hold back those that come meanwhile.
        std::lock_guard<std::mutex> lock(m_lock);
        for (std::function<void()>& call : m_incoming)
            m_running.push_back(std::move(call));
        m_incoming.clear();
        m_bRunPosted = false;
    }
    while (!m_running.empty()) {
        std::function<void()> call = std::move(m_running.front());
        m_running.pop_front();
        call();
        if (std::chrono::steady_clock::now() >= deadline)
            break;
    }
    return !m_running.empty();
}

// Work that the first paint needs and that does not need the GUI thread, started on a thread of
// its own before the application object is made (which mostly waits on the display server).
#pragma once

#include <thread>

class CStartupWarmUp {
public:
    CStartupWarmUp();
    // Waits for the work; called before the GUI thread needs its results.
    ~CStartupWarmUp();
    void Join();

    CStartupWarmUp(const CStartupWarmUp&) = delete;
    CStartupWarmUp& operator=(const CStartupWarmUp&) = delete;

private:
    std::thread m_thread;
};

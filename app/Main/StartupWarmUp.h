// Work that the first paint needs and that does not need the GUI thread, started on a thread of
// its own before the application object is made (which mostly waits on the display server).
#pragma once

#include <thread>

class CStartupWarmUp {
public:
    CStartupWarmUp();
    // Waits for all the work.
    ~CStartupWarmUp();
    // Waits for the work started by the constructor; called before the GUI thread needs it.
    void Join();
    // Once the application object exists: connects to the session bus, which the first widget
    // texts wait for (accessibility), while the GUI thread builds the window.
    void ConnectSessionBus();

    CStartupWarmUp(const CStartupWarmUp&) = delete;
    CStartupWarmUp& operator=(const CStartupWarmUp&) = delete;

private:
    std::thread m_thread;
    std::thread m_busThread;
};

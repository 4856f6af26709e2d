// Work that the first paint needs and that does not need the GUI thread, started on a thread of
// its own before the application object is made (which mostly waits on the display server), the
// session bus connection, which the first widget texts wait for (accessibility), and the mapping of
// the code the GUI thread is about to run.
#pragma once

#include <thread>

class CStartupWarmUp {
public:
    CStartupWarmUp();
    ~CStartupWarmUp();
    // Waits for all the work; called before the application object goes.
    void WaitAll();
    // Waits for the work started by the constructor; called before the GUI thread needs it.
    void Join();
    // Once the application object exists: reads the font list and loads the image format plugins
    // on a thread of its own while the GUI thread goes on.
    void AfterApplication();

    CStartupWarmUp(const CStartupWarmUp&) = delete;
    CStartupWarmUp& operator=(const CStartupWarmUp&) = delete;

private:
    std::thread m_thread;
    std::thread m_busThread;
    std::thread m_fontThread;
    std::thread m_codeThread;
};

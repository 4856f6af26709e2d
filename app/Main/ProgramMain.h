// The program's run, shared by the executable and by the unattended runs of tests and benchmarks.
#pragma once

#include <memory>

class CMainFrameEventImp;

// Told of the run's stages, on the GUI thread.
class IProgramObserver {
public:
    virtual ~IProgramObserver() = default;
    virtual void MainWindowCreated(const std::shared_ptr<CMainFrameEventImp>& mainFrame) = 0;
    virtual void EventLoopEnded() = 0;
};

// Runs the program to its end and answers its exit code; observer may be null.
int RunProgram(int argc, char* argv[], IProgramObserver* observer);

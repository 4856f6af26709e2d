// Shared set-up of the shell tests: settings in a temporary folder, loops 1 and 3, a device SDK
// without devices whose lifetime calls are counted, a recorder of message boxes and of the
// shell's "open".
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "../support/QtWait.h"
#include "Common/AppPath.h"
#include "Common/AppSettings.h"
#include "Common/ConfigXMLPersistImp.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Common/SFThreadEx.h"
#include "Common/Translate.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFStatic.h"
#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "os/ShellOpen.h"

namespace shelltest {

// Processes events until pred holds or the time is up; answers pred.
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 15000)
{
    return vxtest::PumpUntil(pred, timeoutMs);
}

// Lets every task already queued on the device loop, and what those post back to the GUI loop,
// run: two round trips cover a search's pre-start step and its start step.
inline bool DrainSdkLoop(int rounds = 2)
{
    for (int i = 0; i < rounds; ++i) {
        auto done = std::make_shared<std::atomic<bool>>(false);
        auto owner = std::make_shared<int>(0);
        std::shared_ptr<VeyraBase::CSFMessageLoop> sdk = VeyraBase::CSFMessageLoopManager::Instance()->GetMessageLoop(VeyraBase::ML_SDK);
        if (!sdk)
            return false;
        sdk->PostTask(VeyraBase::CreateTask<int>(
            [done, owner] {
                std::shared_ptr<VeyraBase::CSFMessageLoop> gui = VeyraBase::CSFMessageLoopManager::Instance()->GetMessageLoop(VeyraBase::ML_MAIN);
                if (gui)
                    gui->PostTask(VeyraBase::CreateTask<int>([done] { *done = true; }, owner));
            },
            owner));
        if (!WaitUntil([&] { return done->load(); }, 60000))
            return false;
    }
    return true;
}

// Waits for the main window's start-up search to have started and ended: its start is posted to
// the device loop, so the list may not be searching yet when the window is made.
inline bool WaitForStartupSearch(const std::shared_ptr<CMainFrameEventImp>& main)
{
    auto idle = [&] { return !main->GetDeviceListUILogic()->IsSearching(); };
    return WaitUntil(idle) && DrainSdkLoop(2) && WaitUntil(idle);
}

// Lets the queued device-loop work run and waits up to a minute for the start-up search to end.
inline bool StartupSearchEnded(const std::shared_ptr<CMainFrameEventImp>& main)
{
    return DrainSdkLoop() && WaitUntil([&] { return !main->GetDeviceListUILogic()->IsSearching(); }, 60000);
}

// The window for a test that adds its own devices: the start-up search over (as above), then the
// device list and the page's rows emptied.
inline bool ClearListAfterStartupSearch(const std::shared_ptr<CMainFrameEventImp>& main)
{
    if (!StartupSearchEnded(main))
        return false;
    main->GetSearchDevPage()->ClearList();
    main->GetDeviceListUILogic()->GetDeviceList().clear();
    return true;
}

inline void Pump(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Counts the device SDK's lifetime calls and what the main window held at SdkInit.
struct SdkRecord {
    std::atomic<int> init{0}, reconnect{0}, cleanup{0};
    std::atomic<bool> modelExistedAtInit{false}, pagesExistedAtInit{false}, hiddenPartsMadeAtInit{false};
    std::atomic<bool> allStoppedAtCleanup{true};
    CMainFrameEventImp* frame = nullptr;
    fDisConnect disconnect = nullptr;
    fHaveReConnect reconnectCb = nullptr;
};
SdkRecord& Sdk();

// Texts of the message boxes shown while it runs; each box is answered with `answer`.
class ModalAnswerer {
public:
    explicit ModalAnswerer(int answer = 1);
    ~ModalAnswerer();
    std::vector<std::wstring> Texts();
    void SetAnswer(int answer) { m_answer = answer; }

private:
    void Poll();
    QTimer m_timer;
    int m_answer;
    std::mutex m_lock;
    std::vector<std::wstring> m_texts;
};

// Targets handed to the shell's "open".
std::vector<std::string>& Opened();
// Whether the shell's "open" finds a program to start (true unless a test says otherwise).
void SetShellStarts(bool starts);

// The process-wide set-up; the first call makes it.
void EnsureEnvironment();
// A new main window; the window and its objects are kept until the process ends.
std::shared_ptr<CMainFrameEventImp> MakeMainWindow();
// Stand-in for the frame's close: answers and forgets the frame (kept alive).
std::wstring AppDir();

} // namespace shelltest

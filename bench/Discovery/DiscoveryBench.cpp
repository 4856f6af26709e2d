// Search over 20 000 emulated devices of an external fleet with the device page shown offscreen:
// goal under 5 s to the last row, no GUI stall over 16 ms. gui_cpu_ms_to_last_row is the GUI
// thread's own time until then, and longest_gui_busy_ms the most of it spent between two ticks of
// the loop (what remains of a stall once the waits for a core on a busy machine are taken out).
#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "Common/AppSettings.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFThreadEx.h"
#include "Main/CSearchDevEventImp.h"
#include "RecordingPeers.h"
#include "Widgets/SFView.h"
#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"

using namespace VeyraBase;

namespace {

// CPU time of the calling thread, in milliseconds: on a busy machine the GUI thread's own time
// shows its work where the wall-clock time also shows the wait for a core.
double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

constexpr int kDevices = 20000;
// A devsim process holds two descriptors per device: the fleet is split over two processes so
// that each stays under a descriptor limit of 20 000.
constexpr int kProcesses = 2;
const char* const kFirst[kProcesses] = {"127.202.0.1", "127.203.0.1"};

struct Devsim {
    pid_t pid = -1;
    const char* first = nullptr;
    const char* seed = nullptr; // MAC addresses differ between processes by their seed
    bool Start()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], 1);
            close(fds[0]);
            const std::string n = std::to_string(kDevices / kProcesses);
            execl(DEVSIM_PATH, "devsim", "--count", n.c_str(), "--first", first, "--probe-port", "5072", "--seed", seed,
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        FILE* f = fdopen(fds[0], "r");
        char line[256];
        bool ready = false;
        while (fgets(line, sizeof line, f))
            if (std::strncmp(line, "VX_DEVSIM_FLEET=", 16) == 0) {
                ready = true;
                break;
            }
        fclose(f);
        return ready;
    }
    ~Devsim()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

void BM_SearchToLastRow(benchmark::State& state)
{
    static Devsim fleet[kProcesses];
    for (int i = 0; i < kProcesses; ++i) {
        static const char* const kSeeds[kProcesses] = {"1", "2"};
        fleet[i].first = kFirst[i];
        fleet[i].seed = kSeeds[i];
        if (fleet[i].pid < 0 && !fleet[i].Start()) {
            state.SkipWithError("devsim did not start");
            return;
        }
    }
    auto peers = std::make_shared<RecordingPeers>();
    auto model = std::make_shared<CDeviceListUILogic>(std::weak_ptr<CMainFrameEventImp>());
    model->SetPeers(peers);
    model->Init();
    peers->logic = model;
    auto page = std::make_shared<CSearchDevEventImp>(std::weak_ptr<CMainFrameEventImp>());
    page->SetPeers(peers);
    page->Create();
    peers->page = page;
    if (page->GetView()) {
        RECT rc = {0, 0, 1200, 800};
        page->GetView()->MoveWindow(&rc);
        page->GetView()->ShowWindow(1);
    }
    // The recording stand-in of the other pages keeps a line per call: room for them all, so that
    // its own growth is not timed.
    peers->calls.reserve(static_cast<size_t>(kDevices) * 16);
    // The page's first paint belongs to the window's start, not to the search.
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    CSFListCtrl* list = page->GetListCtrl();
    double worstStall = 0, worstBusy = 0, lastSeconds = 0, guiCpuMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        qint64 lastTick = 0, longest = 0;
        double lastTickCpu = ThreadCpuMs(), longestBusy = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, now - lastTick);
            lastTick = now;
            // The GUI thread's own time between two ticks: a stall without it was a wait for a core.
            const double cpu = ThreadCpuMs();
            longestBusy = std::max(longestBusy, cpu - lastTickCpu);
            lastTickCpu = cpu;
        });
        tick.start(1);
        const double cpuStart = ThreadCpuMs();
        double cpuAtLast = cpuStart;
        model->StartSearch(SF_SEARCH_BROADCAST, 0, "");
        // Until every device is listed, or no new one came for 3 s (a few of the fleet's devices
        // are not listed by design); the time is that of the last device listed.
        size_t listed = 0;
        qint64 lastNew = 0;
        while (listed < static_cast<size_t>(kDevices) && clock.elapsed() - lastNew < 3000 &&
               clock.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (model->GetDeviceList().size() != listed) {
                listed = model->GetDeviceList().size();
                lastNew = clock.elapsed();
                cpuAtLast = ThreadCpuMs();
            }
        }
        lastSeconds = lastNew / 1000.0;
        guiCpuMs = cpuAtLast - cpuStart;
        tick.stop();
        worstStall = static_cast<double>(longest);
        worstBusy = longestBusy;
        model->StopSearch(0);
        while (model->IsBroadcasting() && clock.elapsed() < 90000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    state.counters["rows"] = list ? list->GetItemCount() : 0;
    state.counters["devices"] = static_cast<double>(model->GetDeviceList().size());
    state.counters["seconds_to_last_row"] = lastSeconds;
    state.counters["longest_gui_stall_ms"] = worstStall;
    state.counters["gui_cpu_ms_to_last_row"] = guiCpuMs;
    state.counters["longest_gui_busy_ms"] = worstBusy;
}
BENCHMARK(BM_SearchToLastRow)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    CSFMessageLoopManager::Instance()->RegisterLoop(CreateMessageLoop(SF_LOOP_QT), ML_MAIN);
    auto worker = CSFThreadEx_Qt::Create(SF_THREAD_CREATE{});
    worker->Start();
    CSFMessageLoopManager::Instance()->RegisterLoop(worker->GetMessageLoop(), ML_SDK);
    devsdk::SimOptions o;
    o.embedded = false;
    for (const char* first : kFirst)
        o.fleets.push_back(std::string(first) + "+" + std::to_string(kDevices / kProcesses) + ":5072");
    o.localIp = "127.202.255.254";
    devsdk::SetSimOptions(o);
    SdkInit(nullptr, nullptr);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SdkCleanup();
    worker->StopAndJoin(20000);
    return 0;
}

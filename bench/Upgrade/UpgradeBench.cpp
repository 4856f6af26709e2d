// Throughput per device of a firmware transfer to three devices at once, through the page, the
// scheduler, the worker and the SDK, beside a plain TCP copy of the same file to three receivers
// over loopback; and the longest stall of the GUI thread while the upgrade runs.
//
//   QT_QPA_PLATFORM=offscreen UpgradeBench
//
// Counters: MiB_per_s_per_device; for the upgrade also plain_copy_MiB_per_s (a plain copy run just
// before each round) and share_of_plain_copy (their ratio, averaged), gui_max_stall_ms, and the
// processor time per device of both (cpu_ms_per_device, plain_copy_cpu_ms_per_device). Goal: the
// upgrade reaches at least half of the plain copy, with no stall over 50 ms.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <pthread.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "Common/AppSettings.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Common/SFThreadEx.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Upgrade/CUpgradeUILogic.h"
#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "devsdk/Wire.h"
#include "devsim/Fleet.h"
#include "fwmake/FirmwareImage.h"

using namespace VeyraBase;

namespace {

constexpr uint64_t kPayload = 64ull << 20;
constexpr int kDevices = 3;
// The plain copy moves the file as the upgrade does: read in the SDK's piece size, received in
// the block size of the device's transfer reader.
constexpr size_t kPiece = 1024 * 1024;
constexpr size_t kReceiveBlock = 512 * 1024;
const char kDevicePrefix[] = "127.66.1.";
const char kCopyPrefix[] = "127.66.2.";

std::string FirmwarePath()
{
    static QTemporaryDir* dir = new QTemporaryDir();
    static std::string path = [] {
        fwmake::ImageOptions o;
        o.family = "IPC-VX";
        o.version = "9.0";
        o.payloadSize = kPayload;
        std::string p = dir->path().toStdString() + "/bench.bin";
        fwmake::WriteImage(p, o);
        return p;
    }();
    return path;
}

// ---- Plain copy: a sender reading the file in pieces, a receiver discarding them -------------

void PlainCopy(int index, const std::string& file)
{
    const std::string ip = kCopyPrefix + std::to_string(2 + index);
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(37777);
    inet_pton(AF_INET, ip.c_str(), &addr.sin_addr);
    if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listener, 1) != 0) {
        close(listener);
        return;
    }
    pthread_setname_np(pthread_self(), "plain-send");
    std::thread receiver([listener] {
        pthread_setname_np(pthread_self(), "plain-receive");
        int c = accept(listener, nullptr, nullptr);
        std::vector<char> buf(kReceiveBlock);
        while (c >= 0 && recv(c, buf.data(), buf.size(), 0) > 0) {
        }
        if (c >= 0)
            close(c);
    });
    int s = socket(AF_INET, SOCK_STREAM, 0);
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        std::ifstream in(file, std::ios::binary);
        std::vector<char> piece(kPiece);
        while (in.read(piece.data(), piece.size()) || in.gcount() > 0) {
            const char* p = piece.data();
            size_t left = size_t(in.gcount());
            while (left > 0) {
                ssize_t n = send(s, p, left, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                p += n;
                left -= size_t(n);
            }
        }
    }
    shutdown(s, SHUT_WR);
    receiver.join();
    close(s);
    close(listener);
}

// Processor time of the whole process so far (every thread, user and system).
double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Three plain copies at once; seconds until the last receiver has all bytes.
double PlainCopySeconds(const std::string& file)
{
    QElapsedTimer t;
    t.start();
    std::vector<std::thread> copies;
    for (int i = 0; i < kDevices; ++i)
        copies.emplace_back(PlainCopy, i, file);
    for (auto& c : copies)
        c.join();
    return t.nsecsElapsed() / 1e9;
}

benchmark::Counter Average(double sum) { return benchmark::Counter(sum, benchmark::Counter::kAvgIterations); }

void BM_PlainTcpCopy(benchmark::State& state)
{
    const std::string file = FirmwarePath();
    double rates = 0;
    for (auto _ : state) {
        const double seconds = PlainCopySeconds(file);
        state.SetIterationTime(seconds);
        rates += (kPayload / 1048576.0) / seconds;
    }
    state.counters["MiB_per_s_per_device"] = Average(rates);
}

// ---- Through the upgrade page --------------------------------------------------------------

struct UpgradeRig {
    std::unique_ptr<devsim::Fleet> fleet;
    std::shared_ptr<CSFThreadEx_Qt> worker;
    std::shared_ptr<CUpgradeEventImp> page;

    UpgradeRig()
    {
        CSFMessageLoopManager::Instance()->RegisterLoop(CreateMessageLoop(SF_LOOP_QT), ML_MAIN);
        worker = CSFThreadEx_Qt::Create(SF_THREAD_CREATE());
        worker->Start();
        CSFMessageLoopManager::Instance()->RegisterLoop(worker->GetMessageLoop(), ML_SDK);
        devsim::Fleet::Options opt;
        opt.rebootMs = 50;
        fleet.reset(new devsim::Fleet(opt));
        for (int i = 0; i < kDevices; ++i) {
            devsim::DeviceState s;
            s.ip = kDevicePrefix + std::to_string(2 + i);
            s.model = s.detail = "IPC-VX2431";
            s.mac = "3c:ef:66:00:00:0" + std::to_string(i);
            s.users.push_back(devsim::User{"admin", "admin123", 1, false, 0, 0});
            s.installMs = 10;
            fleet->Add(s);
        }
        fleet->Start();
        devsdk::SimOptions sim;
        sim.embedded = false;
        devsdk::SetSimOptions(sim);
        SdkInit(nullptr, nullptr);
        page = CUpgradeEventImp::Create(std::weak_ptr<CMainFrameEventImp>());
        for (int i = 0; i < kDevices; ++i) {
            DEVICE_INFO d;
            std::memset(&d, 0, sizeof d);
            devsim::DeviceState s = fleet->StateOf(size_t(i));
            d.stNetInfo.nIpVersion = 4;
            std::strcpy(d.stNetInfo.szIpAddr, s.ip.c_str());
            std::strcpy(d.stNetInfo.szMacAddr, s.mac.c_str());
            std::strcpy(d.stNetInfo.szTypeName, "IPC");
            std::strcpy(d.stNetInfo.szModelName, s.model.c_str());
            d.stNetInfo.nPort = 37777;
            std::strcpy(d.szUser, "admin");
            std::strcpy(d.szPassword, "admin123");
            page->AddDevice(&d);
            page->AddDeviceRow(&d.stNetInfo, false, 0);
        }
    }
    bool DevicesUp()
    {
        for (int i = 0; i < kDevices; ++i) {
            int err = 0;
            LONG h = SdkLogin((kDevicePrefix + std::to_string(2 + i)).c_str(), 37777, "admin", "admin123", nullptr, &err);
            if (!h)
                return false;
            SdkLogout(h);
        }
        return true;
    }
};

UpgradeRig* Rig()
{
    static UpgradeRig* rig = new UpgradeRig();
    return rig;
}

// Runs the GUI thread's events for ms, sleeping between them.
void PumpFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The devices of the last round reboot into the new firmware first (50 ms away).
void WaitForDevices()
{
    QElapsedTimer wait;
    wait.start();
    PumpFor(300);
    while (!Rig()->DevicesUp() && wait.elapsed() < 20000)
        PumpFor(50);
}

void BM_UpgradeThreeDevices(benchmark::State& state)
{
    UpgradeRig* rig = Rig();
    const std::string file = FirmwarePath();
    double worstStall = 0, rates = 0, wholeRates = 0, plainRates = 0, ratios = 0, cpuMs = 0, plainCpuMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WaitForDevices();
        for (int row = 0; row < kDevices; ++row)
            rig->page->GetListCtrl()->SetCheck(row, 1);
        // The plain copy of the same file right before, so that both see the same machine load.
        double cpu = CpuSeconds();
        const double plainRate = (kPayload / 1048576.0) / PlainCopySeconds(file);
        const double plainCpu = CpuSeconds() - cpu;
        state.ResumeTiming();
        cpu = CpuSeconds();

        // A 2 ms tick on the GUI thread: the longest gap between ticks is the longest stall.
        qint64 last = 0, stall = 0;
        QElapsedTimer t;
        t.start();
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = t.nsecsElapsed();
            if (last)
                stall = std::max(stall, now - last);
            last = now;
        });
        tick.start(2);
        rig->page->StartBatchUpgrade(file);
        // Per device: from the start of its sending to the report that its file is all sent.
        std::vector<qint64> firstAt(kDevices, 0), doneAt(kDevices, 0);
        while (rig->page->IsUpgrading()) {
            // Sleeps until the next event (at the latest the next tick), as the program's loop does.
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            for (int row = 0; row < kDevices; ++row) {
                const auto& tasks = rig->page->GetUpgradeUILogic()->GetTaskVec();
                if (!firstAt[row] && row < int(tasks.size()) && tasks[size_t(row)]->m_nTransferPhase >= 1)
                    firstAt[row] = t.nsecsElapsed();
                if (!doneAt[row] && row < int(tasks.size()) && tasks[size_t(row)]->m_bFileDelivered)
                    doneAt[row] = t.nsecsElapsed();
            }
        }
        tick.stop();
        // Processor time per device, both sides (logins, installation and reboot included).
        cpuMs += (CpuSeconds() - cpu) * 1000 / kDevices;
        plainCpuMs += plainCpu * 1000 / kDevices;
        double transfer = 0, whole = 0;
        for (int row = 0; row < kDevices; ++row) {
            transfer = std::max(transfer, (doneAt[row] - firstAt[row]) / 1e9);
            whole = std::max(whole, doneAt[row] / 1e9);
        }
        state.SetIterationTime(whole);
        const double rate = (kPayload / 1048576.0) / transfer;
        rates += rate;
        wholeRates += (kPayload / 1048576.0) / whole;
        plainRates += plainRate;
        ratios += rate / plainRate;
        worstStall = std::max(worstStall, (stall - 2000000) / 1e6);
        std::fprintf(stderr, "upgrade %.0f MiB/s per device, plain copy %.0f MiB/s: %.0f%%; stall %.1f ms\n", rate,
                     plainRate, 100 * rate / plainRate, (stall - 2000000) / 1e6);
        for (int row = 0; row < kDevices; ++row)
            if (rig->page->GetListCtrl()->GetItemData(row, 0) != UPGRADE_SUCCESS) {
                std::fprintf(stderr, "row %d ended with code %u\n", row,
                             unsigned(rig->page->GetListCtrl()->GetItemData(row, 0)));
                state.SkipWithError("an upgrade failed");
                return;
            }
    }
    state.counters["MiB_per_s_per_device"] = Average(rates);
    state.counters["with_login_MiB_per_s"] = Average(wholeRates);
    state.counters["plain_copy_MiB_per_s"] = Average(plainRates);
    state.counters["share_of_plain_copy"] = Average(ratios);
    state.counters["gui_max_stall_ms"] = worstStall;
    state.counters["cpu_ms_per_device"] = Average(cpuMs);
    state.counters["plain_copy_cpu_ms_per_device"] = Average(plainCpuMs);
}

// ---- Plain copy into the devices' receiving loop ---------------------------------------------
//
// A small sender logs in, opens a transfer and streams the file's pieces back to back without
// waiting for each answer (a reader drains them): the devices' own receiving loop at full speed.

bool SendAllBytes(int fd, const std::string& bytes)
{
    size_t off = 0;
    while (off < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        off += size_t(n);
    }
    return true;
}

// Reads frames until `count` replies have arrived; false on a closed link.
bool ReadReplies(int fd, devsdk::wire::FrameReader& reader, int count)
{
    std::vector<char> buf(1 << 16);
    devsdk::wire::Frame f;
    while (count > 0) {
        while (count > 0 && reader.Next(f) == devsdk::wire::FrameReader::kFrame)
            if (f.kind == devsdk::wire::kReply)
                --count;
        if (count == 0)
            break;
        ssize_t n = recv(fd, buf.data(), buf.size(), 0);
        if (n <= 0)
            return false;
        reader.Feed(buf.data(), size_t(n));
    }
    return true;
}

double CopyIntoDevice(const std::string& ip, const std::string& file)
{
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(37777);
    inet_pton(AF_INET, ip.c_str(), &addr.sin_addr);
    double seconds = 0;
    devsdk::wire::FrameReader reader;
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const int64_t size = int64_t(in.tellg());
    in.seekg(0);
    Json::Value login(Json::objectValue), start(Json::objectValue);
    login["user"] = "admin";
    login["password"] = "admin123";
    login["spec"] = 0;
    start["size"] = Json::Int64(size);
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        SendAllBytes(s, devsdk::wire::Encode(devsdk::wire::kRequest, devsdk::wire::kOpLogin, 1, login)) &&
        ReadReplies(s, reader, 1) &&
        SendAllBytes(s, devsdk::wire::Encode(devsdk::wire::kRequest, devsdk::wire::kOpUpgradeStart, 2, start)) &&
        ReadReplies(s, reader, 1)) {
        const int pieces = int((size + (1 << 20) - 1) >> 20);
        QElapsedTimer t;
        t.start();
        std::thread drain([&] { ReadReplies(s, reader, pieces); });
        std::string piece(1 << 20, '\0');
        for (int64_t off = 0; off < size;) {
            in.read(&piece[0], std::streamsize(std::min<int64_t>(int64_t(piece.size()), size - off)));
            const size_t n = size_t(in.gcount());
            piece.resize(n);
            Json::Value body(Json::objectValue);
            body["offset"] = Json::Int64(off);
            // The head announces the piece, which follows from its own buffer (no copy, as the SDK).
            std::string head = devsdk::wire::Encode(devsdk::wire::kRequest, devsdk::wire::kOpUpgradeData,
                                                    uint32_t(3 + off / (1 << 20)), body);
            for (int i = 0; i < 4; ++i)
                head[16 + size_t(i)] = char((n >> (8 * i)) & 0xFF);
            if (!SendAllBytes(s, head) || !SendAllBytes(s, piece))
                break;
            off += int64_t(n);
        }
        drain.join();
        seconds = t.nsecsElapsed() / 1e9;
    }
    close(s);
    return seconds;
}


void BM_PlainCopyIntoDevices(benchmark::State& state)
{
    Rig();
    const std::string file = FirmwarePath();
    double rates = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WaitForDevices();
        state.ResumeTiming();
        std::vector<double> seconds(kDevices, 0);
        std::vector<std::thread> copies;
        for (int i = 0; i < kDevices; ++i)
            copies.emplace_back([&, i] { seconds[size_t(i)] = CopyIntoDevice(kDevicePrefix + std::to_string(2 + i), file); });
        for (auto& c : copies)
            c.join();
        const double worst = *std::max_element(seconds.begin(), seconds.end());
        state.SetIterationTime(worst);
        rates += (kPayload / 1048576.0) / worst;
    }
    state.counters["MiB_per_s_per_device"] = Average(rates);
}

BENCHMARK(BM_PlainTcpCopy)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainCopyIntoDevices)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UpgradeThreeDevices)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SdkCleanup();
    return 0;
}

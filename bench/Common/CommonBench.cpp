// Post-to-run latency of the message loops next to a bare condition-variable hand-off, and the YUV
// conversion next to a naive per-pixel float conversion. Prints the ratios at the end.
#include "Common/SFMessageLoopManager.h"
#include "Common/SFThreadEx.h"
#include "Common/YuvConvert.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace VeyraBase;
using Clock = std::chrono::steady_clock;

namespace {

std::map<std::string, double> g_seconds; // seconds per iteration, by benchmark

void Keep(const char* name, double totalSeconds, int64_t iterations)
{
    if (iterations > 0)
        g_seconds[name] = totalSeconds / double(iterations);
}

// Latencies are noisy on a loaded machine: keep the median.
void KeepMedian(const char* name, std::vector<double> samples)
{
    if (samples.empty())
        return;
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    g_seconds[name] = samples[samples.size() / 2];
}

std::shared_ptr<CSFTask> MakeTask(std::function<void()> call)
{
    return std::make_shared<CSFConcreteTask<int>>(std::move(call));
}

// The worker pauses 5 ms after every task; waiting that long between posts measures an idle worker.
const auto kIdleGap = std::chrono::microseconds(5600);

void BM_WorkerLoopPostToRun(benchmark::State& state)
{
    auto worker = CSFThreadEx_Qt::Create(SF_THREAD_CREATE{});
    worker->Start();
    auto loop = worker->GetMessageLoop();
    std::mutex lock;
    std::condition_variable cv;
    bool ran = false;
    Clock::time_point runAt;
    std::vector<double> samples;
    for (auto _ : state) {
        std::this_thread::sleep_for(kIdleGap);
        const Clock::time_point postedAt = Clock::now();
        loop->PostTask(MakeTask([&] {
            std::lock_guard<std::mutex> guard(lock);
            runAt = Clock::now();
            ran = true;
            cv.notify_one();
        }));
        std::unique_lock<std::mutex> guard(lock);
        cv.wait(guard, [&] { return ran; });
        ran = false;
        const double seconds = std::chrono::duration<double>(runAt - postedAt).count();
        state.SetIterationTime(seconds);
        samples.push_back(seconds);
    }
    KeepMedian("worker", samples);
    worker->StopAndJoin();
}

void BM_GuiLoopPostToRun(benchmark::State& state)
{
    auto loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_MAIN);
    std::vector<double> samples;
    for (auto _ : state) {
        QEventLoop events;
        Clock::time_point runAt;
        const Clock::time_point postedAt = Clock::now();
        loop->PostTask(MakeTask([&] {
            runAt = Clock::now();
            events.quit();
        }));
        events.exec();
        const double seconds = std::chrono::duration<double>(runAt - postedAt).count();
        state.SetIterationTime(seconds);
        samples.push_back(seconds);
    }
    KeepMedian("gui", samples);
}

void BM_ConditionVariableHandOff(benchmark::State& state)
{
    std::mutex lock;
    std::condition_variable toHelper, toMain;
    bool posted = false, ran = false, stop = false;
    Clock::time_point runAt;
    std::thread helper([&] {
        std::unique_lock<std::mutex> guard(lock);
        for (;;) {
            toHelper.wait(guard, [&] { return posted || stop; });
            if (stop)
                return;
            posted = false;
            runAt = Clock::now();
            ran = true;
            toMain.notify_one();
        }
    });
    std::vector<double> samples;
    for (auto _ : state) {
        std::this_thread::sleep_for(kIdleGap);
        const Clock::time_point postedAt = Clock::now();
        {
            std::lock_guard<std::mutex> guard(lock);
            posted = true;
        }
        toHelper.notify_one();
        std::unique_lock<std::mutex> guard(lock);
        toMain.wait(guard, [&] { return ran; });
        ran = false;
        const double seconds = std::chrono::duration<double>(runAt - postedAt).count();
        state.SetIterationTime(seconds);
        samples.push_back(seconds);
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        stop = true;
    }
    toHelper.notify_one();
    helper.join();
    KeepMedian("cv", samples);
}

struct Frame1080 {
    static const int W = 1920, H = 1080;
    std::vector<uint8_t> y, v, u;
    std::vector<uint32_t> out;
    Frame1080() : y(size_t(W) * H), v(size_t(W / 2) * (H / 2)), u(v.size()), out(size_t(W) * H)
    {
        std::mt19937 rng(1);
        for (auto* plane : {&y, &v, &u})
            for (auto& b : *plane)
                b = uint8_t(rng());
    }
};

void BM_Yuv420ToRgb32_1080p(benchmark::State& state)
{
    Frame1080 f;
    InitYuvTables();
    const auto start = Clock::now();
    for (auto _ : state) {
        Yuv420ToRgb32(f.out.data(), f.W, f.y.data(), f.v.data(), f.u.data(), f.W, f.W / 2, f.W, f.H);
        benchmark::DoNotOptimize(f.out.data());
        benchmark::ClobberMemory();
    }
    Keep("yuv", std::chrono::duration<double>(Clock::now() - start).count(), state.iterations());
    state.SetBytesProcessed(int64_t(state.iterations()) * f.W * f.H * 3 / 2);
}

// Per pixel, in floating point, with its chroma looked up each time: the straightforward way.
void NaiveConvert(Frame1080& f)
{
    for (int row = 0; row < f.H; ++row) {
        for (int col = 0; col < f.W; ++col) {
            const float yy = 1.164f * (float(f.y[size_t(row) * f.W + col]) - 16.0f);
            const size_t c = size_t(row / 2) * (f.W / 2) + size_t(col / 2);
            const float vv = float(f.v[c]) - 128.0f;
            const float uu = float(f.u[c]) - 128.0f;
            const float r = std::min(255.0f, std::max(0.0f, yy + 1.596f * vv));
            const float g = std::min(255.0f, std::max(0.0f, yy - 0.813f * vv - 0.391f * uu));
            const float b = std::min(255.0f, std::max(0.0f, yy + 2.018f * uu));
            f.out[size_t(row) * f.W + col] = uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16 | 0xFF000000u;
        }
    }
}

void BM_NaiveFloat_1080p(benchmark::State& state)
{
    Frame1080 f;
    const auto start = Clock::now();
    for (auto _ : state) {
        NaiveConvert(f);
        benchmark::DoNotOptimize(f.out.data());
        benchmark::ClobberMemory();
    }
    Keep("naive", std::chrono::duration<double>(Clock::now() - start).count(), state.iterations());
    state.SetBytesProcessed(int64_t(state.iterations()) * f.W * f.H * 3 / 2);
}

BENCHMARK(BM_ConditionVariableHandOff)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(300);
BENCHMARK(BM_WorkerLoopPostToRun)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(300);
BENCHMARK(BM_GuiLoopPostToRun)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_Yuv420ToRgb32_1080p)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveFloat_1080p)->Unit(benchmark::kMillisecond);

double Get(const char* name) { return g_seconds.count(name) ? g_seconds[name] : 0.0; }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CSFMessageLoopManager::Instance()->RegisterLoop(CreateMessageLoop(SF_LOOP_QT), ML_MAIN);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double cv = Get("cv"), worker = Get("worker"), gui = Get("gui"), yuv = Get("yuv"), naive = Get("naive");
    printf("\nPost-to-run latency (median): condition variable %.1f us, worker loop %.1f us, GUI loop %.1f us\n",
           cv * 1e6, worker * 1e6, gui * 1e6);
    if (cv > 0)
        printf("Added over a bare hand-off: worker loop %.2fx (+%.1f us), GUI loop %.2fx (+%.1f us)\n", worker / cv,
               (worker - cv) * 1e6, gui / cv, (gui - cv) * 1e6);
    if (yuv > 0)
        printf("YUV 4:2:0 -> RGB32 1920x1080: %.2f ms, naive float %.2f ms, speed-up %.2fx (target >= 4x)\n",
               yuv * 1e3, naive * 1e3, naive / yuv);
    return 0;
}

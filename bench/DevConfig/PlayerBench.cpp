// Live video costs. One 1080p30 H.264 stream (4 Mbit/s, 90 frames) is made by an emulated
// device's encoder; then:
//  - Player/DecodeToRgb: the stream blocks through the player (its thread, its decoder) and each
//    picture converted to 32-bit RGB as the configuration worker does; frames per second and
//    process CPU time per frame;
//  - Ffmpeg/DecodeNull: `ffmpeg -benchmark -i stream.h264 -f null -` on the same stream, its
//    CPU time per frame (utime + stime) from its own report;
//  - Convert/Foundation (and each of its routines) and Convert/Swscale: the same decoded 1080p
//    pictures to 32-bit RGB, one thread each; Convert/SideBySide alternates the two on each
//    picture and prints their ratio at the end.
#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Common/YuvConvert.h"
#include "devsim/DeviceVideo.h"
#include "player/Player.h"

namespace {

constexpr int kW = 1920, kH = 1080, kFrames = 90;

struct Stream {
    std::vector<std::string> blocks;
    std::string h264;
    std::string path;
};

const Stream& TheStream()
{
    static Stream s = [] {
        Stream st;
        devsim::DeviceVideo video;
        devsim::LiveEncode e;
        e.width = kW;
        e.height = kH;
        e.fps = 30;
        e.kbps = 4096;
        for (int i = 0; i < kFrames; ++i) {
            std::string au = video.EncodeFrame(e, "IPC-BENCH CH1", "2026-01-01 12:00:00", uint32_t(i));
            std::string b(32, '\0');
            auto put = [&](size_t off, uint32_t v) { std::memcpy(&b[off], &v, 4); };
            std::memcpy(&b[0], "VXSF", 4);
            put(4, uint32_t(kW) | uint32_t(kH) << 16);
            put(8, uint32_t(i));
            put(16, uint32_t(-1));
            put(28, uint32_t(au.size()));
            st.blocks.push_back(b + au);
            st.h264 += au;
        }
        const char* tmp = std::getenv("TMPDIR");
        st.path = std::string(tmp ? tmp : "/tmp") + "/devconfig-bench-" + std::to_string(getpid()) + ".h264";
        std::ofstream(st.path, std::ios::binary) << st.h264;
        return st;
    }();
    return s;
}

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct RgbSink {
    std::mutex mu;
    std::condition_variable cv;
    int frames = 0;
    std::vector<uint32_t> rgb;
};

void ToRgb(LONG, char* buf, LONG, FRAME_INFO* info, void* user, LONG)
{
    auto* s = static_cast<RgbSink*>(user);
    const int w = info->nWidth, h = info->nHeight;
    s->rgb.resize(size_t(w) * size_t(h));
    const auto* y = reinterpret_cast<const uint8_t*>(buf);
    const size_t px = size_t(w) * size_t(h);
    Yuv420ToRgb32(s->rgb.data(), w, y, y + px, y + px * 5 / 4, w, w / 2, w, h);
    std::lock_guard<std::mutex> lk(s->mu);
    ++s->frames;
    s->cv.notify_all();
}

void BM_PlayerDecodeToRgb(benchmark::State& state)
{
    const Stream& st = TheStream();
    double cpu = 0, wall = 0;
    int frames = 0;
    for (auto _ : state) {
        RgbSink sink;
        LONG port = 0;
        PlayerGetFreePort(&port);
        PlayerOpenStream(port, nullptr, 0, 8u << 20);
        PlayerSetDecodeCallBack(port, ToRgb, &sink);
        const double c0 = CpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        PlayerPlay(port, nullptr);
        for (const std::string& b : st.blocks)
            while (!PlayerInputData(port, reinterpret_cast<BYTE*>(const_cast<char*>(b.data())), DWORD(b.size())))
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        {
            // Frame threads hold the last few pictures back until more data comes: the wait
            // ends at the frames the decoder can give without a flush.
            std::unique_lock<std::mutex> lk(sink.mu);
            sink.cv.wait_for(lk, std::chrono::seconds(30), [&] { return sink.frames >= kFrames - 8; });
        }
        const auto t1 = std::chrono::steady_clock::now();
        cpu += CpuSeconds() - c0;
        wall += std::chrono::duration<double>(t1 - t0).count();
        frames += sink.frames;
        PlayerSetDecodeCallBack(port, nullptr, nullptr);
        PlayerStop(port);
        PlayerCloseStream(port);
        PlayerReleasePort(port);
    }
    state.counters["fps"] = frames / wall;
    state.counters["cpu_ms_per_frame"] = 1000.0 * cpu / frames;
}

void BM_FfmpegDecodeNull(benchmark::State& state)
{
    const Stream& st = TheStream();
    double cpu = 0, wall = 0;
    int runs = 0;
    for (auto _ : state) {
        std::string cmd = "ffmpeg -hide_banner -nostdin -benchmark -i '" + st.path + "' -f null - 2>&1";
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) {
            state.SkipWithError("ffmpeg cannot be started");
            return;
        }
        char line[512];
        double utime = -1, stime = 0, rtime = 0;
        while (std::fgets(line, sizeof line, p))
            if (const char* b = std::strstr(line, "bench: utime="))
                std::sscanf(b, "bench: utime=%lfs stime=%lfs rtime=%lfs", &utime, &stime, &rtime);
        pclose(p);
        if (utime < 0) {
            state.SkipWithError("ffmpeg gave no benchmark report (is the ffmpeg package installed?)");
            return;
        }
        cpu += utime + stime;
        wall += rtime;
        ++runs;
    }
    state.counters["fps"] = runs * kFrames / wall;
    state.counters["cpu_ms_per_frame"] = 1000.0 * cpu / (runs * kFrames);
}

// Decoded pictures of the stream, Y then V then U, as the player hands them over.
const std::vector<std::vector<char>>& Pictures()
{
    static std::vector<std::vector<char>> pics = [] {
        std::vector<std::vector<char>> out;
        struct Grab {
            std::mutex mu;
            std::vector<std::vector<char>>* out;
        } g{{}, &out};
        LONG port = 0;
        PlayerGetFreePort(&port);
        PlayerOpenStream(port, nullptr, 0, 8u << 20);
        PlayerSetDecodeCallBack(
            port,
            [](LONG, char* buf, LONG size, FRAME_INFO*, void* user, LONG) {
                auto* gr = static_cast<Grab*>(user);
                std::lock_guard<std::mutex> lk(gr->mu);
                if (gr->out->size() < 10)
                    gr->out->emplace_back(buf, buf + size);
            },
            &g);
        PlayerPlay(port, nullptr);
        for (const std::string& b : TheStream().blocks)
            while (!PlayerInputData(port, reinterpret_cast<BYTE*>(const_cast<char*>(b.data())), DWORD(b.size())))
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        for (int i = 0; i < 3000; ++i) {
            {
                std::lock_guard<std::mutex> lk(g.mu);
                if (out.size() >= 10)
                    break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        PlayerSetDecodeCallBack(port, nullptr, nullptr);
        PlayerStop(port);
        PlayerReleasePort(port);
        return out;
    }();
    return pics;
}

// One libswscale context for 1080p planar 4:2:0 to R, G, B, X bytes (the Foundation's layout), on
// one thread like the Foundation's conversion; built once, outside every timed loop.
class Swscale {
public:
    Swscale()
    {
        m_ctx = sws_alloc_context();
        if (!m_ctx)
            return;
        av_opt_set_int(m_ctx, "srcw", kW, 0);
        av_opt_set_int(m_ctx, "srch", kH, 0);
        av_opt_set_int(m_ctx, "src_format", AV_PIX_FMT_YUV420P, 0);
        av_opt_set_int(m_ctx, "dstw", kW, 0);
        av_opt_set_int(m_ctx, "dsth", kH, 0);
        av_opt_set_int(m_ctx, "dst_format", AV_PIX_FMT_RGB0, 0);
        av_opt_set_int(m_ctx, "sws_flags", SWS_POINT, 0);
        av_opt_set_int(m_ctx, "threads", 1, 0);
        if (sws_init_context(m_ctx, nullptr, nullptr) < 0) {
            sws_freeContext(m_ctx);
            m_ctx = nullptr;
        }
    }
    ~Swscale() { sws_freeContext(m_ctx); }
    Swscale(const Swscale&) = delete;
    Swscale& operator=(const Swscale&) = delete;

    bool Ok() const { return m_ctx != nullptr; }

    // `y` is a picture as the player hands it over: Y, then V, then U.
    void Convert(const uint8_t* y, uint32_t* rgb)
    {
        const size_t px = size_t(kW) * kH;
        const uint8_t* src[3] = {y, y + px * 5 / 4, y + px};
        const int srcStride[3] = {kW, kW / 2, kW / 2};
        uint8_t* dst[1] = {reinterpret_cast<uint8_t*>(rgb)};
        const int dstStride[1] = {kW * 4};
        sws_scale(m_ctx, src, srcStride, 0, kH, dst, dstStride);
    }

private:
    SwsContext* m_ctx = nullptr;
};

void FoundationConvert(const uint8_t* y, uint32_t* rgb)
{
    const size_t px = size_t(kW) * kH;
    Yuv420ToRgb32(rgb, kW, y, y + px, y + px * 5 / 4, kW, kW / 2, kW, kH);
}

const uint8_t* Picture(size_t i)
{
    const auto& pics = Pictures();
    return reinterpret_cast<const uint8_t*>(pics[i % pics.size()].data());
}

void BM_ConvertFoundation(benchmark::State& state)
{
    Pictures(); // decoded before the clock starts
    std::vector<uint32_t> rgb(size_t(kW) * kH);
    size_t i = 0;
    for (auto _ : state) {
        FoundationConvert(Picture(i++), rgb.data());
        benchmark::DoNotOptimize(rgb.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

// Each routine of the Foundation's conversion that this CPU runs, by name.
void BM_ConvertFoundationRoutine(benchmark::State& state)
{
    Pictures(); // decoded before the clock starts
    const auto kernel = YuvKernel(state.range(0));
    const char* names[] = {"plain", "SSE2", "AVX2", "AVX-512BW"};
    state.SetLabel(names[state.range(0)]);
    std::vector<uint32_t> rgb(size_t(kW) * kH);
    const size_t px = size_t(kW) * kH;
    size_t i = 0;
    for (auto _ : state) {
        const uint8_t* y = Picture(i++);
        if (!Yuv420ToRgb32Using(kernel, rgb.data(), kW, y, y + px, y + px * 5 / 4, kW, kW / 2, kW, kH)) {
            state.SkipWithError("this CPU does not run it");
            break;
        }
        benchmark::DoNotOptimize(rgb.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ConvertSwscale(benchmark::State& state)
{
    Pictures(); // decoded before the clock starts
    Swscale sws;
    if (!sws.Ok()) {
        state.SkipWithError("no libswscale context for this conversion");
        return;
    }
    std::vector<uint32_t> rgb(size_t(kW) * kH);
    size_t i = 0;
    for (auto _ : state) {
        sws.Convert(Picture(i++), rgb.data());
        benchmark::DoNotOptimize(rgb.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

double g_sideFoundation = 0, g_sideSwscale = 0;

// Both conversions on the same pictures in the same run, their order alternating (the second one
// finds the picture in cache), so machine load and cache state hit both alike. Argument -1: the
// routine the Foundation picks; otherwise that routine.
void BM_ConvertSideBySide(benchmark::State& state)
{
    Pictures(); // decoded before the clock starts
    Swscale sws;
    if (!sws.Ok()) {
        state.SkipWithError("no libswscale context for this conversion");
        return;
    }
    const bool picked = state.range(0) < 0;
    const auto kernel = YuvKernel(picked ? 0 : state.range(0));
    if (!picked) {
        const char* names[] = {"plain", "SSE2", "AVX2", "AVX-512BW"};
        state.SetLabel(names[state.range(0)]);
    }
    std::vector<uint32_t> ours(size_t(kW) * kH), theirs(ours.size());
    const size_t px = size_t(kW) * kH;
    using Clock = std::chrono::steady_clock;
    double foundation = 0, swscale = 0;
    size_t i = 0;
    for (auto _ : state) {
        const uint8_t* y = Picture(i);
        for (int turn = 0; turn < 2; ++turn) {
            const bool ourTurn = (turn + i) % 2 == 0;
            const auto t0 = Clock::now();
            if (!ourTurn)
                sws.Convert(y, theirs.data());
            else if (picked)
                FoundationConvert(y, ours.data());
            else if (!Yuv420ToRgb32Using(kernel, ours.data(), kW, y, y + px, y + px * 5 / 4, kW, kW / 2, kW, kH)) {
                state.SkipWithError("this CPU does not run it");
                return;
            }
            benchmark::ClobberMemory();
            (ourTurn ? foundation : swscale) += std::chrono::duration<double>(Clock::now() - t0).count();
        }
        ++i;
    }
    const double n = double(state.iterations());
    if (picked) {
        g_sideFoundation = foundation / n;
        g_sideSwscale = swscale / n;
    }
    state.counters["foundation_ms"] = 1e3 * foundation / n;
    state.counters["swscale_ms"] = 1e3 * swscale / n;
    state.counters["foundation_over_swscale"] = foundation / swscale;
}

} // namespace

BENCHMARK(BM_PlayerDecodeToRgb)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_FfmpegDecodeNull)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ConvertFoundation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFoundationRoutine)
    ->Unit(benchmark::kMillisecond)
    ->Arg(int(YuvKernel::Plain))
    ->Arg(int(YuvKernel::Sse2))
    ->Arg(int(YuvKernel::Avx2))
    ->Arg(int(YuvKernel::Avx512));
BENCHMARK(BM_ConvertSwscale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertSideBySide)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->Arg(-1)
    ->Arg(int(YuvKernel::Sse2))
    ->Arg(int(YuvKernel::Avx2))
    ->Arg(int(YuvKernel::Avx512));

int main(int argc, char** argv)
{
    InitYuvTables();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (g_sideSwscale > 0)
        std::printf("\nYUV 4:2:0 -> RGB32 1920x1080, same pictures, alternating: Foundation %.3f ms, libswscale "
                    "%.3f ms, ratio %.2f (goal <= 1.00)\n",
                    g_sideFoundation * 1e3, g_sideSwscale * 1e3, g_sideFoundation / g_sideSwscale);
    std::remove(TheStream().path.c_str());
    benchmark::Shutdown();
    return 0;
}

// The player on a stream the emulated devices make: pictures of the stream's size in Y, V, U
// order, focus reports as JSON, and damaged input that ends in dropped data, never a crash.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>

#include "devsim/DeviceVideo.h"
#include "player/Player.h"

namespace {

std::string MakeBlock(int w, int h, uint32_t frame, int32_t peak, const std::string& au)
{
    std::string b(32, '\0');
    auto put = [&](size_t off, uint32_t v) { std::memcpy(&b[off], &v, 4); };
    std::memcpy(&b[0], "VXSF", 4);
    put(4, uint32_t(w) | uint32_t(h) << 16);
    put(8, frame);
    put(16, uint32_t(peak));
    put(24, 3);
    put(28, uint32_t(au.size()));
    return b + "CH1" + au;
}

std::vector<std::string> Stream(int w, int h, int frames, int32_t peak = -1)
{
    devsim::DeviceVideo video;
    devsim::LiveEncode s;
    s.width = w;
    s.height = h;
    s.fps = 25;
    s.kbps = 512;
    std::vector<std::string> out;
    for (int i = 0; i < frames; ++i)
        out.push_back(MakeBlock(w, h, uint32_t(i), peak, video.EncodeFrame(s, "CAM", "12:00:00", uint32_t(i))));
    return out;
}

struct Sink {
    std::mutex mu;
    int frames = 0;
    int width = 0, height = 0;
    long size = 0;
    int v0 = -1, u0 = -1;
    std::vector<std::string> infos;
};

void OnFrame(LONG, char* buf, LONG size, FRAME_INFO* info, void* user, LONG)
{
    auto* s = static_cast<Sink*>(user);
    std::lock_guard<std::mutex> lk(s->mu);
    ++s->frames;
    s->width = info->nWidth;
    s->height = info->nHeight;
    s->size = size;
    const size_t y = size_t(info->nWidth) * size_t(info->nHeight);
    // Bottom-left chroma sample: the picture's first colour band, away from the text.
    const size_t row = size_t(info->nHeight / 2 - 1) * size_t(info->nWidth / 2);
    s->v0 = static_cast<unsigned char>(buf[y + row]);
    s->u0 = static_cast<unsigned char>(buf[y + y / 4 + row]);
    EXPECT_EQ(info->nType, T_YV12);
}

void OnInfo(const char* json, LONG, LONG, LONG, LONG, void* user)
{
    auto* s = static_cast<Sink*>(user);
    std::lock_guard<std::mutex> lk(s->mu);
    s->infos.push_back(json);
}

bool Wait(const std::function<bool()>& pred, int ms = 10000)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class PlayerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(PlayerGetFreePort(&port));
        ASSERT_GT(port, 0);
        ASSERT_TRUE(PlayerOpenStream(port, nullptr, 0, 921600));
        ASSERT_TRUE(PlayerPlay(port, nullptr));
        PlayerSetDecodeCallBack(port, OnFrame, &sink);
        PlayerSetInfoCallBack(port, OnInfo, &sink);
    }
    void TearDown() override
    {
        PlayerSetInfoCallBack(port, nullptr, &sink);
        PlayerClearCallBack(port, nullptr, &sink);
        PlayerStop(port);
        PlayerCloseStream(port);
        PlayerReleasePort(port);
    }
    void Feed(const std::string& bytes, size_t chunk)
    {
        for (size_t off = 0; off < bytes.size(); off += chunk) {
            size_t n = std::min(chunk, bytes.size() - off);
            while (!PlayerInputData(port, reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data() + off)), DWORD(n)))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    int Frames()
    {
        std::lock_guard<std::mutex> lk(sink.mu);
        return sink.frames;
    }

    LONG port = 0;
    Sink sink;
};

TEST_F(PlayerFixture, DecodesTheDeviceStreamInAnyCutIntoYv12PicturesOfItsSize)
{
    std::string all;
    for (const std::string& b : Stream(320, 240, 12, 250))
        all += b;
    Feed(all, 777);
    ASSERT_TRUE(Wait([&] { return Frames() >= 8; }));
    std::lock_guard<std::mutex> lk(sink.mu);
    EXPECT_EQ(sink.width, 320);
    EXPECT_EQ(sink.height, 240);
    EXPECT_EQ(sink.size, 320 * 240 * 3 / 2);
    // The picture's first band has U 64 and V 192: V comes first.
    EXPECT_NEAR(sink.v0, 192, 16);
    EXPECT_NEAR(sink.u0, 64, 16);
    ASSERT_FALSE(sink.infos.empty());
    EXPECT_EQ(sink.infos[0], "{\"FocusStatus\":{\"AutofocusPeak\":250}}");
    PLAYER_STATS st{};
    ASSERT_TRUE(PlayerGetStats(port, &st));
    EXPECT_EQ(st.nLastWidth, 320);
    EXPECT_GE(PlayerQueryTime(port), 8);
}

TEST_F(PlayerFixture, DamagedInputIsDroppedAndAFreshStreamPlaysAgain)
{
    std::mt19937 rng(7);
    std::vector<std::string> blocks = Stream(160, 120, 6);
    std::string junk(20000, '\0');
    for (char& c : junk)
        c = char(rng());
    Feed(junk, 4096);
    // A header promising more than any buffer holds, a cut block, flipped bytes in the video.
    std::string huge = MakeBlock(160, 120, 0, -1, "");
    uint32_t big = 0x7FFFFFFF;
    std::memcpy(&huge[28], &big, 4);
    Feed(huge, huge.size());
    Feed(blocks[0].substr(0, blocks[0].size() / 2), 64);
    for (size_t i = 1; i < blocks.size(); ++i) {
        std::string b = blocks[i];
        for (size_t k = 40; k < b.size(); k += 13)
            b[k] = char(rng());
        Feed(b, 500);
    }
    std::string all;
    for (const std::string& b : Stream(176, 144, 10))
        all += b;
    Feed(all, 1500);
    ASSERT_TRUE(Wait([&] {
        std::lock_guard<std::mutex> lk(sink.mu);
        return sink.width == 176 && sink.frames >= 3;
    }));
    PLAYER_STATS st{};
    ASSERT_TRUE(PlayerGetStats(port, &st));
    EXPECT_GT(st.nBlocksTaken, 0);
}

TEST(PlayerPorts, PortsAreDistinctAndUnknownPortsAreRefused)
{
    LONG a = 0, b = 0;
    ASSERT_TRUE(PlayerGetFreePort(&a));
    ASSERT_TRUE(PlayerGetFreePort(&b));
    EXPECT_NE(a, b);
    EXPECT_TRUE(PlayerReleasePort(a));
    EXPECT_TRUE(PlayerReleasePort(b));
    EXPECT_FALSE(PlayerReleasePort(b));
    BYTE x[4] = {};
    for (LONG p : {LONG(0), LONG(-1), kPlayerMaxPorts + 1, a}) {
        EXPECT_FALSE(PlayerInputData(p, x, sizeof x));
        EXPECT_FALSE(PlayerPlay(p, nullptr));
        EXPECT_FALSE(PlayerSetInfoCallBack(p, nullptr, nullptr));
        EXPECT_EQ(PlayerQueryTime(p), 0);
    }
    EXPECT_FALSE(PlayerGetFreePort(nullptr));
}

} // namespace

// YUV 4:2:0 conversion against a reference computed here from the fixed-point formula.
#include "Common/YuvConvert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <vector>

namespace {

struct Frame {
    int width, height;
    std::vector<uint8_t> y, v, u;
};

Frame RandomFrame(int width, int height, unsigned seed)
{
    std::mt19937 rng(seed);
    Frame f{width, height, {}, {}, {}};
    f.y.resize(size_t(width) * height);
    f.v.resize(size_t(width / 2) * (height / 2));
    f.u.resize(f.v.size());
    for (auto* plane : {&f.y, &f.v, &f.u})
        for (auto& b : *plane)
            b = uint8_t(rng());
    return f;
}

int Clamp(int v) { return std::min(255, std::max(0, v)); }

// Bytes R, G, B, 255 of pixel (x, y) by the formula, reading source row `sy`.
std::vector<uint8_t> Reference(const Frame& f, int x, int sy)
{
    const int L = 9535 * (f.y[size_t(sy) * f.width + x] - 16);
    const int v = f.v[size_t(sy / 2) * (f.width / 2) + x / 2];
    const int u = f.u[size_t(sy / 2) * (f.width / 2) + x / 2];
    return {uint8_t(Clamp((L + 13074 * (v - 128)) >> 13)),
            uint8_t(Clamp((L - 6660 * (v - 128) - 3203 * (u - 128)) >> 13)),
            uint8_t(Clamp((L + 16531 * (u - 128)) >> 13)), 255};
}

std::vector<uint8_t> Bytes(uint32_t pixel)
{
    const uint8_t* b = reinterpret_cast<const uint8_t*>(&pixel);
    return {b[0], b[1], b[2], b[3]};
}

TEST(Yuv, MatchesTheReferenceUprightAndFlipped)
{
    InitYuvTables();
    const Frame f = RandomFrame(64, 48, 7);
    std::vector<uint32_t> up(size_t(64) * 48), down(up.size());
    Yuv420ToRgb32(up.data(), 64, f.y.data(), f.v.data(), f.u.data(), 64, 32, 64, 48);
    Yuv420ToRgb32(down.data(), 64, f.y.data(), f.v.data(), f.u.data(), 64, 32, 64, -48);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(Reference(f, x, y), Bytes(up[size_t(y) * 64 + x])) << x << "," << y;
            ASSERT_EQ(Reference(f, x, 47 - y), Bytes(down[size_t(y) * 64 + x])) << x << "," << y;
        }
    }
}

TEST(Yuv, KnownColours)
{
    struct Case {
        uint8_t y, v, u;
        std::vector<uint8_t> rgba;
    } cases[] = {
        {128, 128, 128, {130, 130, 130, 255}},
        {16, 128, 128, {0, 0, 0, 255}},
        {235, 128, 128, {254, 254, 254, 255}},
        {255, 255, 255, {255, 125, 255, 255}},
        {0, 0, 0, {0, 135, 0, 255}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> y(4, c.y), v(1, c.v), u(1, c.u);
        std::vector<uint32_t> out(4, 0);
        Yuv420ToRgb32(out.data(), 2, y.data(), v.data(), u.data(), 2, 1, 2, 2);
        for (uint32_t px : out)
            EXPECT_EQ(c.rgba, Bytes(px)) << int(c.y) << "/" << int(c.v) << "/" << int(c.u);
    }
}

TEST(Yuv, OddLastRowAndColumnStayUnwritten)
{
    const Frame f = RandomFrame(6, 4, 3);
    // A 5 x 3 picture inside the 6 x 4 planes, written to a pitch of 8 pixels.
    std::vector<uint32_t> out(size_t(8) * 4, 0xDEADBEEF);
    Yuv420ToRgb32(out.data(), 8, f.y.data(), f.v.data(), f.u.data(), 6, 3, 5, 3);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool written = y < 2 && x < 4;
            EXPECT_EQ(written, out[size_t(y) * 8 + x] != 0xDEADBEEF) << x << "," << y;
        }
    }
}

const YuvKernel kKernels[] = {YuvKernel::Plain, YuvKernel::Sse2, YuvKernel::Avx2, YuvKernel::Avx512};

// Every routine of this build, at widths around its vector steps, with padded strides and pitch,
// upright and flipped; the bottom-right pitch padding stays untouched.
TEST(Yuv, EveryRoutineMatchesTheReferenceAtAnyWidth)
{
    struct Size {
        int width, height;
    } sizes[] = {{2, 2},  {14, 2}, {16, 4}, {18, 2}, {30, 6},  {32, 2},
                 {34, 4}, {62, 2}, {64, 8}, {66, 6}, {98, 10}, {114, 2}, {130, 4}};
    int ran = 0;
    for (YuvKernel kernel : kKernels) {
        for (const Size& s : sizes) {
            const int lumaStride = s.width + 5, chromaStride = s.width / 2 + 3, pitch = s.width + 3;
            Frame f = RandomFrame(lumaStride, s.height, unsigned(s.width * 31 + s.height));
            f.v.resize(size_t(chromaStride) * (s.height / 2));
            f.u.resize(f.v.size());
            for (size_t i = 0; i < f.v.size(); ++i) {
                f.v[i] = uint8_t(i * 37 + 11);
                f.u[i] = uint8_t(i * 101 + 5);
            }
            for (int flip : {1, -1}) {
                std::vector<uint32_t> out(size_t(pitch) * s.height, 0xDEADBEEF);
                if (!Yuv420ToRgb32Using(kernel, out.data(), pitch, f.y.data(), f.v.data(), f.u.data(), lumaStride,
                                        chromaStride, s.width, flip * s.height))
                    break;
                ++ran;
                for (int y = 0; y < s.height; ++y) {
                    const int sy = flip > 0 ? y : s.height - 1 - y;
                    for (int x = 0; x < pitch; ++x) {
                        const uint32_t px = out[size_t(y) * pitch + x];
                        if (x >= s.width) {
                            ASSERT_EQ(0xDEADBEEFu, px) << int(kernel) << " " << s.width << " x " << x;
                            continue;
                        }
                        const int L = 9535 * (f.y[size_t(sy) * lumaStride + x] - 16);
                        const int v = f.v[size_t(sy / 2) * chromaStride + x / 2] - 128;
                        const int u = f.u[size_t(sy / 2) * chromaStride + x / 2] - 128;
                        const std::vector<uint8_t> want = {uint8_t(Clamp((L + 13074 * v) >> 13)),
                                                           uint8_t(Clamp((L - 6660 * v - 3203 * u) >> 13)),
                                                           uint8_t(Clamp((L + 16531 * u) >> 13)), 255};
                        ASSERT_EQ(want, Bytes(px)) << "routine " << int(kernel) << ", " << s.width << " x "
                                                   << s.height * flip << ", pixel " << x << "," << y;
                    }
                }
            }
        }
    }
    EXPECT_GE(ran, 2 * int(std::size(sizes))) << "the plain routine always runs";
}

// All 65536 chroma pairs (V by column, U by row), each under four random luma values.
TEST(Yuv, EveryRoutineMatchesTheReferenceForEveryChromaPair)
{
    Frame f = RandomFrame(512, 512, 11);
    for (int r = 0; r < 256; ++r) {
        for (int c = 0; c < 256; ++c) {
            f.v[size_t(r) * 256 + c] = uint8_t(c);
            f.u[size_t(r) * 256 + c] = uint8_t(r);
        }
    }
    std::vector<uint32_t> want(size_t(512) * 512);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            const std::vector<uint8_t> b = Reference(f, x, y);
            want[size_t(y) * 512 + x] = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | 0xFF000000u;
        }
    for (YuvKernel kernel : kKernels) {
        std::vector<uint32_t> out(want.size());
        if (!Yuv420ToRgb32Using(kernel, out.data(), 512, f.y.data(), f.v.data(), f.u.data(), 512, 256, 512, 512))
            continue;
        for (size_t i = 0; i < out.size(); ++i)
            ASSERT_EQ(want[i], out[i]) << "routine " << int(kernel) << ", pixel " << i % 512 << "," << i / 512;
    }
}

} // namespace

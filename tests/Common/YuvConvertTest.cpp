// YUV 4:2:0 conversion against a reference computed here from the fixed-point formula.
#include "Common/YuvConvert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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

} // namespace

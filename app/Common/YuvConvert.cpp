#include "Common/YuvConvert.h"

#include <cstddef>
#include <cstdlib>
#include <vector>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are written as little-endian words");

namespace {

struct YuvTables {
    int32_t luma[256];
    int32_t redFromV[256];
    int32_t blueFromU[256];
    int32_t greenFromU[256];
    int32_t greenFromV[256];
};

YuvTables g_tables;

// Sums reach about -280..540 after the shift; the clamp table covers -1024..1023.
uint8_t g_clamp[2048];
const uint8_t* const kClamp = g_clamp + 1024;

struct AutoInit {
    AutoInit() { InitYuvTables(); }
} g_autoInit;

// The tables are linear: the same sums as luma[y] + redFromV[v] and so on, then clamped.
void SpreadChroma(const uint8_t* __restrict__ planeP, const uint8_t* __restrict__ planeQ, int count,
                  int32_t* __restrict__ red, int32_t* __restrict__ green, int32_t* __restrict__ blue)
{
    for (int col = 0; col < count; ++col) {
        const int32_t p = planeP[col] - 128, q = planeQ[col] - 128;
        red[2 * col] = red[2 * col + 1] = 13074 * p;
        blue[2 * col] = blue[2 * col + 1] = 16531 * q;
        green[2 * col] = green[2 * col + 1] = 6660 * p + 3203 * q;
    }
}

inline int32_t Clamp8(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Sanitizer runtimes are not up yet when an ifunc resolver runs: one plain version there.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
#define VX_PIXEL_CLONES
#else
#define VX_PIXEL_CLONES , target_clones("arch=x86-64-v4", "avx2", "default")
#endif

__attribute__((optimize("O3") VX_PIXEL_CLONES)) void
PixelRows(const uint8_t* __restrict__ y0, const uint8_t* __restrict__ y1, const int32_t* __restrict__ red,
          const int32_t* __restrict__ green, const int32_t* __restrict__ blue, uint32_t* __restrict__ out0,
          uint32_t* __restrict__ out1, int count)
{
    for (int x = 0; x < count; ++x) {
        const int32_t r = red[x], g = green[x], b = blue[x];
        // 16-bit factors: the widening multiply is cheaper than a 32-bit one.
        const int32_t l0 = int32_t(int16_t(y0[x] - 16)) * int16_t(9535);
        const int32_t l1 = int32_t(int16_t(y1[x] - 16)) * int16_t(9535);
        out0[x] = uint32_t(Clamp8((l0 + r) >> 13)) | (uint32_t(Clamp8((l0 - g) >> 13)) << 8) |
                  (uint32_t(Clamp8((l0 + b) >> 13)) << 16) | 0xFF000000u;
        out1[x] = uint32_t(Clamp8((l1 + r) >> 13)) | (uint32_t(Clamp8((l1 - g) >> 13)) << 8) |
                  (uint32_t(Clamp8((l1 + b) >> 13)) << 16) | 0xFF000000u;
    }
}

} // namespace

void InitYuvTables()
{
    for (int i = 0; i < 256; ++i) {
        g_tables.luma[i] = 9535 * (i - 16);
        g_tables.redFromV[i] = 13074 * (i - 128);
        g_tables.blueFromU[i] = 16531 * (i - 128);
        g_tables.greenFromU[i] = 3203 * (i - 128);
        g_tables.greenFromV[i] = 6660 * (i - 128);
    }
    for (int i = -1024; i < 1024; ++i)
        g_clamp[i + 1024] = uint8_t(i < 0 ? 0 : (i > 255 ? 255 : i));
}

void Yuv420ToRgb32(uint32_t* output, int outputPitch, const uint8_t* luma, const uint8_t* planeP,
                   const uint8_t* planeQ, int lumaStride, int chromaStride, int width, int height)
{
    const int rows = std::abs(height);
    ptrdiff_t lumaStep = lumaStride;
    ptrdiff_t chromaStep = chromaStride;
    if (height < 0) {
        // Bottom-up source: start at the last rows and walk upwards.
        luma += ptrdiff_t(rows - 1) * lumaStride;
        planeP += ptrdiff_t(rows / 2 - 1) * chromaStride;
        planeQ += ptrdiff_t(rows / 2 - 1) * chromaStride;
        lumaStep = -lumaStep;
        chromaStep = -chromaStep;
    }
    // The chroma terms of a row pair are spread to full width once; the pixel loop is then
    // plain arithmetic that the compiler turns into vector code.
    const int even = width & ~1;
    thread_local std::vector<int32_t> red, green, blue;
    red.resize(size_t(even));
    green.resize(size_t(even));
    blue.resize(size_t(even));
    for (int pair = 0; pair < rows / 2; ++pair) {
        SpreadChroma(planeP, planeQ, width / 2, red.data(), green.data(), blue.data());
        PixelRows(luma, luma + lumaStep, red.data(), green.data(), blue.data(), output, output + outputPitch, even);
        luma += 2 * lumaStep;
        output += 2 * ptrdiff_t(outputPitch);
        planeP += chromaStep;
        planeQ += chromaStep;
    }
}

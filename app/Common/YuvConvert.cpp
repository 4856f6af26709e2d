#include "Common/YuvConvert.h"

#include <cstddef>
#include <cstdlib>

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

inline uint32_t Pixel(int32_t l, int32_t red, int32_t green, int32_t blue)
{
    return uint32_t(kClamp[(l + red) >> 13]) | (uint32_t(kClamp[(l - green) >> 13]) << 8) |
           (uint32_t(kClamp[(l + blue) >> 13]) << 16) | 0xFF000000u;
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
    const YuvTables& t = g_tables;
    for (int pair = 0; pair < rows / 2; ++pair) {
        const uint8_t* y0 = luma;
        const uint8_t* y1 = luma + lumaStep;
        uint32_t* out0 = output;
        uint32_t* out1 = output + outputPitch;
        for (int col = 0; col < width / 2; ++col) {
            const int p = planeP[col];
            const int q = planeQ[col];
            const int32_t red = t.redFromV[p];
            const int32_t blue = t.blueFromU[q];
            const int32_t green = t.greenFromV[p] + t.greenFromU[q];
            out0[0] = Pixel(t.luma[y0[0]], red, green, blue);
            out0[1] = Pixel(t.luma[y0[1]], red, green, blue);
            out1[0] = Pixel(t.luma[y1[0]], red, green, blue);
            out1[1] = Pixel(t.luma[y1[1]], red, green, blue);
            y0 += 2;
            y1 += 2;
            out0 += 2;
            out1 += 2;
        }
        luma += 2 * lumaStep;
        output += 2 * ptrdiff_t(outputPitch);
        planeP += chromaStep;
        planeQ += chromaStep;
    }
}

// Planar YUV 4:2:0 to 32-bit pixels (bytes R, G, B, 255 in memory) in fixed point: each channel is
// floor((9535 * (Y - 16) + chroma terms) / 8192), clamped to 0..255.
#pragma once

#include <cstdint>

// Picks the conversion routine for this CPU; called once at start-up (the first conversion does it too).
void InitYuvTables();

// `planeP` is read as V (red difference), `planeQ` as U. Pitch in pixels, strides in bytes. A negative
// height reads the source bottom-up (the picture is flipped). An odd last row or column is not written.
void Yuv420ToRgb32(uint32_t* output, int outputPitch, const uint8_t* luma, const uint8_t* planeP,
                   const uint8_t* planeQ, int lumaStride, int chromaStride, int width, int height);

// The routines a build may have; all give the same pixels. Yuv420ToRgb32 uses the fastest this CPU
// runs (the plain one under the sanitizers).
enum class YuvKernel { Plain, Sse2, Avx2, Avx512 };

// Yuv420ToRgb32 through one routine; false (nothing written) when this build or CPU lacks it.
bool Yuv420ToRgb32Using(YuvKernel kernel, uint32_t* output, int outputPitch, const uint8_t* luma,
                        const uint8_t* planeP, const uint8_t* planeQ, int lumaStride, int chromaStride, int width,
                        int height);

// Planar YUV 4:2:0 to 32-bit pixels (bytes R, G, B, 255 in memory) with integer lookup tables.
#pragma once

#include <cstdint>

// Builds the five tables; called once at start-up, again rebuilds the same values.
void InitYuvTables();

// `planeP` is read as V (red difference), `planeQ` as U. Pitch in pixels, strides in bytes. A negative
// height reads the source bottom-up (the picture is flipped). An odd last row or column is not written.
void Yuv420ToRgb32(uint32_t* output, int outputPitch, const uint8_t* luma, const uint8_t* planeP,
                   const uint8_t* planeQ, int lumaStride, int chromaStride, int width, int height);

// Encode tables: capture sizes by index (PAL and NTSC), bit-rate steps, the recommended bit-rate
// range of a resolution and frame rate, and the size stamping of one record. Pure functions.
#pragma once

#include <cstdint>

constexpr int kCaptureSizeCount = 43;
constexpr int kNamedCaptureSizes = 33;
constexpr int kReferenceAreaPal = 101376;  // 352 x 288
constexpr int kReferenceAreaNtsc = 84480;  // 352 x 240
constexpr int kStampedRecordBytes = 13520;

void CaptureSizeDimensions(int index, int& width, int& height, int ntsc);
int CaptureSizeFromDimensions(int width, int height, int ntsc);
int CaptureSizeFromName(const wchar_t* name);
// Short name of a named index (0..32), else null.
const wchar_t* CaptureSizeName(int index);
int RoundToMultiple(int value, int step);
int NearestBitRateStep(int low, int high, int limit);
void RecommendBitRateRange(const int reference[2], int index, int baseRate, int& low, int& high, int frameRate,
                           int ntsc);
int RecommendBitRate(const int reference[2], const wchar_t* resolution, int baseRate, int& low, int& high,
                     int frameRate, int ntsc, int limit);
void* StampRecordSizes(void* record);

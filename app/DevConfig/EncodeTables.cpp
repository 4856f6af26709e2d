// Encode tables; see the header.
#include "DevConfig/EncodeTables.h"

#include <cmath>
#include <cstring>
#include <cwchar>
#include <initializer_list>

namespace {

struct CaptureSize {
    const wchar_t* name;
    int width;
    int palHeight;
    int ntscHeight;
};

const CaptureSize kSizes[kCaptureSizeCount] = {
    {L"D1", 704, 576, 480},          {L"HD1", 352, 576, 480},       {L"BCIF", 704, 288, 240},
    {L"CIF", 352, 288, 240},         {L"QCIF", 176, 144, 120},      {L"VGA", 640, 480, 480},
    {L"QVGA", 320, 240, 240},        {L"SVCD", 480, 480, 480},      {L"QQVGA", 160, 128, 128},
    {L"SVGA", 800, 592, 592},        {L"XVGA", 1024, 768, 768},     {L"WXGA", 1280, 800, 800},
    {L"SXGA", 1280, 1024, 1024},     {L"WSXGA", 1600, 1024, 1024},  {L"UXGA", 1600, 1200, 1200},
    {L"WUXGA", 1920, 1200, 1200},    {L"LFT", 240, 192, 192},       {L"720P", 1280, 720, 720},
    {L"1080P", 1920, 1080, 1080},    {L"1.3M", 1280, 960, 960},     {L"2M", 1872, 1408, 1408},
    {L"5M", 3744, 1408, 1408},       {L"3M", 2048, 1536, 1536},     {L"5.0M", 2432, 2050, 2050},
    {L"1.2M", 1216, 1024, 1024},     {L"1408*1024", 1408, 1024, 1024}, {L"8M", 3296, 2472, 2472},
    {L"5M", 2560, 1920, 1920},       {L"960H", 960, 576, 480},      {L"960", 960, 720, 720},
    {L"NHD", 640, 360, 360},         {L"QNHD", 320, 180, 180},      {L"QQNHD", 160, 90, 90},
    {nullptr, 2560, 1600, 1600},     {nullptr, 2336, 1752, 1752},   {nullptr, 2592, 2048, 2048},
    {nullptr, 2448, 2048, 2048},     {nullptr, 1920, 1440, 1440},   {nullptr, 2752, 2208, 2208},
    {nullptr, 3840, 2160, 2160},     {nullptr, 4096, 2160, 2160},   {nullptr, 3072, 2048, 2048},
    {nullptr, 3648, 2736, 2736},
};

const int kBitRateSteps[] = {32,  48,  64,  80,   96,   128,  160,  192,  224,  256,  320,  384,  448,
                             512, 640, 768, 896,  1024, 1280, 1536, 1792, 2048, 4096, 6144, 8192, 0};

int64_t Snap(int64_t x)
{
    if (x < 4)
        return x;
    int k = int(std::log(double(x)) / std::log(2.0));
    int64_t q = (int64_t(1) << k) / 4;
    if (q == 0)
        return x;
    int64_t r = x % q;
    return r < q / 2 ? x - r : x - r + q;
}

void Put(void* record, size_t offset, int32_t value) { std::memcpy(static_cast<char*>(record) + offset, &value, 4); }

} // namespace

void CaptureSizeDimensions(int index, int& width, int& height, int ntsc)
{
    if (index < 0 || index >= kCaptureSizeCount)
        return;
    width = kSizes[index].width;
    height = ntsc ? kSizes[index].ntscHeight : kSizes[index].palHeight;
}

int CaptureSizeFromDimensions(int width, int height, int ntsc)
{
    for (int i = 0; i < kNamedCaptureSizes; ++i) {
        int w = 0, h = 0;
        CaptureSizeDimensions(i, w, h, ntsc);
        if (w == width && h == height)
            return i;
    }
    return 0;
}

int CaptureSizeFromName(const wchar_t* name)
{
    if (!name)
        return -1;
    for (int i = 0; i < kNamedCaptureSizes; ++i)
        if (std::wcscmp(kSizes[i].name, name) == 0)
            return i;
    return -1;
}

const wchar_t* CaptureSizeName(int index)
{
    return index >= 0 && index < kNamedCaptureSizes ? kSizes[index].name : nullptr;
}

int RoundToMultiple(int value, int step)
{
    if (step == 0)
        return value;
    int down = value / step * step;
    return value - down >= (step + 1) / 2 ? down + step : down;
}

int NearestBitRateStep(int low, int high, int limit)
{
    const int mid = (low + high) / 2;
    for (int i = 0; kBitRateSteps[i] != 0; ++i) {
        if (limit && kBitRateSteps[i] > 4096)
            return 4096; // the scan stops at 4096
        if (kBitRateSteps[i] >= mid)
            return kBitRateSteps[i];
    }
    return 0;
}

void RecommendBitRateRange(const int reference[2], int index, int baseRate, int& low, int& high, int frameRate,
                           int ntsc)
{
    if (frameRate < 1)
        frameRate = 50;
    if (frameRate > 149)
        frameRate = 50;
    int w = 0, h = 0;
    CaptureSizeDimensions(index, w, h, ntsc);
    const int64_t area = int64_t(w) * h;
    const int64_t ref = reference[0] == 0 && reference[1] != 0 ? kReferenceAreaNtsc : kReferenceAreaPal;
    const int64_t p = int64_t(frameRate + 2) * baseRate;
    int64_t lo = (p * 7) / frameRate * area / ref;
    if (lo > 8192)
        lo = 8192;
    int64_t hi = (p * 40) / frameRate * area / ref;
    low = int(Snap(lo));
    high = int(Snap(hi));
}

int RecommendBitRate(const int reference[2], const wchar_t* resolution, int baseRate, int& low, int& high,
                     int frameRate, int ntsc, int limit)
{
    int index = CaptureSizeFromName(resolution);
    RecommendBitRateRange(reference, index, baseRate, low, high, frameRate, ntsc);
    return NearestBitRateStep(low, high, limit);
}

void* StampRecordSizes(void* record)
{
    if (!record)
        return record;
    Put(record, 0, 13520);
    Put(record, 4, 88);
    Put(record, 92, 92);
    for (size_t off : {28, 48, 68, 116, 136, 156})
        Put(record, off, 20);
    for (size_t i = 0; i < 16; ++i) {
        Put(record, 188 + 88 * i, 88);
        Put(record, 212 + 88 * i, 20);
        Put(record, 232 + 88 * i, 20);
        Put(record, 252 + 88 * i, 20);
    }
    for (size_t i = 0; i < 8; ++i) {
        Put(record, 1600 + 1148 * i, 1148);
        Put(record, 1624 + 1148 * i, 20);
        Put(record, 1644 + 1148 * i, 20);
        Put(record, 1664 + 1148 * i, 20);
    }
    return record;
}

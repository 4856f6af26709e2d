// The encode tables: capture sizes, bit-rate steps, recommended ranges, record stamping.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "DevConfig/EncodeTables.h"

namespace {

TEST(EncodeTables, CaptureSizesByIndexSizeAndName)
{
    struct Dim {
        int index, ntsc, width, height;
    };
    for (const Dim& d : {Dim{0, 0, 704, 576}, Dim{0, 1, 704, 480}, Dim{4, 1, 176, 120}, Dim{18, 1, 1920, 1080},
                         Dim{28, 1, 960, 480}, Dim{42, 0, 3648, 2736}}) {
        SCOPED_TRACE(d.index);
        int w = -1, h = -1;
        CaptureSizeDimensions(d.index, w, h, d.ntsc);
        EXPECT_EQ(w, d.width);
        EXPECT_EQ(h, d.height);
    }
    int w = -1, h = -1;
    CaptureSizeDimensions(43, w, h, 0);
    CaptureSizeDimensions(-1, w, h, 0);
    EXPECT_EQ(w, -1) << "outside the table writes nothing";

    struct FromDim {
        int width, height, ntsc, index;
    };
    for (const FromDim& f : {FromDim{704, 480, 1, 0}, FromDim{704, 576, 0, 0}, FromDim{1280, 720, 0, 17},
                             FromDim{352, 240, 1, 3}, FromDim{352, 240, 0, 0}, FromDim{2560, 1600, 0, 0},
                             FromDim{2560, 1600, 1, 0}, FromDim{1, 1, 0, 0}}) {
        SCOPED_TRACE(std::to_string(f.width) + "x" + std::to_string(f.height));
        EXPECT_EQ(CaptureSizeFromDimensions(f.width, f.height, f.ntsc), f.index);
    }
    EXPECT_EQ(CaptureSizeFromName(L"5M"), 21);
    EXPECT_EQ(CaptureSizeFromName(L"1080P"), 18);
    EXPECT_EQ(CaptureSizeFromName(L"QQNHD"), 32);
    EXPECT_EQ(CaptureSizeFromName(L"1080p"), -1);
    EXPECT_EQ(CaptureSizeFromName(L""), -1);
    EXPECT_EQ(CaptureSizeFromName(nullptr), -1);
}

TEST(EncodeTables, RoundingAndBitRateSteps)
{
    EXPECT_EQ(RoundToMultiple(10, 4), 12);
    EXPECT_EQ(RoundToMultiple(9, 4), 8);
    EXPECT_EQ(RoundToMultiple(9, 0), 9);
    struct Step {
        int low, high, limit, step;
    };
    for (const Step& s : {Step{5000, 7000, 0, 6144}, Step{5000, 7000, 1, 4096}, Step{9000, 9000, 0, 0},
                          Step{0, 0, 0, 32}, Step{100, 100, 0, 128}, Step{8192, 8192, 0, 8192},
                          Step{1000, 1000, 1, 1024}}) {
        SCOPED_TRACE(std::to_string(s.low) + "," + std::to_string(s.high) + "," + std::to_string(s.limit));
        EXPECT_EQ(NearestBitRateStep(s.low, s.high, s.limit), s.step);
    }
}

TEST(EncodeTables, RecommendedRangeOutOfRangeFrameRatesCountAs50)
{
    const int pal[2] = {0, 0};
    int lo50 = 0, hi50 = 0, lo = 0, hi = 0;
    RecommendBitRateRange(pal, 3, 16, lo50, hi50, 50, 0);
    for (int fps : {0, -3, 150, 400}) {
        RecommendBitRateRange(pal, 3, 16, lo, hi, fps, 0);
        EXPECT_EQ(lo, lo50) << fps;
        EXPECT_EQ(hi, hi50) << fps;
    }
    // CIF at 25 fps, base 16: P = 432, low = 120 -> snapped to 128, high = 691 -> 640.
    RecommendBitRateRange(pal, 3, 16, lo, hi, 25, 0);
    EXPECT_EQ(lo, 128);
    EXPECT_EQ(hi, 640);
    // The NTSC reference area applies when the pair is (0, nonzero).
    const int ntscRef[2] = {0, 1};
    RecommendBitRateRange(ntscRef, 3, 16, lo, hi, 25, 1);
    EXPECT_EQ(lo, 128);
    // A very large picture caps the low end at 8192.
    RecommendBitRateRange(pal, 42, 200, lo, hi, 25, 0);
    EXPECT_EQ(lo, 8192);
    EXPECT_GT(hi, 8192);
    EXPECT_EQ(RecommendBitRate(pal, L"CIF", 16, lo, hi, 25, 0, 0), 384);
}

TEST(EncodeTables, StampWritesOnlyTheSizeFields)
{
    std::vector<unsigned char> rec(kStampedRecordBytes, 0xAB);
    EXPECT_EQ(StampRecordSizes(rec.data()), rec.data());
    auto at = [&](size_t off) {
        int32_t v;
        std::memcpy(&v, rec.data() + off, 4);
        return v;
    };
    EXPECT_EQ(at(0), 13520);
    EXPECT_EQ(at(4), 88);
    EXPECT_EQ(at(92), 92);
    EXPECT_EQ(at(156), 20);
    EXPECT_EQ(at(188 + 88 * 15), 88);
    EXPECT_EQ(at(252 + 88 * 15), 20);
    EXPECT_EQ(at(1600 + 1148 * 7), 1148);
    EXPECT_EQ(at(1664 + 1148 * 7), 20);
    EXPECT_EQ(rec[8], 0xAB);
    EXPECT_EQ(rec[kStampedRecordBytes - 1], 0xAB);
}

} // namespace

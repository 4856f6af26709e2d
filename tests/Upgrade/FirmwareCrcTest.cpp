// The device's checksum of arriving pieces agrees with the firmware maker's for every length,
// alignment and split, so that a good image is never refused nor a damaged one let through.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "devsim/FirmwareCrc.h"
#include "fwmake/FirmwareImage.h"

namespace {

TEST(FirmwareCrc, AgreesWithTheMakerForEveryLengthAndAlignment)
{
    EXPECT_EQ(devsim::FirmwareCrc32(0, "123456789", 9), 0xCBF43926u);
    std::mt19937 rng(7);
    std::vector<uint8_t> data(4096 + 64);
    for (auto& b : data)
        b = uint8_t(rng());
    for (size_t len = 0; len <= 1100; ++len)
        for (size_t offset : {0, 1, 7, 15}) {
            const uint32_t seed = len % 3 == 0 ? 0u : uint32_t(rng());
            ASSERT_EQ(devsim::FirmwareCrc32(seed, data.data() + offset, len), fwmake::Crc32(seed, data.data() + offset, len))
                << "length " << len << ", offset " << offset;
        }
}

TEST(FirmwareCrc, PiecesOfAnyCutGiveTheWholeImageChecksum)
{
    std::mt19937 rng(11);
    std::vector<uint8_t> data((1 << 20) + 333);
    for (auto& b : data)
        b = uint8_t(rng());
    const uint32_t whole = fwmake::Crc32(0, data.data(), data.size());
    for (size_t piece : {size_t(1), size_t(63), size_t(64), size_t(4099), size_t(65536), size_t(1) << 20}) {
        uint32_t crc = 0;
        for (size_t at = 0; at < data.size(); at += piece)
            crc = devsim::FirmwareCrc32(crc, data.data() + at, std::min(piece, data.size() - at));
        EXPECT_EQ(crc, whole) << "pieces of " << piece;
    }
}

} // namespace

// Receiving frames straight into the reader (Room/Commit, reading no further than Missing) gives
// the same requests as feeding copies, whatever the cut, and still stops at a bad header.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "devsdk/Wire.h"

namespace {

namespace wire = devsdk::wire;

std::string Stream(std::vector<wire::Frame>& sent)
{
    std::mt19937 rng(5);
    std::string bytes;
    for (size_t size : {size_t(0), size_t(1), size_t(1) << 20, size_t(70000), size_t(3), (size_t(1) << 20) + 17}) {
        Json::Value body(Json::objectValue);
        body["offset"] = Json::Int64(bytes.size());
        std::string bin(size, '\0');
        for (auto& c : bin)
            c = char(rng());
        wire::Frame f;
        f.kind = wire::kRequest;
        f.op = wire::kOpUpgradeData;
        f.seq = uint32_t(sent.size() + 1);
        f.json = wire::WriteCompact(body);
        f.bin = bin;
        sent.push_back(f);
        bytes += wire::Encode(f.kind, f.op, f.seq, f.json, f.bin);
    }
    return bytes;
}

TEST(FrameReceive, ReadingIntoTheReaderGivesTheFramesOfFeedingIt)
{
    std::vector<wire::Frame> sent;
    const std::string bytes = Stream(sent);
    for (size_t block : {size_t(1), size_t(7), size_t(4096), size_t(512) * 1024}) {
        SCOPED_TRACE("blocks of " + std::to_string(block));
        wire::FrameReader reader;
        wire::Frame f; // reused, as the device's transfer reader does
        size_t at = 0, got = 0;
        while (got < sent.size()) {
            wire::FrameReader::Status st = reader.Next(f);
            ASSERT_NE(st, wire::FrameReader::kBad);
            if (st == wire::FrameReader::kFrame) {
                EXPECT_EQ(f.seq, sent[got].seq);
                EXPECT_EQ(f.json, sent[got].json);
                EXPECT_TRUE(f.bin == sent[got].bin) << "frame " << got;
                ++got;
                continue;
            }
            const size_t want = std::min({std::max<size_t>(reader.Missing(), 1), block, bytes.size() - at});
            ASSERT_GT(want, 0u) << "the reader waits for bytes the stream does not have";
            std::memcpy(reader.Room(want), bytes.data() + at, want);
            reader.Commit(want);
            at += want;
        }
        EXPECT_EQ(at, bytes.size());
        EXPECT_EQ(reader.Buffered(), 0u);
        EXPECT_EQ(reader.Missing(), wire::kHeaderSize);
    }
}

TEST(FrameReceive, MissingCountsToTheEndOfTheFrameAndABadHeaderStopsTheReader)
{
    const std::string frame = wire::Encode(wire::kRequest, wire::kOpUpgradeData, 9, std::string("{}"), std::string(1000, 'x'));
    wire::FrameReader reader;
    EXPECT_EQ(reader.Missing(), wire::kHeaderSize);
    reader.Feed(frame.data(), 5);
    EXPECT_EQ(reader.Missing(), wire::kHeaderSize - 5);
    std::memcpy(reader.Room(100), frame.data() + 5, 100);
    reader.Commit(100);
    EXPECT_EQ(reader.Missing(), frame.size() - 105);
    reader.Feed(frame.data() + 105, frame.size() - 105);
    EXPECT_EQ(reader.Missing(), 0u);
    wire::Frame f;
    ASSERT_EQ(reader.Next(f), wire::FrameReader::kFrame);
    EXPECT_EQ(f.bin, std::string(1000, 'x'));

    std::string bad = frame;
    bad[0] = 'Z';
    std::memcpy(reader.Room(bad.size()), bad.data(), bad.size());
    reader.Commit(bad.size());
    EXPECT_EQ(reader.Next(f), wire::FrameReader::kBad);
    std::memcpy(reader.Room(frame.size()), frame.data(), frame.size());
    reader.Commit(frame.size());
    EXPECT_EQ(reader.Next(f), wire::FrameReader::kBad) << "a bad reader stays bad";
    EXPECT_EQ(reader.Buffered(), 0u);
}

} // namespace

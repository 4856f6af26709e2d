// Receiving frames straight into the reader (Room/Commit, reading no further than Missing) or large
// tails straight into the frame (NextHead) gives the requests sent, whatever the cut, and still
// stops at a bad header.
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

// Reads the stream as the device's transfer reader does: heads into the reader, large tails
// straight into the frame, never past the end of the current frame.
void ReadLikeTheDevice(const std::string& bytes, const std::vector<wire::Frame>& sent, size_t block, size_t directTail)
{
    wire::FrameReader reader;
    wire::Frame f; // reused
    size_t at = 0, got = 0, tailAt = 0;
    bool inTail = false;
    while (got < sent.size()) {
        wire::FrameReader::Status st = wire::FrameReader::kNeedMore;
        if (inTail) {
            if (tailAt == f.bin.size()) {
                inTail = false;
                st = wire::FrameReader::kFrame;
            }
        } else {
            st = reader.Next(f);
            size_t have = 0;
            if (st == wire::FrameReader::kNeedMore && (st = reader.NextHead(f, directTail, &have)) == wire::FrameReader::kFrame) {
                inTail = true;
                tailAt = have;
                st = wire::FrameReader::kNeedMore;
            }
        }
        ASSERT_NE(st, wire::FrameReader::kBad);
        if (st == wire::FrameReader::kFrame) {
            EXPECT_EQ(f.seq, sent[got].seq);
            EXPECT_EQ(f.json, sent[got].json);
            EXPECT_TRUE(f.bin == sent[got].bin) << "frame " << got;
            ++got;
            continue;
        }
        size_t want = inTail ? f.bin.size() - tailAt : (reader.HeadMissing() ? reader.HeadMissing() : reader.Missing());
        want = std::min({std::max<size_t>(want, 1), block, bytes.size() - at});
        ASSERT_GT(want, 0u) << "the reader waits for bytes the stream does not have";
        if (inTail) {
            std::memcpy(&f.bin[tailAt], bytes.data() + at, want);
            tailAt += want;
        } else {
            std::memcpy(reader.Room(want), bytes.data() + at, want);
            reader.Commit(want);
        }
        at += want;
    }
    EXPECT_EQ(at, bytes.size());
    EXPECT_EQ(reader.Buffered(), 0u);
    EXPECT_EQ(reader.Missing(), wire::kHeaderSize);
}

TEST(FrameReceive, ReadingIntoTheReaderOrTheFrameGivesTheFramesSent)
{
    std::vector<wire::Frame> sent;
    const std::string bytes = Stream(sent);
    for (size_t block : {size_t(1), size_t(7), size_t(4096), size_t(512) * 1024})
        for (size_t directTail : {size_t(1), size_t(65536), size_t(16) << 20}) {
            SCOPED_TRACE("blocks of " + std::to_string(block) + ", tails from " + std::to_string(directTail));
            ReadLikeTheDevice(bytes, sent, block, directTail);
        }
}

TEST(FrameReceive, NextHeadLeavesWholeFramesAndBadHeadersToNext)
{
    const std::string frame = wire::Encode(wire::kRequest, wire::kOpUpgradeData, 3, std::string("{\"offset\":0}"), std::string(5000, 'y'));
    wire::FrameReader reader;
    wire::Frame f;
    size_t have = 99;
    reader.Feed(frame.data(), 30); // the head is not complete yet
    EXPECT_EQ(reader.HeadMissing(), wire::kHeaderSize + 12 - 30);
    EXPECT_EQ(reader.NextHead(f, 1, &have), wire::FrameReader::kNeedMore);
    reader.Feed(frame.data() + 30, frame.size() - 30); // now whole: Next takes it
    EXPECT_EQ(reader.NextHead(f, 1, &have), wire::FrameReader::kNeedMore);
    ASSERT_EQ(reader.Next(f), wire::FrameReader::kFrame);
    reader.Feed(frame.data(), 100);
    EXPECT_EQ(reader.NextHead(f, 6000, &have), wire::FrameReader::kNeedMore) << "a small tail goes through the reader";
    ASSERT_EQ(reader.NextHead(f, 4096, &have), wire::FrameReader::kFrame);
    EXPECT_EQ(have, 100u - wire::kHeaderSize - 12);
    EXPECT_EQ(f.bin.size(), 5000u);
    EXPECT_EQ(reader.Buffered(), 0u);

    std::string bad = frame;
    bad[16] = char(0xFF); // a tail over the limit
    bad[19] = char(0x7F);
    reader.Feed(bad.data(), 100);
    EXPECT_EQ(reader.NextHead(f, 1, &have), wire::FrameReader::kBad);
    EXPECT_EQ(reader.Next(f), wire::FrameReader::kBad);
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

// Splits the byte stream of a live view into its blocks (PROTOCOL.md, "Live view"): a 32-byte
// header ("VXSF", picture size, frame, channel, focus peak, time, label length, video length),
// the label and the H.264 access unit. Damaged bytes are skipped up to the next header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace player {

struct StreamBlock {
    int width = 0;
    int height = 0;
    uint32_t frame = 0;
    int32_t channel = 0;
    int32_t focusPeak = -1; // -1: no focus report in this block
    std::string video;      // H.264, Annex B
};

class BlockSplitter {
public:
    static constexpr size_t kHeaderSize = 32;
    static constexpr size_t kMaxLabel = 1024;

    // capacity: most bytes held at once (the stream buffer); a block larger than it is dropped.
    explicit BlockSplitter(size_t capacity) : capacity_(capacity) {}

    // Appends bytes; false (nothing taken) when they do not fit.
    bool Feed(const uint8_t* data, size_t len);
    // One whole block out, or false when more bytes are needed.
    bool Next(StreamBlock& out);
    size_t Buffered() const { return buf_.size() - pos_; }
    // Bytes skipped as damaged so far.
    size_t Skipped() const { return skipped_; }
    void Clear();

private:
    void Compact();

    size_t capacity_;
    std::string buf_;
    size_t pos_ = 0;
    size_t skipped_ = 0;
};

} // namespace player

// Stream block splitting; see the header.
#include "player/StreamBlock.h"

#include <cstring>

namespace player {

namespace {

uint32_t U32(const char* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v; // little-endian hosts only, as the protocol
}

const char kMagic[4] = {'V', 'X', 'S', 'F'};

} // namespace

void BlockSplitter::Clear()
{
    buf_.clear();
    pos_ = 0;
}

void BlockSplitter::Compact()
{
    if (pos_ > 0 && (pos_ >= buf_.size() / 2 || pos_ > 65536)) {
        buf_.erase(0, pos_);
        pos_ = 0;
    }
}

bool BlockSplitter::Feed(const uint8_t* data, size_t len)
{
    if (!data || len == 0)
        return true;
    Compact();
    if (Buffered() + len > capacity_)
        return false;
    buf_.append(reinterpret_cast<const char*>(data), len);
    return true;
}

bool BlockSplitter::Next(StreamBlock& out)
{
    for (;;) {
        size_t avail = buf_.size() - pos_;
        if (avail < kHeaderSize) {
            Compact();
            return false;
        }
        const char* h = buf_.data() + pos_;
        if (std::memcmp(h, kMagic, 4) != 0) {
            // Resynchronise on the next header.
            const void* found = memmem(h + 1, avail - 1, kMagic, 4);
            size_t skip = found ? size_t(static_cast<const char*>(found) - h) : avail - 3;
            pos_ += skip;
            skipped_ += skip;
            continue;
        }
        uint32_t size = U32(h + 4), label = U32(h + 24), video = U32(h + 28);
        if (label > kMaxLabel || video > capacity_ || kHeaderSize + label + video > capacity_) {
            pos_ += 1; // not a header after all, or a block no buffer can hold
            skipped_ += 1;
            continue;
        }
        size_t total = kHeaderSize + label + video;
        if (avail < total) {
            Compact();
            return false;
        }
        out.width = int(size & 0xFFFF);
        out.height = int(size >> 16);
        out.frame = U32(h + 8);
        out.channel = int32_t(U32(h + 12));
        out.focusPeak = int32_t(U32(h + 16));
        out.video.assign(h + kHeaderSize + label, video);
        pos_ += total;
        Compact();
        return true;
    }
}

} // namespace player

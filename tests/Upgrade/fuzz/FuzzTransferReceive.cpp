// The device's transfer reader: bytes taken as it takes them (heads into the frame reader up to
// the end of each request, large binary tails straight into the request) give the same requests,
// and stop at the same bad header, as bytes fed whole. The first input byte picks the read size.
#include "devsdk/Wire.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace devsdk;

namespace {

struct Seen {
    std::vector<wire::Frame> frames;
    bool bad = false;
};

Seen Whole(const char* p, size_t size)
{
    Seen s;
    wire::FrameReader r;
    r.Feed(p, size);
    wire::Frame f;
    wire::FrameReader::Status st;
    while ((st = r.Next(f)) == wire::FrameReader::kFrame)
        s.frames.push_back(f);
    s.bad = st == wire::FrameReader::kBad;
    return s;
}

Seen LikeTheDevice(const char* p, size_t size, size_t block, size_t directTail)
{
    Seen s;
    wire::FrameReader r;
    wire::Frame f;
    size_t at = 0, tailAt = 0;
    bool inTail = false;
    for (;;) {
        wire::FrameReader::Status st = wire::FrameReader::kNeedMore;
        if (inTail) {
            if (tailAt == f.bin.size()) {
                inTail = false;
                st = wire::FrameReader::kFrame;
            }
        } else {
            st = r.Next(f);
            size_t have = 0;
            if (st == wire::FrameReader::kNeedMore && (st = r.NextHead(f, directTail, &have)) == wire::FrameReader::kFrame) {
                inTail = true;
                tailAt = have;
                st = wire::FrameReader::kNeedMore;
            }
        }
        if (st == wire::FrameReader::kBad) {
            s.bad = true;
            return s;
        }
        if (st == wire::FrameReader::kFrame) {
            s.frames.push_back(f);
            continue;
        }
        if (at == size)
            return s;
        size_t want = inTail ? f.bin.size() - tailAt : (r.HeadMissing() ? r.HeadMissing() : r.Missing());
        want = std::min({std::max<size_t>(want, 1), block, size - at});
        if (inTail) {
            std::memcpy(&f.bin[tailAt], p + at, want);
            tailAt += want;
        } else {
            std::memcpy(r.Room(want), p + at, want);
            r.Commit(want);
        }
        at += want;
    }
}

bool Same(const wire::Frame& a, const wire::Frame& b)
{
    return a.kind == b.kind && a.op == b.op && a.seq == b.seq && a.json == b.json && a.bin == b.bin;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t block = 1 + data[0] % 64;
    const size_t directTail = data[0] & 0x80 ? 0 : 16;
    const char* p = reinterpret_cast<const char*>(data + 1);
    const Seen whole = Whole(p, size - 1);
    const Seen device = LikeTheDevice(p, size - 1, block, directTail);
    if (device.frames.size() != whole.frames.size() || device.bad != whole.bad)
        __builtin_trap();
    for (size_t i = 0; i < whole.frames.size(); ++i)
        if (!Same(whole.frames[i], device.frames[i]))
            __builtin_trap();
    return 0;
}

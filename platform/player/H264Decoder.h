// H.264 access units in, planar 4:2:0 pictures out (libavcodec).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace player {

struct DecodedFrame {
    int width = 0;  // even
    int height = 0; // even
    const uint8_t* y = nullptr;
    const uint8_t* u = nullptr;
    const uint8_t* v = nullptr;
    int strideY = 0;
    int strideC = 0;
};

class H264Decoder {
public:
    // Pictures larger than this many pixels are refused (and counted as damaged).
    static constexpr int64_t kMaxPixels = 4096LL * 2304;

    H264Decoder();
    ~H264Decoder();
    H264Decoder(const H264Decoder&) = delete;
    H264Decoder& operator=(const H264Decoder&) = delete;

    bool Ok() const;
    // Decodes one access unit; calls `out` for each finished picture. Returns false when the
    // data was refused as damaged (the decoder carries on with the next unit).
    bool Decode(const uint8_t* data, size_t len, const std::function<void(const DecodedFrame&)>& out);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace player

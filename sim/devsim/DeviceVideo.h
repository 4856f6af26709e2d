// The live picture of an emulated device: a synthetic moving picture with the device name,
// channel and clock drawn on it, encoded as H.264 at the channel's current encode settings.
// One object per live view; it encodes only when asked for the next frame.
#pragma once

#include "devsim/DeviceEncode.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace devsim {

class DeviceVideo {
public:
    DeviceVideo();
    ~DeviceVideo();
    DeviceVideo(const DeviceVideo&) = delete;
    DeviceVideo& operator=(const DeviceVideo&) = delete;

    // Encodes the next picture with `settings` (a change reopens the encoder, so the next frame
    // already has the new size) and returns its H.264 access unit (Annex B), empty on failure.
    std::string EncodeFrame(const LiveEncode& settings, const std::string& label, const std::string& clock,
                            uint32_t frame);
    // The next frame is a key frame (after blocks were lost on the way).
    void RequestKeyFrame() { keyFrame_ = true; }
    // Time between frames at the current settings.
    int IntervalMs() const { return 1000 / (open_.fps > 0 ? open_.fps : 25); }
    const LiveEncode& Settings() const { return open_; }

    // Draws the picture of frame `frame` into planar YUV 4:2:0 planes (for the encoder and tests).
    static void DrawPicture(uint8_t* y, uint8_t* u, uint8_t* v, int width, int height, int strideY, int strideC,
                            const std::string& label, const std::string& clock, uint32_t frame);

private:
    bool Open(const LiveEncode& settings);
    void Close();

    struct Codec;
    std::unique_ptr<Codec> codec_;
    LiveEncode open_;
    bool keyFrame_ = true;
    int64_t pts_ = 0;
};

// Appends the encoded picture to a stream block of the device (header at its start, see
// PROTOCOL.md "Live view"): sets the picture size and the video length in the header.
void AppendVideo(std::string& block, DeviceVideo& video, const DeviceModel& model, int channel, uint32_t frame);

} // namespace devsim

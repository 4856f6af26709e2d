// Encode capabilities of an emulated device, by model family and video standard, answered
// through the JSON interface (method "encodeManager.getCaps", see PROTOCOL.md).
#pragma once

#include "devsim/DeviceModel.h"

#include <json/json.h>

namespace devsim {

// Capabilities of one channel: {"Main": stream caps, "Extra": stream caps}; stream caps hold
// Compressions[{key, name}], Resolutions[{key, name, width, height}], MaxFPS, MinBitRate,
// MaxBitRate, Audio[{key, name}], Frequencies[int].
Json::Value EncodeCaps(const DeviceState& s, int channel);
// The picture size a stream of the channel has before anything was written: the first
// resolution of its capabilities ({"width", "height"}).
Json::Value DefaultEncodeSize(const DeviceState& s, int channel, bool main);
// The JSON interface answer to an "encodeManager.getCaps" request.
Reply EncodeCapsReply(const DeviceState& s, const Json::Value& request);
// The encode settings a live view of the channel is made with, clamped to what an encoder takes.
struct LiveEncode {
    int width = 704;
    int height = 576;
    int fps = 25;
    int kbps = 1024;
};
LiveEncode LiveEncodeOf(const Json::Value& encodeTable, int channel);

} // namespace devsim

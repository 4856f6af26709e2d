// Turns what a device answered into a template record: system attributes, "VideoColor",
// "VideoInOptions" and the JSON of its "Encode" table. Every device value is type-checked; a
// value of another type counts as 0 or as an empty text.
#pragma once

#include <cstddef>
#include <string>

#include "Template/TemplateInfo.h"
#include "devsdk/DevSdkRecords.h"

namespace Json {
class Value;
}

namespace tplexport {

enum : int {
    kEncodeReplySize = 10240,  // the reply buffer of the Encode request
    kMaxReplyDepth = 64,       // nesting the reply parser accepts
};

// Codec name of a stream's "Video" object: "H.264" with profile "High" or "Baseline" becomes
// "H.264H" or "H.264B"; any other compression text is kept. At most 49 characters.
std::string StreamCodecName(const Json::Value& video);

// Fills the Encode section from the reply text (read up to its first NUL, at most size bytes).
// Returns 1 when the reply is JSON whose params.table.MainFormat holds a first stream object,
// else 0 (the section is then left as it was).
int FillEncodeFromReply(const char* reply, size_t size, tagTEMPLATE_ENCODE& encode);

// Fills VideoColor, BLCMode, DayNightMode (each id 1) and both video standards.
void FillImageSections(const ZRDEV_SYSTEM_ATTR_CFG& system, const AV_CFG_ChannelVideoColor& color,
                       const CFG_VIDEO_IN_OPTIONS& options, tagTEMPLATEINFO& info);

// The template's colour mode for a device's colour style (0 none, 1 soft, 2 standard, 3 bright).
int ColorModeOfDeviceStyle(int style);

} // namespace tplexport

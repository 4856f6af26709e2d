// Records and constants shared by the device configuration worker and its GUI logic.
#pragma once

#include <cstdint>

#include "devsdk/DevSdkRecords.h"

// Request of one encode query, packed on the GUI thread and read by the worker.
struct QUERYCONFIG {
    int32_t nMainType;         // first int
    int32_t nMainResolution;   // second int
    char szMainCompression[20];
    int32_t nSubType;          // third int
    int32_t nSubResolution;    // fourth int
    char szSubCompression[20];
    int32_t nVideoStandard;    // fifth int: the channel's video standard
};
static_assert(sizeof(QUERYCONFIG) == 60, "QUERYCONFIG is 60 bytes");


namespace devconfig {

constexpr int kDefaultPort = 37777;
constexpr int kMaxChannels = 1024;
constexpr int kPlayerBufferBytes = 921600;
constexpr uint32_t kRealDataTypeMask = 0x1F;
constexpr int kVideoInOptionsTextBytes = 5000;
constexpr int kVideoInOptionsRecordBytes = 652;
constexpr int kFocusSwitchOffset = 476;
// The devices' initial password.
constexpr const char* kInitialPassword = "korvu";
// Longest password a user entry of the device holds (bytes).
constexpr int kMaxDevicePassword = 15;

} // namespace devconfig

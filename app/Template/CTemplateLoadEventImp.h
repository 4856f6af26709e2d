// Idle stand-in of the template export page until the template feature is built: it keeps none
// of the devices handed to it.
#pragma once

#include <memory>

#include "Common/DeviceInfo.h"

class CTemplateLoadEventImp {
public:
    bool IsSupportedDevice(DEVICE_NET_INFO_EX*) { return false; }
    void AddDeviceToTree(std::shared_ptr<DEVICE_INFO>) {}
    bool MatchFilter(const char*, int, const char*) { return false; }
    void ExpandDeviceTree() {}
};

#pragma once
// A device record as the configuration page's tree lists it: IPv4, with its class and account.
#include <cstring>
#include <memory>
#include <string>

#include "Common/DeviceInfo.h"
#include "Common/StrHelpers.h"

namespace devconfigtest {

inline std::shared_ptr<DEVICE_INFO> TreeDevice(const std::string& ip, const std::string& mac, const std::string& type,
                                               const char* password = "admin123")
{
    auto device = std::make_shared<DEVICE_INFO>();
    std::memset(device.get(), 0, sizeof *device);
    SafeStrCopy(device->stNetInfo.szIpAddr, sizeof device->stNetInfo.szIpAddr, ip.c_str());
    device->stNetInfo.nIpVersion = 4;
    SafeStrCopy(device->stNetInfo.szMacAddr, sizeof device->stNetInfo.szMacAddr, mac.c_str());
    SafeStrCopy(device->stNetInfo.szTypeName, sizeof device->stNetInfo.szTypeName, type.c_str());
    SafeStrCopy(device->szUser, sizeof device->szUser, "admin");
    SafeStrCopy(device->szPassword, sizeof device->szPassword, password);
    return device;
}

} // namespace devconfigtest

// The MAC addresses of the device list (compared without case) and the address versions each is
// listed with, so that a search answer is checked against the list in constant time.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Common/DeviceInfo.h"

class DeviceMacIndex {
public:
    // Brings the index up to date with the list: devices appended since the last call are added;
    // any other change of the list (removal, reorder, replacement) rebuilds it.
    void Sync(const std::vector<std::shared_ptr<DEVICE_INFO>>& devices);
    // Whether the list holds the MAC (lower case); `sameVersion` tells whether one of those
    // entries has the address version `version`.
    bool Find(const std::string& macLower, int version, bool* sameVersion) const;

private:
    void Add(const DEVICE_INFO& device);

    std::unordered_map<std::string, std::vector<int>> m_versions;
    size_t m_count = 0;
    const void* m_last = nullptr;
};

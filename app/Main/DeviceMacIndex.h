// The MAC addresses of the device list (compared without case) and the address versions each is
// listed with, and the list positions of each address, so that a search answer is checked
// against the list in constant time.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Common/DeviceInfo.h"

class DeviceMacIndex {
public:
    // Brings the index up to date with the list: devices appended since the last call are added;
    // any other change of the list (removal, reorder, replacement, seen at its ends) rebuilds it.
    void Sync(const std::vector<std::shared_ptr<DEVICE_INFO>>& devices);
    // Whether the list holds the MAC (lower case); `sameVersion` tells whether one of those
    // entries has the address version `version`.
    bool Find(const std::string& macLower, int version, bool* sameVersion) const;
    // The first device of the list whose address text is `ip`, or null (after Sync).
    DEVICE_INFO* FindIp(const std::vector<std::shared_ptr<DEVICE_INFO>>& devices, const std::string& ip);

private:
    void Add(const DEVICE_INFO& device, size_t position);

    std::unordered_map<std::string, std::vector<int>> m_versions;
    std::unordered_map<std::string, std::vector<size_t>> m_positions; // address -> list positions
    size_t m_count = 0;
    const void* m_last = nullptr;
    const void* m_first = nullptr;
};

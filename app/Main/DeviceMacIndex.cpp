#include "Main/DeviceMacIndex.h"

#include <algorithm>
#include <cctype>

#include "Main/DeviceListText.h"

void DeviceMacIndex::Add(const DEVICE_INFO& device, size_t position)
{
    std::string mac = FIELD_TEXT(device.stNetInfo.szMacAddr);
    std::transform(mac.begin(), mac.end(), mac.begin(), [](unsigned char c) { return std::tolower(c); });
    m_versions[mac].push_back(device.stNetInfo.nIpVersion);
    m_positions[FIELD_TEXT(device.stNetInfo.szIpAddr)].push_back(position);
}

void DeviceMacIndex::Sync(const std::vector<std::shared_ptr<DEVICE_INFO>>& devices)
{
    const bool appendedOnly = m_count <= devices.size() &&
                              (m_count == 0 || (devices[m_count - 1].get() == m_last && devices[0].get() == m_first));
    if (!appendedOnly) {
        m_versions.clear();
        m_positions.clear();
        m_count = 0;
    }
    for (; m_count < devices.size(); ++m_count)
        if (devices[m_count])
            Add(*devices[m_count], m_count);
    m_last = m_count ? devices[m_count - 1].get() : nullptr;
    m_first = m_count ? devices[0].get() : nullptr;
}

bool DeviceMacIndex::Find(const std::string& macLower, int version, bool* sameVersion) const
{
    *sameVersion = false;
    const auto it = m_versions.find(macLower);
    if (it == m_versions.end())
        return false;
    *sameVersion = std::find(it->second.begin(), it->second.end(), version) != it->second.end();
    return true;
}

DEVICE_INFO* DeviceMacIndex::FindIp(const std::vector<std::shared_ptr<DEVICE_INFO>>& devices, const std::string& ip)
{
    for (int pass = 0; pass < 2; ++pass) {
        const auto it = m_positions.find(ip);
        if (it == m_positions.end())
            return nullptr;
        // Positions in list order, each checked against the list as it is now: a position that
        // holds another address means the list was reordered behind the index.
        bool stale = false;
        for (size_t position : it->second) {
            DEVICE_INFO* device = position < devices.size() ? devices[position].get() : nullptr;
            if (device && FIELD_TEXT(device->stNetInfo.szIpAddr) == ip)
                return device;
            stale = true;
        }
        if (!stale)
            return nullptr;
        m_count = 0;
        m_versions.clear();
        m_positions.clear();
        Sync(devices);
    }
    return nullptr;
}

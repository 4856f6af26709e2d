#include "Main/DeviceMacIndex.h"

#include <algorithm>
#include <cctype>

#include "Main/DeviceListText.h"

void DeviceMacIndex::Add(const DEVICE_INFO& device)
{
    std::string mac = FIELD_TEXT(device.stNetInfo.szMacAddr);
    std::transform(mac.begin(), mac.end(), mac.begin(), [](unsigned char c) { return std::tolower(c); });
    m_versions[mac].push_back(device.stNetInfo.nIpVersion);
}

void DeviceMacIndex::Sync(const std::vector<std::shared_ptr<DEVICE_INFO>>& devices)
{
    const bool appendedOnly =
        m_count <= devices.size() && (m_count == 0 || devices[m_count - 1].get() == m_last);
    if (!appendedOnly) {
        m_versions.clear();
        m_count = 0;
    }
    for (; m_count < devices.size(); ++m_count)
        if (devices[m_count])
            Add(*devices[m_count]);
    m_last = m_count ? devices[m_count - 1].get() : nullptr;
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

// Lookups of the cloud upgrade's records; see the header.
#include "CloudUpgrade/CloudUpgradeRecords.h"

#include <QtGlobal>

#include "Common/StrHelpers.h"

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// A text field that may fill its width without a terminator.
std::string FieldText(const char* field, size_t width)
{
    size_t n = 0;
    while (n < width && field[n])
        ++n;
    return std::string(field, n);
}
} // namespace

std::string CloudMacKey(const char* mac) { return StrUpper(mac ? std::string(mac) : std::string()); }

void StoreCloudCheck(CloudCheckMap& map, const char* mac, const CLOUDCHECK& check) { map[CloudMacKey(mac)] = check; }

CLOUDCHECK* FindCloudCheck(CloudCheckMap& map, const char* mac)
{
    auto it = map.find(CloudMacKey(mac));
    return it == map.end() ? nullptr : &it->second;
}

bool SameTextNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

strudevice* FindRemoteDevice(RemoteDeviceMap& map, const char* recorderMac, const char* serialNo)
{
    auto it = map.find(CloudMacKey(recorderMac));
    if (it == map.end())
        return nullptr;
    const std::string serial = serialNo ? serialNo : "";
    for (strudevice& d : it->second)
        if (SameTextNoCase(FieldText(d.szSerialNo, sizeof d.szSerialNo), serial))
            return &d;
    return nullptr;
}

void SetUpgradeSameIndex(std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>>& tasks)
{
    const size_t n = tasks.size();
    for (size_t i = 1; i < n; ++i) {
        CCloudUpgradeTaskInfo& t = *tasks[i];
        if (t.m_nUpgradeState != 0)
            continue;
        const std::string sn = FieldText(t.m_szSerialNo, sizeof t.m_szSerialNo);
        for (size_t j = 0; j < i; ++j) {
            const CCloudUpgradeTaskInfo& e = *tasks[j];
            if (e.m_nUpgradeState != 2 && SameTextNoCase(FieldText(e.m_szSerialNo, sizeof e.m_szSerialNo), sn)) {
                t.m_nSameSnIndex = int(j);
                qDebug("SetUpgradeSameIndex... m_nSameSnIndex: %d", int(j));
                break;
            }
        }
    }
    for (size_t a = 1; a < n; ++a) {
        CCloudUpgradeTaskInfo& t = *tasks[a];
        if (t.m_nUpgradeState != 0 || t.m_nSameSnIndex != -1)
            continue;
        for (size_t j = 0; j < a; ++j) {
            const CCloudUpgradeTaskInfo& e = *tasks[j];
            if (e.m_nUpgradeState != 2 && SameTextNoCase(e.m_strFilePath, t.m_strFilePath)) {
                t.m_nSameFileIndex = int(j);
                qDebug("SetUpgradeSameIndex... m_nSameFileIndex: %d", int(j));
                break;
            }
        }
    }
}

// Sample records of the cloud upgrade for the tests that write and read them: a device's network
// details, its update check, and a device behind a recorder. Callers give the fields their
// expectations name and set any others on the result.
#pragma once

#include <cstring>

#include "CloudUpgrade/CloudUpgradeRecords.h"

namespace vxtest {

// An IPC-HDW1200 on port 37777.
inline DEVICE_NET_INFO_EX CloudNetInfo(const char* ip, const char* mac, const char* name)
{
    DEVICE_NET_INFO_EX n;
    std::memset(&n, 0, sizeof(n));
    std::strcpy(n.szIpAddr, ip);
    std::strcpy(n.szMacAddr, mac);
    std::strcpy(n.szTypeName, "IPC");
    std::strcpy(n.szDetailName, "IPC-HDW1200");
    std::strcpy(n.szDeviceName, name);
    n.nPort = 37777;
    return n;
}

// The check of an English IPC of vendor 3, standard 1, built 2017-03-09 08:05:00, with its answer.
inline CLOUDCHECK CloudCheck(const char* sn, const char* serialNo, const char* softwareVersion, int hasNew,
                             const char* newVersion)
{
    CLOUDCHECK c;
    std::memset(&c, 0, sizeof(c));
    c.stuIn.nVendor = 3;
    c.stuIn.nStandard = 1;
    c.stuIn.stuBuildTime = {2017, 3, 9, 8, 5, 0, 0, 0, 0};
    std::strcpy(c.stuIn.szClass, "IPC");
    std::strcpy(c.stuIn.szSN, sn);
    std::strcpy(c.stuIn.szLanguage, "English");
    std::strcpy(c.stuIn.szSerialNo, serialNo);
    std::strcpy(c.stuIn.szSoftwareVersion, softwareVersion);
    c.stuOut.bHasNewVersion = hasNew;
    std::strcpy(c.stuOut.szNewVersion, newVersion);
    return c;
}

// An IPC of type IPC-A for PAL and NTSC, built 2018-01-02 03:04:05, with a new version.
inline strudevice CloudRemote(const char* mac, int index, const char* deviceId, const char* serialNo, int port)
{
    strudevice r;
    std::strcpy(r.szMac, mac);
    std::strcpy(r.szDeviceID, deviceId);
    std::strcpy(r.szType, "IPC");
    std::strcpy(r.szDetailType, "IPC-A");
    std::strcpy(r.szVideoStandard, "PAL,NTSC");
    std::strcpy(r.szSerialNo, serialNo);
    std::strcpy(r.szBuildTime, "2018-01-02_03:04:05");
    r.nIndex = index;
    r.nPort = port;
    r.byHasNewVersion = 1;
    return r;
}

} // namespace vxtest

// Records and folders for the offline export and import tests.
#pragma once

#include <QTemporaryDir>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "CloudUpgrade/CloudTemplate.h"

inline DEVICE_INFO MakeDevice(const char* ip, const char* mac, const char* name = "cam-1")
{
    DEVICE_INFO d;
    std::memset(&d, 0, sizeof(d));
    d.stNetInfo.nIpVersion = 4;
    std::strcpy(d.stNetInfo.szIpAddr, ip);
    d.stNetInfo.nPort = 37777;
    std::strcpy(d.stNetInfo.szMacAddr, mac);
    std::strcpy(d.stNetInfo.szTypeName, "IPC");
    std::strcpy(d.stNetInfo.szDetailName, "IPC-HDW1200");
    std::strcpy(d.stNetInfo.szDeviceName, name);
    std::strcpy(d.stNetInfo.szSerialNumber, "SN0001");
    std::strcpy(d.stNetInfo.szSoftVersion, "2.800.0.0");
    d.bCheckResult = 1;
    return d;
}

inline CLOUDCHECK MakeCheck(const char* newVersion)
{
    CLOUDCHECK c;
    std::memset(&c, 0, sizeof(c));
    c.stuIn.nVendor = 3;
    c.stuIn.nStandard = 1;
    c.stuIn.stuBuildTime = {2017, 3, 9, 8, 5, 0, 0, 0, 0};
    std::strcpy(c.stuIn.szClass, "IPC");
    std::strcpy(c.stuIn.szSN, "IPC-HDW1200-S");
    std::strcpy(c.stuIn.szLanguage, "English");
    std::strcpy(c.stuIn.szSerialNo, "SN0001");
    std::strcpy(c.stuIn.szSoftwareVersion, "2.800.0.1");
    std::strcpy(c.stuIn.szTag1, "t1");
    std::strcpy(c.stuIn.szTag2, "t2");
    c.stuOut.bHasNewVersion = newVersion[0] ? 1 : 0;
    std::strcpy(c.stuOut.szNewVersion, newVersion);
    return c;
}

inline strudevice MakeRemote(const char* mac, int index)
{
    strudevice r;
    std::strcpy(r.szMac, mac);
    std::strcpy(r.szDeviceID, "dev-id");
    std::strcpy(r.szType, "IPC");
    std::strcpy(r.szDetailType, "IPC-A");
    std::strcpy(r.szLanguage, "English");
    std::strcpy(r.szVideoStandard, "PAL,NTSC");
    std::strcpy(r.szSerialNo, "RSN1");
    std::strcpy(r.szVersion, "1.0");
    std::strcpy(r.szBuildTime, "2018-01-02_03:04:05");
    std::strcpy(r.szNewVersion, "1.1");
    r.nIndex = index;
    r.nPort = 37777;
    r.nVendor = 3;
    r.byCheckResult = 1;
    r.byHasNewVersion = 1;
    return r;
}

inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteAll(const std::string& path, const std::string& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

// A header of `titles` titles, each followed by ",".
inline std::string Header(int titles = cloudtemplate::kHeaderFields)
{
    std::string line;
    for (int i = 0; i < titles; ++i)
        line += "T" + std::to_string(i) + ",";
    return line + "\r\n";
}

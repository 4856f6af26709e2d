// Records and folders for the offline export and import tests.
#pragma once

#include <QTemporaryDir>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "../support/CloudRecords.h"
#include "CloudUpgrade/CloudTemplate.h"

inline DEVICE_INFO MakeDevice(const char* ip, const char* mac, const char* name = "cam-1")
{
    DEVICE_INFO d;
    std::memset(&d, 0, sizeof(d));
    d.stNetInfo = vxtest::CloudNetInfo(ip, mac, name);
    d.stNetInfo.nIpVersion = 4;
    std::strcpy(d.stNetInfo.szSerialNumber, "SN0001");
    std::strcpy(d.stNetInfo.szSoftVersion, "2.800.0.0");
    d.bCheckResult = 1;
    return d;
}

inline CLOUDCHECK MakeCheck(const char* newVersion)
{
    CLOUDCHECK c = vxtest::CloudCheck("IPC-HDW1200-S", "SN0001", "2.800.0.1", newVersion[0] ? 1 : 0, newVersion);
    std::strcpy(c.stuIn.szTag1, "t1");
    std::strcpy(c.stuIn.szTag2, "t2");
    return c;
}

inline strudevice MakeRemote(const char* mac, int index)
{
    strudevice r = vxtest::CloudRemote(mac, index, "dev-id", "RSN1", 37777);
    std::strcpy(r.szLanguage, "English");
    std::strcpy(r.szVersion, "1.0");
    std::strcpy(r.szNewVersion, "1.1");
    r.nVendor = 3;
    r.byCheckResult = 1;
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

// The record the program keeps for one device: the SDK's search record plus login data, flags and
// search bookkeeping. Records start all zero; each creator fills the fields it knows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "devsdk/DevSdkRecords.h"

struct DEVICE_INFO {
    int32_t nRow;            // row in the device list page; -1 = none
    uint8_t bIPConflict;     // 1 = another listed device shows the same address text
    char szUser[32];         // login user, at most 31 characters
    char szPassword[64];     // login password, at most 63 characters
    int32_t bManual;         // 1 = added by hand
    int32_t bP2P;            // 1 = reached through the P2P proxy at "127.0.0.1":nPort
    uint8_t bNeedRefresh;    // 1 = firmware may have changed; read the version again

    // Cloud-upgrade block: written and read by the cloud-upgrade page only, except bRemote.
    uint8_t bUpgraded;       // the last cloud upgrade of the device succeeded
    uint8_t bRemote;         // nonzero = checked through a parent recorder
    char szHigherMac[64];    // MAC of that recorder, at most 63 characters
    int32_t nCheckError;     // result code of the last check (0 = answered)
    char szXml[1024];        // description text carried with the device information
    uint8_t bCheckResult;    // nonzero = the last check was answered
    uint8_t bExpanded;       // the recorder's remote rows are shown
    uint8_t bHasNewVersion;  // the answer offers newer firmware
    char szNewVersion[64];   // that firmware's version text
    int32_t nDownloadState;  // 0 idle, 1 downloading, 2 paused, 3 downloaded, 4 failed
    int32_t nDownloadPercent;
    int32_t nUpgradeState;   // 0 idle, 1 upgrading
    char szFileName[1024];   // downloaded firmware file name (last part of its address)

    uint32_t dwBuildDate;    // (year << 16) + (month << 8) + day; 0 = not read
    int32_t bBroadcast;      // 1 = found by the broadcast search
    uint8_t byGeneration;    // search generation when the record was made
    DEVICE_NET_INFO_EX stNetInfo;
};

static_assert(std::is_standard_layout<DEVICE_INFO>::value && std::is_trivially_copyable<DEVICE_INFO>::value,
              "DEVICE_INFO is copied and zeroed byte by byte");
static_assert(sizeof(DEVICE_NET_INFO_EX) == 1056, "search record size");
static_assert(offsetof(DEVICE_NET_INFO_EX, nIpVersion) == 0, "nIpVersion");
static_assert(offsetof(DEVICE_NET_INFO_EX, szIpAddr) == 4, "szIpAddr");
static_assert(offsetof(DEVICE_NET_INFO_EX, nPort) == 68, "nPort");
static_assert(offsetof(DEVICE_NET_INFO_EX, szNetMask) == 72, "szNetMask");
static_assert(offsetof(DEVICE_NET_INFO_EX, szGatewayAddr) == 136, "szGatewayAddr");
static_assert(offsetof(DEVICE_NET_INFO_EX, szMacAddr) == 200, "szMacAddr");
static_assert(offsetof(DEVICE_NET_INFO_EX, szTypeName) == 240, "szTypeName");
static_assert(offsetof(DEVICE_NET_INFO_EX, bDhcpOn) == 274, "bDhcpOn");
static_assert(offsetof(DEVICE_NET_INFO_EX, szSerialNumber) == 364, "szSerialNumber");
static_assert(offsetof(DEVICE_NET_INFO_EX, szSoftVersion) == 412, "szSoftVersion");
static_assert(offsetof(DEVICE_NET_INFO_EX, szDetailName) == 540, "szDetailName");
static_assert(offsetof(DEVICE_NET_INFO_EX, szDeviceName) == 700, "szDeviceName");
static_assert(offsetof(DEVICE_NET_INFO_EX, szReportedUser) == 764, "szReportedUser");
static_assert(offsetof(DEVICE_NET_INFO_EX, wWebPort) == 796, "wWebPort");
static_assert(offsetof(DEVICE_NET_INFO_EX, wVideoInCount) == 798, "wVideoInCount");
static_assert(offsetof(DEVICE_NET_INFO_EX, wAlarmInCount) == 804, "wAlarmInCount");
static_assert(offsetof(DEVICE_NET_INFO_EX, wAlarmOutCount) == 806, "wAlarmOutCount");
static_assert(offsetof(DEVICE_NET_INFO_EX, byInitState) == 876, "byInitState");
static_assert(offsetof(DEVICE_NET_INFO_EX, szModelName) == 879, "szModelName");
static_assert(sizeof(DEVICE_NET_INFO_EX::szIpAddr) == 64 && sizeof(DEVICE_NET_INFO_EX::szNetMask) == 64 &&
                  sizeof(DEVICE_NET_INFO_EX::szGatewayAddr) == 64 && sizeof(DEVICE_NET_INFO_EX::szMacAddr) == 40 &&
                  sizeof(DEVICE_NET_INFO_EX::szTypeName) == 32 && sizeof(DEVICE_NET_INFO_EX::szSerialNumber) == 48 &&
                  sizeof(DEVICE_NET_INFO_EX::szSoftVersion) == 128 && sizeof(DEVICE_NET_INFO_EX::szDetailName) == 32 &&
                  sizeof(DEVICE_NET_INFO_EX::szDeviceName) == 64 && sizeof(DEVICE_NET_INFO_EX::szModelName) == 64,
              "search record text widths");

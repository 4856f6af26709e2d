// Vocabulary of a system configuration run: operation kinds, per-device records, result codes
// and the parameter records the worker applies to every device. The device-facing layouts
// (SYNC_TIME_PARAM, DST_PARAM, DST_TIME, NTP_PARAM) are the SDK's own records.
#pragma once

#include <cstdint>
#include <string>

#include "devsdk/DevSdkRecords.h"

enum SYSCONFIG_TYPE : int32_t {
    SYSCONFIG_SYNC_PC = 0,
    SYSCONFIG_MANUAL_SYNC = 1,
    SYSCONFIG_AUTO_REBOOT = 2,
    SYSCONFIG_MANUAL_REBOOT = 3,
    SYSCONFIG_RESTORE = 4,
    SYSCONFIG_DST = 5,
    SYSCONFIG_NTP = 6,
    SYSCONFIG_MODIFY_PASSWORD = 7,
    SYSCONFIG_RESET_PASSWORD = 8,
};

enum SYSCONFIG_ERROR : int32_t {
    SYSCONFIG_ERR_NONE = 0,
    SYSCONFIG_ERR_SUCCESS = 1,
    SYSCONFIG_ERR_LOGIN = 2,
    SYSCONFIG_ERR_SYNC_TIME = 3,
    SYSCONFIG_ERR_MANUAL_REBOOT = 4,
    SYSCONFIG_ERR_AUTO_REBOOT = 5,
    SYSCONFIG_ERR_RESTORE = 6,
    SYSCONFIG_ERR_DST = 7,
    SYSCONFIG_ERR_NTP = 8,
    SYSCONFIG_ERR_PASSWORD = 9,
    SYSCONFIG_ERR_CODE_INVALID = 10,
    SYSCONFIG_ERR_NO_SN = 11,
    SYSCONFIG_ERR_ENCRYPT_DATA = 12,
    SYSCONFIG_ERR_NEW_PASSWORD = 13,
    SYSCONFIG_ERR_SECURITY_CODE = 14,
    SYSCONFIG_ERR_FACTORY = 15,
    SYSCONFIG_ERR_TIMEOUT = 16,
    SYSCONFIG_ERR_LOGIN_FIRST = 17, // 17..23: login errors 1..7; 24: login errors 8 and 9
    SYSCONFIG_ERR_LOGIN_CONNECT = 24,
};

// One device of a run, in the order the view added it.
struct CONFIG_INFO {
    int32_t port = 0;          // 0 means 37777 at login
    std::string ip;
    std::string mac;           // "NULL" once started late with an empty MAC
    std::string user;
    std::string password;
    std::string deviceType;
    std::string serial;
    int32_t loginID = 0;
    int32_t finished = 0;
    int32_t reservedFlag = 0;
    int32_t p2p = 0;
    int32_t treeItem = 0;
    int32_t reserved = 0;
    int32_t result = SYSCONFIG_ERR_NONE;
};

// Automatic maintenance as the page chose it; day code 0-6 Sunday-Saturday, 7 every day.
struct AUTO_REBOOT_PARAM {
    int32_t enable = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
};

// A reset description as it comes back from a device: the contact texts and the description
// text, owned by the record (no buffer to release).
struct PWD_DESCRIPTION {
    std::string phone;
    std::string mail;
    std::string text;
};

namespace sysconfig {

constexpr int kMaxQueued = 5;           // device tasks posted ahead
constexpr int kConfigWaitMs = 10000;    // login wait of a run
constexpr int kTimeWaitMs = 6000;
constexpr int kConfigReadWaitMs = 5000;
constexpr int kConfigWriteWaitMs = 5000;
constexpr int kMaintainWriteWaitMs = 3000;
constexpr int kRestoreWaitMs = 15000;
constexpr int kUserWaitMs = 1000;
constexpr int kResetWaitMs = 3000;
constexpr int kTextBufferSize = 32768;
constexpr int kDescriptionSize = 1000;
constexpr const char* kInvalidCode = "invalid";

// Result code of a failed login from the SDK's login error.
SYSCONFIG_ERROR LoginResult(int loginError);
// Failure code of an operation kind.
SYSCONFIG_ERROR FailureOf(int type);
// Result code of a password reset from the SDK's last error.
SYSCONFIG_ERROR ResetResult(DWORD lastError);
// Day of an authorisation file created at createTime ("YYYY-MM-DDThh:mm:ss", local time) at the
// local time `now` (seconds since 1970): 1, 2 or 3 within three days, else -1.
int ResetDayOf(const std::string& createTime, int64_t now);
// Seconds since 1970 of a local time; years after 2037 are taken as 2037; 0 when it fails.
int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second);

} // namespace sysconfig

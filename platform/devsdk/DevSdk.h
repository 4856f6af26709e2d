// The device SDK: search, login, configuration, maintenance and upgrade of devices.
// Conventions: handles are 32-bit and never 0 or 1 (0 = failure); other calls return
// nonzero on success; every call sets the calling thread's last error (0 on success);
// a call blocks for at most its wait; callbacks run on SDK-owned threads.
#pragma once

#include "devsdk/DevSdkErrors.h"
#include "devsdk/DevSdkRecords.h"

// ---- Callbacks ------------------------------------------------------------------------

// Lost connection of a login / connection restored by the automatic reconnect (same handle).
typedef void (*fDisConnect)(LONG lLoginID, const char* pchDVRIP, LONG nDVRPort, void* dwUser);
typedef void (*fHaveReConnect)(LONG lLoginID, const char* pchDVRIP, LONG nDVRPort, void* dwUser);
// One answering device; the record is valid during the call only.
typedef void (*fSearchDevicesCB)(DEVICE_NET_INFO_EX* pDevNetInfo, void* pUserData);
// One block of a live stream.
typedef void (*fRealDataCallBack)(LONG lRealHandle, DWORD dwDataType, BYTE* pBuffer, DWORD dwBufSize,
                                  LONG lParam, void* dwUser);
// Firmware transfer progress: (total > 0, sent) file transfer; (-1, percent) installing;
// (0, -1) success; (0, -2) failure.
typedef void (*fUpgradeCallBack)(LONG lLoginID, LONG lUpgradeHandle, int nTotalSize, int nSendSize, void* dwUser);

// ---- Numbers ---------------------------------------------------------------------------

constexpr int kSdkDefaultPort = 37777;
constexpr int kSdkDefaultBroadcastPort = 5050;

// SdkLoginEx connection kinds
constexpr int EM_LOGIN_SPEC_CAP_TCP = 0;
constexpr int EM_LOGIN_SPEC_CAP_P2P = 19;

// SdkQueryDevState types
constexpr int SDK_DEVSTATE_TALK_ECTYPE = 9;
constexpr int SDK_DEVSTATE_SOFTWARE = 15;
constexpr int SDK_DEVSTATE_DSP = 17;
constexpr int SDK_DEVSTATE_TYPE = 20;
// SdkQuerySystemInfo types
constexpr int ABILITY_DEVALL_INFO = 26;
// SdkGetDevCaps types
constexpr int NET_CAMERASTATE_CAPS = 14;
constexpr int NET_VIDEO_ENCODE_CAPS = 30;
// SdkGetDevConfig / SdkSetDevConfig commands
constexpr int SDK_DEV_DEVICECFG = 1;
constexpr int SDK_DEV_TIMECFG = 8;
constexpr int SDK_DEV_WATERMAKE_CFG = 20;
// SdkGetConfig / SdkSetConfig commands
constexpr int NET_EM_CFG_ENCODE_CHANNELTITLE = 1000;
constexpr int NET_EM_CFG_ENCODE_TIMETITLE = 1001;
constexpr int NET_EM_CFG_ENCODE_GPSTITLE = 1006;
constexpr int NET_EM_CFG_VIDEOIN_SWITCHMODE = 1300;
constexpr int NET_EM_CFG_VIDEOIN_COLOR = 1301;
constexpr int NET_EM_CFG_VIDEOIN_BACKLIGHT = 1309;
constexpr int NET_EM_CFG_VIDEOIN_DAYNIGHT = 1316;
// SdkControlDevice
constexpr int SDK_CTRL_RESTOREDEFAULT = 110;
// SdkOperateUserInfo / SdkOperateUserInfoNew
constexpr int SDK_USER_MODIFY_PASSWORD = 6;
// SdkStartUpgrade
constexpr int SDK_UPGRADE_BIOS_TYPE = 1;

// ---- Life cycle ------------------------------------------------------------------------

BOOL SdkInit(fDisConnect cbDisConnect, void* dwUser);
void SdkSetAutoReconnect(fHaveReConnect cbAutoConnect, void* dwUser);
void SdkCleanup();
DWORD SdkGetLastError();
void SdkSetNetworkParam(const NET_PARAM* pNetParam);

// ---- Login -----------------------------------------------------------------------------

LONG SdkLogin(const char* pchDVRIP, int nDVRPort, const char* pchUserName, const char* pchPassword,
              SDK_LOGIN_DEVICE_INFO* lpDeviceInfo, int* error);
LONG SdkLoginEx(const char* pchDVRIP, int nDVRPort, const char* pchUserName, const char* pchPassword,
                int nSpecCap, void* pCapParam, SDK_LOGIN_DEVICE_INFO* lpDeviceInfo, int* error);
BOOL SdkLogout(LONG lLoginID);

// ---- Search and network without login --------------------------------------------------

LONG SdkStartSearchDevices(fSearchDevicesCB cbSearchDevices, void* pUserData, const char* szLocalIp = nullptr);
BOOL SdkStopSearchDevices(LONG lSearchHandle);
BOOL SdkSetSearchParam(const SDK_SEARCH_PARAM* pSearchParam);
BOOL SdkSearchDevicesByIPs(const SDK_SEARCH_IP_LIST* pIpSearchInfo, fSearchDevicesCB cbSearchDevices,
                           void* dwUserData, const char* szLocalIp, DWORD dwWaitTime);
BOOL SdkModifyDevice(const DEVICE_NET_INFO_EX* pDevNetInfo, DWORD dwWaitTime, int* iError = nullptr,
                     const char* szLocalIp = nullptr, void* reserved = nullptr);
BOOL SdkInitDevAccount(const NET_IN_INIT_DEVICE_ACCOUNT* pInitAccountIn, NET_OUT_INIT_DEVICE_ACCOUNT* pInitAccountOut,
                       DWORD dwWaitTime, const char* szLocalIp);
BOOL SdkInitDevOptions(const DEVINIT_ACCOUNT_INFO* pInitInfo, DEVINIT_ACCOUNT_OUT* pOut, DWORD dwWaitTime,
                       const char* szLocalIp);

// ---- Queries and configuration --------------------------------------------------------

BOOL SdkQueryDevState(LONG lLoginID, int nType, char* pBuf, int nBufLen, int* pRetLen, int waittime = 1000);
BOOL SdkQuerySystemInfo(LONG lLoginID, int nSystemType, char* pSysInfoBuffer, int maxlen, int* nSysInfolen,
                        int waittime = 1000);
BOOL SdkGetDevCaps(LONG lLoginID, int nType, void* pInBuf, void* pOutBuf, int nReserved, int nWaitTime);
BOOL SdkGetDevConfig(LONG lLoginID, DWORD dwCommand, LONG lChannel, void* lpOutBuffer, DWORD dwOutBufferSize,
                     int* lpBytesReturned, int waittime = 500);
BOOL SdkSetDevConfig(LONG lLoginID, DWORD dwCommand, LONG lChannel, void* lpInBuffer, DWORD dwInBufferSize,
                     int waittime = 500);
BOOL SdkGetConfig(LONG lLoginID, int emCfgOpType, int nChannelID, void* szOutBuffer, DWORD dwOutBufferSize,
                  int waittime = 5000, void* reserve = nullptr);
BOOL SdkSetConfig(LONG lLoginID, int emCfgOpType, int nChannelID, void* szInBuffer, DWORD dwInBufferSize,
                  int waittime = 5000, int* restart = nullptr, void* reserve = nullptr);
BOOL SdkGetNewConfig(LONG lLoginID, const char* szCommand, int nChannelID, char* szOutBuffer, DWORD dwOutBufferSize,
                     int* error, int waittime = 500);
BOOL SdkSetNewConfig(LONG lLoginID, const char* szCommand, int nChannelID, char* szInBuffer, DWORD dwInBufferSize,
                     int* error, int* restart, int waittime = 500);
BOOL SdkTransmitInfoForWeb(LONG lLoginID, char* szInBuffer, DWORD dwInBufferSize, char* szOutBuffer,
                           DWORD dwOutBufferSize, void* pExtData, int waittime = 500);

// ---- Live view ---------------------------------------------------------------------------

LONG SdkStartRealPlay(LONG lLoginID, int nChannelID, HWND hWnd);
BOOL SdkStopRealPlay(LONG lRealHandle);
BOOL SdkSetRealDataCallBack(LONG lRealHandle, fRealDataCallBack cbRealData, void* dwUser, DWORD dwFlag);

// ---- Users ---------------------------------------------------------------------------------

BOOL SdkQueryUserInfo(LONG lLoginID, USER_MANAGE_INFO* info, int waittime = 1000);
BOOL SdkOperateUserInfo(LONG lLoginID, int nOperateType, void* opParam, void* subParam, int waittime = 1000);
BOOL SdkQueryUserInfoNew(LONG lLoginID, USER_MANAGE_INFO_NEW* info, void* pReserved, int waittime = 1000);
BOOL SdkOperateUserInfoNew(LONG lLoginID, int nOperateType, void* opParam, void* subParam, void* pReserved,
                           int waittime = 1000);

// ---- Maintenance -----------------------------------------------------------------------

BOOL SdkRebootDev(LONG lLoginID);
BOOL SdkControlDevice(LONG lLoginID, int type, void* param, int waittime = 1000);
BOOL SdkResetSystem(LONG lLoginID, const NET_IN_RESET_SYSTEM* pInParam, NET_OUT_RESET_SYSTEM* pOutParam,
                    int nWaitTime);
BOOL SdkGetDescriptionForResetPwd(const NET_IN_DESCRIPTION_FOR_RESET_PWD* pInParam,
                                  NET_OUT_DESCRIPTION_FOR_RESET_PWD* pOutParam, int nWaitTime,
                                  const char* szLocalIp);
BOOL SdkCheckSecurityCode(const NET_IN_CHECK_SECURITY_CODE* pInParam, NET_OUT_CHECK_SECURITY_CODE* pOutParam,
                          int nWaitTime, const char* szLocalIp);
BOOL SdkResetPwd(const NET_IN_RESET_PWD* pInParam, NET_OUT_RESET_PWD* pOutParam, int nWaitTime,
                 const char* szLocalIp);

// ---- Firmware and cloud ------------------------------------------------------------------

LONG SdkStartUpgrade(LONG lLoginID, int emType, const char* pchFileName, fUpgradeCallBack cbUpgrade, void* dwUser);
BOOL SdkSendUpgrade(LONG lUpgradeID);
BOOL SdkStopUpgrade(LONG lUpgradeID);
BOOL SdkGetUpgradeDevInfo(LONG lLoginID, const NET_IN_UPGRADE_DEV_INFO* pInParam, NET_OUT_UPGRADE_DEV_INFO* pOutParam,
                          int nWaitTime);
BOOL SdkCloudUpgraderCheck(const NET_IN_CLOUD_UPGRADER_CHECK* pInParam, NET_OUT_CLOUD_UPGRADER_CHECK* pOutParam,
                           int nWaitTime);
LONG SdkCloudDownloadStart(const NET_IN_CLOUD_DOWNLOAD* pInParam, NET_OUT_CLOUD_DOWNLOAD* pOutParam);
BOOL SdkCloudDownloadStop(LONG lDownloadHandle);
BOOL SdkStopDownload(LONG lFileHandle);

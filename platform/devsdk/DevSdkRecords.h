// Records exchanged with the device SDK. Every record keeps the byte layout its callers rely
// on (checked below); bytes the callers do not use are reserved and carried unchanged.
// On a 64-bit build a record that carries a pointer keeps every offset before the pointer;
// the pointer and what follows move to natural alignment (checked as well).
#pragma once

#include "os/WinTypes.h"

#include <cstddef>

#define DEVSDK_CHECK_OFFSET(rec, field, off) \
    static_assert(offsetof(rec, field) == (off), #rec "." #field " must sit at " #off)
#define DEVSDK_CHECK_SIZE(rec, size) static_assert(sizeof(rec) == (size), #rec " must be " #size " bytes")

// ---- Discovery and network ------------------------------------------------------------

// One answer of a search (broadcast or address list); also the argument of SdkModifyDevice.
struct DEVICE_NET_INFO_EX {
    int nIpVersion;             // 4 IPv4, 6 IPv6
    char szIpAddr[64];
    int nPort;                  // TCP service port
    char szNetMask[64];
    char szGatewayAddr[64];
    char szMacAddr[40];         // "aa:bb:cc:dd:ee:ff"
    char szTypeName[32];
    BYTE byReserved1[2];
    BYTE bDhcpOn;
    BYTE byManufacturer;        // 0 for the own brand
    char szVendor[32];          // "" or "Orvan"/"Private"/"ZR" for the own brand
    BYTE byReserved2[56];
    char szSerialNumber[48];
    char szSoftVersion[128];
    char szDetailName[32];
    BYTE byReserved3[128];
    char szDeviceName[64];
    char szReportedUser[16];
    char szReportedPassword[16];
    WORD wWebPort;
    WORD wVideoInCount;
    BYTE byReserved4[4];
    WORD wAlarmInCount;
    WORD wAlarmOutCount;
    int bPasswordValid;         // 1: szPassword holds the login password (SdkModifyDevice)
    char szPassword[64];
    BYTE byInitState;           // (v & 3) == 1: not initialised; bit 1: initialised
    BYTE byPwdResetWay;         // bit 0: reset contact is a mobile number, else e-mail
    BYTE bySpecialAbility;      // bit 1: accepts a video standard at initialisation
    char szModelName[64];
    BYTE byReserved5;
    int bUserValid;             // 1: szUser holds the login user (SdkModifyDevice)
    char szUser[32];
    BYTE byReserved6[76];
};
DEVSDK_CHECK_SIZE(DEVICE_NET_INFO_EX, 1056);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szIpAddr, 4);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, nPort, 68);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szNetMask, 72);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szGatewayAddr, 136);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szMacAddr, 200);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szTypeName, 240);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, bDhcpOn, 274);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, byManufacturer, 275);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szVendor, 276);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szSerialNumber, 364);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szSoftVersion, 412);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szDetailName, 540);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szDeviceName, 700);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szReportedUser, 764);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szReportedPassword, 780);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, wWebPort, 796);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, wVideoInCount, 798);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, wAlarmInCount, 804);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, wAlarmOutCount, 806);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, bPasswordValid, 808);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szPassword, 812);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, byInitState, 876);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, byPwdResetWay, 877);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, bySpecialAbility, 878);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szModelName, 879);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, bUserValid, 944);
DEVSDK_CHECK_OFFSET(DEVICE_NET_INFO_EX, szUser, 948);

// SdkSetSearchParam: the broadcast port of the next search.
struct SDK_SEARCH_PARAM {
    DWORD dwSize;               // 16
    int nReserved1;
    WORD wBroadcastPort;
    BYTE byReserved[2];
    int nReserved2;
};
DEVSDK_CHECK_SIZE(SDK_SEARCH_PARAM, 16);
DEVSDK_CHECK_OFFSET(SDK_SEARCH_PARAM, wBroadcastPort, 8);

// SdkSearchDevicesByIPs: the SDK reads these 16392 bytes; the caller may append its own data.
struct SDK_SEARCH_IP_LIST {
    DWORD dwSize;               // 16392
    int nIpNum;                 // entries 0 .. nIpNum-1 are searched
    char szIP[256][64];
};
DEVSDK_CHECK_SIZE(SDK_SEARCH_IP_LIST, 16392);
DEVSDK_CHECK_OFFSET(SDK_SEARCH_IP_LIST, szIP, 8);

struct CFG_NETWORK_INTERFACE {
    char szName[128];
    char szIP[256];
    char szSubnetMask[256];
    char szDefGateway[256];
    int bDhcpEnable;
    int nMTU;
    char szDnsServers[2][256];
    int bDnsAutoGet;
    char szMacAddress[40];
    BYTE byReserved[236];
};
DEVSDK_CHECK_SIZE(CFG_NETWORK_INTERFACE, 1696);
DEVSDK_CHECK_OFFSET(CFG_NETWORK_INTERFACE, szIP, 128);
DEVSDK_CHECK_OFFSET(CFG_NETWORK_INTERFACE, szSubnetMask, 384);
DEVSDK_CHECK_OFFSET(CFG_NETWORK_INTERFACE, szDefGateway, 640);
DEVSDK_CHECK_OFFSET(CFG_NETWORK_INTERFACE, bDhcpEnable, 896);
DEVSDK_CHECK_OFFSET(CFG_NETWORK_INTERFACE, szMacAddress, 1420);

constexpr int kMaxNetInterfaces = 32;

// "Network"
struct tagCFG_NETWORK_INFO {
    char szHostName[128];
    char szDomain[128];
    char szDefInterface[128];
    int nInterfaceNum;          // entries in use, at most 32
    CFG_NETWORK_INTERFACE stuInterfaces[kMaxNetInterfaces];
};
typedef tagCFG_NETWORK_INFO CFG_NETWORK_INFO;
DEVSDK_CHECK_SIZE(tagCFG_NETWORK_INFO, 54660);
DEVSDK_CHECK_OFFSET(tagCFG_NETWORK_INFO, nInterfaceNum, 384);
DEVSDK_CHECK_OFFSET(tagCFG_NETWORK_INFO, stuInterfaces, 388);

// "DVRIP"
struct tagCFG_DVRIP_INFO {
    int nTcpPort;
    int nSSLPort;
    int nUDPPort;
    int nMaxConnections;
    BYTE byReserved[30728];
};
typedef tagCFG_DVRIP_INFO CFG_DVRIP_INFO;
DEVSDK_CHECK_SIZE(tagCFG_DVRIP_INFO, 30744);
DEVSDK_CHECK_OFFSET(tagCFG_DVRIP_INFO, nTcpPort, 0);

// "Https"
struct tagCFG_HTTPS_INFO {
    int bEnable;
    int nPort;
    BYTE byReserved[908];
};
typedef tagCFG_HTTPS_INFO CFG_HTTPS_INFO;
DEVSDK_CHECK_SIZE(tagCFG_HTTPS_INFO, 916);
DEVSDK_CHECK_OFFSET(tagCFG_HTTPS_INFO, nPort, 4);

// ---- Login and device information -----------------------------------------------------

// Out record of SdkLogin and SdkLoginEx; callers pass a whole one (or NULL).
struct SDK_LOGIN_DEVICE_INFO {
    char szSerialNumber[48];
    int nAlarmInPortNum;
    int nAlarmOutPortNum;
    int nDiskNum;
    int nDevType;
    int nChanNum;               // channel count
    BYTE byLimitLoginTime;
    BYTE byLeftLogTimes;        // wrong passwords left before the lock
    BYTE byReserved1[2];
    int nLockLeftTime;          // seconds
    BYTE byReserved2[24];
};
DEVSDK_CHECK_SIZE(SDK_LOGIN_DEVICE_INFO, 100);
DEVSDK_CHECK_OFFSET(SDK_LOGIN_DEVICE_INFO, nChanNum, 64);

// SdkSetNetworkParam
struct NET_PARAM {
    int nWaittime;              // login wait, ms (0: default)
    int nConnectTime;
    int nConnectTryNum;
    int nSubConnectSpaceTime;
    int nGetDevInfoTime;        // 7000 in the upgrade workers
    int nReserved[7];
};
DEVSDK_CHECK_SIZE(NET_PARAM, 48);
DEVSDK_CHECK_OFFSET(NET_PARAM, nGetDevInfoTime, 16);

// SdkQueryDevState type 15
struct ZRDEV_VERSION_INFO {
    char szSerialNumber[48];
    BYTE byReserved1;
    char szDevType[32];
    BYTE byReserved2[7];
    char szSoftWareVersion[128];
    DWORD dwSoftwareBuildDate;  // (year << 16) + (month << 8) + day
    char szHardwareVersion[128];
    BYTE byReserved3[400];
    char szModel[64];
    BYTE byReserved4[192];
};
DEVSDK_CHECK_SIZE(ZRDEV_VERSION_INFO, 1004);
DEVSDK_CHECK_OFFSET(ZRDEV_VERSION_INFO, szDevType, 49);
DEVSDK_CHECK_OFFSET(ZRDEV_VERSION_INFO, szSoftWareVersion, 88);
DEVSDK_CHECK_OFFSET(ZRDEV_VERSION_INFO, dwSoftwareBuildDate, 216);
DEVSDK_CHECK_OFFSET(ZRDEV_VERSION_INFO, szModel, 748);

// SdkGetDevConfig command 1
struct ZRDEV_SYSTEM_ATTR_CFG {
    DWORD dwSize;               // 212
    BYTE byReserved1[144];
    BYTE byDevType;             // "type flag"
    BYTE byReserved2[32];
    BYTE byVideoCaptureNum;     // video inputs
    BYTE byAudioCaptureNum;
    BYTE byTalkInChanNum;
    BYTE byTalkOutChanNum;
    BYTE byDecodeChanNum;
    BYTE byAlarmInNum;
    BYTE byAlarmOutNum;
    BYTE byReserved3[16];
    BYTE byVideoStandard;       // 0 PAL, 1 NTSC
    BYTE byReserved4[7];
};
DEVSDK_CHECK_SIZE(ZRDEV_SYSTEM_ATTR_CFG, 212);
DEVSDK_CHECK_OFFSET(ZRDEV_SYSTEM_ATTR_CFG, byDevType, 148);
DEVSDK_CHECK_OFFSET(ZRDEV_SYSTEM_ATTR_CFG, byVideoCaptureNum, 181);
DEVSDK_CHECK_OFFSET(ZRDEV_SYSTEM_ATTR_CFG, byAlarmInNum, 186);
DEVSDK_CHECK_OFFSET(ZRDEV_SYSTEM_ATTR_CFG, byAlarmOutNum, 187);
DEVSDK_CHECK_OFFSET(ZRDEV_SYSTEM_ATTR_CFG, byVideoStandard, 204);

// SdkGetDevConfig / SdkSetDevConfig command 8, channel -1
struct SYNC_TIME_PARAM {
    int nYear;
    int nMonth;
    int nDay;
    int nHour;
    int nMinute;
    int nSecond;
};
DEVSDK_CHECK_SIZE(SYNC_TIME_PARAM, 24);

// SdkQueryDevState type 17
struct ZRDEV_DSP_ENCODECAP {
    DWORD dwVideoStandardMask;
    DWORD dwImageSizeMask;
    DWORD dwEncodeModeMask;
    DWORD dwStreamCap;          // 2 "Alarm", 4 "Motion"
    DWORD dwMaxEncodePower;
    DWORD dwEncodeProtocol;     // 1: the device takes the newer encode protocol
    BYTE byReserved[256];
};
DEVSDK_CHECK_SIZE(ZRDEV_DSP_ENCODECAP, 280);

// SdkQuerySystemInfo type 26
struct ZR_DEV_ENABLE_INFO {
    DWORD IsFucEnable[512];     // entry 29 (offset 116) is read by the configuration page
};
DEVSDK_CHECK_SIZE(ZR_DEV_ENABLE_INFO, 2048);
constexpr int kEnableInfoPageIndex = 29;
static_assert(kEnableInfoPageIndex * 4 == 116, "feature flag read at 116");

constexpr int kDeviceTypeTextSize = 64; // SdkQueryDevState type 20

struct ZRDEV_TALKDECODE_INFO {
    int encodeType;             // 1 PCM, 21 ADPCM, 2 G.711A, 4 G.711Mu, 5 G.726, 10 G.729, ...
    int nAudioBit;
    DWORD dwSampleRate;
    int nPacketPeriod;
    BYTE byReserved[60];
};
DEVSDK_CHECK_SIZE(ZRDEV_TALKDECODE_INFO, 76);
DEVSDK_CHECK_OFFSET(ZRDEV_TALKDECODE_INFO, dwSampleRate, 8);

// SdkQueryDevState type 9
struct ZRDEV_TALKFORMAT_LIST {
    int nSupportNum;
    ZRDEV_TALKDECODE_INFO type[64];
    BYTE byReserved[64];
};
DEVSDK_CHECK_SIZE(ZRDEV_TALKFORMAT_LIST, 4932);
DEVSDK_CHECK_OFFSET(ZRDEV_TALKFORMAT_LIST, type, 4);

// ---- Image, channel and stream records ------------------------------------------------

// "VideoInOptions"
struct tagCFG_VIDEO_IN_OPTIONS {
    BYTE byBacklight;
    BYTE byDayNightColor;
    BYTE byWhiteBalance;
    BYTE byColorTVMode;
    BYTE bFlip;
    BYTE bMirror;
    BYTE byIrisAuto;
    BYTE byReserved1[24];
    BYTE byWideDynamicRange;
    BYTE byReserved2[444];
    BYTE byFocusStatus;         // 1: the stream carries focus reports
    BYTE byReserved3[32];
    BYTE byGlareInhibition;
    BYTE byReserved4[142];
};
typedef tagCFG_VIDEO_IN_OPTIONS CFG_VIDEO_IN_OPTIONS;
DEVSDK_CHECK_SIZE(tagCFG_VIDEO_IN_OPTIONS, 652);
DEVSDK_CHECK_OFFSET(tagCFG_VIDEO_IN_OPTIONS, byDayNightColor, 1);
DEVSDK_CHECK_OFFSET(tagCFG_VIDEO_IN_OPTIONS, byWideDynamicRange, 31);
DEVSDK_CHECK_OFFSET(tagCFG_VIDEO_IN_OPTIONS, byFocusStatus, 476);
DEVSDK_CHECK_OFFSET(tagCFG_VIDEO_IN_OPTIONS, byGlareInhibition, 509);

struct AV_CFG_TimeSection {
    int nStructSize;            // 32
    int nMask;
    int nBeginHour;
    int nBeginMinute;
    int nBeginSecond;
    int nEndHour;
    int nEndMinute;
    int nEndSecond;
};
DEVSDK_CHECK_SIZE(AV_CFG_TimeSection, 32);

struct AV_CFG_VideoColor {
    int nStructSize;            // 64
    AV_CFG_TimeSection stuTimeSection;
    int nBrightness;
    int nContrast;
    int nSaturation;
    int nHue;
    int nGain;
    int nGainAuto;
    int nStyle;                 // 0 none, 1 soft, 2 standard, 3 bright
};
DEVSDK_CHECK_SIZE(AV_CFG_VideoColor, 64);
DEVSDK_CHECK_OFFSET(AV_CFG_VideoColor, nBrightness, 36);
DEVSDK_CHECK_OFFSET(AV_CFG_VideoColor, nHue, 48);
DEVSDK_CHECK_OFFSET(AV_CFG_VideoColor, nStyle, 60);

constexpr int kMaxColorPeriods = 24;

// "VideoColor"
struct AV_CFG_ChannelVideoColor {
    int nStructSize;            // 1544
    int nColorNum;
    AV_CFG_VideoColor stuColor[kMaxColorPeriods];
};
DEVSDK_CHECK_SIZE(AV_CFG_ChannelVideoColor, 1544);
DEVSDK_CHECK_OFFSET(AV_CFG_ChannelVideoColor, stuColor, 8);

// "ChannelTitle"
struct AV_CFG_ChannelName {
    int nStructSize;            // 264
    int nSerial;
    char szName[256];
};
DEVSDK_CHECK_SIZE(AV_CFG_ChannelName, 264);
DEVSDK_CHECK_OFFSET(AV_CFG_ChannelName, szName, 8);

// SdkGetConfig / SdkSetConfig command 1300
struct tagNET_VIDEOIN_SWITCH_MODE_INFO {
    DWORD dwSize;               // 32
    int emSwitchMode;           // 0 day, 2 by time, 3 night, 4 normal
    int nDayStartHour;
    int nDayStartMinute;
    int nDayStartSecond;
    int nDayEndHour;
    int nDayEndMinute;
    int nDayEndSecond;
};
typedef tagNET_VIDEOIN_SWITCH_MODE_INFO NET_VIDEOIN_SWITCH_MODE_INFO;
DEVSDK_CHECK_SIZE(tagNET_VIDEOIN_SWITCH_MODE_INFO, 32);

// Profiles selected by the int at offset 4 of the three picture records.
enum tagNET_EM_CONFIG_TYPE { NET_EM_CONFIG_DAYTIME = 0, NET_EM_CONFIG_NIGHT = 1, NET_EM_CONFIG_NORMAL = 2 };

// command 1301
struct tagNET_VIDEOIN_COLOR_INFO {
    DWORD dwSize;               // 28
    int emCfgType;
    int nBrightness;
    int nContrast;
    int nSaturation;
    int nGamma;                 // also read as hue
    int nReserved;
};
typedef tagNET_VIDEOIN_COLOR_INFO NET_VIDEOIN_COLOR_INFO;
DEVSDK_CHECK_SIZE(tagNET_VIDEOIN_COLOR_INFO, 28);
DEVSDK_CHECK_OFFSET(tagNET_VIDEOIN_COLOR_INFO, nGamma, 20);

// command 1309
struct tagNET_VIDEOIN_BACKLIGHT_INFO {
    DWORD dwSize;               // 40
    int emCfgType;
    int emBlackMode;            // 1 OFF, 2 BLC, 3 WDR, 4 HLC
    int nBacklightEnable;       // written as 1
    BYTE byReserved[16];
    int nWideDynamicRange;
    int nGlareInhibition;
};
typedef tagNET_VIDEOIN_BACKLIGHT_INFO NET_VIDEOIN_BACKLIGHT_INFO;
DEVSDK_CHECK_SIZE(tagNET_VIDEOIN_BACKLIGHT_INFO, 40);
DEVSDK_CHECK_OFFSET(tagNET_VIDEOIN_BACKLIGHT_INFO, nWideDynamicRange, 32);
DEVSDK_CHECK_OFFSET(tagNET_VIDEOIN_BACKLIGHT_INFO, nGlareInhibition, 36);

// command 1316
struct tagNET_VIDEOIN_DAYNIGHT_INFO {
    DWORD dwSize;               // 20
    int emCfgType;
    int emDayNight;             // 0 colour, 1 auto, 2 black and white
    int nReserved[2];
};
typedef tagNET_VIDEOIN_DAYNIGHT_INFO NET_VIDEOIN_DAYNIGHT_INFO;
DEVSDK_CHECK_SIZE(tagNET_VIDEOIN_DAYNIGHT_INFO, 20);

// commands 1000, 1001, 1006
struct tagNET_OSD_CHANNEL_TITLE {
    DWORD dwSize;               // 60
    int bEncodeBlend;
    BYTE byReserved[52];
};
DEVSDK_CHECK_SIZE(tagNET_OSD_CHANNEL_TITLE, 60);
struct tagNET_OSD_TIME_TITLE {
    DWORD dwSize;               // 64
    int bEncodeBlend;
    BYTE byReserved[56];
};
DEVSDK_CHECK_SIZE(tagNET_OSD_TIME_TITLE, 64);
struct tagNET_OSD_GPS_TITLE {
    DWORD dwSize;               // 8
    int bEncodeBlend;
};
DEVSDK_CHECK_SIZE(tagNET_OSD_GPS_TITLE, 8);
typedef tagNET_OSD_CHANNEL_TITLE NET_OSD_CHANNEL_TITLE;
typedef tagNET_OSD_TIME_TITLE NET_OSD_TIME_TITLE;
typedef tagNET_OSD_GPS_TITLE NET_OSD_GPS_TITLE;

// SdkGetDevConfig / SdkSetDevConfig command 20
struct __ZRDEV_WATERMAKE_CFG {
    DWORD dwSize;               // 4752
    int nEnable;
    int nStream;
    int nKey;                   // text source, 1 = first text
    char szLetterData[128];
    char szData[4096];
    BYTE byReserved[512];
};
typedef __ZRDEV_WATERMAKE_CFG ZRDEV_WATERMAKE_CFG;
DEVSDK_CHECK_SIZE(__ZRDEV_WATERMAKE_CFG, 4752);
DEVSDK_CHECK_OFFSET(__ZRDEV_WATERMAKE_CFG, nKey, 12);
DEVSDK_CHECK_OFFSET(__ZRDEV_WATERMAKE_CFG, szLetterData, 16);
DEVSDK_CHECK_OFFSET(__ZRDEV_WATERMAKE_CFG, szData, 144);

// SdkGetDevCaps type 30
struct tagNET_IN_VIDEO_ENCODE_CAPS {
    DWORD dwSize;               // 16
    int nChannel;
    int nReserved;
    int emStream;               // 1 main, 2 sub
};
DEVSDK_CHECK_SIZE(tagNET_IN_VIDEO_ENCODE_CAPS, 16);
struct tagNET_OUT_VIDEO_ENCODE_CAPS {
    DWORD dwSize;               // 2064
    int nSVCLayerNum;
    int nSVCLayers[32];
    BYTE byReserved[1928];
};
DEVSDK_CHECK_SIZE(tagNET_OUT_VIDEO_ENCODE_CAPS, 2064);
typedef tagNET_IN_VIDEO_ENCODE_CAPS NET_IN_VIDEO_ENCODE_CAPS;
typedef tagNET_OUT_VIDEO_ENCODE_CAPS NET_OUT_VIDEO_ENCODE_CAPS;

// SdkGetDevCaps type 14
struct tagNET_CAMERA_STATE_INFO {
    int nChannel;
    int emConnectionState;      // only 2 lets templates configure the channel
    BYTE byReserved[1024];
};
DEVSDK_CHECK_SIZE(tagNET_CAMERA_STATE_INFO, 1032);
struct tagNET_IN_GET_CAMERA_STATEINFO {
    DWORD dwSize;               // 4108
    int bGetAllFlag;            // 1
    int nValidNum;
    int nChannels[1024];
};
DEVSDK_CHECK_SIZE(tagNET_IN_GET_CAMERA_STATEINFO, 4108);
struct tagNET_OUT_GET_CAMERA_STATEINFO {
    DWORD dwSize;
    int nValidNum;
    int nMaxNum;                // capacity of the caller's array
    tagNET_CAMERA_STATE_INFO* pCameraStateInfo;
};
DEVSDK_CHECK_OFFSET(tagNET_OUT_GET_CAMERA_STATEINFO, nMaxNum, 8);
DEVSDK_CHECK_OFFSET(tagNET_OUT_GET_CAMERA_STATEINFO, pCameraStateInfo, sizeof(void*) == 8 ? 16 : 12);
DEVSDK_CHECK_SIZE(tagNET_OUT_GET_CAMERA_STATEINFO, sizeof(void*) == 8 ? 24 : 16);
typedef tagNET_CAMERA_STATE_INFO NET_CAMERA_STATE_INFO;
typedef tagNET_IN_GET_CAMERA_STATEINFO NET_IN_GET_CAMERA_STATEINFO;
typedef tagNET_OUT_GET_CAMERA_STATEINFO NET_OUT_GET_CAMERA_STATEINFO;

// "Encode" by name (opaque)
struct tagCFG_ENCODE_INFO {
    BYTE byData[2304];
};
typedef tagCFG_ENCODE_INFO CFG_ENCODE_INFO;
DEVSDK_CHECK_SIZE(tagCFG_ENCODE_INFO, 2304);

// ---- Users and maintenance ------------------------------------------------------------

struct USER_INFO {
    DWORD dwID;
    DWORD dwGroupID;
    char name[16];
    char passWord[16];
    DWORD dwRightNum;
    BYTE byReserved[468];
};
DEVSDK_CHECK_SIZE(USER_INFO, 512);
DEVSDK_CHECK_OFFSET(USER_INFO, name, 8);
DEVSDK_CHECK_OFFSET(USER_INFO, passWord, 24);

constexpr int kMaxUsers = 200;

// SdkQueryUserInfo
struct USER_MANAGE_INFO {
    BYTE byHead[15928];         // groups and rights
    DWORD dwUserNum;
    USER_INFO userList[kMaxUsers];
};
DEVSDK_CHECK_SIZE(USER_MANAGE_INFO, 118332);
DEVSDK_CHECK_OFFSET(USER_MANAGE_INFO, dwUserNum, 15928);
DEVSDK_CHECK_OFFSET(USER_MANAGE_INFO, userList, 15932);

struct USER_INFO_NEW {
    DWORD dwSize;               // 4436
    DWORD dwID;
    DWORD dwGroupID;
    char name[128];
    char passWord[64];
    BYTE byReserved[4232];
};
DEVSDK_CHECK_SIZE(USER_INFO_NEW, 4436);
DEVSDK_CHECK_OFFSET(USER_INFO_NEW, name, 12);
DEVSDK_CHECK_OFFSET(USER_INFO_NEW, passWord, 140);

struct USER_RIGHT_NEW { DWORD dwSize; BYTE byData[68]; };
struct USER_GROUP_NEW { DWORD dwSize; BYTE byData[4152]; };
struct USER_EXTRA_NEW { DWORD dwSize; BYTE byData[4264]; };
DEVSDK_CHECK_SIZE(USER_RIGHT_NEW, 72);
DEVSDK_CHECK_SIZE(USER_GROUP_NEW, 4156);
DEVSDK_CHECK_SIZE(USER_EXTRA_NEW, 4268);

// SdkQueryUserInfoNew
struct USER_MANAGE_INFO_NEW {
    DWORD dwSize;               // 1129684
    DWORD dwRightNum;
    USER_RIGHT_NEW rightList[1024];
    DWORD dwGroupNum;
    USER_GROUP_NEW groupList[20];
    DWORD dwUserNum;
    USER_INFO_NEW userList[kMaxUsers];
    BYTE byReserved[260];
    USER_EXTRA_NEW extraList[20];
};
DEVSDK_CHECK_SIZE(USER_MANAGE_INFO_NEW, 1129684);
DEVSDK_CHECK_OFFSET(USER_MANAGE_INFO_NEW, rightList, 8);
DEVSDK_CHECK_OFFSET(USER_MANAGE_INFO_NEW, dwGroupNum, 73736);
DEVSDK_CHECK_OFFSET(USER_MANAGE_INFO_NEW, groupList, 73740);
DEVSDK_CHECK_OFFSET(USER_MANAGE_INFO_NEW, dwUserNum, 156860);
DEVSDK_CHECK_OFFSET(USER_MANAGE_INFO_NEW, userList, 156864);
DEVSDK_CHECK_OFFSET(USER_MANAGE_INFO_NEW, extraList, 1044324);

struct DST_TIME {
    DWORD dwSize;               // 28
    int nYear;                  // kept from the device
    int nMonth;
    int nWeek;                  // 0 date mode, 1-4 or -1 (last)
    int nDay;
    int nHour;
    int nMinute;
};
DEVSDK_CHECK_SIZE(DST_TIME, 28);

// "Locales"
struct DST_PARAM {
    DWORD dwSize;               // 96
    char szTimeFormat[32];      // kept from the device
    int bDSTEnable;
    DST_TIME stDSTStart;
    DST_TIME stDSTEnd;
};
DEVSDK_CHECK_SIZE(DST_PARAM, 96);
DEVSDK_CHECK_OFFSET(DST_PARAM, bDSTEnable, 36);
DEVSDK_CHECK_OFFSET(DST_PARAM, stDSTStart, 40);
DEVSDK_CHECK_OFFSET(DST_PARAM, stDSTEnd, 68);

// "NTP"
struct NTP_PARAM {
    int bEnable;
    char szServer[256];
    int nPort;
    int nUpdatePeriod;          // minutes
    int nTimeZone;              // index into the page's list
    char szTimeZoneDesc[128];
    int nStandbyServerNum;
    BYTE byReserved[1056];
};
DEVSDK_CHECK_SIZE(NTP_PARAM, 1460);
DEVSDK_CHECK_OFFSET(NTP_PARAM, nPort, 260);
DEVSDK_CHECK_OFFSET(NTP_PARAM, nTimeZone, 268);
DEVSDK_CHECK_OFFSET(NTP_PARAM, nStandbyServerNum, 400);

// "AutoMaintain"
struct AUTO_MAINTAIN_PARAM {
    DWORD dwSize;               // 44
    int nAutoRebootDay;         // -1 off, 0-6 Sunday..Saturday, 7 every day
    int nAutoRebootHour;
    int nAutoRebootMinute;
    BYTE byReserved[28];
};
DEVSDK_CHECK_SIZE(AUTO_MAINTAIN_PARAM, 44);

// SdkResetSystem in and out
struct NET_IN_RESET_SYSTEM { DWORD dwSize; };
struct NET_OUT_RESET_SYSTEM { DWORD dwSize; };

// ---- Initialisation and password reset (no login; device by MAC) ----------------------

struct tagNET_IN_INIT_DEVICE_ACCOUNT {
    DWORD dwSize;               // 400
    char szMac[40];
    char szUserName[128];
    char szPwd[128];
    char szCellPhone[32];
    char szMail[64];
    BYTE byInitStatus;
    BYTE byPwdResetWay;
    BYTE byReserved[2];
};
DEVSDK_CHECK_SIZE(tagNET_IN_INIT_DEVICE_ACCOUNT, 400);
DEVSDK_CHECK_OFFSET(tagNET_IN_INIT_DEVICE_ACCOUNT, szUserName, 44);
DEVSDK_CHECK_OFFSET(tagNET_IN_INIT_DEVICE_ACCOUNT, szPwd, 172);
DEVSDK_CHECK_OFFSET(tagNET_IN_INIT_DEVICE_ACCOUNT, szCellPhone, 300);
DEVSDK_CHECK_OFFSET(tagNET_IN_INIT_DEVICE_ACCOUNT, szMail, 332);
DEVSDK_CHECK_OFFSET(tagNET_IN_INIT_DEVICE_ACCOUNT, byPwdResetWay, 397);
struct tagNET_OUT_INIT_DEVICE_ACCOUNT { DWORD dwSize; };
typedef tagNET_IN_INIT_DEVICE_ACCOUNT NET_IN_INIT_DEVICE_ACCOUNT;
typedef tagNET_OUT_INIT_DEVICE_ACCOUNT NET_OUT_INIT_DEVICE_ACCOUNT;

struct DEVINIT_ACCOUNT_INFO {
    DWORD dwSize;               // 308
    char szMac[40];
    char szUserName[128];
    char szPwd[128];
    BYTE byCloudAccess;         // 2 on, 1 off
    BYTE byAutoCheck;           // 2 on, 1 off
    BYTE byReserved[2];
    int nVideoStandard;         // 1 P, 2 N, 0 none
};
DEVSDK_CHECK_SIZE(DEVINIT_ACCOUNT_INFO, 308);
DEVSDK_CHECK_OFFSET(DEVINIT_ACCOUNT_INFO, byCloudAccess, 300);
DEVSDK_CHECK_OFFSET(DEVINIT_ACCOUNT_INFO, nVideoStandard, 304);
struct DEVINIT_ACCOUNT_OUT { DWORD dwSize; };

struct tagNET_IN_DESCRIPTION_FOR_RESET_PWD {
    DWORD dwSize;               // 176
    char szMac[40];             // may be the text "NULL"
    char szUserName[128];
    BYTE byReserved[4];
};
DEVSDK_CHECK_SIZE(tagNET_IN_DESCRIPTION_FOR_RESET_PWD, 176);
struct tagNET_OUT_DESCRIPTION_FOR_RESET_PWD {
    DWORD dwSize;
    char szCellPhone[32];
    char szMailAddr[64];
    char* pQrCode;              // caller's buffer for the description text
    int nQrCodeLen;             // its size (1000)
    int nReserved;
};
DEVSDK_CHECK_OFFSET(tagNET_OUT_DESCRIPTION_FOR_RESET_PWD, szCellPhone, 4);
DEVSDK_CHECK_OFFSET(tagNET_OUT_DESCRIPTION_FOR_RESET_PWD, szMailAddr, 36);
DEVSDK_CHECK_OFFSET(tagNET_OUT_DESCRIPTION_FOR_RESET_PWD, pQrCode, sizeof(void*) == 8 ? 104 : 100);
DEVSDK_CHECK_SIZE(tagNET_OUT_DESCRIPTION_FOR_RESET_PWD, sizeof(void*) == 8 ? 120 : 112);
typedef tagNET_IN_DESCRIPTION_FOR_RESET_PWD NET_IN_DESCRIPTION_FOR_RESET_PWD;
typedef tagNET_OUT_DESCRIPTION_FOR_RESET_PWD NET_OUT_DESCRIPTION_FOR_RESET_PWD;

struct tagNET_IN_CHECK_SECURITY_CODE {
    DWORD dwSize;               // 60
    char szMac[40];
    char szSecurity[16];
};
DEVSDK_CHECK_SIZE(tagNET_IN_CHECK_SECURITY_CODE, 60);
struct tagNET_OUT_CHECK_SECURITY_CODE { DWORD dwSize; };
typedef tagNET_IN_CHECK_SECURITY_CODE NET_IN_CHECK_SECURITY_CODE;
typedef tagNET_OUT_CHECK_SECURITY_CODE NET_OUT_CHECK_SECURITY_CODE;

struct tagNET_IN_RESET_PWD {
    DWORD dwSize;               // 320
    char szMac[40];
    char szUserName[128];
    char szPwd[64];
    BYTE byReserved1[64];
    char szSecurity[16];
    BYTE byReserved2[4];
};
DEVSDK_CHECK_SIZE(tagNET_IN_RESET_PWD, 320);
DEVSDK_CHECK_OFFSET(tagNET_IN_RESET_PWD, szPwd, 172);
DEVSDK_CHECK_OFFSET(tagNET_IN_RESET_PWD, szSecurity, 300);
struct tagNET_OUT_RESET_PWD { DWORD dwSize; };
typedef tagNET_IN_RESET_PWD NET_IN_RESET_PWD;
typedef tagNET_OUT_RESET_PWD NET_OUT_RESET_PWD;

// ---- Upgrade and cloud ----------------------------------------------------------------

struct NET_TIME_EX {
    DWORD dwYear;
    DWORD dwMonth;
    DWORD dwDay;
    DWORD dwHour;
    DWORD dwMinute;
    DWORD dwSecond;
    DWORD dwMillisecond;
    DWORD dwUTC;
    DWORD dwReserved;
};
DEVSDK_CHECK_SIZE(NET_TIME_EX, 36);

struct tagNET_IN_UPGRADE_DEV_INFO { DWORD dwSize; };
struct tagNET_OUT_UPGRADE_DEV_INFO {
    DWORD dwSize;               // 16872
    int nVendor;
    int nStandard;
    NET_TIME_EX stuBuildTime;
    BYTE byReserved1[16];
    char szSN[256];
    char szLanguage[128];
    char szSerialNo[64];
    char szSoftwareVersion[64];
    char szTag1[256];
    char szTag2[256];
    BYTE byReserved2[15784];
};
DEVSDK_CHECK_SIZE(tagNET_OUT_UPGRADE_DEV_INFO, 16872);
DEVSDK_CHECK_OFFSET(tagNET_OUT_UPGRADE_DEV_INFO, stuBuildTime, 12);
DEVSDK_CHECK_OFFSET(tagNET_OUT_UPGRADE_DEV_INFO, szSN, 64);
DEVSDK_CHECK_OFFSET(tagNET_OUT_UPGRADE_DEV_INFO, szLanguage, 320);
DEVSDK_CHECK_OFFSET(tagNET_OUT_UPGRADE_DEV_INFO, szSerialNo, 448);
DEVSDK_CHECK_OFFSET(tagNET_OUT_UPGRADE_DEV_INFO, szSoftwareVersion, 512);
DEVSDK_CHECK_OFFSET(tagNET_OUT_UPGRADE_DEV_INFO, szTag1, 576);
DEVSDK_CHECK_OFFSET(tagNET_OUT_UPGRADE_DEV_INFO, szTag2, 832);
typedef tagNET_IN_UPGRADE_DEV_INFO NET_IN_UPGRADE_DEV_INFO;
typedef tagNET_OUT_UPGRADE_DEV_INFO NET_OUT_UPGRADE_DEV_INFO;

struct tagNET_IN_CLOUD_UPGRADER_CHECK {
    DWORD dwSize;               // 2416
    int nVendor;
    int nStandard;
    NET_TIME_EX stuBuildTime;
    char szUrl[1024];
    char szClass[64];
    char szSN[256];
    char szLanguage[128];
    char szSerialNo[64];
    char szSoftwareVersion[64];
    char szTag1[256];
    char szTag2[256];
    char szAccount[128];
    char szToken[128];
};
DEVSDK_CHECK_SIZE(tagNET_IN_CLOUD_UPGRADER_CHECK, 2416);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_UPGRADER_CHECK, szUrl, 48);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_UPGRADER_CHECK, szClass, 1072);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_UPGRADER_CHECK, szSN, 1136);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_UPGRADER_CHECK, szLanguage, 1392);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_UPGRADER_CHECK, szSerialNo, 1520);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_UPGRADER_CHECK, szSoftwareVersion, 1584);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_UPGRADER_CHECK, szTag1, 1648);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_UPGRADER_CHECK, szTag2, 1904);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_UPGRADER_CHECK, szAccount, 2160);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_UPGRADER_CHECK, szToken, 2288);

struct tagNET_OUT_CLOUD_UPGRADER_CHECK {
    DWORD dwSize;               // 2184
    int bHasNewVersion;
    char szNewVersion[64];
    char szPackageDesc[1024];
    char szPackageUrl[1024];
    BYTE byReserved[64];
};
DEVSDK_CHECK_SIZE(tagNET_OUT_CLOUD_UPGRADER_CHECK, 2184);
DEVSDK_CHECK_OFFSET(tagNET_OUT_CLOUD_UPGRADER_CHECK, szNewVersion, 8);
DEVSDK_CHECK_OFFSET(tagNET_OUT_CLOUD_UPGRADER_CHECK, szPackageUrl, 1096);
typedef tagNET_IN_CLOUD_UPGRADER_CHECK NET_IN_CLOUD_UPGRADER_CHECK;
typedef tagNET_OUT_CLOUD_UPGRADER_CHECK NET_OUT_CLOUD_UPGRADER_CHECK;

// Download states reported to the download callback.
enum tagemCloudDownloadState {
    RemoteUpdateState_Success = 1,
    RemoteUpdateState_Failed = 2,
    RemoteUpdateState_Downloading = 3,
    RemoteUpdateState_NoDiskSpace = 4,
};

// (download handle, state, two unused words, percent 0-100, user)
typedef void (*fCloudDownloadCallBack)(LONG lDownloadHandle, int emState, WORD wReserved1, WORD wReserved2,
                                       DWORD dwPercent, void* dwUser);

struct tagNET_IN_CLOUD_DOWNLOAD {
    DWORD dwSize;
    char szUrl[1024];
    char szSavePath[1024];
    fCloudDownloadCallBack cbDownload;
    void* dwUser;
};
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_DOWNLOAD, szSavePath, 1028);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_DOWNLOAD, cbDownload, sizeof(void*) == 8 ? 2056 : 2052);
DEVSDK_CHECK_OFFSET(tagNET_IN_CLOUD_DOWNLOAD, dwUser, sizeof(void*) == 8 ? 2064 : 2056);
DEVSDK_CHECK_SIZE(tagNET_IN_CLOUD_DOWNLOAD, sizeof(void*) == 8 ? 2072 : 2060);
struct tagNET_OUT_CLOUD_DOWNLOAD { DWORD dwSize; };
typedef tagNET_IN_CLOUD_DOWNLOAD NET_IN_CLOUD_DOWNLOAD;
typedef tagNET_OUT_CLOUD_DOWNLOAD NET_OUT_CLOUD_DOWNLOAD;

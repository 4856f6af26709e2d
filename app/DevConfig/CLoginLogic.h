// Worker half of single-device configuration. Every task runs on loop 3 (ML_SDK), calls the
// device SDK, the configuration-device library or the player synchronously, and posts one bound
// result call of CLoginUILogic to loop 1. It never touches a widget.
#pragma once

#include <json/json.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "Common/SFEvent.h"
#include "DevConfig/DevConfigDefs.h"
#include "configdevice/ConfigDevice.h"
#include "devsdk/DevSdk.h"
#include "player/Player.h"

class CLoginUILogic;

class CLoginLogic : public std::enable_shared_from_this<CLoginLogic> {
public:
    explicit CLoginLogic(std::weak_ptr<CLoginUILogic> uiLogic);
    ~CLoginLogic();
    CLoginLogic(const CLoginLogic&) = delete;
    CLoginLogic& operator=(const CLoginLogic&) = delete;

    void ResetLoginState();

    // Login and encode configuration.
    void Task_LoginDevice(std::string address, int port, std::string user, std::string password, bool echo,
                          int p2p);
    int Task_QueryConfig(int index, QUERYCONFIG request, std::string key, SDKMETHOD method, bool requestFlag);
    int Task_SetConfig(int i1, int i2, int i3, int i4, int i5, std::string key, Json::Value value,
                       SDKMETHOD method);
    void Task_SaveEnCodeInFor(int unused, std::map<int, std::shared_ptr<tagCFG_ENCODE_INFO>> encode,
                              SDKMETHOD method);
    void Task_LogoutDev();

    // Live view and focus.
    void Task_StartPlay(int channel, HWND window);
    void Task_StopPlay(long handle);
    void Task_VideoInFocus();
    void Task_FocusAF(int value);
    void Task_CancelInFocus();
    void OnVisibleDec(const char* data, long length, int width, int height);

    // Picture, channel, file-management, stream and password settings.
    void Task_GetVedioChannelParams(int channel, int profile);
    void Task_SaveVedioEffect(int channel, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> color,
                              std::shared_ptr<AV_CFG_ChannelVideoColor> videoColor,
                              std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> backLight,
                              std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> dayNight);
    int Task_SaveVideoColor(int channel, std::shared_ptr<AV_CFG_ChannelVideoColor> record, bool post);
    int Task_SaveVideoInColor(int channel, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> record, bool post);
    int Task_SaveBlackLightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> record, bool post);
    int Task_SaveDayNightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> record, bool post);
    void Task_SaveChannelName(int channel, std::shared_ptr<AV_CFG_ChannelName> record);
    void Task_GetFileConfigPara(int channel);
    void Task_SaveFileConfig(tagNET_VIDEOIN_SWITCH_MODE_INFO record, int channel);
    void Task_SetComboFileConfig(tagNET_VIDEOIN_SWITCH_MODE_INFO record, int channel);
    void Task_GetWaterMark(int unused, int channel);
    void Task_GetMainSVCLayer(long loginId, int channel);
    void Task_GetSubSVCLayer(long loginId, int channel);
    void Task_GetDevDspInfo();
    void Task_GetCodeChannelParams(int channelCount, bool flag);
    void Task_ModifyPwd(std::string newPassword, std::string oldPassword, bool flag);
    void EnableOsdTitles(int channel);

    // Read by the SDK data thread and the player thread.
    std::atomic<int> m_nFirstDataPending{0};
    std::atomic<int> m_nNotifyOnFirstData{1};
    std::atomic<LONG> m_lPlayPort{0};
    // Open while a live view may hand frames over; the hand-over stops waiting once it closes.
    std::atomic<bool> m_bFramePathOpen{false};

    // Loop-3 state, read by tests after the loop went idle.
    LONG LoginHandle() const { return m_lLoginID; }
    LONG RealPlayHandle() const { return m_lRealHandle; }
    int ChannelCount() const { return m_nChannelCount; }
    int LiveChannel() const { return m_nLiveChannel; }
    bool HasConfigDevice() const { return m_pConfigDevice != nullptr; }

    // Posts a bound call of the GUI logic to loop 1 (dropped when the GUI logic is gone).
    template <class F>
    void PostUi(F call, const char* taskName, const char* callerName, int line);

private:
    std::weak_ptr<CLoginUILogic> m_wpUILogic;
    int m_nLiveChannel = 0;
    LONG m_lLoginID = 0;
    LONG m_lRealHandle = 0;
    int m_nLoginChannelCount = 0;
    std::string m_strUserName;
    int m_nLegacyWait = 1000;
    int m_nChannelCount = 1;
    int m_nAddressSuffix = 0;
    std::shared_ptr<CSFConfigDevice> m_pConfigDevice;
    std::shared_ptr<SF_SOFT_BASE::CSFEvent> m_pRenderEvent;
    std::shared_ptr<std::string> m_pFrameBuffer;
    std::shared_ptr<std::string> m_pSpareFrame;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;

    void ReleasePlayPort();
    int ResolveProfile(int channel);
};

void RealDataCallBack(LONG lRealHandle, DWORD dwDataType, BYTE* pBuffer, DWORD dwBufSize, LONG lParam, void* dwUser);
void FocusStatusCallBack(const char* pJson, LONG nPort, LONG nKind, LONG nLen, LONG nReserved, void* pUser);
void DecodeCallBack(LONG nPort, char* pBuf, LONG nSize, FRAME_INFO* pFrameInfo, void* pUser, LONG nReserved);
// Switches the watermark of a channel on (with its text, in the field the device uses) or off.
// Returns the last SDK result.
int SetWaterMarkText(LONG loginId, int channel, int enable, const wchar_t* text);
// The profile in force for a switch mode at a time of day (seconds since midnight).
int ProfileOfSwitchMode(const tagNET_VIDEOIN_SWITCH_MODE_INFO& mode, int secondsOfDay);

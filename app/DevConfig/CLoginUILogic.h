// GUI half of single-device configuration, on loop 1 (ML_MAIN) for the life of the program.
// Requests post one task of CLoginLogic to loop 3 and return at once; the worker's results come
// back as the Task_*_Ret methods, which keep the login state and drive the page (through
// IDevConfigPeers).
#pragma once

#include <json/json.h>

#include <array>
#include <map>
#include <memory>
#include <string>

#include "DevConfig/DevConfigDefs.h"
#include "DevConfig/DevConfigPeers.h"
#include "configdevice/ConfigDevice.h"
#include "devsdk/DevSdkRecords.h"
#include "os/WinTypes.h"

class CMainFrameEventImp;
class CSFVideoWindow;
class CLoginLogic;
class SynSmartPtr;

class CLoginUILogic : public std::enable_shared_from_this<CLoginUILogic> {
public:
    explicit CLoginUILogic(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CLoginUILogic();
    static std::shared_ptr<CLoginUILogic> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    int Init();

    void SetVideoWindow(CSFVideoWindow* window) { m_pVideoWindow = window; }
    CSFVideoWindow* GetVideoWindow() const { return m_pVideoWindow; }
    // Replaces the page, view and main window the logic drives (tests).
    void SetPeers(std::shared_ptr<IDevConfigPeers> peers) { m_pPeers = std::move(peers); }
    std::shared_ptr<CLoginLogic> GetWorker() const { return m_pWorker; }

    // SDK login handle of the device being configured; 0 when none.
    LONG GetLoginID() const { return m_lLoginID; }
    void SetLoginID(LONG handle) { m_lLoginID = handle; }

    // ---- Requests (loop 1 -> loop 3) ----
    void ResetLoginState();
    void LoginDevice(std::string address, int port, std::string user, std::string password, int mode,
                     std::string mac, bool echo, int p2p);
    void GetDevInformation(int loginChannelCount, bool echo);
    void StartRealPlay(int channel, HWND window);
    void StopRealPlay(long handle);
    void VideoInFocus();
    void CancelVideoInFocus();
    void LogoutDev();
    void GetVedioChannelParams(int channel, int profile);
    void GetFileConfigPara(int channel);
    void SaveFileConfig(tagNET_VIDEOIN_SWITCH_MODE_INFO& record, int channel);
    void SetComboFileConfig(tagNET_VIDEOIN_SWITCH_MODE_INFO& record, int channel);
    void GetWaterMark(int unused, int channel);
    void GetMainSVCLayer(long loginId, int channel);
    void GetSubSVCLayer(long loginId, int channel);
    void SetConfig(int i1, int i2, int i3, int i4, int i5, std::string key, Json::Value value, SDKMETHOD method);
    int QueryConfig(int channel, int i1, std::string t1, int ignored, int i2, int i3, std::string t2, int i4,
                    std::string key, SDKMETHOD method, bool requestFlag);
    void SaveEnCodeInFor(int unused, std::map<int, std::shared_ptr<tagCFG_ENCODE_INFO>> encode, SDKMETHOD method);
    void ModifyPwd(std::string oldPassword, std::string newPassword, bool echo);
    void SaveChannelName(int channel, std::shared_ptr<AV_CFG_ChannelName> record);
    void SaveVedioEffect(int channel, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> color,
                         std::shared_ptr<AV_CFG_ChannelVideoColor> videoColor,
                         std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> backLight,
                         std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> dayNight);
    void SaveVideoColor(int channel, std::shared_ptr<AV_CFG_ChannelVideoColor> record);
    void SaveVideoInColor(int channel, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> record);
    void SaveBlackLightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> record);
    void SaveDayNightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> record);
    void EnableConfigControls(int enable);

    // The request record of one encode query (the fourth argument gives way to the channel's
    // video standard, 0 while the table is unknown).
    QUERYCONFIG PackQuery(int channel, int i1, const std::string& t1, int i2, int i3, const std::string& t2,
                          int i4) const;

    // ---- Results (loop 3 -> loop 1) ----
    void ShowLoginResult(int success, int error);
    void Task_LoginDevice_Ret(long loginId, int error, int suffix, std::string password, std::string user,
                              int loginChannelCount, bool echo);
    void Task_ModifyPwd_Ret(int loginChannelCount, std::string user, std::string newPassword, int result, bool echo);
    void Task_LogoutDev_Ret();
    void Task_StartPlay_Ret(long realHandle);
    void Task_DecoderMissing();
    void Task_GetDevSoftware_Ret(std::shared_ptr<ZRDEV_VERSION_INFO> record, int success, int length);
    void Task_GetDevDSPCap_Ret(std::shared_ptr<ZRDEV_DSP_ENCODECAP> record, int success, int length);
    void Task_QueryDevEnable_Ret(std::shared_ptr<ZR_DEV_ENABLE_INFO> record, int success, int length);
    void Task_QueryDevChnNum_Ret(int channelCount, int attrFlag);
    void Task_QueryDevType_Ret(std::shared_ptr<std::array<char, 64>> type);
    void Task_QueryVedioStandard_Ret(std::shared_ptr<std::array<int32_t, devconfig::kMaxChannels>> table);
    void Task_QueryEncodeInfo_Ret(std::shared_ptr<tagCFG_ENCODE_INFO> record, int, int, bool echo);
    void Task_GetVedioChnPar_Ret(std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> color,
                                 std::shared_ptr<AV_CFG_ChannelVideoColor> videoColor,
                                 std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> backLight,
                                 std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> dayNight,
                                 std::shared_ptr<AV_CFG_ChannelName> name, int success, tagNET_EM_CONFIG_TYPE profile);
    void Task_SaveEncodeInFo_Ret(int committed);
    void Task_VideoInFocus_Ret(int success);
    void Task_FocusAF_Ret(int peak);
    void Task_SaveVedioEffect_Ret(int result);
    void Task_SaveChannelName_Ret(int success);
    void Task_GetFileConfigPara_Ret(std::shared_ptr<tagNET_VIDEOIN_SWITCH_MODE_INFO> record, int success);
    void Task_SaveFileConfig_Ret(int success);
    void Task_GetWaterMark_Ret(__ZRDEV_WATERMAKE_CFG& record, int success);
    void Task_GetMainSVCLayer_Ret(tagNET_OUT_VIDEO_ENCODE_CAPS& record, int success);
    void Task_GetSubSVCLayer_Ret(tagNET_OUT_VIDEO_ENCODE_CAPS& record, int success);
    void UpdateEnable();
    int OnQTRenderSubWin(std::shared_ptr<std::string> frame, int width, int height,
                         std::shared_ptr<SynSmartPtr> synchroniser);
    // Encode query results.
    void Task_QueryEncodeMode_Ret(Json::Value value, bool flag);
    void Task_QueryResolution_Ret(Json::Value value, int i1, bool flag);
    void Task_QueryFrame_Ret(Json::Value value, int i5, bool flag);
    void Task_QueryBitRate_Ret(Json::Value value);
    void Task_QueryBitRateControl_Ret(Json::Value value);
    void Task_QueryImageQuality_Ret(Json::Value value, bool flag);
    void Task_QuerySub1Ability_Ret(Json::Value value);
    void Task_QuerySub1VideoEnable_Ret(Json::Value value);
    void Task_QuerySub1EncodeMode_Ret(Json::Value value);
    void Task_QuerySub1Resolution_Ret(Json::Value value);
    void Task_QuerySub1Frame_Ret(Json::Value value, bool flag);
    void Task_QuerySub1BitRate_Ret(Json::Value value);
    void Task_QuerySub1BitRateControl_Ret(Json::Value value);
    void Task_QuerySub1ImageQuality_Ret(Json::Value value);
    void Task_QuerySub1AudioEnable_Ret(Json::Value value);
    void Task_QueryAudioEnable_Ret(Json::Value value);
    void Task_QuerySub1AudioEncode_Ret(Json::Value value);
    void Task_QueryAudioEncode_Ret(Json::Value value);
    void Task_QueryAudioEncode_RetEx(std::shared_ptr<ZRDEV_TALKFORMAT_LIST> record);
    void Task_QueryIFrameInterval_Ret(Json::Value value);
    void Task_QuerySVCLayer_Ret(Json::Value value);
    void Task_QuerySub1IFrameInterval_Ret(Json::Value value);
    void Task_QuerySub1SVCLayer_Ret(Json::Value value);
    void Task_GetConfigByName_Ret(int, std::string name, Json::Value value);

    // State the page reads directly.
    std::shared_ptr<ZRDEV_VERSION_INFO> m_pVersion;
    std::shared_ptr<ZRDEV_DSP_ENCODECAP> m_pDspCap;
    std::shared_ptr<ZR_DEV_ENABLE_INFO> m_pDevEnable;
    std::shared_ptr<tagCFG_ENCODE_INFO> m_pEncodeInfo;
    std::shared_ptr<std::array<int32_t, devconfig::kMaxChannels>> m_pVideoStandards;
    int m_bGotVersion = 0, m_bGotDspCap = 0, m_bGotDevEnable = 0, m_bGotEncodeInfo = 0, m_bGotDevType = 0,
        m_bGotVideoStandard = 0;
    int m_nChannelCount = 1;
    int m_nSysAttrFlag = 0;
    char m_szDevType[64] = {};
    int m_nLoginMode = 0;
    std::string m_strAddress, m_strMac, m_strUser, m_strPassword;
    int m_nPort = 0;
    char m_szAddress[64] = {};
    // First-data notices of live views so far.
    int m_nDataNotices = 0;

private:
    template <class F>
    void PostWorker(F call, const char* taskName, const char* callerName, int line);
    void EncodeResult(const char* viewMethod, const Json::Value& value, int extra = 0, bool flag = false);
    bool AllInfoReceived() const { return m_bGotDspCap && m_bGotDevEnable && m_bGotEncodeInfo; }

    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    std::shared_ptr<CLoginLogic> m_pWorker;
    std::shared_ptr<IDevConfigPeers> m_pPeers;
    CSFVideoWindow* m_pVideoWindow = nullptr;
    LONG m_lLoginID = 0;
};

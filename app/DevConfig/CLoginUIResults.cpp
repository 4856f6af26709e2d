// GUI logic: the worker's results on loop 1, the login sequence and the page's views.
#include "DevConfig/CLoginUILogic.h"

#include "Common/SynSmartPtr.h"
#include "DevConfig/CLoginLogic.h"
#include "Main/MainFrameDefs.h"
#include "Widgets/SFVideoWindow.h"

#include <cstring>

using namespace devconfig;

void CLoginUILogic::ShowLoginResult(int success, int error)
{
    if (!success) {
        m_pPeers->Page_SetLoggingIn(0);
        m_pPeers->Page_ShowStartPanel(false);
        m_pPeers->Page_ShowLoadingAnimation(false);
        // The failure panel may start a new login (account dialog): its flag stays.
        m_pPeers->Page_ShowLoginError(true, error);
        return;
    }
    m_pPeers->Page_ShowStartPanel(false);
    m_pPeers->Page_ShowLoadingAnimation(false);
    m_pPeers->Page_ShowTabButtons(true);
    switch (m_pPeers->View_CurrentTab()) {
    case 0:
        m_pPeers->Page_ShowImageTab(false);
        m_pPeers->Page_ShowFileManageTab(false);
        m_pPeers->Page_ShowEncodeTab(true);
        break;
    case 1:
        m_pPeers->Page_ShowImageTab(true);
        m_pPeers->Page_ShowEncodeTab(false);
        m_pPeers->Page_ShowFileManageTab(false);
        break;
    default:
        m_pPeers->Page_ShowImageTab(false);
        m_pPeers->Page_ShowEncodeTab(false);
        m_pPeers->Page_ShowFileManageTab(true);
        break;
    }
    m_pPeers->Page_SetLoggingIn(0);
}

void CLoginUILogic::Task_LoginDevice_Ret(long loginId, int error, int, std::string password, std::string,
                                         int loginChannelCount, bool echo)
{
    m_lLoginID = LONG(loginId);
    if (loginId == 0) {
        ShowLoginResult(0, error);
        return;
    }
    if ((password == kInitialPassword || password.empty()) && m_pPeers->Page_ShowInitPasswordNotice(echo))
        return; // the password change carries the sequence on
    GetDevInformation(loginChannelCount, echo);
}

void CLoginUILogic::Task_ModifyPwd_Ret(int loginChannelCount, std::string user, std::string newPassword, int result,
                                       bool echo)
{
    if (result < 1) {
        ShowLoginResult(0, 11);
        return;
    }
    m_pPeers->View_SetDeviceAccount(user, newPassword);
    GetDevInformation(loginChannelCount, echo);
}

void CLoginUILogic::Task_LogoutDev_Ret()
{
    m_lLoginID = 0;
    m_pPeers->Main_OnModuleStopped(MAINFRAME_MODULE_DEVCONFIG_LOGIN);
}

void CLoginUILogic::Task_StartPlay_Ret(long realHandle)
{
    VideoInFocus();
    m_pPeers->View_SetPlayHandle(realHandle);
}

void CLoginUILogic::Task_DecoderMissing() { m_pPeers->View_ShowDecoderMissing(true); }

void CLoginUILogic::Task_GetDevSoftware_Ret(std::shared_ptr<ZRDEV_VERSION_INFO> record, int success, int)
{
    if (!success) {
        ShowLoginResult(0, 0);
        return;
    }
    m_pVersion = record;
    m_bGotVersion = 1;
}

void CLoginUILogic::Task_GetDevDSPCap_Ret(std::shared_ptr<ZRDEV_DSP_ENCODECAP> record, int success, int)
{
    if (!success) {
        ShowLoginResult(0, 0);
        return;
    }
    m_pDspCap = record;
    m_bGotDspCap = 1;
}

void CLoginUILogic::Task_QueryDevEnable_Ret(std::shared_ptr<ZR_DEV_ENABLE_INFO> record, int, int)
{
    m_pDevEnable = record;
    m_bGotDevEnable = 1;
}

void CLoginUILogic::Task_QueryDevChnNum_Ret(int channelCount, int attrFlag)
{
    m_nChannelCount = channelCount;
    m_nSysAttrFlag = attrFlag;
}

void CLoginUILogic::Task_QueryDevType_Ret(std::shared_ptr<std::array<char, 64>> type)
{
    m_bGotDevType = 1;
    std::memset(m_szDevType, 0, sizeof m_szDevType);
    if (type)
        std::memcpy(m_szDevType, type->data(), strnlen(type->data(), 63));
}

void CLoginUILogic::Task_QueryVedioStandard_Ret(std::shared_ptr<std::array<int32_t, kMaxChannels>> table)
{
    m_bGotVideoStandard = 1;
    m_pVideoStandards = table;
}

void CLoginUILogic::Task_QueryEncodeInfo_Ret(std::shared_ptr<tagCFG_ENCODE_INFO> record, int, int, bool echo)
{
    m_pEncodeInfo = record;
    m_bGotEncodeInfo = 1;
    if (!AllInfoReceived())
        return;
    m_pPeers->View_SetEncodeInfoFlag(echo);
    m_pPeers->View_ApplyMainAbility(0, true);
}

void CLoginUILogic::Task_GetVedioChnPar_Ret(std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> color,
                                            std::shared_ptr<AV_CFG_ChannelVideoColor> videoColor,
                                            std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> backLight,
                                            std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> dayNight,
                                            std::shared_ptr<AV_CFG_ChannelName> name, int success,
                                            tagNET_EM_CONFIG_TYPE profile)
{
    if (AllInfoReceived()) {
        int r = m_pPeers->View_OnGetVideoEffect(color, videoColor, backLight, dayNight, name, success, int(profile));
        m_pPeers->View_StartPreview(r);
    }
    m_pPeers->Page_AddPendingQuery(-1);
}

void CLoginUILogic::Task_SaveEncodeInFo_Ret(int committed) { m_pPeers->View_OnSaveResult(committed); }

void CLoginUILogic::Task_VideoInFocus_Ret(int success) { m_pPeers->View_EnableEasyFocusButton(success != 0); }

void CLoginUILogic::Task_FocusAF_Ret(int peak) { m_pPeers->View_UpdateFocusStatus(peak); }

void CLoginUILogic::Task_SaveVedioEffect_Ret(int result)
{
    m_pPeers->View_ClearSaving();
    // A write that did not land is shown, never passed over as saved.
    m_pPeers->View_OnSaveEffectResult(result);
}

void CLoginUILogic::Task_SaveChannelName_Ret(int success)
{
    m_pPeers->View_ClearSaving();
    m_pPeers->View_OnSaveChannelNameResult(success);
}

void CLoginUILogic::Task_GetFileConfigPara_Ret(std::shared_ptr<tagNET_VIDEOIN_SWITCH_MODE_INFO> record, int success)
{
    m_pPeers->Page_AddPendingQuery(-1);
    m_pPeers->View_OnGetConfigFileInfo(record, success);
}

void CLoginUILogic::Task_SaveFileConfig_Ret(int success) { m_pPeers->View_OnSaveConfigFileResult(success); }

void CLoginUILogic::Task_GetWaterMark_Ret(__ZRDEV_WATERMAKE_CFG& record, int success)
{
    m_pPeers->View_OnGetWaterMark(record, success);
}

void CLoginUILogic::Task_GetMainSVCLayer_Ret(tagNET_OUT_VIDEO_ENCODE_CAPS& record, int success)
{
    m_pPeers->View_OnGetMainSVCLayer(record, success);
}

void CLoginUILogic::Task_GetSubSVCLayer_Ret(tagNET_OUT_VIDEO_ENCODE_CAPS& record, int success)
{
    m_pPeers->View_OnGetSubSVCLayer(record, success);
}

void CLoginUILogic::UpdateEnable() { ++m_nDataNotices; }

int CLoginUILogic::OnQTRenderSubWin(std::shared_ptr<std::string> frame, int width, int height,
                                    std::shared_ptr<SynSmartPtr> synchroniser)
{
    int result = 0;
    if (m_pVideoWindow && frame) {
        int id = m_pVideoWindow->GetSubWinID(0);
        m_pVideoWindow->RenderSubWin(id, reinterpret_cast<BYTE*>(&(*frame)[0]), RENDER_DATA_TYPE(1), width, height);
        result = 1;
    }
    // Letting go of the synchroniser lets the worker hand over the next frame.
    frame.reset();
    synchroniser.reset();
    return result;
}

void CLoginUILogic::EncodeResult(const char* viewMethod, const Json::Value& value, int extra, bool flag)
{
    m_pPeers->View_EncodeResult(viewMethod, value, extra, flag);
    m_pPeers->Page_AddPendingQuery(-1);
}

void CLoginUILogic::Task_QueryEncodeMode_Ret(Json::Value v, bool f) { EncodeResult("FillEncodeModeCombo", v, 0, f); }
void CLoginUILogic::Task_QueryResolution_Ret(Json::Value v, int i1, bool f)
{
    EncodeResult("FillResolutionCombo", v, i1, f);
}
void CLoginUILogic::Task_QueryFrame_Ret(Json::Value v, int i5, bool f) { EncodeResult("SetMainFrameRate", v, i5, f); }
void CLoginUILogic::Task_QueryBitRate_Ret(Json::Value v) { EncodeResult("SetMainBitRate", v); }
void CLoginUILogic::Task_QueryBitRateControl_Ret(Json::Value v) { EncodeResult("SetMainBitRateControl", v); }
void CLoginUILogic::Task_QueryImageQuality_Ret(Json::Value v, bool f) { EncodeResult("SetMainImageQuality", v, 0, f); }
void CLoginUILogic::Task_QuerySub1Ability_Ret(Json::Value v)
{
    m_pPeers->View_ApplySubAbility(v);
    m_pPeers->Page_AddPendingQuery(-1);
}
void CLoginUILogic::Task_QuerySub1VideoEnable_Ret(Json::Value v) { EncodeResult("SetSubVideoEnable", v); }
void CLoginUILogic::Task_QuerySub1EncodeMode_Ret(Json::Value v) { EncodeResult("FillSubEncodeModeCombo", v); }
void CLoginUILogic::Task_QuerySub1Resolution_Ret(Json::Value v) { EncodeResult("FillSubResolutionCombo", v); }
void CLoginUILogic::Task_QuerySub1Frame_Ret(Json::Value v, bool f)
{
    EncodeResult("SetSubFrameRate", v, 0, f);
    ShowLoginResult(1, 0);
}
void CLoginUILogic::Task_QuerySub1BitRate_Ret(Json::Value v) { EncodeResult("SetSubBitRate", v); }
void CLoginUILogic::Task_QuerySub1BitRateControl_Ret(Json::Value v) { EncodeResult("SetSubBitRateControl", v); }
void CLoginUILogic::Task_QuerySub1ImageQuality_Ret(Json::Value v) { EncodeResult("SetSubImageQuality", v); }
void CLoginUILogic::Task_QuerySub1AudioEnable_Ret(Json::Value v) { EncodeResult("SetSubAudioEnable", v); }
void CLoginUILogic::Task_QueryAudioEnable_Ret(Json::Value v) { EncodeResult("SetMainAudioEnable", v); }
void CLoginUILogic::Task_QuerySub1AudioEncode_Ret(Json::Value v) { EncodeResult("FillSubAudioEncodeCombo", v); }
void CLoginUILogic::Task_QueryAudioEncode_Ret(Json::Value v) { EncodeResult("FillAudioEncodeCombo", v); }
void CLoginUILogic::Task_QueryAudioEncode_RetEx(std::shared_ptr<ZRDEV_TALKFORMAT_LIST> record)
{
    m_pPeers->View_FillAudioEncodeComboEx(record);
    m_pPeers->Page_AddPendingQuery(-1);
}
void CLoginUILogic::Task_QueryIFrameInterval_Ret(Json::Value v) { EncodeResult("SetMainIFrameInterval", v); }
void CLoginUILogic::Task_QuerySVCLayer_Ret(Json::Value v) { EncodeResult("SetMainSVCLayer", v); }
void CLoginUILogic::Task_QuerySub1IFrameInterval_Ret(Json::Value v) { EncodeResult("SetSubIFrameInterval", v); }
void CLoginUILogic::Task_QuerySub1SVCLayer_Ret(Json::Value v) { EncodeResult("SetSubSVCLayer", v); }

void CLoginUILogic::Task_GetConfigByName_Ret(int, std::string name, Json::Value value)
{
    if (name == "VideoColor")
        m_pPeers->View_EncodeResult("SetVideoColor", value, 0, false);
    else if (name == "VideoInPreviewOptions")
        m_pPeers->View_EncodeResult("SetVideoInOptions", value, 0, false);
}

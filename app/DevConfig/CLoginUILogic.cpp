// GUI logic: creation and the requests that post the worker's tasks to loop 3.
#include "DevConfig/CLoginUILogic.h"

#include "DevConfig/LoginPost.h"
#include "Main/CMainFrameEventImp.h"
#include "Widgets/SFVideoWindow.h"

#include <cstring>

using namespace devconfig;

CLoginUILogic::CLoginUILogic(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(std::move(mainFrame)) {}

CLoginUILogic::~CLoginUILogic() = default;

std::shared_ptr<CLoginUILogic> CLoginUILogic::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto logic = std::make_shared<CLoginUILogic>(mainFrame);
    logic->m_pPeers = CreateMainFrameDevConfigPeers(mainFrame);
    logic->Init();
    return logic;
}

int CLoginUILogic::Init()
{
    m_pWorker = std::make_shared<CLoginLogic>(std::weak_ptr<CLoginUILogic>(shared_from_this()));
    if (!m_pPeers)
        m_pPeers = std::make_shared<IDevConfigPeers>();
    return 1;
}

void CLoginUILogic::ResetLoginState()
{
    m_lLoginID = 0;
    m_nChannelCount = 1;
    m_nSysAttrFlag = 0;
    m_nLoginMode = 0;
    m_bGotVersion = m_bGotDspCap = m_bGotDevEnable = m_bGotEncodeInfo = m_bGotDevType = m_bGotVideoStandard = 0;
    std::memset(m_szAddress, 0, sizeof m_szAddress);
    std::memset(m_szDevType, 0, sizeof m_szDevType);
}

void CLoginUILogic::LoginDevice(std::string address, int port, std::string user, std::string password, int mode,
                                std::string mac, bool echo, int p2p)
{
    ResetLoginState();
    m_strAddress = address;
    m_strUser = user;
    m_strPassword = password;
    m_strMac = mac;
    m_nLoginMode = mode;
    m_nPort = port;
    std::strncpy(m_szAddress, address.c_str(), sizeof m_szAddress - 1);
    PostWorker([=](CLoginLogic& w) { w.Task_LoginDevice(address, port, user, password, echo, p2p); },
               "&CLoginLogic::Task_LoginDevice", "CLoginUILogic::LoginDevice", __LINE__);
}

void CLoginUILogic::GetDevInformation(int loginChannelCount, bool echo)
{
    m_bGotVersion = m_bGotDspCap = m_bGotDevEnable = m_bGotDevType = m_bGotVideoStandard = 0;
    PostWorker([](CLoginLogic& w) { w.Task_GetDevDspInfo(); }, "&CLoginLogic::Task_GetDevDspInfo",
               "CLoginUILogic::GetDevInformation", __LINE__);
    PostWorker([=](CLoginLogic& w) { w.Task_GetCodeChannelParams(loginChannelCount, echo); },
               "&CLoginLogic::Task_GetCodeChannelParams", "CLoginUILogic::GetDevInformation", __LINE__);
}

void CLoginUILogic::StartRealPlay(int channel, HWND window)
{
    PostWorker([=](CLoginLogic& w) { w.Task_StartPlay(channel, window); }, "&CLoginLogic::Task_StartPlay",
               "CLoginUILogic::StartRealPlay", __LINE__);
}

void CLoginUILogic::StopRealPlay(long handle)
{
    PostWorker([=](CLoginLogic& w) { w.Task_StopPlay(handle); }, "&CLoginLogic::Task_StopPlay",
               "CLoginUILogic::StopRealPlay", __LINE__);
}

void CLoginUILogic::VideoInFocus()
{
    PostWorker([](CLoginLogic& w) { w.Task_VideoInFocus(); }, "&CLoginLogic::Task_VideoInFocus",
               "CLoginUILogic::VideoInFocus", __LINE__);
}

void CLoginUILogic::CancelVideoInFocus()
{
    PostWorker([](CLoginLogic& w) { w.Task_CancelInFocus(); }, "&CLoginLogic::Task_CancelInFocus",
               "CLoginUILogic::CancelVideoInFocus", __LINE__);
}

void CLoginUILogic::LogoutDev()
{
    if (!m_pVideoWindow)
        return;
    m_pVideoWindow->SetSubWinVideo(0, 0);
    m_pPeers->Page_ShowLoadingAnimation(false);
    m_pPeers->Page_ShowLoginError(false, 0);
    m_pPeers->Page_ShowTabButtons(false);
    m_pPeers->Page_ShowImageTab(false);
    m_pPeers->Page_ShowEncodeTab(false);
    m_pPeers->Page_ShowFileManageTab(false);
    m_pPeers->Page_ShowStartPanel(true);
    PostWorker([](CLoginLogic& w) { w.Task_LogoutDev(); }, "&CLoginLogic::Task_LogoutDev", "CLoginUILogic::LogoutDev",
               __LINE__);
}

void CLoginUILogic::GetVedioChannelParams(int channel, int profile)
{
    m_pPeers->Page_AddPendingQuery(1);
    PostWorker([=](CLoginLogic& w) { w.Task_GetVedioChannelParams(channel, profile); },
               "&CLoginLogic::Task_GetVedioChannelParams", "CLoginUILogic::GetVedioChannelParams", __LINE__);
}

void CLoginUILogic::GetFileConfigPara(int channel)
{
    m_pPeers->Page_AddPendingQuery(1);
    PostWorker([=](CLoginLogic& w) { w.Task_GetFileConfigPara(channel); }, "&CLoginLogic::Task_GetFileConfigPara",
               "CLoginUILogic::GetFileConfigPara", __LINE__);
}

void CLoginUILogic::SaveFileConfig(tagNET_VIDEOIN_SWITCH_MODE_INFO& record, int channel)
{
    tagNET_VIDEOIN_SWITCH_MODE_INFO copy = record;
    PostWorker([=](CLoginLogic& w) { w.Task_SaveFileConfig(copy, channel); }, "&CLoginLogic::Task_SaveFileConfig",
               "CLoginUILogic::SaveFileConfig", __LINE__);
}

void CLoginUILogic::SetComboFileConfig(tagNET_VIDEOIN_SWITCH_MODE_INFO& record, int channel)
{
    tagNET_VIDEOIN_SWITCH_MODE_INFO copy = record;
    PostWorker([=](CLoginLogic& w) { w.Task_SetComboFileConfig(copy, channel); },
               "&CLoginLogic::Task_SetComboFileConfig", "CLoginUILogic::SetComboFileConfig", __LINE__);
}

void CLoginUILogic::GetWaterMark(int unused, int channel)
{
    PostWorker([=](CLoginLogic& w) { w.Task_GetWaterMark(unused, channel); }, "&CLoginLogic::Task_GetWaterMark",
               "CLoginUILogic::GetWaterMark", __LINE__);
}

void CLoginUILogic::GetMainSVCLayer(long loginId, int channel)
{
    PostWorker([=](CLoginLogic& w) { w.Task_GetMainSVCLayer(loginId, channel); }, "&CLoginLogic::Task_GetMainSVCLayer",
               "CLoginUILogic::GetMainSVCLayer", __LINE__);
}

void CLoginUILogic::GetSubSVCLayer(long loginId, int channel)
{
    PostWorker([=](CLoginLogic& w) { w.Task_GetSubSVCLayer(loginId, channel); }, "&CLoginLogic::Task_GetSubSVCLayer",
               "CLoginUILogic::GetSubSVCLayer", __LINE__);
}

void CLoginUILogic::SetConfig(int i1, int i2, int i3, int i4, int i5, std::string key, Json::Value value,
                              SDKMETHOD method)
{
    PostWorker([=](CLoginLogic& w) { w.Task_SetConfig(i1, i2, i3, i4, i5, key, value, method); },
               "&CLoginLogic::Task_SetConfig", "CLoginUILogic::SetConfig", __LINE__);
}

QUERYCONFIG CLoginUILogic::PackQuery(int channel, int i1, const std::string& t1, int i2, int i3,
                                     const std::string& t2, int i4) const
{
    QUERYCONFIG q;
    std::memset(&q, 0, sizeof q);
    q.nMainType = i1;
    q.nMainResolution = i2;
    std::strncpy(q.szMainCompression, t1.c_str(), sizeof q.szMainCompression - 1);
    q.nSubType = i3;
    q.nSubResolution = i4;
    std::strncpy(q.szSubCompression, t2.c_str(), sizeof q.szSubCompression - 1);
    // The table arrives after login; before it, or for a channel outside it, the standard is 0.
    const bool known = m_pVideoStandards && channel >= 0 && channel < kMaxChannels;
    q.nVideoStandard = known ? (*m_pVideoStandards)[size_t(channel)] : 0;
    return q;
}

int CLoginUILogic::QueryConfig(int channel, int i1, std::string t1, int, int i2, int i3, std::string t2, int i4,
                               std::string key, SDKMETHOD method, bool requestFlag)
{
    const QUERYCONFIG q = PackQuery(channel, i1, t1, i2, i3, t2, i4);
    m_pPeers->Page_AddPendingQuery(1);
    PostWorker([=](CLoginLogic& w) { w.Task_QueryConfig(channel, q, key, method, requestFlag); },
               "&CLoginLogic::Task_QueryConfig", "CLoginUILogic::QueryConfig", __LINE__);
    return 1;
}

void CLoginUILogic::SaveEnCodeInFor(int unused, std::map<int, std::shared_ptr<tagCFG_ENCODE_INFO>> encode,
                                    SDKMETHOD method)
{
    PostWorker([=](CLoginLogic& w) { w.Task_SaveEnCodeInFor(unused, encode, method); },
               "&CLoginLogic::Task_SaveEnCodeInFor", "CLoginUILogic::SaveEnCodeInFor", __LINE__);
}

void CLoginUILogic::ModifyPwd(std::string oldPassword, std::string newPassword, bool echo)
{
    PostWorker([=](CLoginLogic& w) { w.Task_ModifyPwd(newPassword, oldPassword, echo); }, "&CLoginLogic::Task_ModifyPwd",
               "CLoginUILogic::ModifyPwd", __LINE__);
}

void CLoginUILogic::SaveChannelName(int channel, std::shared_ptr<AV_CFG_ChannelName> record)
{
    PostWorker([=](CLoginLogic& w) { w.Task_SaveChannelName(channel, record); }, "&CLoginLogic::Task_SaveChannelName",
               "CLoginUILogic::SaveChannelName", __LINE__);
}

void CLoginUILogic::SaveVedioEffect(int channel, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> color,
                                    std::shared_ptr<AV_CFG_ChannelVideoColor> videoColor,
                                    std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> backLight,
                                    std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> dayNight)
{
    PostWorker([=](CLoginLogic& w) { w.Task_SaveVedioEffect(channel, color, videoColor, backLight, dayNight); },
               "&CLoginLogic::Task_SaveVedioEffect", "CLoginUILogic::SaveVedioEffect", __LINE__);
}

void CLoginUILogic::SaveVideoColor(int channel, std::shared_ptr<AV_CFG_ChannelVideoColor> record)
{
    PostWorker([=](CLoginLogic& w) { w.Task_SaveVideoColor(channel, record, false); },
               "&CLoginLogic::Task_SaveVideoColor", "CLoginUILogic::SaveVideoColor", __LINE__);
}

void CLoginUILogic::SaveVideoInColor(int channel, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> record)
{
    PostWorker([=](CLoginLogic& w) { w.Task_SaveVideoInColor(channel, record, true); },
               "&CLoginLogic::Task_SaveVideoInColor", "CLoginUILogic::SaveVideoInColor", __LINE__);
}

void CLoginUILogic::SaveBlackLightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> record)
{
    PostWorker([=](CLoginLogic& w) { w.Task_SaveBlackLightInfo(channel, record, true); },
               "&CLoginLogic::Task_SaveBlackLightInfo", "CLoginUILogic::SaveBlackLightInfo", __LINE__);
}

void CLoginUILogic::SaveDayNightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> record)
{
    PostWorker([=](CLoginLogic& w) { w.Task_SaveDayNightInfo(channel, record, true); },
               "&CLoginLogic::Task_SaveDayNightInfo", "CLoginUILogic::SaveDayNightInfo", __LINE__);
}

void CLoginUILogic::EnableConfigControls(int enable) { m_pPeers->Page_EnableConfigControls(enable != 0); }

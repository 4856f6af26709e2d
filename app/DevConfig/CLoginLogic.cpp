// Worker: construction, device login and logout, encode configuration through the
// configuration-device library.
#include "DevConfig/CLoginLogic.h"

#include "DevConfig/DebugOut.h"
#include "DevConfig/LoginPost.h"

#include <cstring>

using namespace devconfig;

CLoginLogic::CLoginLogic(std::weak_ptr<CLoginUILogic> uiLogic) : m_wpUILogic(std::move(uiLogic))
{
    m_pRenderEvent = std::make_shared<SF_SOFT_BASE::CSFEvent>();
    m_pRenderEvent->Create(1, 0); // auto-reset, starts signalled
}

CLoginLogic::~CLoginLogic()
{
    m_bFramePathOpen = false;
    // The stream and the player hold this object as their user value: both end before it goes.
    if (m_lRealHandle) {
        SdkStopRealPlay(m_lRealHandle);
        m_lRealHandle = 0;
    }
    ReleasePlayPort();
    if (m_pRenderEvent)
        m_pRenderEvent->Close();
    m_pFrameBuffer.reset();
    m_pSpareFrame.reset();
    m_pRenderEvent.reset();
    m_pConfigDevice.reset();
}

void CLoginLogic::ResetLoginState()
{
    m_nLegacyWait = 1000;
    m_nChannelCount = 1;
    m_nAddressSuffix = 0;
    m_nFirstDataPending = 0;
    m_nNotifyOnFirstData = 1;
    m_nLiveChannel = 0;
}

void CLoginLogic::Task_LoginDevice(std::string address, int port, std::string user, std::string password, bool echo,
                                   int p2p)
{
    if (m_lLoginID) {
        // The live view of the previous device ends with its login, the player's side too.
        ReleasePlayPort();
        SdkLogout(m_lLoginID);
        m_lLoginID = 0;
    }
    SDK_LOGIN_DEVICE_INFO out;
    std::memset(&out, 0, sizeof out);
    int error = 0;
    ResetLoginState();
    std::string::size_type slash = address.find('/');
    if (slash != std::string::npos) {
        address.resize(slash);
        m_nAddressSuffix = 1;
    }
    // The password stays out of the diagnostic output.
    DevConfigDebug("IP:%s,username:%s,port:%d", address.c_str(), user.c_str(), port);
    if (port == 0)
        port = kDefaultPort;
    if (p2p)
        m_lLoginID = SdkLoginEx("127.0.0.1", port, user.c_str(), password.c_str(), EM_LOGIN_SPEC_CAP_P2P, nullptr,
                                &out, &error);
    else
        m_lLoginID = SdkLoginEx(address.c_str(), port, user.c_str(), password.c_str(), EM_LOGIN_SPEC_CAP_TCP,
                                nullptr, &out, &error);
    m_strUserName = user;
    std::memcpy(&m_nLoginChannelCount, reinterpret_cast<const char*>(&out) + 64, 4);
    DevConfigDebug("LoginID: %ld", long(m_lLoginID));
    // A configuration device belongs to one login: a failed login leaves none behind.
    m_pConfigDevice.reset();
    if (m_lLoginID) {
        m_pConfigDevice = std::make_shared<CSFConfigDevice>(m_lLoginID);
        DevConfigDebug("ConfigDev LoginID: %ld", long(m_lLoginID));
    }
    const long handle = m_lLoginID;
    const int suffix = m_nAddressSuffix, count = m_nLoginChannelCount;
    PostUi([=](CLoginUILogic& ui) { ui.Task_LoginDevice_Ret(handle, error, suffix, password, user, count, echo); },
           "&CLoginUILogic::Task_LoginDevice_Ret", "CLoginLogic::Task_LoginDevice", __LINE__);
}

namespace {

// Query keys in the order they are matched, with the result each posts.
enum class QueryKey {
    EncodeMode, Resolution, Frame, BitRate, BitRateControl, ImageQuality, Sub1Ability, Sub1VideoEnable,
    Sub1EncodeMode, Sub1Resolution, Sub1Frame, Sub1BitRate, Sub1BitRateControl, Sub1ImageQuality,
    Sub1AudioEnable, AudioEnable, Sub1AudioEncode, AudioEncode, AudioSF, None
};

const char* const kQueryKeys[] = {"EncodeMode",      "Resolution",         "Frame",           "BitRate",
                                  "BitRateControl",  "ImageQuality",       "Sub1Ability",     "Sub1VideoEnable",
                                  "Sub1EncodeMode",  "Sub1Resolution",     "Sub1Frame",       "Sub1BitRate",
                                  "Sub1BitRateControl", "Sub1ImageQuality", "Sub1AudioEnable", "AudioEnable",
                                  "Sub1AudioEncode", "AudioEncode",        "AudioSF"};

QueryKey KeyOf(const std::string& key)
{
    for (size_t i = 0; i < sizeof kQueryKeys / sizeof kQueryKeys[0]; ++i)
        if (key == kQueryKeys[i])
            return QueryKey(i);
    return QueryKey::None;
}

std::string Text20(const char (&t)[20]) { return std::string(t, strnlen(t, sizeof t)); }

} // namespace

int CLoginLogic::Task_QueryConfig(int index, QUERYCONFIG request, std::string key, SDKMETHOD method,
                                  bool requestFlag)
{
    Json::Value result;
    const QueryKey k = KeyOf(key);
    const char* caller = "CLoginLogic::Task_QueryConfig";
    if (k == QueryKey::AudioSF) {
        auto list = std::make_shared<ZRDEV_TALKFORMAT_LIST>();
        std::memset(list.get(), 0, sizeof *list);
        int len = 0;
        if (!SdkQueryDevState(m_lLoginID, SDK_DEVSTATE_TALK_ECTYPE, reinterpret_cast<char*>(list.get()),
                              int(sizeof *list), &len, 1000))
            SdkGetLastError();
        PostUi([list](CLoginUILogic& ui) { ui.Task_QueryAudioEncode_RetEx(list); },
               "&CLoginUILogic::Task_QueryAudioEncode_RetEx", caller, __LINE__);
    } else if (k != QueryKey::None) {
        // Without a login there is no configuration device, and a channel the device does not
        // have is not asked for: the result goes back empty.
        if (m_pConfigDevice && index >= 0 && index < m_nChannelCount)
            m_pConfigDevice->QueryConfig(index, request.nMainType, Text20(request.szMainCompression),
                                         request.nVideoStandard, request.nMainResolution, request.nSubType,
                                         Text20(request.szSubCompression), request.nSubResolution, key, result,
                                         method);
        if (k == QueryKey::EncodeMode)
            DevConfigDebug("wwwwwwwwwww---CLoginLogic::Task_QueryConfig:%s\n", key.c_str());
        const Json::Value v = result;
        const int i1 = request.nMainType, i5 = request.nVideoStandard;
        const bool f = requestFlag;
        switch (k) {
        case QueryKey::EncodeMode:
            PostUi([v, f](CLoginUILogic& ui) { ui.Task_QueryEncodeMode_Ret(v, f); },
                   "&CLoginUILogic::Task_QueryEncodeMode_Ret", caller, __LINE__);
            break;
        case QueryKey::Resolution:
            PostUi([v, i1, f](CLoginUILogic& ui) { ui.Task_QueryResolution_Ret(v, i1, f); },
                   "&CLoginUILogic::Task_QueryResolution_Ret", caller, __LINE__);
            break;
        case QueryKey::Frame:
            PostUi([v, i5, f](CLoginUILogic& ui) { ui.Task_QueryFrame_Ret(v, i5, f); },
                   "&CLoginUILogic::Task_QueryFrame_Ret", caller, __LINE__);
            break;
        case QueryKey::BitRate:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QueryBitRate_Ret(v); }, "&CLoginUILogic::Task_QueryBitRate_Ret",
                   caller, __LINE__);
            break;
        case QueryKey::BitRateControl:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QueryBitRateControl_Ret(v); },
                   "&CLoginUILogic::Task_QueryBitRateControl_Ret", caller, __LINE__);
            break;
        case QueryKey::ImageQuality:
            PostUi([v, f](CLoginUILogic& ui) { ui.Task_QueryImageQuality_Ret(v, f); },
                   "&CLoginUILogic::Task_QueryImageQuality_Ret", caller, __LINE__);
            break;
        case QueryKey::Sub1Ability:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QuerySub1Ability_Ret(v); },
                   "&CLoginUILogic::Task_QuerySub1Ability_Ret", caller, __LINE__);
            break;
        case QueryKey::Sub1VideoEnable:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QuerySub1VideoEnable_Ret(v); },
                   "&CLoginUILogic::Task_QuerySub1VideoEnable_Ret", caller, __LINE__);
            break;
        case QueryKey::Sub1EncodeMode:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QuerySub1EncodeMode_Ret(v); },
                   "&CLoginUILogic::Task_QuerySub1EncodeMode_Ret", caller, __LINE__);
            break;
        case QueryKey::Sub1Resolution:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QuerySub1Resolution_Ret(v); },
                   "&CLoginUILogic::Task_QuerySub1Resolution_Ret", caller, __LINE__);
            break;
        case QueryKey::Sub1Frame:
            PostUi([v, f](CLoginUILogic& ui) { ui.Task_QuerySub1Frame_Ret(v, f); },
                   "&CLoginUILogic::Task_QuerySub1Frame_Ret", caller, __LINE__);
            break;
        case QueryKey::Sub1BitRate:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QuerySub1BitRate_Ret(v); },
                   "&CLoginUILogic::Task_QuerySub1BitRate_Ret", caller, __LINE__);
            break;
        case QueryKey::Sub1BitRateControl:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QuerySub1BitRateControl_Ret(v); },
                   "&CLoginUILogic::Task_QuerySub1BitRateControl_Ret", caller, __LINE__);
            break;
        case QueryKey::Sub1ImageQuality:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QuerySub1ImageQuality_Ret(v); },
                   "&CLoginUILogic::Task_QuerySub1ImageQuality_Ret", caller, __LINE__);
            break;
        case QueryKey::Sub1AudioEnable:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QuerySub1AudioEnable_Ret(v); },
                   "&CLoginUILogic::Task_QuerySub1AudioEnable_Ret", caller, __LINE__);
            break;
        case QueryKey::AudioEnable:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QueryAudioEnable_Ret(v); },
                   "&CLoginUILogic::Task_QueryAudioEnable_Ret", caller, __LINE__);
            break;
        case QueryKey::Sub1AudioEncode:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QuerySub1AudioEncode_Ret(v); },
                   "&CLoginUILogic::Task_QuerySub1AudioEncode_Ret", caller, __LINE__);
            break;
        case QueryKey::AudioEncode:
            PostUi([v](CLoginUILogic& ui) { ui.Task_QueryAudioEncode_Ret(v); },
                   "&CLoginUILogic::Task_QueryAudioEncode_Ret", caller, __LINE__);
            break;
        default: break;
        }
    }
    DevConfigDebug("QueryConfig LoginID: %ld", long(m_lLoginID));
    return 1;
}

int CLoginLogic::Task_SetConfig(int i1, int i2, int i3, int i4, int i5, std::string key, Json::Value value,
                                SDKMETHOD method)
{
    const QueryKey k = KeyOf(key);
    if (k == QueryKey::None || k == QueryKey::Sub1Ability)
        return 1;
    if (m_pConfigDevice)
        m_pConfigDevice->SetConfig(i1, i2, i3, i4, i5, key, value, method);
    return 1;
}

void CLoginLogic::Task_SaveEnCodeInFor(int, std::map<int, std::shared_ptr<tagCFG_ENCODE_INFO>>, SDKMETHOD method)
{
    const bool committed = m_pConfigDevice && m_pConfigDevice->CommitConfig(method);
    PostUi([committed](CLoginUILogic& ui) { ui.Task_SaveEncodeInFo_Ret(committed); },
           "&CLoginUILogic::Task_SaveEncodeInFo_Ret", "CLoginLogic::Task_SaveEnCodeInFor", __LINE__);
}

void CLoginLogic::ReleasePlayPort()
{
    const LONG port = m_lPlayPort.exchange(0);
    if (!port)
        return;
    m_bFramePathOpen = false;
    PlayerSetInfoCallBack(port, nullptr, this);
    PlayerClearCallBack(port, nullptr, this);
    PlayerStop(port);
    PlayerCloseStream(port);
    PlayerReleasePort(port);
}

void CLoginLogic::Task_LogoutDev()
{
    ReleasePlayPort();
    if (m_lLoginID) {
        SdkLogout(m_lLoginID);
        m_lLoginID = 0;
    }
    // The configuration device dies with its login.
    m_pConfigDevice.reset();
    PostUi([](CLoginUILogic& ui) { ui.Task_LogoutDev_Ret(); }, "&CLoginUILogic::Task_LogoutDev_Ret",
           "CLoginLogic::Task_LogoutDev", __LINE__);
}

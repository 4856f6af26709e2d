// Worker: picture records by profile, channel name and on-screen titles, switch mode, watermark,
// stream capabilities, device information, channel data and the password change.
#include "DevConfig/CLoginLogic.h"

#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "DevConfig/DebugOut.h"
#include "DevConfig/LoginPost.h"
#include "devsdk/CfgSdk.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

using namespace devconfig;

namespace {

const char* const kGetError = "Get params...error,error code:%x\n";

template <class T>
std::shared_ptr<T> NewRecord(DWORD size = sizeof(T))
{
    auto r = std::make_shared<T>();
    std::memset(r.get(), 0, sizeof(T));
    std::memcpy(r.get(), &size, 4);
    return r;
}

int SecondsOfDay(int h, int m, int s) { return h * 3600 + m * 60 + s; }

} // namespace

int ProfileOfSwitchMode(const tagNET_VIDEOIN_SWITCH_MODE_INFO& mode, int now)
{
    switch (mode.emSwitchMode) {
    case 3: return NET_EM_CONFIG_NIGHT;
    case 4: return NET_EM_CONFIG_NORMAL;
    case 2: {
        int start = SecondsOfDay(mode.nDayStartHour, mode.nDayStartMinute, mode.nDayStartSecond);
        int end = SecondsOfDay(mode.nDayEndHour, mode.nDayEndMinute, mode.nDayEndSecond);
        // A day window may run over midnight (start after end).
        bool day = start <= end ? (start <= now && now <= end) : (now >= start || now <= end);
        return day ? NET_EM_CONFIG_DAYTIME : NET_EM_CONFIG_NIGHT;
    }
    default: return NET_EM_CONFIG_DAYTIME;
    }
}

int CLoginLogic::ResolveProfile(int channel)
{
    tagNET_VIDEOIN_SWITCH_MODE_INFO mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dwSize = sizeof mode;
    if (!SdkGetConfig(m_lLoginID, NET_EM_CFG_VIDEOIN_SWITCHMODE, channel, &mode, sizeof mode, 5000))
        return NET_EM_CONFIG_DAYTIME;
    SYNC_TIME_PARAM now{};
    if (mode.emSwitchMode == 2) {
        int returned = 0;
        SdkGetDevConfig(m_lLoginID, SDK_DEV_TIMECFG, -1, &now, sizeof now, &returned, 5000);
    }
    return ProfileOfSwitchMode(mode, SecondsOfDay(now.nHour, now.nMinute, now.nSecond));
}

void CLoginLogic::Task_GetVedioChannelParams(int channel, int profile)
{
    if (profile < 0)
        profile = ResolveProfile(channel);
    auto color = NewRecord<tagNET_VIDEOIN_COLOR_INFO>();
    color->emCfgType = profile;
    bool colorOk = SdkGetConfig(m_lLoginID, NET_EM_CFG_VIDEOIN_COLOR, channel, color.get(), sizeof *color, 5000, 0);
    if (!colorOk)
        DevConfigDebug(kGetError, SdkGetLastError());

    std::vector<char> text(32768, '\0');
    auto videoColor = NewRecord<AV_CFG_ChannelVideoColor>();
    int error = 0;
    bool videoColorOk = false;
    if (SdkGetNewConfig(m_lLoginID, "VideoColor", channel, text.data(), DWORD(text.size()), &error, 6000)) {
        for (AV_CFG_VideoColor& c : videoColor->stuColor) {
            c.nStructSize = sizeof c;
            c.stuTimeSection.nStructSize = sizeof c.stuTimeSection;
        }
        int result = 0;
        videoColorOk = SdkCfgParse("VideoColor", text.data(), videoColor.get(), sizeof *videoColor, &result);
    }

    auto backLight = NewRecord<tagNET_VIDEOIN_BACKLIGHT_INFO>();
    backLight->emCfgType = profile;
    if (!SdkGetConfig(m_lLoginID, NET_EM_CFG_VIDEOIN_BACKLIGHT, channel, backLight.get(), sizeof *backLight, 5000))
        DevConfigDebug(kGetError, SdkGetLastError());
    auto dayNight = NewRecord<tagNET_VIDEOIN_DAYNIGHT_INFO>();
    dayNight->emCfgType = profile;
    if (!SdkGetConfig(m_lLoginID, NET_EM_CFG_VIDEOIN_DAYNIGHT, channel, dayNight.get(), sizeof *dayNight, 5000))
        DevConfigDebug(kGetError, SdkGetLastError());

    std::fill(text.begin(), text.end(), '\0');
    auto name = NewRecord<AV_CFG_ChannelName>();
    if (SdkGetNewConfig(m_lLoginID, "ChannelTitle", channel, text.data(), DWORD(text.size()), &error, 5000)) {
        int result = 0;
        SdkCfgParse("ChannelTitle", text.data(), name.get(), sizeof *name, &result);
    } else {
        DevConfigDebug(kGetError, SdkGetLastError());
    }
    const int success = colorOk && videoColorOk ? 1 : 0;
    const auto p = tagNET_EM_CONFIG_TYPE(profile);
    PostUi([=](CLoginUILogic& ui) { ui.Task_GetVedioChnPar_Ret(color, videoColor, backLight, dayNight, name, success, p); },
           "&CLoginUILogic::Task_GetVedioChnPar_Ret", "CLoginLogic::Task_GetVedioChannelParams", __LINE__);
}

namespace {

void PostSaveEffect(CLoginLogic& self, int result, const char* caller)
{
    self.PostUi([result](CLoginUILogic& ui) { ui.Task_SaveVedioEffect_Ret(result); },
                "&CLoginUILogic::Task_SaveVedioEffect_Ret", caller, __LINE__);
}

} // namespace

int CLoginLogic::Task_SaveVideoColor(int channel, std::shared_ptr<AV_CFG_ChannelVideoColor> record, bool post)
{
    if (!record)
        return 0;
    std::vector<char> text(10240, '\0');
    DevConfigDebug("SaveVedioEffect LoginID: %ld", long(m_lLoginID));
    int result = 0;
    if (SdkCfgPack("VideoColor", record.get(), sizeof *record, text.data(), DWORD(text.size()))) {
        DevConfigDebug("SaveVedioEffect LoginID: %ld", long(m_lLoginID));
        int error = 0, restart = 0;
        result = SdkSetNewConfig(m_lLoginID, "VideoColor", channel, text.data(), DWORD(text.size()), &error,
                                 &restart, 10000);
        if (!result)
            DevConfigDebug("Save color error...");
    }
    if (post)
        PostSaveEffect(*this, result, "CLoginLogic::Task_SaveVideoColor");
    return result;
}

namespace {

template <class T>
int SaveByCommand(CLoginLogic& self, LONG login, int command, int channel, const std::shared_ptr<T>& record,
                  bool post, const char* caller)
{
    int result = record ? SdkSetConfig(login, command, channel, record.get(), sizeof(T), 5000) : 0;
    if (!result)
        SdkGetLastError();
    if (post)
        PostSaveEffect(self, result, caller);
    return result;
}

} // namespace

int CLoginLogic::Task_SaveVideoInColor(int channel, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> record, bool post)
{
    return SaveByCommand(*this, m_lLoginID, NET_EM_CFG_VIDEOIN_COLOR, channel, record, post,
                         "CLoginLogic::Task_SaveVideoInColor");
}

int CLoginLogic::Task_SaveBlackLightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> record, bool post)
{
    return SaveByCommand(*this, m_lLoginID, NET_EM_CFG_VIDEOIN_BACKLIGHT, channel, record, post,
                         "CLoginLogic::Task_SaveBlackLightInfo");
}

int CLoginLogic::Task_SaveDayNightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> record, bool post)
{
    return SaveByCommand(*this, m_lLoginID, NET_EM_CFG_VIDEOIN_DAYNIGHT, channel, record, post,
                         "CLoginLogic::Task_SaveDayNightInfo");
}

void CLoginLogic::Task_SaveVedioEffect(int channel, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> color,
                                       std::shared_ptr<AV_CFG_ChannelVideoColor> videoColor,
                                       std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> backLight,
                                       std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> dayNight)
{
    int r1 = Task_SaveVideoColor(channel, videoColor, false);
    int r2 = Task_SaveVideoInColor(channel, color, false);
    int r3 = Task_SaveBlackLightInfo(channel, backLight, false);
    int r4 = Task_SaveDayNightInfo(channel, dayNight, false);
    // Success only when every one of the four writes landed.
    PostSaveEffect(*this, r1 && r2 && r3 && r4 ? 1 : 0, "CLoginLogic::Task_SaveVedioEffect");
}

void CLoginLogic::EnableOsdTitles(int channel)
{
    auto title = NewRecord<tagNET_OSD_CHANNEL_TITLE>();
    title->bEncodeBlend = 1;
    if (SdkGetConfig(m_lLoginID, NET_EM_CFG_ENCODE_CHANNELTITLE, channel, title.get(), sizeof *title, 5000)) {
        title->bEncodeBlend = 1;
        if (!SdkSetConfig(m_lLoginID, NET_EM_CFG_ENCODE_CHANNELTITLE, channel, title.get(), sizeof *title, 5000))
            SdkGetLastError();
    } else {
        DevConfigDebug(kGetError, SdkGetLastError());
    }
    auto time = NewRecord<tagNET_OSD_TIME_TITLE>();
    time->bEncodeBlend = 1;
    if (SdkGetConfig(m_lLoginID, NET_EM_CFG_ENCODE_TIMETITLE, channel, time.get(), sizeof *time, 5000)) {
        time->bEncodeBlend = 1;
        if (!SdkSetConfig(m_lLoginID, NET_EM_CFG_ENCODE_TIMETITLE, channel, time.get(), sizeof *time, 5000))
            SdkGetLastError();
    } else {
        DevConfigDebug(kGetError, SdkGetLastError());
    }
    auto gps = NewRecord<tagNET_OSD_GPS_TITLE>();
    if (SdkGetConfig(m_lLoginID, NET_EM_CFG_ENCODE_GPSTITLE, channel, gps.get(), sizeof *gps, 5000)) {
        if (!SdkSetConfig(m_lLoginID, NET_EM_CFG_ENCODE_GPSTITLE, channel, gps.get(), sizeof *gps, 5000))
            SdkGetLastError();
    } else {
        DevConfigDebug(kGetError, SdkGetLastError());
    }
}

void CLoginLogic::Task_SaveChannelName(int channel, std::shared_ptr<AV_CFG_ChannelName> record)
{
    EnableOsdTitles(channel);
    if (!record)
        return;
    std::vector<char> text(32768, '\0');
    int result = 0;
    if (SdkCfgPack("ChannelTitle", record.get(), sizeof *record, text.data(), DWORD(text.size()))) {
        DevConfigDebug("SaveVedioEffect LoginID: %ld", long(m_lLoginID));
        int error = 0, restart = 0;
        result = SdkSetNewConfig(m_lLoginID, "ChannelTitle", channel, text.data(), DWORD(text.size()), &error,
                                 &restart, 10000);
        if (!result)
            DevConfigDebug("Save channel name error...");
    }
    PostUi([result](CLoginUILogic& ui) { ui.Task_SaveChannelName_Ret(result); },
           "&CLoginUILogic::Task_SaveChannelName_Ret", "CLoginLogic::Task_SaveChannelName", __LINE__);
}

void CLoginLogic::Task_GetFileConfigPara(int channel)
{
    auto mode = NewRecord<tagNET_VIDEOIN_SWITCH_MODE_INFO>();
    int ok = SdkGetConfig(m_lLoginID, NET_EM_CFG_VIDEOIN_SWITCHMODE, channel, mode.get(), sizeof *mode, 5000);
    if (!ok)
        DevConfigDebug(kGetError, SdkGetLastError());
    PostUi([mode, ok](CLoginUILogic& ui) { ui.Task_GetFileConfigPara_Ret(mode, ok); },
           "&CLoginUILogic::Task_GetFileConfigPara_Ret", "CLoginLogic::Task_GetFileConfigPara", __LINE__);
}

void CLoginLogic::Task_SaveFileConfig(tagNET_VIDEOIN_SWITCH_MODE_INFO record, int channel)
{
    int ok = SdkSetConfig(m_lLoginID, NET_EM_CFG_VIDEOIN_SWITCHMODE, channel, &record, sizeof record, 5000);
    if (!ok)
        DevConfigDebug("Set params...error,error code:%x\n", SdkGetLastError());
    PostUi([ok](CLoginUILogic& ui) { ui.Task_SaveFileConfig_Ret(ok); }, "&CLoginUILogic::Task_SaveFileConfig_Ret",
           "CLoginLogic::Task_SaveFileConfig", __LINE__);
}

void CLoginLogic::Task_SetComboFileConfig(tagNET_VIDEOIN_SWITCH_MODE_INFO record, int channel)
{
    if (!SdkSetConfig(m_lLoginID, NET_EM_CFG_VIDEOIN_SWITCHMODE, channel, &record, sizeof record, 5000))
        DevConfigDebug("Set params...error,error code:%x\n", SdkGetLastError());
}

int SetWaterMarkText(LONG loginId, int channel, int enable, const wchar_t* text)
{
    const std::string narrow = SFWideToUtf8(text ? text : L"");
    __ZRDEV_WATERMAKE_CFG block;
    std::memset(&block, 0, sizeof block);
    block.dwSize = sizeof block;
    int returned = 0;
    int r = SdkGetDevConfig(loginId, SDK_DEV_WATERMAKE_CFG, channel, &block, sizeof block, &returned, 5000);
    if (r <= 0)
        return r;
    if (enable) {
        block.nEnable = 1;
        if (block.nKey == 1)
            SafeStrCopy(block.szLetterData, sizeof block.szLetterData, narrow.c_str());
        else
            SafeStrCopy(block.szData, sizeof block.szData, narrow.c_str());
    } else {
        block.nEnable = 0;
    }
    return SdkSetDevConfig(loginId, SDK_DEV_WATERMAKE_CFG, channel, &block, sizeof block, 5000);
}

void CLoginLogic::Task_GetWaterMark(int, int channel)
{
    __ZRDEV_WATERMAKE_CFG block;
    std::memset(&block, 0, sizeof block);
    block.dwSize = sizeof block;
    int returned = 0;
    int ok = SdkGetDevConfig(m_lLoginID, SDK_DEV_WATERMAKE_CFG, channel, &block, sizeof block, &returned, 5000);
    if (!ok)
        DevConfigDebug(kGetError, SdkGetLastError());
    PostUi([block, ok](CLoginUILogic& ui) mutable { ui.Task_GetWaterMark_Ret(block, ok); },
           "&CLoginUILogic::Task_GetWaterMark_Ret", "CLoginLogic::Task_GetWaterMark", __LINE__);
}

namespace {

int ReadEncodeCaps(LONG login, int channel, int stream, tagNET_OUT_VIDEO_ENCODE_CAPS& out)
{
    tagNET_IN_VIDEO_ENCODE_CAPS in;
    std::memset(&in, 0, sizeof in);
    in.dwSize = sizeof in;
    in.nChannel = channel;
    in.emStream = stream;
    std::memset(&out, 0, sizeof out);
    out.dwSize = sizeof out;
    int ok = SdkGetDevCaps(login, NET_VIDEO_ENCODE_CAPS, &in, &out, 0, 5000);
    if (!ok)
        DevConfigDebug("Get params...error,error code:%x\n", SdkGetLastError());
    return ok;
}

} // namespace

void CLoginLogic::Task_GetMainSVCLayer(long loginId, int channel)
{
    tagNET_OUT_VIDEO_ENCODE_CAPS caps;
    int ok = ReadEncodeCaps(LONG(loginId), channel, 1, caps);
    PostUi([caps, ok](CLoginUILogic& ui) mutable { ui.Task_GetMainSVCLayer_Ret(caps, ok); },
           "&CLoginUILogic::Task_GetMainSVCLayer_Ret", "CLoginLogic::Task_GetMainSVCLayer", __LINE__);
}

void CLoginLogic::Task_GetSubSVCLayer(long loginId, int channel)
{
    tagNET_OUT_VIDEO_ENCODE_CAPS caps;
    int ok = ReadEncodeCaps(LONG(loginId), channel, 2, caps);
    PostUi([caps, ok](CLoginUILogic& ui) mutable { ui.Task_GetSubSVCLayer_Ret(caps, ok); },
           "&CLoginUILogic::Task_GetSubSVCLayer_Ret", "CLoginLogic::Task_GetSubSVCLayer", __LINE__);
}

void CLoginLogic::Task_GetDevDspInfo()
{
    const char* caller = "CLoginLogic::Task_GetDevDspInfo";
    auto version = NewRecord<ZRDEV_VERSION_INFO>(0);
    int len1 = 0;
    int ok1 = SdkQueryDevState(m_lLoginID, SDK_DEVSTATE_SOFTWARE, reinterpret_cast<char*>(version.get()),
                               sizeof *version, &len1, 1000);
    PostUi([=](CLoginUILogic& ui) { ui.Task_GetDevSoftware_Ret(version, ok1, len1); },
           "&CLoginUILogic::Task_GetDevSoftware_Ret", caller, __LINE__);
    auto dsp = NewRecord<ZRDEV_DSP_ENCODECAP>(0);
    int len2 = 0;
    int ok2 = SdkQueryDevState(m_lLoginID, SDK_DEVSTATE_DSP, reinterpret_cast<char*>(dsp.get()), sizeof *dsp, &len2,
                               1000);
    PostUi([=](CLoginUILogic& ui) { ui.Task_GetDevDSPCap_Ret(dsp, ok2, len2); },
           "&CLoginUILogic::Task_GetDevDSPCap_Ret", caller, __LINE__);
    auto enable = NewRecord<ZR_DEV_ENABLE_INFO>(0);
    int len3 = 0;
    int ok3 = SdkQuerySystemInfo(m_lLoginID, ABILITY_DEVALL_INFO, reinterpret_cast<char*>(enable.get()),
                                 sizeof *enable, &len3, 3000);
    PostUi([=](CLoginUILogic& ui) { ui.Task_QueryDevEnable_Ret(enable, ok3, len3); },
           "&CLoginUILogic::Task_QueryDevEnable_Ret", caller, __LINE__);
    DevConfigDebug("GetDevDspInfo LoginID: %ld", long(m_lLoginID));
}

void CLoginLogic::Task_GetCodeChannelParams(int channelCount, bool flag)
{
    const char* caller = "CLoginLogic::Task_GetCodeChannelParams";
    ZRDEV_SYSTEM_ATTR_CFG attr;
    std::memset(&attr, 0, sizeof attr);
    attr.dwSize = sizeof attr;
    int returned = 0;
    int ok = SdkGetDevConfig(m_lLoginID, SDK_DEV_DEVICECFG, 0, &attr, sizeof attr, &returned, m_nLegacyWait);
    const int typeFlag = ok && returned == int(sizeof attr) && attr.byDevType == 20 ? 1 : 0;
    m_nChannelCount = std::max(0, std::min(channelCount, kMaxChannels));
    const int count = m_nChannelCount;
    PostUi([count, typeFlag](CLoginUILogic& ui) { ui.Task_QueryDevChnNum_Ret(count, typeFlag); },
           "&CLoginUILogic::Task_QueryDevChnNum_Ret", caller, __LINE__);

    auto type = std::make_shared<std::array<char, 64>>();
    type->fill(0);
    int len = 0;
    SdkQueryDevState(m_lLoginID, SDK_DEVSTATE_TYPE, type->data(), int(type->size()), &len, 2000);
    PostUi([type](CLoginUILogic& ui) { ui.Task_QueryDevType_Ret(type); }, "&CLoginUILogic::Task_QueryDevType_Ret",
           caller, __LINE__);

    auto standards = std::make_shared<std::array<int32_t, kMaxChannels>>();
    standards->fill(0);
    for (int ch = 0; ch < count; ++ch) {
        ZRDEV_SYSTEM_ATTR_CFG a;
        std::memset(&a, 0, sizeof a);
        a.dwSize = sizeof a;
        SdkGetDevConfig(m_lLoginID, SDK_DEV_DEVICECFG, ch, &a, sizeof a, &returned, m_nLegacyWait);
        (*standards)[size_t(ch)] = a.byVideoStandard;
    }
    PostUi([standards](CLoginUILogic& ui) { ui.Task_QueryVedioStandard_Ret(standards); },
           "&CLoginUILogic::Task_QueryVedioStandard_Ret", caller, __LINE__);
    auto encode = NewRecord<tagCFG_ENCODE_INFO>(0);
    PostUi([encode, flag](CLoginUILogic& ui) { ui.Task_QueryEncodeInfo_Ret(encode, 0, 0, flag); },
           "&CLoginUILogic::Task_QueryEncodeInfo_Ret", caller, __LINE__);
    DevConfigDebug("GetDevChnInfo LoginID: %ld", long(m_lLoginID));
}

void CLoginLogic::Task_ModifyPwd(std::string newPassword, std::string oldPassword, bool flag)
{
    auto users = std::make_unique<USER_MANAGE_INFO>();
    std::memset(users.get(), 0, sizeof *users);
    int r = SdkQueryUserInfo(m_lLoginID, users.get(), 1000);
    // A password the user entry cannot hold whole is refused: the device would keep another one.
    if (newPassword.size() > size_t(kMaxDevicePassword))
        r = 0;
    if (r) {
        bool matched = false;
        const DWORD count = std::min<DWORD>(users->dwUserNum, DWORD(kMaxUsers));
        for (DWORD i = 0; i < count; ++i) {
            const USER_INFO& entry = users->userList[i];
            if (std::string(entry.name, strnlen(entry.name, sizeof entry.name)) != m_strUserName)
                continue;
            USER_INFO nu = entry, old = entry;
            std::memset(nu.passWord, 0, sizeof nu.passWord);
            std::memset(old.passWord, 0, sizeof old.passWord);
            std::memcpy(nu.passWord, newPassword.data(), std::min(newPassword.size(), size_t(kMaxDevicePassword)));
            std::memcpy(old.passWord, oldPassword.data(), std::min(oldPassword.size(), size_t(kMaxDevicePassword)));
            r = SdkOperateUserInfo(m_lLoginID, SDK_USER_MODIFY_PASSWORD, &nu, &old, 1000);
            matched = true;
        }
        // The login user missing from the list is a failure, not a change.
        if (!matched)
            r = 0;
    }
    const int count = m_nLoginChannelCount;
    const std::string user = m_strUserName;
    PostUi([=](CLoginUILogic& ui) { ui.Task_ModifyPwd_Ret(count, user, newPassword, r, flag); },
           "&CLoginUILogic::Task_ModifyPwd_Ret", "CLoginLogic::Task_ModifyPwd", __LINE__);
}

// The template apply worker; see the header.
#include "Template/CTemplateConfigLogic.h"

#include <QDebug>

#include <cstring>
#include <memory>

#include "Main/ShellPost.h"
#include "Template/CTemplateConfigUILogic.h"
#include "Template/CTemplateXml.h"
#include "Template/TemplateEncodeExchange.h"

namespace {

const char* const kCaller = "CTemplateConfigLogic::Task_StartConfig";

bool Transmit(LONG loginId, std::string text, char* reply, int waitMs)
{
    std::memset(reply, 0, TEMPLATE_JSON_BUFFER_SIZE);
    return SdkTransmitInfoForWeb(loginId, &text[0], DWORD(text.size()), reply, TEMPLATE_JSON_BUFFER_SIZE, nullptr,
                                 waitMs) != 0;
}

// Reads a channel's record of the kind for configSet, lets edit change it and writes it back;
// with logged, a failed read or write is logged. Returns the outcome.
template <class Record, class Edit>
int EditChannelRecord(LONG loginId, int kind, int channel, int configSet, Record& rec, bool logged, Edit edit)
{
    const int waitMs = CTemplateConfigLogic::kRecordWaitMs;
    rec.emCfgType = configSet;
    int result = SdkGetConfig(loginId, kind, channel, &rec, sizeof rec, waitMs, nullptr);
    if (!result) {
        if (logged)
            qDebug("Get params...error,error code:%x", unsigned(SdkGetLastError()));
        return result;
    }
    edit(rec);
    rec.emCfgType = configSet; // the device's answer does not keep the set
    result = SdkSetConfig(loginId, kind, channel, &rec, sizeof rec, waitMs, nullptr, nullptr);
    if (!result && logged)
        qDebug("Set params...error,error code:%x", unsigned(SdkGetLastError()));
    return result;
}

} // namespace

CTemplateConfigLogic::CTemplateConfigLogic(std::weak_ptr<CTemplateConfigUILogic> control)
    : m_wpControl(std::move(control))
{
}

int CTemplateConfigLogic::ConfigSetOf(const tagTEMPLATE_FILEMANAGE& fm, int deviceSecondOfDay)
{
    switch (fm.FileManage) {
    case TEMPLATE_FILEMANAGE_BYTIME: {
        const int start = fm.StartTimeHour * 3600 + fm.StartTimeMinute * 60 + fm.StartTimeSecond;
        const int end = fm.EndTimeHour * 3600 + fm.EndTimeMinute * 60 + fm.EndTimeSecond;
        return deviceSecondOfDay >= start && deviceSecondOfDay <= end ? NET_EM_CONFIG_DAYTIME : NET_EM_CONFIG_NIGHT;
    }
    case TEMPLATE_FILEMANAGE_ALLDAY_NIGHT: return NET_EM_CONFIG_NIGHT;
    case TEMPLATE_FILEMANAGE_NORMAL: return NET_EM_CONFIG_NORMAL;
    default: return NET_EM_CONFIG_DAYTIME;
    }
}

void CTemplateConfigLogic::Task_StartConfig(std::string ip, std::string user, std::string password, int port,
                                            std::string mac, int p2p)
{
    if (port == 0)
        port = kSdkDefaultPort;
    LONG loginId = 0;
    int error = 0;
    if (p2p) {
        SDK_LOGIN_DEVICE_INFO info{};
        loginId = SdkLoginEx("127.0.0.1", port, user.c_str(), password.c_str(), EM_LOGIN_SPEC_CAP_P2P, nullptr, &info,
                             &error);
    } else {
        SDK_LOGIN_DEVICE_INFO info{};
        loginId = SdkLogin(ip.c_str(), port, user.c_str(), password.c_str(), &info, &error);
    }
    PostLoginRet(ip, mac, loginId);
    if (loginId != 0) {
        m_nChannelCount = ReadChannelCount(loginId);
        ReadCameraStates(loginId);
        CTemplateXml xml(m_strTemplatePath.c_str());
        ApplySections(loginId, xml, ip, mac);
        m_cameraStates.clear();
    }
    SdkLogout(loginId);
    PostStartConfigRet(ip, mac);
}

void CTemplateConfigLogic::Task_Stop()
{
    std::shared_ptr<CTemplateConfigUILogic> ui = m_wpControl.lock();
    if (ui)
        ShellPostTask<CTemplateConfigUILogic>(
            VeyraBase::ML_MAIN, ui, [ui] { ui->Task_Stop_Ret(); }, __FILE__, __LINE__,
            "&CTemplateConfigUILogic::Task_Stop_Ret", "CTemplateConfigLogic::Task_Stop");
}

int CTemplateConfigLogic::ReadChannelCount(LONG loginId)
{
    ZRDEV_SYSTEM_ATTR_CFG attr{};
    int returned = 0;
    int count = 0;
    if (SdkGetDevConfig(loginId, SDK_DEV_DEVICECFG, 0, &attr, sizeof attr, &returned, kSystemAttrWaitMs) &&
        returned == int(sizeof attr))
        count = attr.byVideoCaptureNum;
    return count == 0 ? 1 : count;
}

void CTemplateConfigLogic::ReadCameraStates(LONG loginId)
{
    m_cameraStates.assign(size_t(m_nChannelCount), NET_CAMERA_STATE_INFO{});
    auto in = std::make_unique<NET_IN_GET_CAMERA_STATEINFO>();
    std::memset(in.get(), 0, sizeof *in);
    in->dwSize = sizeof *in;
    in->bGetAllFlag = 1;
    NET_OUT_GET_CAMERA_STATEINFO out{};
    out.dwSize = sizeof out;
    out.nMaxNum = m_nChannelCount;
    out.pCameraStateInfo = m_cameraStates.data();
    const BOOL ok = SdkGetDevCaps(loginId, NET_CAMERASTATE_CAPS, in.get(), &out, 0, kCameraStateWaitMs);
    (void)SdkGetLastError();
    if (!ok)
        m_cameraStates.clear();
}

bool CTemplateConfigLogic::ChannelConfigurable(int channel) const
{
    if (m_cameraStates.empty())
        return true;
    return size_t(channel) < m_cameraStates.size() &&
           m_cameraStates[size_t(channel)].emConnectionState == kCameraConfigurable;
}

int CTemplateConfigLogic::DeviceSecondOfDay(LONG loginId)
{
    // A clock that cannot be read counts as midnight.
    SYNC_TIME_PARAM t{};
    int returned = 0;
    if (!SdkGetDevConfig(loginId, SDK_DEV_TIMECFG, -1, &t, sizeof t, &returned, kRecordWaitMs))
        t = SYNC_TIME_PARAM{};
    return t.nHour * 3600 + t.nMinute * 60 + t.nSecond;
}

void CTemplateConfigLogic::ApplySections(LONG loginId, const CTemplateXml& xml, const std::string& ip,
                                         const std::string& mac)
{
    // A template that cannot be read fails the device rather than passing it untouched.
    if (!xml.IsValidTemplate()) {
        qWarning("Template %s cannot be applied: %s", m_strTemplatePath.c_str(),
                 xml.GetLoadError().empty() ? "not a template" : xml.GetLoadError().c_str());
        for (Section s : {SEC_VIDEOCOLOR, SEC_BLC, SEC_DAYNIGHT, SEC_ENCODE})
            PostSectionRet(s, ip, mac, 0, 0);
        return;
    }
    // A section that is on but cannot be read fails on its first channel.
    auto apply = [&](const wchar_t* name, Section section, auto record, auto read, auto write) {
        if (!xml.IsSectionEnabled(name))
            return;
        if (read(record))
            write(record);
        else
            PostSectionRet(section, ip, mac, 0, 0);
    };
    int configSet = NET_EM_CONFIG_DAYTIME;
    apply(
        L"FileManageMode", SEC_FILEMANAGE, tagTEMPLATE_FILEMANAGE{},
        [&](tagTEMPLATE_FILEMANAGE& fm) { return xml.ReadFileManage(L"FileManageMode", L"Channel", fm); },
        [&](const tagTEMPLATE_FILEMANAGE& fm) {
            const int now = fm.FileManage == TEMPLATE_FILEMANAGE_BYTIME ? DeviceSecondOfDay(loginId) : 0;
            configSet = ConfigSetOf(fm, now);
            SetFileManage(loginId, fm, ip, mac);
        });
    apply(
        L"VideoColor", SEC_VIDEOCOLOR, tagTEMPLATE_VIDEOCOLOR{},
        [&](tagTEMPLATE_VIDEOCOLOR& c) {
            return xml.ReadVideoColor(L"VideoColor", L"Channel", c.id, c.ColorMode, c.Brightness, c.Contrast, c.Hue,
                                      c.Saturation);
        },
        [&](const tagTEMPLATE_VIDEOCOLOR& c) { SetVideoColor(loginId, configSet, c, ip, mac); });
    apply(
        L"BLCMode", SEC_BLC, tagTEMPLATE_BLC{},
        [&](tagTEMPLATE_BLC& blc) { return xml.ReadBLCMode(L"BLCMode", L"Channel", blc); },
        [&](const tagTEMPLATE_BLC& blc) { SetBLCMode(loginId, configSet, blc, ip, mac); });
    apply(
        L"DayNightMode", SEC_DAYNIGHT, tagTEMPLATE_DAYNIGHT{},
        [&](tagTEMPLATE_DAYNIGHT& dn) { return xml.ReadDayNightMode(L"DayNightMode", L"Channel", dn); },
        [&](const tagTEMPLATE_DAYNIGHT& dn) { SetDayNightMode(loginId, configSet, dn, ip, mac); });
    Code_Config(loginId, ip, mac);
}

template <class Write>
int CTemplateConfigLogic::WriteChannels(Section section, const std::string& ip, const std::string& mac, Write write)
{
    int result = 0;
    for (int ch = 0; ch < m_nChannelCount; ++ch) {
        if (!ChannelConfigurable(ch))
            continue;
        result = write(ch);
        PostSectionRet(section, ip, mac, ch, result);
    }
    return result;
}

int CTemplateConfigLogic::SetFileManage(LONG loginId, const tagTEMPLATE_FILEMANAGE& fm, const std::string& ip,
                                        const std::string& mac)
{
    NET_VIDEOIN_SWITCH_MODE_INFO rec{};
    rec.dwSize = sizeof rec;
    rec.emSwitchMode = fm.FileManage;
    if (fm.FileManage == TEMPLATE_FILEMANAGE_BYTIME) {
        rec.nDayStartHour = fm.StartTimeHour;
        rec.nDayStartMinute = fm.StartTimeMinute;
        rec.nDayStartSecond = fm.StartTimeSecond;
        rec.nDayEndHour = fm.EndTimeHour;
        rec.nDayEndMinute = fm.EndTimeMinute;
        rec.nDayEndSecond = fm.EndTimeSecond;
    }
    return WriteChannels(SEC_FILEMANAGE, ip, mac, [&](int ch) {
        const int result =
            SdkSetConfig(loginId, NET_EM_CFG_VIDEOIN_SWITCHMODE, ch, &rec, sizeof rec, kRecordWaitMs, nullptr, nullptr);
        if (!result)
            qDebug("Set params...error,error code:%x", unsigned(SdkGetLastError()));
        return result;
    });
}

int CTemplateConfigLogic::SetVideoColor(LONG loginId, int configSet, const tagTEMPLATE_VIDEOCOLOR& color,
                                        const std::string& ip, const std::string& mac)
{
    NET_VIDEOIN_COLOR_INFO rec{};
    rec.dwSize = sizeof rec;
    return WriteChannels(SEC_VIDEOCOLOR, ip, mac, [&](int ch) {
        return EditChannelRecord(loginId, NET_EM_CFG_VIDEOIN_COLOR, ch, configSet, rec, false,
                                 [&](NET_VIDEOIN_COLOR_INFO& r) {
                                     // The colour mode has no place in the device's record.
                                     r.nBrightness = color.Brightness;
                                     r.nContrast = color.Contrast;
                                     r.nSaturation = color.Saturation;
                                     r.nGamma = color.Hue;
                                 });
    });
}

int CTemplateConfigLogic::SetBLCMode(LONG loginId, int configSet, const tagTEMPLATE_BLC& blc, const std::string& ip,
                                     const std::string& mac)
{
    NET_VIDEOIN_BACKLIGHT_INFO rec{};
    rec.dwSize = sizeof rec;
    return WriteChannels(SEC_BLC, ip, mac, [&](int ch) {
        return EditChannelRecord(loginId, NET_EM_CFG_VIDEOIN_BACKLIGHT, ch, configSet, rec, false,
                                 [&](NET_VIDEOIN_BACKLIGHT_INFO& r) {
                                     if (blc.Backlight == TEMPLATE_BLC_WDR)
                                         r.nWideDynamicRange = blc.WideDynamicRange;
                                     if (blc.Backlight == TEMPLATE_BLC_HLC)
                                         r.nGlareInhibition = blc.GlareInhibition;
                                     r.emBlackMode = blc.Backlight + 1; // the device counts its modes from 1
                                 });
    });
}

int CTemplateConfigLogic::SetDayNightMode(LONG loginId, int configSet, const tagTEMPLATE_DAYNIGHT& dayNight,
                                          const std::string& ip, const std::string& mac)
{
    NET_VIDEOIN_DAYNIGHT_INFO rec{};
    rec.dwSize = sizeof rec;
    return WriteChannels(SEC_DAYNIGHT, ip, mac, [&](int ch) {
        return EditChannelRecord(loginId, NET_EM_CFG_VIDEOIN_DAYNIGHT, ch, configSet, rec, true,
                                 [&](NET_VIDEOIN_DAYNIGHT_INFO& r) { r.emDayNight = dayNight.DayNight; });
    });
}

int CTemplateConfigLogic::Code_Config(LONG loginId, const std::string& ip, const std::string& mac)
{
    CTemplateXml xml(m_strTemplatePath.c_str());
    if (!xml.IsSectionEnabled(L"Encode"))
        return 0;
    std::unique_ptr<char[]> reply(new char[TEMPLATE_JSON_BUFFER_SIZE]);
    int result = 0;
    for (int ch = 0; ch < m_nChannelCount; ++ch) {
        if (!ChannelConfigurable(ch))
            continue;
        result = EncodeChannel(loginId, ch, xml, reply.get());
        PostSectionRet(SEC_ENCODE, ip, mac, ch, result);
    }
    return result;
}

// One channel's Encode exchange: read the device's configuration, lay the template over it and
// write it back. Nothing is written unless the read and the merge gave a whole table, and the
// channel counts as done only when the device accepts the write.
int CTemplateConfigLogic::EncodeChannel(LONG loginId, int channel, const CTemplateXml& xml, char* reply)
{
    if (!Transmit(loginId, tplenc::GetRequest(channel), reply, kGetEncodeWaitMs)) {
        qDebug("SdkTransmitInfoForWeb(GetConfig),error:%x", unsigned(SdkGetLastError()));
        return 0;
    }
    std::string set;
    if (!xml.MergeEncodeIntoJson(L"Encode", L"Channel", reply, 1) || !tplenc::SetRequest(reply, channel, set)) {
        qWarning("Encode of channel %d: the device's configuration does not take the template", channel);
        return 0;
    }
    std::unique_ptr<char[]> setReply(new char[TEMPLATE_JSON_BUFFER_SIZE]);
    if (!Transmit(loginId, set, setReply.get(), kSetEncodeWaitMs)) {
        qDebug("SdkTransmitInfoForWeb(SetConfig),error:%x", unsigned(SdkGetLastError()));
        return 0;
    }
    if (!tplenc::Accepted(setReply.get())) {
        qWarning("Encode of channel %d: the device refused the configuration", channel);
        return 0;
    }
    return 1;
}

void CTemplateConfigLogic::PostSectionRet(Section section, const std::string& ip, const std::string& mac, int channel,
                                          int result)
{
    std::shared_ptr<CTemplateConfigUILogic> ui = m_wpControl.lock();
    if (!ui)
        return;
    using UI = CTemplateConfigUILogic;
    struct Target {
        void (UI::*handler)(std::string, std::string, int, int);
        const char* name;
    };
    static const Target kTargets[] = {
        {&UI::Task_SetFileManage_Ret, "&CTemplateConfigUILogic::Task_SetFileManage_Ret"},
        {&UI::Task_SetVideoColor_Ret, "&CTemplateConfigUILogic::Task_SetVideoColor_Ret"},
        {&UI::Task_SetBLCMode_Ret, "&CTemplateConfigUILogic::Task_SetBLCMode_Ret"},
        {&UI::Task_SetDayNightMode_Ret, "&CTemplateConfigUILogic::Task_SetDayNightMode_Ret"},
        {&UI::Task_CodeConfig_Ret, "&CTemplateConfigUILogic::Task_CodeConfig_Ret"},
    };
    const auto handler = kTargets[section].handler;
    const char* name = kTargets[section].name;
    ShellPostTask<UI>(
        VeyraBase::ML_MAIN, ui, [ui, handler, ip, mac, channel, result] { ((*ui).*handler)(ip, mac, channel, result); },
        __FILE__, __LINE__, name, kCaller);
}

void CTemplateConfigLogic::PostLoginRet(const std::string& ip, const std::string& mac, LONG loginId)
{
    std::shared_ptr<CTemplateConfigUILogic> ui = m_wpControl.lock();
    if (ui)
        ShellPostTask<CTemplateConfigUILogic>(
            VeyraBase::ML_MAIN, ui, [ui, ip, mac, loginId] { ui->Task_Login_Ret(ip, mac, long(loginId)); }, __FILE__,
            __LINE__, "&CTemplateConfigUILogic::Task_Login_Ret", kCaller);
}

void CTemplateConfigLogic::PostStartConfigRet(const std::string& ip, const std::string& mac)
{
    std::shared_ptr<CTemplateConfigUILogic> ui = m_wpControl.lock();
    if (ui)
        ShellPostTask<CTemplateConfigUILogic>(
            VeyraBase::ML_MAIN, ui, [ui, ip, mac] { ui->Task_StartConfig_Ret(ip, mac); }, __FILE__, __LINE__,
            "&CTemplateConfigUILogic::Task_StartConfig_Ret", kCaller);
}

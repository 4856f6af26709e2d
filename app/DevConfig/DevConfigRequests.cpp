// The program's device requests of the configuration page: CLoginUILogic.
#include "DevConfig/DevConfigRequests.h"

#include "DevConfig/CLoginUILogic.h"

namespace {

class LoginUILogicRequests : public IDevConfigRequests {
public:
    explicit LoginUILogicRequests(std::weak_ptr<CLoginUILogic> logic) : m_wpLogic(std::move(logic)) {}

    void LoginDevice(const std::string& address, int port, const std::string& user, const std::string& password,
                     const std::string& mac, bool evs, int p2p) override
    {
        if (auto l = m_wpLogic.lock())
            l->LoginDevice(address, port, user, password, 1, mac, evs, p2p);
    }
    void LogoutDev() override
    {
        if (auto l = m_wpLogic.lock())
            l->LogoutDev();
    }
    void ModifyPwd(const std::string& oldPassword, const std::string& newPassword, bool evs) override
    {
        if (auto l = m_wpLogic.lock())
            l->ModifyPwd(oldPassword, newPassword, evs);
    }
    void StartRealPlay(int channel, HWND window) override
    {
        if (auto l = m_wpLogic.lock())
            l->StartRealPlay(channel, window);
    }
    void StopRealPlay(long handle) override
    {
        if (auto l = m_wpLogic.lock())
            l->StopRealPlay(handle);
    }
    void VideoInFocus() override
    {
        if (auto l = m_wpLogic.lock())
            l->VideoInFocus();
    }
    void CancelVideoInFocus() override
    {
        if (auto l = m_wpLogic.lock())
            l->CancelVideoInFocus();
    }
    void QueryConfig(int channel, int mainType, const std::string& mainCompression, int videoStandard,
                     int mainResolution, int subType, const std::string& subCompression, int subResolution,
                     const std::string& key, SDKMETHOD method, bool chain) override
    {
        if (auto l = m_wpLogic.lock())
            l->QueryConfig(channel, mainType, mainCompression, videoStandard, mainResolution, subType, subCompression,
                           subResolution, key, method, chain);
    }
    void SetConfig(int channel, int a, int b, int c, int d, const std::string& key, const Json::Value& value,
                   SDKMETHOD method) override
    {
        if (auto l = m_wpLogic.lock())
            l->SetConfig(channel, a, b, c, d, key, value, method);
    }
    void SaveEnCodeInFor(int channel, SDKMETHOD method) override
    {
        if (auto l = m_wpLogic.lock())
            l->SaveEnCodeInFor(channel, {}, method);
    }
    void GetVedioChannelParams(int channel, int profile) override
    {
        if (auto l = m_wpLogic.lock())
            l->GetVedioChannelParams(channel, profile);
    }
    void SaveVideoInColor(int channel, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> record) override
    {
        if (auto l = m_wpLogic.lock())
            l->SaveVideoInColor(channel, std::move(record));
    }
    void SaveVideoColor(int channel, std::shared_ptr<AV_CFG_ChannelVideoColor> record) override
    {
        if (auto l = m_wpLogic.lock())
            l->SaveVideoColor(channel, std::move(record));
    }
    void SaveBlackLightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> record) override
    {
        if (auto l = m_wpLogic.lock())
            l->SaveBlackLightInfo(channel, std::move(record));
    }
    void SaveDayNightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> record) override
    {
        if (auto l = m_wpLogic.lock())
            l->SaveDayNightInfo(channel, std::move(record));
    }
    void GetFileConfigPara(int channel) override
    {
        if (auto l = m_wpLogic.lock())
            l->GetFileConfigPara(channel);
    }
    void SaveFileConfig(const tagNET_VIDEOIN_SWITCH_MODE_INFO& record, int channel) override
    {
        tagNET_VIDEOIN_SWITCH_MODE_INFO copy = record;
        if (auto l = m_wpLogic.lock())
            l->SaveFileConfig(copy, channel);
    }
    void SetComboFileConfig(const tagNET_VIDEOIN_SWITCH_MODE_INFO& record, int channel) override
    {
        tagNET_VIDEOIN_SWITCH_MODE_INFO copy = record;
        if (auto l = m_wpLogic.lock())
            l->SetComboFileConfig(copy, channel);
    }
    void SaveChannelName(int channel, std::shared_ptr<AV_CFG_ChannelName> record) override
    {
        if (auto l = m_wpLogic.lock())
            l->SaveChannelName(channel, std::move(record));
    }
    void GetWaterMark(int value, int channel) override
    {
        if (auto l = m_wpLogic.lock())
            l->GetWaterMark(value, channel);
    }
    int ChannelCount() const override
    {
        auto l = m_wpLogic.lock();
        return l ? l->m_nChannelCount : 0;
    }
    int VideoStandard(int channel) const override
    {
        auto l = m_wpLogic.lock();
        if (!l || !l->m_pVideoStandards || channel < 0 || channel >= int(l->m_pVideoStandards->size()))
            return 0;
        return (*l->m_pVideoStandards)[size_t(channel)];
    }
    unsigned StreamCapMask() const override
    {
        auto l = m_wpLogic.lock();
        return l && l->m_pDspCap ? unsigned(l->m_pDspCap->dwStreamCap) : 0u;
    }
    int Protocol() const override
    {
        auto l = m_wpLogic.lock();
        return l && l->m_pDspCap ? int(l->m_pDspCap->dwEncodeProtocol) : 0;
    }

private:
    std::weak_ptr<CLoginUILogic> m_wpLogic;
};

} // namespace

std::shared_ptr<IDevConfigRequests> CreateLoginUILogicRequests(std::weak_ptr<CLoginUILogic> logic)
{
    return std::make_shared<LoginUILogicRequests>(std::move(logic));
}

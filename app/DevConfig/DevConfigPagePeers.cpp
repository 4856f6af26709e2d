#include "DevConfig/DevConfigPagePeers.h"

#include <algorithm>

#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "Main/CMainFrameEventImp.h"

namespace {

class PagePeers : public IDevConfigPeers {
public:
    PagePeers(std::weak_ptr<CDevConfigEventImp> page, std::weak_ptr<CMainFrameEventImp> main)
        : m_wpPage(std::move(page)), m_wpMain(std::move(main))
    {
    }

    void Page_ShowStartPanel(bool s) override { if (auto w = View()) w->ShowStartPanel(s); }
    void Page_ShowLoadingAnimation(bool s) override { if (auto w = View()) w->ShowLoadingAnimation(s); }
    void Page_ShowLoginError(bool s, int code) override { if (auto w = View()) w->ShowLoginMessage(s, code); }
    void Page_ShowTabButtons(bool s) override { if (auto w = View()) w->ShowTabButtons(s); }
    void Page_ShowEncodeTab(bool s) override { if (auto w = View()) w->ShowEncodeTab(s); }
    void Page_ShowImageTab(bool s) override { if (auto w = View()) w->ShowImageTab(s); }
    void Page_ShowFileManageTab(bool s) override { if (auto w = View()) w->ShowFileManageTab(s); }
    bool Page_ShowInitPasswordNotice(bool evs) override
    {
        auto p = m_wpPage.lock();
        return p ? p->ShowInitPasswordNotice(evs) : false;
    }
    void Page_SetLoggingIn(int on) override { if (auto p = m_wpPage.lock()) p->m_bLoggingIn = on; }
    void Page_AddPendingQuery(int d) override
    {
        if (auto p = m_wpPage.lock())
            p->m_nPendingQuery = std::max(0, p->m_nPendingQuery + d);
    }
    int View_CurrentTab() override { auto w = View(); return w ? w->CurrentTab() : 0; }
    void View_SetDeviceAccount(const std::string& u, const std::string& pw) override
    {
        if (auto w = View())
            w->SetDeviceAccount(u, pw);
    }
    void View_SetPlayHandle(long h) override { if (auto w = View()) w->SetPlayHandle(h); }
    void View_ShowDecoderMissing(bool show) override { if (auto w = View()) w->ShowDecoderMissing(show); }
    void View_EnableEasyFocusButton(bool e) override { if (auto w = View()) w->EnableEasyFocusButton(e); }
    void View_UpdateFocusStatus(int v) override { if (auto w = View()) w->UpdateFocusStatus(v); }
    void View_SetEncodeInfoFlag(bool f) override { if (auto w = View()) w->SetEncodeInfoFlag(f); }
    void View_ApplyMainAbility(int c, bool r) override { if (auto w = View()) w->ApplyMainAbility(c, r); }
    void View_ApplySubAbility(const Json::Value& v) override { if (auto w = View()) w->ApplySubAbility(v); }
    int View_OnGetVideoEffect(std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> a, std::shared_ptr<AV_CFG_ChannelVideoColor> b,
                              std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> c,
                              std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> d, std::shared_ptr<AV_CFG_ChannelName> e,
                              int ok, int profile) override
    {
        auto w = View();
        return w ? w->OnGetVideoEffect(a, b, c, d, e, ok, profile) : 0;
    }
    void View_StartPreview(int ok) override { if (auto w = View()) w->StartPreview(ok); }
    void View_ClearSaving() override { if (auto w = View()) w->ClearSaving(); }
    void View_OnSaveEffectResult(int ok) override { if (auto w = View()) w->OnSaveEffectResult(ok); }
    void View_OnSaveResult(int ok) override { if (auto w = View()) w->OnSaveResult(ok); }
    void View_OnGetConfigFileInfo(std::shared_ptr<tagNET_VIDEOIN_SWITCH_MODE_INFO> r, int ok) override
    {
        if (auto w = View())
            w->OnGetConfigFileInfo(r, ok);
    }
    void View_OnSaveConfigFileResult(int ok) override { if (auto w = View()) w->OnSaveConfigFileResult(ok); }
    void View_OnSaveChannelNameResult(int ok) override { if (auto w = View()) w->OnSaveChannelNameResult(ok); }
    void View_OnGetWaterMark(const __ZRDEV_WATERMAKE_CFG& r, int ok) override
    {
        if (auto w = View())
            w->OnGetWaterMark(r, ok);
    }
    void View_EncodeResult(const char* setter, const Json::Value& v, int extra, bool flag) override
    {
        if (auto w = View())
            w->EncodeResult(setter, v, extra, flag);
    }
    void View_FillAudioEncodeComboEx(std::shared_ptr<ZRDEV_TALKFORMAT_LIST> r) override
    {
        if (auto w = View())
            w->FillAudioEncodeComboEx(r);
    }
    void Main_OnModuleStopped(int module) override
    {
        if (auto main = m_wpMain.lock())
            main->OnModuleStopped(module);
    }

private:
    std::shared_ptr<CCodeVideoCfgEventImp> View() const
    {
        auto p = m_wpPage.lock();
        return p ? p->GetCodeVideoCfgPage() : nullptr;
    }

    std::weak_ptr<CDevConfigEventImp> m_wpPage;
    std::weak_ptr<CMainFrameEventImp> m_wpMain;
};

} // namespace

std::shared_ptr<IDevConfigPeers> CreateDevConfigPagePeers(std::weak_ptr<CDevConfigEventImp> page,
                                                          std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    return std::make_shared<PagePeers>(std::move(page), std::move(mainFrame));
}

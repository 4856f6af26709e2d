// What the device configuration GUI logic asks of the device configuration page, its encode and
// image view and the main window. The program reaches them through the main window's getters;
// tests put a recording page in its place. Every operation has a do-nothing default.
#pragma once

#include <json/json.h>

#include <memory>
#include <string>

#include "devsdk/DevSdkRecords.h"

class CMainFrameEventImp;

class IDevConfigPeers {
public:
    virtual ~IDevConfigPeers() {}

    // Device configuration page.
    virtual void Page_ShowStartPanel(bool) {}
    virtual void Page_ShowLoadingAnimation(bool) {}
    virtual void Page_ShowLoginError(bool, int) {}
    virtual void Page_ShowTabButtons(bool) {}
    virtual void Page_ShowEncodeTab(bool) {}
    virtual void Page_ShowImageTab(bool) {}
    virtual void Page_ShowFileManageTab(bool) {}
    virtual void Page_EnableConfigControls(bool) {}
    // The initial-password notice; true when a password change was posted.
    virtual bool Page_ShowInitPasswordNotice(bool) { return false; }
    virtual void Page_SetLoggingIn(int) {}
    virtual void Page_AddPendingQuery(int) {}

    // Encode and image view.
    virtual int View_CurrentTab() { return 0; }
    virtual void View_SetDeviceAccount(const std::string&, const std::string&) {}
    virtual void View_SetPlayHandle(long) {}
    virtual void View_ShowDecoderMissing(bool) {}
    virtual void View_EnableEasyFocusButton(bool) {}
    virtual void View_UpdateFocusStatus(int) {}
    virtual void View_SetEncodeInfoFlag(bool) {}
    virtual void View_ApplyMainAbility(int, bool) {}
    virtual void View_ApplySubAbility(const Json::Value&) {}
    virtual int View_OnGetVideoEffect(std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO>,
                                      std::shared_ptr<AV_CFG_ChannelVideoColor>,
                                      std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO>,
                                      std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO>,
                                      std::shared_ptr<AV_CFG_ChannelName>, int, int)
    {
        return 0;
    }
    virtual void View_StartPreview(int) {}
    virtual void View_ClearSaving() {}
    // The result of a picture save ("Failed to save." on 0).
    virtual void View_OnSaveEffectResult(int) {}
    virtual void View_OnSaveChannelNameResult(int) {}
    virtual void View_OnSaveResult(int) {}
    virtual void View_OnGetConfigFileInfo(std::shared_ptr<tagNET_VIDEOIN_SWITCH_MODE_INFO>, int) {}
    virtual void View_OnSaveConfigFileResult(int) {}
    virtual void View_OnGetWaterMark(const __ZRDEV_WATERMAKE_CFG&, int) {}
    virtual void View_OnGetMainSVCLayer(const tagNET_OUT_VIDEO_ENCODE_CAPS&, int) {}
    virtual void View_OnGetSubSVCLayer(const tagNET_OUT_VIDEO_ENCODE_CAPS&, int) {}
    // Encode query results, by the view method that takes each.
    virtual void View_EncodeResult(const char* /*viewMethod*/, const Json::Value&, int /*extra*/, bool /*flag*/) {}
    virtual void View_FillAudioEncodeComboEx(std::shared_ptr<ZRDEV_TALKFORMAT_LIST>) {}

    // Main window.
    virtual void Main_OnModuleStopped(int) {}
};

// The program's peers: the page and view of the main window (absent ones are skipped).
std::shared_ptr<IDevConfigPeers> CreateMainFrameDevConfigPeers(std::weak_ptr<CMainFrameEventImp> mainFrame);

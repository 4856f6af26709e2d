// A recording stand-in of the device configuration page, its view and the main window, and a
// recording video window, for the tests of the device configuration logic.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "DevConfig/DevConfigPeers.h"
#include "TaskLoops.h"
#include "Widgets/SFVideoWindow.h"

namespace devconfigtest {

// Pumps the GUI loop until pred holds or ms pass.
inline bool WaitUntil(const std::function<bool()>& pred, int ms = 15000)
{
    return vxtest::PumpUntil(pred, ms);
}

class RecordingPage : public IDevConfigPeers {
public:
    std::vector<std::string> calls;
    std::vector<std::pair<std::string, Json::Value>> encode; // view method, value
    std::vector<int> focus;
    int pending = 0;
    int loggingIn = 1;
    int tab = 0;
    bool acceptNotice = false;
    std::string accountUser, accountPassword;
    int effect = 1;
    std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> color;
    std::shared_ptr<AV_CFG_ChannelVideoColor> videoColor;
    std::shared_ptr<AV_CFG_ChannelName> channelName;
    std::shared_ptr<tagNET_VIDEOIN_SWITCH_MODE_INFO> switchMode;
    std::shared_ptr<ZRDEV_TALKFORMAT_LIST> talk;

    void Log(const std::string& s) { calls.push_back(s); }
    bool Has(const std::string& s) const
    {
        for (const std::string& c : calls)
            if (c == s)
                return true;
        return false;
    }
    int Count(const std::string& s) const
    {
        int n = 0;
        for (const std::string& c : calls)
            n += c == s;
        return n;
    }
    // The last encode result of a view method (null when none came).
    Json::Value Last(const std::string& method) const
    {
        for (auto it = encode.rbegin(); it != encode.rend(); ++it)
            if (it->first == method)
                return it->second;
        return Json::Value();
    }
    size_t Results(const std::string& method) const
    {
        size_t n = 0;
        for (const auto& e : encode)
            n += e.first == method;
        return n;
    }

    static std::string B(bool b) { return b ? "1" : "0"; }
    void Page_ShowStartPanel(bool b) override { Log("ShowStartPanel " + B(b)); }
    void Page_ShowLoadingAnimation(bool b) override { Log("ShowLoadingAnimation " + B(b)); }
    void Page_ShowLoginError(bool b, int e) override { Log("ShowLoginError " + B(b) + " " + std::to_string(e)); }
    void Page_ShowTabButtons(bool b) override { Log("ShowTabButtons " + B(b)); }
    void Page_ShowEncodeTab(bool b) override { Log("ShowEncodeTab " + B(b)); }
    void Page_ShowImageTab(bool b) override { Log("ShowImageTab " + B(b)); }
    void Page_ShowFileManageTab(bool b) override { Log("ShowFileManageTab " + B(b)); }
    void Page_EnableConfigControls(bool b) override { Log("EnableConfigControls " + B(b)); }
    bool Page_ShowInitPasswordNotice(bool echo) override
    {
        Log("ShowInitPasswordNotice " + B(echo));
        return acceptNotice;
    }
    void Page_SetLoggingIn(int v) override { loggingIn = v; }
    void Page_AddPendingQuery(int d) override { pending += d; }
    int View_CurrentTab() override { return tab; }
    void View_SetDeviceAccount(const std::string& u, const std::string& p) override
    {
        accountUser = u;
        accountPassword = p;
        Log("SetDeviceAccount " + u);
    }
    void View_SetPlayHandle(long h) override { Log(h > 0 ? "SetPlayHandle ok" : "SetPlayHandle 0"); }
    void View_EnableEasyFocusButton(bool b) override { Log("EnableEasyFocusButton " + B(b)); }
    void View_UpdateFocusStatus(int v) override { focus.push_back(v); }
    void View_SetEncodeInfoFlag(bool b) override { Log("SetEncodeInfoFlag " + B(b)); }
    void View_ApplyMainAbility(int ch, bool refill) override
    {
        Log("ApplyMainAbility " + std::to_string(ch) + " " + B(refill));
    }
    void View_ApplySubAbility(const Json::Value& v) override { encode.emplace_back("ApplySubAbility", v); }
    int View_OnGetVideoEffect(std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> c,
                              std::shared_ptr<AV_CFG_ChannelVideoColor> vc,
                              std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO>,
                              std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO>, std::shared_ptr<AV_CFG_ChannelName> n,
                              int success, int profile) override
    {
        color = c;
        videoColor = vc;
        channelName = n;
        Log("OnGetVideoEffect " + std::to_string(success) + " " + std::to_string(profile));
        return effect;
    }
    void View_StartPreview(int r) override { Log("StartPreview " + std::to_string(r)); }
    void View_ClearSaving() override { Log("ClearSaving"); }
    void View_OnSaveEffectResult(int r) override { Log("OnSaveEffectResult " + std::to_string(r)); }
    void View_OnSaveChannelNameResult(int r) override { Log("OnSaveChannelNameResult " + std::to_string(r)); }
    void View_OnSaveResult(int r) override { Log("OnSaveResult " + std::to_string(r)); }
    void View_OnGetConfigFileInfo(std::shared_ptr<tagNET_VIDEOIN_SWITCH_MODE_INFO> m, int r) override
    {
        switchMode = m;
        Log("OnGetConfigFileInfo " + std::to_string(r));
    }
    void View_OnSaveConfigFileResult(int r) override { Log("OnSaveConfigFileResult " + std::to_string(r)); }
    void View_OnGetWaterMark(const __ZRDEV_WATERMAKE_CFG&, int r) override { Log("OnGetWaterMark " + std::to_string(r)); }
    void View_OnGetMainSVCLayer(const tagNET_OUT_VIDEO_ENCODE_CAPS& c, int r) override
    {
        Log("OnGetMainSVCLayer " + std::to_string(r) + " " + std::to_string(c.nSVCLayerNum));
    }
    void View_OnGetSubSVCLayer(const tagNET_OUT_VIDEO_ENCODE_CAPS& c, int r) override
    {
        Log("OnGetSubSVCLayer " + std::to_string(r) + " " + std::to_string(c.nSVCLayerNum));
    }
    void View_EncodeResult(const char* method, const Json::Value& v, int, bool) override
    {
        encode.emplace_back(method, v);
    }
    void View_FillAudioEncodeComboEx(std::shared_ptr<ZRDEV_TALKFORMAT_LIST> t) override
    {
        talk = t;
        encode.emplace_back("FillAudioEncodeComboEx", Json::Value());
    }
    void Main_OnModuleStopped(int m) override { Log("OnModuleStopped " + std::to_string(m)); }
};

// Records the frames drawn into its first cell.
class RecordingVideoWindow : public CSFVideoWindow {
public:
    std::mutex mu;
    int frames = 0;
    int lastWidth = 0, lastHeight = 0;
    std::vector<std::string> calls;
    int GetSubWinID(int index) override { return index == 0 ? 7 : -1; }
    void SetSubWinVideo(int index, int on) override
    {
        calls.push_back("SetSubWinVideo " + std::to_string(index) + " " + std::to_string(on));
    }
    int RenderSubWin(int id, BYTE* data, RENDER_DATA_TYPE type, int w, int h) override
    {
        if (id != 7 || type != RENDER_DATA_RGB32 || !data)
            return 0;
        ++frames;
        lastWidth = w;
        lastHeight = h;
        return 1;
    }
};

} // namespace devconfigtest

// A configuration engine that records every request of the page and answers nothing by itself.
#pragma once

#include <json/json.h>

#include <string>
#include <vector>

#include "DevConfig/DevConfigRequests.h"

namespace pagetest {

struct Query {
    std::string key;
    int mainType, videoStandard, mainResolution, subResolution;
    std::string mainCompression, subCompression;
    bool chain;
};

struct Staged {
    std::string key;
    int a, b, c, d;
    Json::Value value;
};

class RecordingEngine : public IDevConfigRequests {
public:
    void LoginDevice(const std::string& address, int port, const std::string& user, const std::string& password,
                     const std::string& mac, bool, int) override
    {
        calls.push_back("login " + address + ":" + std::to_string(port) + " " + user + "/" + password + " " + mac);
    }
    void LogoutDev() override { calls.push_back("logout"); }
    void ModifyPwd(const std::string&, const std::string&, bool) override { calls.push_back("modifypwd"); }
    void StartRealPlay(int channel, HWND) override { calls.push_back("play " + std::to_string(channel)); }
    void StopRealPlay(long handle) override { calls.push_back("stop " + std::to_string(handle)); }
    void VideoInFocus() override { calls.push_back("focus"); }
    void CancelVideoInFocus() override { calls.push_back("cancelfocus"); }
    void QueryConfig(int, int mainType, const std::string& mainCompression, int videoStandard, int mainResolution,
                     int, const std::string& subCompression, int subResolution, const std::string& key, SDKMETHOD,
                     bool chain) override
    {
        queries.push_back({key, mainType, videoStandard, mainResolution, subResolution, mainCompression,
                           subCompression, chain});
    }
    void SetConfig(int, int a, int b, int c, int d, const std::string& key, const Json::Value& value,
                   SDKMETHOD) override
    {
        staged.push_back({key, a, b, c, d, value});
    }
    void SaveEnCodeInFor(int, SDKMETHOD) override { calls.push_back("commit"); }
    void GetVedioChannelParams(int channel, int profile) override
    {
        calls.push_back("getimage " + std::to_string(channel) + " " + std::to_string(profile));
    }
    void SaveVideoInColor(int, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> r) override { colors.push_back(r); }
    void SaveVideoColor(int, std::shared_ptr<AV_CFG_ChannelVideoColor>) override { calls.push_back("savestyle"); }
    void SaveBlackLightInfo(int, std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> r) override
    {
        calls.push_back("savebl " + std::to_string(r->emBlackMode));
        backLights.push_back(r);
    }
    void SaveDayNightInfo(int, std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> r) override { dayNights.push_back(r); }
    void GetFileConfigPara(int) override { calls.push_back("getfile"); }
    void SaveFileConfig(const tagNET_VIDEOIN_SWITCH_MODE_INFO& r, int) override
    {
        calls.push_back("savefile " + std::to_string(r.emSwitchMode));
        fileSaves.push_back(r);
    }
    void SetComboFileConfig(const tagNET_VIDEOIN_SWITCH_MODE_INFO& r, int) override
    {
        calls.push_back("switchmode " + std::to_string(r.emSwitchMode));
    }
    void SaveChannelName(int channel, std::shared_ptr<AV_CFG_ChannelName> r) override
    {
        calls.push_back("savename " + std::to_string(channel) + " " + r->szName);
    }
    void GetWaterMark(int value, int channel) override
    {
        calls.push_back("watermark " + std::to_string(value) + " " + std::to_string(channel));
    }
    int ChannelCount() const override { return channels; }
    int VideoStandard(int) const override { return videoStandard; }
    unsigned StreamCapMask() const override { return streamCap; }
    int Protocol() const override { return protocol; }

    std::vector<std::string> Keys() const
    {
        std::vector<std::string> keys;
        for (const Query& q : queries)
            keys.push_back(q.key);
        return keys;
    }

    std::vector<std::string> calls;
    std::vector<Query> queries;
    std::vector<Staged> staged;
    std::vector<std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO>> colors;
    std::vector<std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO>> dayNights;
    std::vector<std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO>> backLights;
    std::vector<tagNET_VIDEOIN_SWITCH_MODE_INFO> fileSaves;
    int channels = 2, videoStandard = 0, protocol = 0;
    unsigned streamCap = 0;
};

} // namespace pagetest

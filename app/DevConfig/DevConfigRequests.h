// What the device configuration page asks of the configuration logic: device requests posted to
// the worker loop and the device facts the logic holds. The program forwards to CLoginUILogic;
// tests put a recording engine in its place.
#pragma once

#include <json/json.h>

#include <map>
#include <memory>
#include <string>

#include "configdevice/ConfigDevice.h"
#include "devsdk/DevSdkRecords.h"
#include "os/WinTypes.h"

class CLoginUILogic;

class IDevConfigRequests {
public:
    virtual ~IDevConfigRequests() {}

    virtual void LoginDevice(const std::string& address, int port, const std::string& user,
                             const std::string& password, const std::string& mac, bool evs, int p2p) = 0;
    virtual void LogoutDev() = 0;
    virtual void ModifyPwd(const std::string& oldPassword, const std::string& newPassword, bool evs) = 0;
    virtual void StartRealPlay(int channel, HWND window) = 0;
    virtual void StopRealPlay(long handle) = 0;
    virtual void VideoInFocus() = 0;
    virtual void CancelVideoInFocus() = 0;

    // Encode items (argument order of the configuration-device library).
    virtual void QueryConfig(int channel, int mainType, const std::string& mainCompression, int videoStandard,
                             int mainResolution, int subType, const std::string& subCompression, int subResolution,
                             const std::string& key, SDKMETHOD method, bool chain) = 0;
    virtual void SetConfig(int channel, int a, int b, int c, int d, const std::string& key, const Json::Value& value,
                           SDKMETHOD method) = 0;
    virtual void SaveEnCodeInFor(int channel, SDKMETHOD method) = 0;

    // Picture and switch-mode records; each record handed over is the request's own copy.
    virtual void GetVedioChannelParams(int channel, int profile) = 0;
    virtual void SaveVideoInColor(int channel, std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> record) = 0;
    virtual void SaveVideoColor(int channel, std::shared_ptr<AV_CFG_ChannelVideoColor> record) = 0;
    virtual void SaveBlackLightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> record) = 0;
    virtual void SaveDayNightInfo(int channel, std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> record) = 0;
    virtual void GetFileConfigPara(int channel) = 0;
    virtual void SaveFileConfig(const tagNET_VIDEOIN_SWITCH_MODE_INFO& record, int channel) = 0;
    // Writes the switch mode of the chosen profile; no answer.
    virtual void SetComboFileConfig(const tagNET_VIDEOIN_SWITCH_MODE_INFO& record, int channel) = 0;
    // Writes the channel name of the record (the request's own copy); the answer clears the saving flag.
    virtual void SaveChannelName(int channel, std::shared_ptr<AV_CFG_ChannelName> record) = 0;
    // Reads the watermark of a channel; the first argument is passed on unchanged.
    virtual void GetWaterMark(int value, int channel) = 0;

    // Facts of the logged-in device.
    virtual int ChannelCount() const = 0;
    virtual int VideoStandard(int channel) const = 0;
    virtual unsigned StreamCapMask() const = 0;
    virtual int Protocol() const = 0;
};

std::shared_ptr<IDevConfigRequests> CreateLoginUILogicRequests(std::weak_ptr<CLoginUILogic> logic);

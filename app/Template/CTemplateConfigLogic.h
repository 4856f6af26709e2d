// The worker half of template application: on loop 3 it logs in to one device at a time, writes
// the template's sections to every configurable video channel and reports each step to its GUI
// half (CTemplateConfigUILogic) by tasks posted to loop 1. It never touches a widget.
//
// For one device the results arrive in this order: Task_Login_Ret; per section (FileManageMode,
// VideoColor, BLCMode, DayNightMode, Encode) one result per configured channel; Task_StartConfig_Ret.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Template/TemplateInfo.h"
#include "devsdk/DevSdk.h"

class CTemplateConfigUILogic;
class CTemplateXml;

class CTemplateConfigLogic : public std::enable_shared_from_this<CTemplateConfigLogic> {
public:
    enum : int {
        kSystemAttrWaitMs = 15000,
        kCameraStateWaitMs = 1000,
        kRecordWaitMs = 5000,
        kGetEncodeWaitMs = 3000,
        kSetEncodeWaitMs = 8000,
        kCameraConfigurable = 2,  // the only camera state that lets a channel be configured
    };

    explicit CTemplateConfigLogic(std::weak_ptr<CTemplateConfigUILogic> control);

    // Loop 1, only while no run is in progress.
    void SetTemplateFile(const std::string& path) { m_strTemplatePath = path; }
    void SetTemplateMode(int mode) { m_nTemplateMode = mode; }
    const std::string& GetTemplateFile() const { return m_strTemplatePath; }

    // Loop 3 tasks.
    void Task_StartConfig(std::string ip, std::string user, std::string password, int port, std::string mac,
                          int p2p);
    void Task_Stop();

    // Section writers, loop 3, called from Task_StartConfig; each returns the last channel's result.
    int SetFileManage(LONG loginId, const tagTEMPLATE_FILEMANAGE& fm, const std::string& ip, const std::string& mac);
    int SetVideoColor(LONG loginId, int configSet, const tagTEMPLATE_VIDEOCOLOR& color, const std::string& ip,
                      const std::string& mac);
    int SetBLCMode(LONG loginId, int configSet, const tagTEMPLATE_BLC& blc, const std::string& ip,
                   const std::string& mac);
    int SetDayNightMode(LONG loginId, int configSet, const tagTEMPLATE_DAYNIGHT& dayNight, const std::string& ip,
                        const std::string& mac);
    int Code_Config(LONG loginId, const std::string& ip, const std::string& mac);

    // The configuration set (0, 1, 2) a FileManage value selects; for 2, by the device's time of day
    // (seconds since midnight) inside the template's window, both ends included.
    static int ConfigSetOf(const tagTEMPLATE_FILEMANAGE& fm, int deviceSecondOfDay);

private:
    enum Section { SEC_FILEMANAGE, SEC_VIDEOCOLOR, SEC_BLC, SEC_DAYNIGHT, SEC_ENCODE };

    int ReadChannelCount(LONG loginId);
    void ReadCameraStates(LONG loginId);
    int DeviceSecondOfDay(LONG loginId);
    bool ChannelConfigurable(int channel) const;
    void ApplySections(LONG loginId, const CTemplateXml& xml, const std::string& ip, const std::string& mac);
    int EncodeChannel(LONG loginId, int channel, const CTemplateXml& xml, char* reply);
    // Posts one section result (or the login / end results) to the control on loop 1.
    void PostSectionRet(Section section, const std::string& ip, const std::string& mac, int channel, int result);
    void PostLoginRet(const std::string& ip, const std::string& mac, LONG loginId);
    void PostStartConfigRet(const std::string& ip, const std::string& mac);
    // Runs write(channel) on every configurable channel and posts each result as section; returns
    // the last channel's result.
    template <class Write>
    int WriteChannels(Section section, const std::string& ip, const std::string& mac, Write write);

    std::weak_ptr<CTemplateConfigUILogic> m_wpControl;
    std::string m_strTemplatePath;
    int m_nTemplateMode = 0;
    int m_nChannelCount = 0;
    // Camera state per channel of the device being configured; empty when it could not be read.
    std::vector<NET_CAMERA_STATE_INFO> m_cameraStates;
};

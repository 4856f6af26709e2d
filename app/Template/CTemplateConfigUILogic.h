// The GUI half of template application (loop 1): keeps the devices of one apply run, starts the
// worker for five devices at first and for one more each time a device finishes, records what
// the worker reports as result flags, and keeps the apply panel and its progress dialog up to date.
//
// Calling order: Create once; per run, while IsConfiguring() is 0, ClearDevices, AddDevice per
// device, SetTemplateMode, SetTemplateFile; StartConfig; Stop at any time; GetDeviceResult after.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Template/TemplateApplyOwner.h"
#include "Template/TemplateConfigInfo.h"

class CTemplateConfigLogic;

class CTemplateConfigUILogic : public std::enable_shared_from_this<CTemplateConfigUILogic> {
public:
    enum : int { kParallelDevices = 5 };  // devices waiting on the worker at once

    explicit CTemplateConfigUILogic(std::weak_ptr<ITemplateApplyRun> owner);
    static std::shared_ptr<CTemplateConfigUILogic> Create(std::weak_ptr<ITemplateApplyRun> owner);
    void Init();

    void SetTemplateMode(int mode);
    void SetTemplateFile(const std::string& path);
    // Refused while a run is in progress (results would find no device).
    void ClearDevices();
    // A device whose IP and MAC are already in the list is not added a second time.
    void AddDevice(int port, const char* ip, const std::string& user, const std::string& password, const char* mac,
                   int treeItem, int p2p);
    void StartConfig();
    void ConfigNext();
    void Stop();
    int IsConfiguring() const { return m_nBusy; }
    TEMPLATE_RESULT_SET GetDeviceResult(int treeItem) const;
    int FindDevice(const char* ip, const char* mac) const;

    int GetTemplateMode() const { return m_nTemplateMode; }
    const std::string& GetTemplateFile() const { return m_strTemplatePath; }
    size_t GetDeviceCount() const { return m_devices.size(); }
    std::shared_ptr<CTemplateConfigLogic> GetWorker() const { return m_pWorker; }

    // Results from the worker (loop 1).
    void Task_Login_Ret(std::string ip, std::string mac, long loginId);
    void Task_SetVideoColor_Ret(std::string ip, std::string mac, int channel, int result);
    void Task_SetBLCMode_Ret(std::string ip, std::string mac, int channel, int result);
    void Task_SetDayNightMode_Ret(std::string ip, std::string mac, int channel, int result);
    void Task_SetFileManage_Ret(std::string ip, std::string mac, int channel, int result);
    void Task_CodeConfig_Ret(std::string ip, std::string mac, int channel, int result);
    void Task_StartConfig_Ret(std::string ip, std::string mac);
    void Task_Stop_Ret() {}

private:
    void StartDevice(TEMPLATE_CONFIG_INFO& device);
    void RecordFailure(const std::string& ip, const std::string& mac, int flag);
    void EndRun();

    std::weak_ptr<ITemplateApplyRun> m_wpOwner;
    std::shared_ptr<CTemplateConfigLogic> m_pWorker;
    int m_nStop = 0;
    int m_nNextIndex = 0;
    int m_nFinished = 0;
    std::vector<std::shared_ptr<TEMPLATE_CONFIG_INFO>> m_devices;
    int m_nBusy = 0;
    int m_nTemplateMode = 0;
    std::string m_strTemplatePath;
};

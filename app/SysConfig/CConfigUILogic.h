// Batch scheduler of system configuration, on the GUI thread (loop 1). It keeps the devices of
// one run, posts the first five device tasks to the worker on loop 3 and one more from each
// answer, turns the answers into result codes and tree icons, and holds IsConfiguring while a
// run lasts. A run ends once every posted task has answered and no device is left, whatever
// the answers were: every task carries its record index, so a record is found again even when
// two devices share IP and MAC. Password-reset runs and description runs are in
// ConfigUILogicReset.cpp.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SysConfig/ISysConfigView.h"
#include "SysConfig/SysConfigRecords.h"

class CConfigLogic;

class CConfigUILogic : public std::enable_shared_from_this<CConfigUILogic> {
public:
    typedef std::map<std::string, std::vector<std::string>> ResetCodeMap;

    explicit CConfigUILogic(std::weak_ptr<ISysConfigView> owner);
    static std::shared_ptr<CConfigUILogic> Create(std::weak_ptr<ISysConfigView> owner);
    void Init();

    int IsConfiguring() const { return m_bConfiguring; }
    // Index of the last device started, and device tasks posted but not answered yet.
    int GetCurIndex() const { return m_nCurIndex; }
    int GetInFlight() const { return m_nInFlight; }
    std::shared_ptr<CConfigLogic> GetConfigLogic() const { return m_spConfigLogic; }
    const std::vector<std::shared_ptr<CONFIG_INFO>>& GetConfigInfo() const { return m_vecConfigInfo; }

    // ---- Parameters, handed to the worker ----------------------------------------------------
    void SetConfigType(int type);
    int SetSyncTimeParam(int year, int month, int day, int hour, int minute, int second);
    void SetAutoRebootParam(int enable, int day, int hour, int minute);
    void SetDSTParam(DST_PARAM param);
    void SetNTPParam(const NTP_PARAM* param);
    void SetPasswordParam(const char* oldPassword, const char* newPassword);
    void SetResetPasswordParam(const char* newPassword, const char* securityCode);
    void SetXmlResetMode(int mode) { m_bXmlReset = mode; }
    void SetXmlResetInfo(const char* newPassword, std::string createTime, const ResetCodeMap& codes);

    // ---- Devices of the next run ------------------------------------------------------------
    void ClearDevices();
    void AddDevice(int port, const char* ip, std::string user, std::string password, const char* mac, int p2p,
                   std::string deviceType, int treeItem, std::string serial);
    // Result of the first finished record of that tree item; 0 when none (or still running).
    int GetDeviceResult(int treeItem) const;

    // ---- Runs --------------------------------------------------------------------------------
    // paramValid: the result of SetSyncTimeParam for type 1, else 1. Type 8 resets passwords.
    void StartConfig(int paramValid, int type);
    void StartGet2CodeInfo();
    void GetPwdDescription();
    void CheckSecurityCode(std::string code);

    // ---- Answers of the worker (loop 1) ------------------------------------------------------
    void Task_Login_Ret(std::string ip, std::string mac, long loginHandle, int error, int index);
    void Task_Config_Ret(std::string ip, std::string mac, int ok, int index);
    void Task_StartConfig_Ret(std::string ip, std::string mac, int paramValid, int index);
    void Task_StartConfigReset_Ret(std::string ip, std::string mac, bool ok, SYSCONFIG_ERROR error, int index);
    void Task_StartConfigResetXml_Ret(std::string ip, std::string mac, bool ok, SYSCONFIG_ERROR error,
                                      int index);
    void Task_GetPwdDescription_Ret(PWD_DESCRIPTION description, int result, DWORD error);
    void Task_GetPwdDescriptionXML_Ret(std::string ip, std::string mac, PWD_DESCRIPTION description, int result,
                                       DWORD error, int index);
    void Task_CheckSecurityCode_Ret(std::string ip, std::string mac, int result);

    // Day of the imported authorisation file now: 1-3, or -1 when too old or unreadable.
    int GetXmlResetDay() const;

private:
    // The record of an answer: the one at index when it still has that IP and MAC, else the
    // first unfinished record with them; -1 when none.
    int FindDeviceIndex(const std::string& ip, const std::string& mac, int index) const;
    void ConfigNext(int paramValid);
    void ConfigNextEx();
    void ConfigNextExXml();
    // Records a reset answer and shows it; returns whether the run goes on (one task fewer in
    // flight).
    bool RecordResetAnswer(const std::string& ip, const std::string& mac, bool ok, SYSCONFIG_ERROR error,
                           int index);
    void GetInfoNext();
    // Posts the task of the record at index for the current run.
    void PostDevice(int index, int paramValid, int resetDay, const char* caller);
    // The codes of a record in a file run.
    void CodesOf(const CONFIG_INFO& info, int resetDay, std::string codes[3]) const;
    // Ends the run once nothing is in flight and no record is left; returns whether it ended.
    bool EndRunIfDone();
    void ShowResult(const CONFIG_INFO& info);
    // Takes the next record for a late start: an empty MAC becomes "NULL".
    int TakeNext();

    std::weak_ptr<ISysConfigView> m_wpOwner;
    std::shared_ptr<CConfigLogic> m_spConfigLogic;
    int m_nCurIndex = 0;
    std::vector<std::shared_ptr<CONFIG_INFO>> m_vecConfigInfo;
    int m_bConfiguring = 0;
    int m_nConfigType = 0;
    int m_nInFlight = 0;       // device tasks posted and not answered yet
    bool m_bDescriptionRun = false;
    std::vector<std::string> m_vecDescription;
    int m_bXmlReset = 0;
    ResetCodeMap m_mapResetCode;
    std::string m_strCreateTime;
};

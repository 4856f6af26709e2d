// Worker of system configuration. Its tasks run on loop 3 (device calls), one device at a time,
// and report to CConfigUILogic by posting to loop 1. Every task posts its final result on every
// path. Results carry the IP, the MAC and the record index they were given, unchanged.
// The parameter records are set on the GUI thread between runs and read by the tasks.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "SysConfig/SysConfigRecords.h"

class CConfigUILogic;

class CConfigLogic : public std::enable_shared_from_this<CConfigLogic> {
public:
    explicit CConfigLogic(std::weak_ptr<CConfigUILogic> ui);

    // ---- Setters (GUI thread, before a run) --------------------------------------------
    void SetConfigType(int type) { m_nConfigType = type; }
    // 0 and nothing stored for a year before 2000 or from 2100 on.
    int SetSyncTimeParam(int year, int month, int day, int hour, int minute, int second);
    void SetAutoRebootParam(int enable, int day, int hour, int minute);
    void SetDSTParam(DST_PARAM param) { m_dst = param; }
    void SetNTPParam(const NTP_PARAM* param);
    void SetPasswordParam(const char* oldPassword, const char* newPassword);
    void SetNewPasswordParam(const char* newPassword);
    // The code keeps at most 8 characters.
    void SetResetPasswordParam(const char* newPassword, const char* securityCode);
    // The workstation address for the login-less calls, taken from the settings on the GUI
    // thread before such tasks are posted.
    void SetLocalAddress(const std::wstring& address);

    // ---- Tasks (loop 3) ------------------------------------------------------------------
    // Kinds 0-7: login, the operation of the current kind, logout; posts Task_Login_Ret, then
    // Task_Config_Ret after a login, then Task_StartConfig_Ret.
    void Task_StartConfig(std::string ip, std::string user, std::string password, int port, std::string mac,
                          std::string deviceType, int p2p, int paramValid, int index);
    void Task_GetPwdDescription(std::string mac);
    void Task_GetPwdDescriptionXML(std::string ip, std::string mac, int index);
    void Task_CheckSecurityCode(std::string ip, std::string mac, std::string code);
    void Task_StartConfigReset(std::string ip, std::string user, std::string mac, int index);
    void Task_StartConfigResetXml(std::string ip, std::string user, std::string mac, std::string code1,
                                  std::string code2, std::string code3, int index);

    // Read-only views of the records (tests, the page).
    int GetConfigType() const { return m_nConfigType; }
    const SYNC_TIME_PARAM& GetSyncTime() const { return m_syncTime; }
    const AUTO_REBOOT_PARAM& GetAutoReboot() const { return m_autoReboot; }
    const char* GetSecurityCode() const { return m_szSecurityCode; }
    const char* GetNewPassword() const { return m_szNewPassword; }

private:
    // Operation routines, each posting one Task_Config_Ret (ConfigLogicTime.cpp,
    // ConfigLogicMaintain.cpp, ConfigLogicPassword.cpp).
    void PcSync_Config(LONG login, const std::string& ip, const std::string& mac, int index);
    void ManualSync_Config(LONG login, const std::string& ip, const std::string& mac, int paramValid, int index);
    void AutoReboot(LONG login, const std::string& ip, const std::string& mac, int index);
    void ManualReboot(LONG login, const std::string& ip, const std::string& mac, int index);
    void Restore(LONG login, const std::string& ip, const std::string& mac, const std::string& deviceType,
                 int index);
    void Config_DST(LONG login, const std::string& ip, const std::string& mac, int index);
    void Config_NTP(LONG login, const std::string& ip, const std::string& mac, int index);
    void ModifyPassword(LONG login, const std::string& ip, const std::string& mac, const std::string& user,
                        int index);

    // Reads a named configuration into record (size preset by the caller), lets patch change
    // it, packs and writes it back. 0 when any step fails.
    template <class Patch>
    int WriteNamedConfig(LONG login, const char* name, void* record, DWORD size, int writeWaitMs, Patch patch);
    // One reset attempt with a code; the mapped result code on failure.
    bool ResetOnce(const std::string& user, const std::string& mac, const std::string& code,
                   SYSCONFIG_ERROR& error);

    // The address for a login-less call in a zeroed 20-byte buffer, or nullptr when none.
    const char* LocalAddress(char* buffer);
    void PostConfigRet(const std::string& ip, const std::string& mac, int ok, int index);

    std::weak_ptr<CConfigUILogic> m_wpUI;
    int m_nConfigType = 0;
    SYNC_TIME_PARAM m_syncTime{};
    AUTO_REBOOT_PARAM m_autoReboot{};
    DST_PARAM m_dst{};
    NTP_PARAM m_ntp{};
    char m_szOldPassword[64] = {};
    char m_szNewPassword[64] = {};
    char m_szSecurityCode[16] = {};
    std::mutex m_localMu;
    std::string m_strLocalAddress;
};

// The workstation address as the login-less calls take it: narrow, at most 19 characters.
std::string NarrowLocalAddress(const std::wstring& address);

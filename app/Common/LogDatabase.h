// An operation log in SQLite: devices worked on, logins to them and configuration events.
// Failures of the database arrive as CppSQLite3Exception.
#pragma once

#include "Common/CppSQLite3.h"

#include <memory>
#include <string>
#include <vector>

// What the log keeps of a device's search record.
struct LOG_DEVICE_RECORD {
    std::string ip;
    int port = 0;
    std::string mac;
    std::string type;
    std::string sn;
};

// One login entry joined with its device.
struct TABLE_DEVINFO {
    int id = 0;
    int deviceId = 0;
    double loginId = 0;
    double time = 0;
    int type = 0;
    int status = 0;
    std::string remarks;
    std::string ip;
    int port = 0;
    std::string mac;
    std::string devType;
    std::string sn;
};

// One row of LogInfo.
struct TABLE_LOGINFO {
    int id = 0;
    int deviceId = 0;
    int eventId = 0;
    int loginId = 0;
    int channel = 0;
    double time = 0;
    int status = 0;
    std::string remarks;
};

class ILogDatabaseListener {
public:
    virtual void OnLoginList(const std::shared_ptr<std::vector<TABLE_DEVINFO>>& list) = 0;
    virtual void OnEventList(const std::shared_ptr<std::vector<TABLE_LOGINFO>>& list) = 0;
    virtual void OnRebuilt(bool deleted) = 0;

protected:
    ~ILogDatabaseListener() = default;
};

enum LOG_EVENT_TYPE {
    LOG_EVENT_CODE_CONFIG = 0,
    LOG_EVENT_VIDEO_CONFIG,
    LOG_EVENT_BLC_CONFIG,
    LOG_EVENT_TIME_CONFIG,
    LOG_EVENT_CLEAR_CONFIG,
    LOG_EVENT_MODIFY_IP,
    LOG_EVENT_UPGRADE,
    LOG_EVENT_DAYNIGHT_CONFIG,
};

class CLogDatabase {
public:
    CLogDatabase() = default;

    // Opens the file and creates the tables that are missing.
    void Open(const std::wstring& file);
    void Close();
    void SetListener(ILogDatabaseListener* listener) { m_pListener = listener; }

    // Devices added by address only carry the MAC text 'NULL'.
    void AddDeviceByAddress(const std::string& ip, int port);
    void AddDevice(const LOG_DEVICE_RECORD& device);
    void RecordLogin(const std::string& mac, const std::string& ip, double loginId, int time, int type, int status,
                     const std::string& remarks);
    void RecordEvent(const std::string& mac, const std::string& ip, double loginId, int eventId, int channel,
                     int time, int status, const std::string& remarks);
    // The lists go to the listener.
    void QueryLogins();
    void QueryEvents(int deviceId, int loginId);
    void Rebuild(const std::wstring& file, const std::vector<LOG_DEVICE_RECORD>& devices);

    CppSQLite3DB& Database() { return m_db; }

private:
    // -1 when the device is not in the log.
    int FindDevice(const std::string& mac, const std::string& ip);
    int FindLogin(int deviceId, double loginId);

    CppSQLite3DB m_db;
    ILogDatabaseListener* m_pListener = nullptr;
};

// The process-wide instance, created unopened on first use.
CLogDatabase* GetLogDatabase();

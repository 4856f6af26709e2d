#include "Common/LogDatabase.h"

#include "Common/SFStreamConvert.h"

#include <cstdio>

namespace {

std::string Narrow(const std::wstring& text) { return SFWideToUtf8(text); }

} // namespace

CLogDatabase* GetLogDatabase()
{
    static CLogDatabase* instance = new CLogDatabase;
    return instance;
}

void CLogDatabase::Open(const std::wstring& file)
{
    m_db.open(file.c_str());
    if (!m_db.tableExists(L"DeviceInfo"))
        m_db.execDML(L"create table DeviceInfo(ID integer primary key, IP char(20), Port int, Mac char(20), "
                     L"Type char(20),SN char(20));");
    if (!m_db.tableExists(L"EventType")) {
        m_db.execDML(L"create table EventType(ID int, Name char(20));");
        m_db.execDML(L"insert into EventType values (0, 'CodeConfig');");
        m_db.execDML(L"insert into EventType values (1, 'VideoConfig');");
        m_db.execDML(L"insert into EventType values (2, 'BLCConfig');");
        m_db.execDML(L"insert into EventType values (3, 'TimeConfig');");
        m_db.execDML(L"insert into EventType values (4, 'ClearConfig');");
        m_db.execDML(L"insert into EventType values (5, 'ModifyIP');");
        m_db.execDML(L"insert into EventType values (6, 'Upgrade');");
        m_db.execDML(L"insert into EventType values (7, 'Day/NightConfig');");
    }
    if (!m_db.tableExists(L"LogInfo"))
        m_db.execDML(L"create table LogInfo(ID integer primary key, DeviceID int, EventID int, LoginID int, Chn int, "
                     L"Time double, Status int, Remarks char(50));");
    if (!m_db.tableExists(L"Login"))
        m_db.execDML(L"create table Login(ID integer primary key, DeviceID int, LoginID double, Time double, Type int, "
                     L"Status int, Remarks char(50));");
}

void CLogDatabase::Close() { m_db.close(); }

int CLogDatabase::FindDevice(const std::string& mac, const std::string& ip)
{
    CppSQLite3Statement stmt = m_db.compileStatement(L"select ID from DeviceInfo where Mac = ? and IP = ?;");
    stmt.bind(1, mac);
    stmt.bind(2, ip);
    CppSQLite3Query query = stmt.execQuery();
    return query.eof() ? -1 : query.getIntField(0);
}

int CLogDatabase::FindLogin(int deviceId, double loginId)
{
    CppSQLite3Statement stmt = m_db.compileStatement(L"select ID from Login where DeviceID = ? and LoginID = ?;");
    stmt.bind(1, deviceId);
    stmt.bind(2, loginId);
    CppSQLite3Query query = stmt.execQuery();
    return query.eof() ? -1 : query.getIntField(0);
}

void CLogDatabase::AddDeviceByAddress(const std::string& ip, int port)
{
    {
        CppSQLite3Statement find =
            m_db.compileStatement(L"select ID from DeviceInfo where Mac = 'NULL' and IP = ? and Port = ?;");
        find.bind(1, ip);
        find.bind(2, port);
        if (!find.execQuery().eof())
            return;
    }
    CppSQLite3Statement insert =
        m_db.compileStatement(L"insert into DeviceInfo (IP, Port, Mac)values (?, ?, 'NULL');");
    insert.bind(1, ip);
    insert.bind(2, port);
    insert.execDML();
}

void CLogDatabase::AddDevice(const LOG_DEVICE_RECORD& device)
{
    if (FindDevice(device.mac, device.ip) >= 0)
        return;
    CppSQLite3Statement insert =
        m_db.compileStatement(L"insert into DeviceInfo (IP , Port , Mac , Type, SN)values (?, ?, ?, ?, ?);");
    insert.bind(1, device.ip);
    insert.bind(2, device.port);
    insert.bind(3, device.mac);
    insert.bind(4, device.type);
    insert.bind(5, device.sn);
    insert.execDML();
}

void CLogDatabase::RecordLogin(const std::string& mac, const std::string& ip, double loginId, int time, int type,
                               int status, const std::string& remarks)
{
    const int deviceId = FindDevice(mac, ip);
    if (FindLogin(deviceId, loginId) >= 0) {
        CppSQLite3Statement remark =
            m_db.compileStatement(L"update Login set Remarks = ? where DeviceID = ? and LoginID = ?;");
        remark.bind(1, remarks);
        remark.bind(2, deviceId);
        remark.bind(3, loginId);
        remark.execDML();
        CppSQLite3Statement state =
            m_db.compileStatement(L"update Login set Status = ? where DeviceID = ? and LoginID = ?;");
        state.bind(1, status);
        state.bind(2, deviceId);
        state.bind(3, loginId);
        state.execDML();
        return;
    }
    CppSQLite3Statement insert = m_db.compileStatement(
        L"insert into Login (DeviceID, LoginID, Time,Type,Status, Remarks) values (?, ?, ?, ?, ?, ?);");
    insert.bind(1, deviceId);
    insert.bind(2, loginId);
    insert.bind(3, time);
    insert.bind(4, type);
    insert.bind(5, status);
    insert.bind(6, remarks);
    insert.execDML();
}

void CLogDatabase::RecordEvent(const std::string& mac, const std::string& ip, double loginId, int eventId,
                               int channel, int time, int status, const std::string& remarks)
{
    const int deviceId = FindDevice(mac, ip);
    FindLogin(deviceId, loginId);
    CppSQLite3Statement remark =
        m_db.compileStatement(L"update Login set Remarks = ? where DeviceID = ? and LoginID = ?;");
    remark.bind(1, remarks);
    remark.bind(2, deviceId);
    remark.bind(3, loginId);
    remark.execDML();
    CppSQLite3Statement insert = m_db.compileStatement(
        L"insert into LogInfo (DeviceID, EventID, LoginID, Chn , Time, Status, Remarks) values (?, ?, ?, ?, ?, ?, ?);");
    insert.bind(1, deviceId);
    insert.bind(2, eventId);
    insert.bind(3, static_cast<int>(loginId));
    insert.bind(4, channel);
    insert.bind(5, time);
    insert.bind(6, status);
    insert.bind(7, remarks);
    insert.execDML();
}

void CLogDatabase::QueryLogins()
{
    auto list = std::make_shared<std::vector<TABLE_DEVINFO>>();
    CppSQLite3Query logins = m_db.execQuery(L"select * from Login order by 1;");
    for (; !logins.eof(); logins.nextRow()) {
        TABLE_DEVINFO row;
        row.id = logins.getIntField(0);
        row.deviceId = logins.getIntField(1);
        row.loginId = logins.getFloatField(2);
        row.time = logins.getFloatField(3);
        row.type = logins.getIntField(4);
        row.status = logins.getIntField(5);
        row.remarks = Narrow(logins.getStringField(6));
        CppSQLite3Statement stmt = m_db.compileStatement(L"select * from DeviceInfo where ID = ?;");
        stmt.bind(1, row.deviceId);
        CppSQLite3Query device = stmt.execQuery();
        if (!device.eof()) {
            row.ip = Narrow(device.getStringField(1));
            row.port = device.getIntField(2);
            row.mac = Narrow(device.getStringField(3));
            row.devType = Narrow(device.getStringField(4));
            row.sn = Narrow(device.getStringField(5));
        }
        list->push_back(row);
    }
    if (m_pListener)
        m_pListener->OnLoginList(list);
}

void CLogDatabase::QueryEvents(int deviceId, int loginId)
{
    auto list = std::make_shared<std::vector<TABLE_LOGINFO>>();
    CppSQLite3Statement stmt = m_db.compileStatement(L"select * from LogInfo where DeviceID = ? and LoginID = ?;");
    stmt.bind(1, deviceId);
    stmt.bind(2, loginId);
    for (CppSQLite3Query query = stmt.execQuery(); !query.eof(); query.nextRow()) {
        TABLE_LOGINFO row;
        row.id = query.getIntField(0);
        row.deviceId = query.getIntField(1);
        row.eventId = query.getIntField(2);
        row.loginId = query.getIntField(3);
        row.channel = query.getIntField(4);
        row.time = query.getFloatField(5);
        row.status = query.getIntField(6);
        row.remarks = Narrow(query.getStringField(7));
        list->push_back(row);
    }
    if (m_pListener)
        m_pListener->OnEventList(list);
}

void CLogDatabase::Rebuild(const std::wstring& file, const std::vector<LOG_DEVICE_RECORD>& devices)
{
    m_db.close();
    const bool deleted = std::remove(Narrow(file).c_str()) == 0;
    if (m_pListener)
        m_pListener->OnRebuilt(deleted);
    if (!deleted)
        return;
    Open(file);
    for (const auto& device : devices)
        AddDevice(device);
}

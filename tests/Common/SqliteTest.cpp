// The SQLite layer and the operation-log database.
#include "Common/LogDatabase.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Message(const std::function<void()>& action, int* code = nullptr)
{
    try {
        action();
    } catch (const CppSQLite3Exception& e) {
        if (code)
            *code = e.errorCode();
        return e.errorMessage() ? e.errorMessage() : L"(null)";
    }
    return L"no exception";
}

TEST(Sqlite, ExceptionTexts)
{
    EXPECT_STREQ(L"SQLITE_CONSTRAINT[19]: x", CppSQLite3Exception(19, L"x").errorMessage());
    EXPECT_STREQ(L"CPPSQLITE_ERROR[1000]: y", CppSQLite3Exception(1000, L"y").errorMessage());
    EXPECT_STREQ(L"UNKNOWN_ERROR[77]: z", CppSQLite3Exception(77, L"z").errorMessage());
    EXPECT_EQ(nullptr, CppSQLite3Exception(1, nullptr).errorMessage());
    const CppSQLite3Exception copy(CppSQLite3Exception(5, L"busy"));
    EXPECT_STREQ(L"SQLITE_BUSY[5]: busy", copy.errorMessage());
}

TEST(Sqlite, EveryFailingStepThrows)
{
    QTemporaryDir dir;
    CppSQLite3DB db;
    EXPECT_EQ(L"CPPSQLITE_ERROR[1000]: Database not open", Message([&] { db.execDML(L"select 1;"); }));
    db.open((dir.path() + "/t.db").toStdWString().c_str());
    db.execDML(L"create table T(ID integer primary key, Name char(20) unique);");
    EXPECT_TRUE(db.tableExists(L"T"));
    EXPECT_FALSE(db.tableExists(L"T' or '1'='1"));

    auto insert = db.compileStatement(L"insert into T (Name) values (?);");
    insert.bind(1, L"it's");
    EXPECT_EQ(1, insert.execDML());
    insert.bind(1, L"it's");
    int code = 0;
    EXPECT_NE(std::wstring::npos, Message([&] { insert.execDML(); }, &code).find(L"SQLITE_CONSTRAINT[19]"));
    EXPECT_EQ(19, code);
    EXPECT_NE(std::wstring::npos, Message([&] { insert.bind(5, 1); }).find(L"Error binding int param"));
    EXPECT_NE(std::wstring::npos, Message([&] { db.execDML(L"insert into Missing values (1);"); }).find(L"SQLITE_ERROR[1]"));
    EXPECT_NE(std::wstring::npos, Message([&] { db.execQuery(L"selct 1;"); }).find(L"SQLITE_ERROR[1]"));
    EXPECT_EQ(L"CPPSQLITE_ERROR[1000]: Invalid scalar query", Message([&] { db.execScalar(L"select 1 where 0;"); }));
    EXPECT_EQ(1, db.execScalar(L"select count(*) from T;"));

    CppSQLite3Query query = db.execQuery(L"select ID, Name from T;");
    ASSERT_FALSE(query.eof());
    EXPECT_EQ(2, query.numFields());
    EXPECT_EQ(L"it's", query.getStringField(L"Name"));
    EXPECT_EQ(L"CPPSQLITE_ERROR[1000]: Invalid field index requested", Message([&] { query.fieldValue(2); }));
    EXPECT_EQ(L"CPPSQLITE_ERROR[1000]: Invalid field index requested", Message([&] { query.fieldValue(-1); }));
    EXPECT_EQ(L"CPPSQLITE_ERROR[1000]: Invalid field name requested", Message([&] { query.fieldIndex(L"name"); }));
    query.nextRow();
    EXPECT_TRUE(query.eof());
    query.finalize();
    EXPECT_EQ(L"CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer", Message([&] { query.eof(); }));
    insert.finalize();

    db.close();
    EXPECT_EQ(L"CPPSQLITE_ERROR[1000]: Database not open", Message([&] { db.tableExists(L"T"); }));
    EXPECT_EQ(L"CPPSQLITE_ERROR[1000]: Database not open", Message([&] { db.compileStatement(L"select 1;"); }));
}

struct Listener : ILogDatabaseListener {
    void OnLoginList(const std::shared_ptr<std::vector<TABLE_DEVINFO>>& list) override { logins = *list; }
    void OnEventList(const std::shared_ptr<std::vector<TABLE_LOGINFO>>& list) override { events = *list; }
    void OnRebuilt(bool deleted) override { rebuilt = deleted ? 1 : 0; }
    std::vector<TABLE_DEVINFO> logins;
    std::vector<TABLE_LOGINFO> events;
    int rebuilt = -1;
};

TEST(LogDatabase, SchemaRecordsAndQueries)
{
    QTemporaryDir dir;
    const std::wstring file = (dir.path() + "/log.db").toStdWString();
    CLogDatabase log;
    Listener listener;
    log.SetListener(&listener);
    log.Open(file);
    for (const wchar_t* table : {L"DeviceInfo", L"EventType", L"LogInfo", L"Login"})
        EXPECT_TRUE(log.Database().tableExists(table)) << table;
    EXPECT_EQ(8, log.Database().execScalar(L"select count(*) from EventType;"));
    EXPECT_EQ(7, log.Database().execScalar(L"select ID from EventType where Name = 'Day/NightConfig';"));

    LOG_DEVICE_RECORD device{"127.0.0.5", 37777, "00:11:22:33:44:55", "IPC-O'Brien", "SN1"};
    log.AddDevice(device);
    log.AddDevice(device);
    log.AddDeviceByAddress("127.0.0.6", 37777);
    log.AddDeviceByAddress("127.0.0.6", 37777);
    EXPECT_EQ(2, log.Database().execScalar(L"select count(*) from DeviceInfo;"));

    log.RecordLogin(device.mac, device.ip, 12345.0, 1700000000, 1, 0, "first'; drop table Login; --");
    log.RecordLogin(device.mac, device.ip, 12345.0, 1700000001, 1, 2, "second");
    log.RecordEvent(device.mac, device.ip, 12345.0, LOG_EVENT_UPGRADE, 0, 1700000002, 1, "upgrade");
    log.QueryLogins();
    ASSERT_EQ(1u, listener.logins.size());
    EXPECT_EQ("upgrade", listener.logins[0].remarks);
    EXPECT_EQ(2, listener.logins[0].status);
    EXPECT_EQ("IPC-O'Brien", listener.logins[0].devType);
    EXPECT_EQ(37777, listener.logins[0].port);
    log.QueryEvents(listener.logins[0].deviceId, 12345);
    ASSERT_EQ(1u, listener.events.size());
    EXPECT_EQ(LOG_EVENT_UPGRADE, listener.events[0].eventId);

    log.Rebuild(file, {device});
    EXPECT_EQ(1, listener.rebuilt);
    EXPECT_EQ(1, log.Database().execScalar(L"select count(*) from DeviceInfo;"));
    EXPECT_EQ(0, log.Database().execScalar(L"select count(*) from Login;"));
    log.Close();
    // One process-wide log database, the same on every call.
    CLogDatabase* shared = GetLogDatabase();
    ASSERT_NE(shared, nullptr);
    EXPECT_NE(shared, &log);
    EXPECT_EQ(shared, GetLogDatabase());
}

} // namespace

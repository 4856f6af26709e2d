// A thin object layer over SQLite 3 for wide-text programs. Every failure throws CppSQLite3Exception.
#pragma once

#include <string>

struct sqlite3;
struct sqlite3_stmt;

enum { CPPSQLITE_ERROR = 1000 };

class CppSQLite3Exception {
public:
    // Message "<code name>[<code>]: <message>"; a null message leaves the message null.
    CppSQLite3Exception(int code, const wchar_t* message, bool freeMessage = false);
    CppSQLite3Exception(const CppSQLite3Exception& other);
    CppSQLite3Exception& operator=(const CppSQLite3Exception&) = delete;
    virtual ~CppSQLite3Exception();

    int errorCode() const { return m_nCode; }
    const wchar_t* errorMessage() const { return m_pMessage; }
    static const char* errorCodeAsString(int code);

private:
    int m_nCode;
    wchar_t* m_pMessage;
};

class CppSQLite3Query {
public:
    CppSQLite3Query() = default;
    CppSQLite3Query(sqlite3* db, sqlite3_stmt* stmt, bool eof, bool ownStatement);
    CppSQLite3Query(CppSQLite3Query&& other) noexcept;
    CppSQLite3Query& operator=(CppSQLite3Query&& other) noexcept;
    CppSQLite3Query(const CppSQLite3Query&) = delete;
    CppSQLite3Query& operator=(const CppSQLite3Query&) = delete;
    virtual ~CppSQLite3Query();

    int numFields() const;
    int fieldIndex(const wchar_t* name) const;
    std::wstring fieldName(int column) const;
    std::wstring fieldDeclType(int column) const;
    int fieldDataType(int column) const;
    std::wstring fieldValue(int column) const;
    std::wstring fieldValue(const wchar_t* name) const;
    int getIntField(int column, int nullValue = 0) const;
    int getIntField(const wchar_t* name, int nullValue = 0) const;
    double getFloatField(int column, double nullValue = 0.0) const;
    double getFloatField(const wchar_t* name, double nullValue = 0.0) const;
    std::wstring getStringField(int column, const wchar_t* nullValue = L"") const;
    std::wstring getStringField(const wchar_t* name, const wchar_t* nullValue = L"") const;
    bool fieldIsNull(int column) const;
    bool fieldIsNull(const wchar_t* name) const;
    bool eof() const;
    void nextRow();
    void finalize();

private:
    void checkStmt() const;
    void checkColumn(int column) const;

    sqlite3* m_pDB = nullptr;
    sqlite3_stmt* m_pStmt = nullptr;
    bool m_bEof = true;
    int m_nCols = 0;
    bool m_bOwnStmt = false;
};

class CppSQLite3Statement {
public:
    CppSQLite3Statement() = default;
    CppSQLite3Statement(sqlite3* db, sqlite3_stmt* stmt);
    CppSQLite3Statement(CppSQLite3Statement&& other) noexcept;
    CppSQLite3Statement& operator=(CppSQLite3Statement&& other) noexcept;
    CppSQLite3Statement(const CppSQLite3Statement&) = delete;
    CppSQLite3Statement& operator=(const CppSQLite3Statement&) = delete;
    virtual ~CppSQLite3Statement();

    // Parameter positions start at 1.
    void bind(int param, const wchar_t* value);
    void bind(int param, const std::string& utf8);
    void bind(int param, int value);
    void bind(int param, double value);
    void bind(int param, const unsigned char* blob, int length);
    void bindNull(int param);
    // Runs the statement; returns the number of changed rows.
    int execDML();
    // The statement stays owned here; the query reads its rows.
    CppSQLite3Query execQuery();
    void reset();
    void finalize();

private:
    void checkStmt() const;

    sqlite3* m_pDB = nullptr;
    sqlite3_stmt* m_pStmt = nullptr;
};

class CppSQLite3DB {
public:
    CppSQLite3DB() = default;
    CppSQLite3DB(const CppSQLite3DB&) = delete;
    CppSQLite3DB& operator=(const CppSQLite3DB&) = delete;
    virtual ~CppSQLite3DB();

    void open(const wchar_t* file);
    void close();
    bool isOpen() const { return m_pDB != nullptr; }
    bool tableExists(const wchar_t* table);
    int execDML(const wchar_t* sql);
    CppSQLite3Query execQuery(const wchar_t* sql);
    int execScalar(const wchar_t* sql);
    CppSQLite3Statement compileStatement(const wchar_t* sql);
    void setBusyTimeout(int milliseconds);

private:
    sqlite3_stmt* compile(const wchar_t* sql);
    void checkDB() const;

    sqlite3* m_pDB = nullptr;
    int m_nBusyTimeoutMs = 60000;
};

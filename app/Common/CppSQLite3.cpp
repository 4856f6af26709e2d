#include "Common/CppSQLite3.h"

#include "Common/SFStreamConvert.h"

#include <sqlite3.h>

#include <cstring>
#include <cwchar>
#include <utility>

namespace {

std::string Utf8(const wchar_t* text) { return SFWideToUtf8(text ? std::wstring(text) : std::wstring()); }

std::wstring Wide(const unsigned char* utf8)
{
    return utf8 ? SFUtf8ToWide(reinterpret_cast<const char*>(utf8)) : std::wstring();
}

[[noreturn]] void Throw(int code, const std::wstring& message)
{
    throw CppSQLite3Exception(code, message.c_str());
}

[[noreturn]] void ThrowDB(sqlite3* db, int code)
{
    Throw(code, db ? SFUtf8ToWide(sqlite3_errmsg(db)) : std::wstring(L"unknown error"));
}

// A statement that is not there: never compiled, or already finalized.
void CheckStmtPresent(const sqlite3_stmt* stmt)
{
    if (!stmt)
        Throw(CPPSQLITE_ERROR, L"Null Virtual Machine pointer");
}

// Finalizes an owner where an error has nowhere to go (destructors, moves).
template <class Owner>
void FinalizeQuietly(Owner& owner) noexcept
{
    try {
        owner.finalize();
    } catch (...) {
    }
}

} // namespace

// ---- exception

const char* CppSQLite3Exception::errorCodeAsString(int code)
{
    switch (code) {
    case SQLITE_OK: return "SQLITE_OK";
    case SQLITE_ERROR: return "SQLITE_ERROR";
    case SQLITE_INTERNAL: return "SQLITE_INTERNAL";
    case SQLITE_PERM: return "SQLITE_PERM";
    case SQLITE_ABORT: return "SQLITE_ABORT";
    case SQLITE_BUSY: return "SQLITE_BUSY";
    case SQLITE_LOCKED: return "SQLITE_LOCKED";
    case SQLITE_NOMEM: return "SQLITE_NOMEM";
    case SQLITE_READONLY: return "SQLITE_READONLY";
    case SQLITE_INTERRUPT: return "SQLITE_INTERRUPT";
    case SQLITE_IOERR: return "SQLITE_IOERR";
    case SQLITE_CORRUPT: return "SQLITE_CORRUPT";
    case SQLITE_NOTFOUND: return "SQLITE_NOTFOUND";
    case SQLITE_FULL: return "SQLITE_FULL";
    case SQLITE_CANTOPEN: return "SQLITE_CANTOPEN";
    case SQLITE_PROTOCOL: return "SQLITE_PROTOCOL";
    case SQLITE_EMPTY: return "SQLITE_EMPTY";
    case SQLITE_SCHEMA: return "SQLITE_SCHEMA";
    case SQLITE_TOOBIG: return "SQLITE_TOOBIG";
    case SQLITE_CONSTRAINT: return "SQLITE_CONSTRAINT";
    case SQLITE_MISMATCH: return "SQLITE_MISMATCH";
    case SQLITE_MISUSE: return "SQLITE_MISUSE";
    case SQLITE_NOLFS: return "SQLITE_NOLFS";
    case SQLITE_AUTH: return "SQLITE_AUTH";
    case SQLITE_FORMAT: return "SQLITE_FORMAT";
    case SQLITE_RANGE: return "SQLITE_RANGE";
    case SQLITE_ROW: return "SQLITE_ROW";
    case SQLITE_DONE: return "SQLITE_DONE";
    case CPPSQLITE_ERROR: return "CPPSQLITE_ERROR";
    default: return "UNKNOWN_ERROR";
    }
}

CppSQLite3Exception::CppSQLite3Exception(int code, const wchar_t* message, bool freeMessage)
    : m_nCode(code), m_pMessage(nullptr)
{
    if (message) {
        const std::wstring name = SFUtf8ToWide(errorCodeAsString(code));
        const std::wstring text = name + L"[" + std::to_wstring(code) + L"]: " + message;
        m_pMessage = new wchar_t[text.size() + 1];
        wmemcpy(m_pMessage, text.c_str(), text.size() + 1);
        if (freeMessage)
            sqlite3_free(const_cast<wchar_t*>(message));
    }
}

CppSQLite3Exception::CppSQLite3Exception(const CppSQLite3Exception& other)
    : m_nCode(other.m_nCode), m_pMessage(nullptr)
{
    if (other.m_pMessage) {
        const size_t n = wcslen(other.m_pMessage);
        m_pMessage = new wchar_t[n + 1];
        wmemcpy(m_pMessage, other.m_pMessage, n + 1);
    }
}

CppSQLite3Exception::~CppSQLite3Exception() { delete[] m_pMessage; }

// ---- query

CppSQLite3Query::CppSQLite3Query(sqlite3* db, sqlite3_stmt* stmt, bool eof, bool ownStatement)
    : m_pDB(db), m_pStmt(stmt), m_bEof(eof), m_nCols(sqlite3_column_count(stmt)), m_bOwnStmt(ownStatement)
{
}

CppSQLite3Query::CppSQLite3Query(CppSQLite3Query&& other) noexcept { *this = std::move(other); }

CppSQLite3Query& CppSQLite3Query::operator=(CppSQLite3Query&& other) noexcept
{
    if (this != &other) {
        FinalizeQuietly(*this);
        m_pDB = std::exchange(other.m_pDB, nullptr);
        m_pStmt = std::exchange(other.m_pStmt, nullptr);
        m_bEof = std::exchange(other.m_bEof, true);
        m_nCols = std::exchange(other.m_nCols, 0);
        m_bOwnStmt = std::exchange(other.m_bOwnStmt, false);
    }
    return *this;
}

CppSQLite3Query::~CppSQLite3Query()
{
    FinalizeQuietly(*this);
}

void CppSQLite3Query::checkStmt() const
{
    CheckStmtPresent(m_pStmt);
}

void CppSQLite3Query::checkColumn(int column) const
{
    checkStmt();
    if (column < 0 || column >= m_nCols)
        Throw(CPPSQLITE_ERROR, L"Invalid field index requested");
}

int CppSQLite3Query::numFields() const
{
    checkStmt();
    return m_nCols;
}

int CppSQLite3Query::fieldIndex(const wchar_t* name) const
{
    checkStmt();
    if (name) {
        for (int i = 0; i < m_nCols; ++i) {
            if (Wide(reinterpret_cast<const unsigned char*>(sqlite3_column_name(m_pStmt, i))) == name)
                return i;
        }
    }
    Throw(CPPSQLITE_ERROR, L"Invalid field name requested");
}

std::wstring CppSQLite3Query::fieldName(int column) const
{
    checkColumn(column);
    return Wide(reinterpret_cast<const unsigned char*>(sqlite3_column_name(m_pStmt, column)));
}

std::wstring CppSQLite3Query::fieldDeclType(int column) const
{
    checkColumn(column);
    return Wide(reinterpret_cast<const unsigned char*>(sqlite3_column_decltype(m_pStmt, column)));
}

int CppSQLite3Query::fieldDataType(int column) const
{
    checkColumn(column);
    return sqlite3_column_type(m_pStmt, column);
}

std::wstring CppSQLite3Query::fieldValue(int column) const
{
    checkColumn(column);
    return Wide(sqlite3_column_text(m_pStmt, column));
}

std::wstring CppSQLite3Query::fieldValue(const wchar_t* name) const { return fieldValue(fieldIndex(name)); }

int CppSQLite3Query::getIntField(int column, int nullValue) const
{
    return fieldDataType(column) == SQLITE_NULL ? nullValue : sqlite3_column_int(m_pStmt, column);
}

int CppSQLite3Query::getIntField(const wchar_t* name, int nullValue) const
{
    return getIntField(fieldIndex(name), nullValue);
}

double CppSQLite3Query::getFloatField(int column, double nullValue) const
{
    return fieldDataType(column) == SQLITE_NULL ? nullValue : sqlite3_column_double(m_pStmt, column);
}

double CppSQLite3Query::getFloatField(const wchar_t* name, double nullValue) const
{
    return getFloatField(fieldIndex(name), nullValue);
}

std::wstring CppSQLite3Query::getStringField(int column, const wchar_t* nullValue) const
{
    if (fieldDataType(column) == SQLITE_NULL)
        return nullValue ? nullValue : L"";
    return Wide(sqlite3_column_text(m_pStmt, column));
}

std::wstring CppSQLite3Query::getStringField(const wchar_t* name, const wchar_t* nullValue) const
{
    return getStringField(fieldIndex(name), nullValue);
}

bool CppSQLite3Query::fieldIsNull(int column) const { return fieldDataType(column) == SQLITE_NULL; }

bool CppSQLite3Query::fieldIsNull(const wchar_t* name) const { return fieldIsNull(fieldIndex(name)); }

bool CppSQLite3Query::eof() const
{
    checkStmt();
    return m_bEof;
}

void CppSQLite3Query::nextRow()
{
    checkStmt();
    const int rc = sqlite3_step(m_pStmt);
    if (rc == SQLITE_DONE) {
        m_bEof = true;
    } else if (rc != SQLITE_ROW) {
        const std::wstring message = SFUtf8ToWide(sqlite3_errmsg(m_pDB));
        finalize();
        Throw(rc, message);
    }
}

void CppSQLite3Query::finalize()
{
    if (m_pStmt && m_bOwnStmt) {
        const int rc = sqlite3_finalize(m_pStmt);
        m_pStmt = nullptr;
        if (rc != SQLITE_OK)
            ThrowDB(m_pDB, rc);
    }
    m_pStmt = nullptr;
}

// ---- statement

CppSQLite3Statement::CppSQLite3Statement(sqlite3* db, sqlite3_stmt* stmt) : m_pDB(db), m_pStmt(stmt) {}

CppSQLite3Statement::CppSQLite3Statement(CppSQLite3Statement&& other) noexcept { *this = std::move(other); }

CppSQLite3Statement& CppSQLite3Statement::operator=(CppSQLite3Statement&& other) noexcept
{
    if (this != &other) {
        FinalizeQuietly(*this);
        m_pDB = std::exchange(other.m_pDB, nullptr);
        m_pStmt = std::exchange(other.m_pStmt, nullptr);
    }
    return *this;
}

CppSQLite3Statement::~CppSQLite3Statement()
{
    FinalizeQuietly(*this);
}

void CppSQLite3Statement::checkStmt() const
{
    CheckStmtPresent(m_pStmt);
}

void CppSQLite3Statement::bind(int param, const wchar_t* value) { bind(param, Utf8(value)); }

void CppSQLite3Statement::bind(int param, const std::string& utf8)
{
    checkStmt();
    const int rc = sqlite3_bind_text(m_pStmt, param, utf8.c_str(), int(utf8.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        Throw(rc, L"Error binding string param");
}

void CppSQLite3Statement::bind(int param, int value)
{
    checkStmt();
    const int rc = sqlite3_bind_int(m_pStmt, param, value);
    if (rc != SQLITE_OK)
        Throw(rc, L"Error binding int param");
}

void CppSQLite3Statement::bind(int param, double value)
{
    checkStmt();
    const int rc = sqlite3_bind_double(m_pStmt, param, value);
    if (rc != SQLITE_OK)
        Throw(rc, L"Error binding double param");
}

void CppSQLite3Statement::bind(int param, const unsigned char* blob, int length)
{
    checkStmt();
    const int rc = sqlite3_bind_blob(m_pStmt, param, blob, length, SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        Throw(rc, L"Error binding blob param");
}

void CppSQLite3Statement::bindNull(int param)
{
    checkStmt();
    const int rc = sqlite3_bind_null(m_pStmt, param);
    if (rc != SQLITE_OK)
        Throw(rc, L"Error binding NULL param");
}

int CppSQLite3Statement::execDML()
{
    checkStmt();
    const int rc = sqlite3_step(m_pStmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const std::wstring message = SFUtf8ToWide(sqlite3_errmsg(m_pDB));
        sqlite3_reset(m_pStmt);
        Throw(rc, message);
    }
    const int changes = sqlite3_changes(m_pDB);
    reset();
    return changes;
}

CppSQLite3Query CppSQLite3Statement::execQuery()
{
    checkStmt();
    const int rc = sqlite3_step(m_pStmt);
    if (rc == SQLITE_DONE)
        return CppSQLite3Query(m_pDB, m_pStmt, true, false);
    if (rc == SQLITE_ROW)
        return CppSQLite3Query(m_pDB, m_pStmt, false, false);
    const std::wstring message = SFUtf8ToWide(sqlite3_errmsg(m_pDB));
    sqlite3_reset(m_pStmt);
    Throw(rc, message);
}

void CppSQLite3Statement::reset()
{
    checkStmt();
    const int rc = sqlite3_reset(m_pStmt);
    if (rc != SQLITE_OK)
        ThrowDB(m_pDB, rc);
}

void CppSQLite3Statement::finalize()
{
    if (!m_pStmt)
        return;
    sqlite3_stmt* stmt = std::exchange(m_pStmt, nullptr);
    const int rc = sqlite3_finalize(stmt);
    if (rc != SQLITE_OK)
        ThrowDB(m_pDB, rc);
}

// ---- database

CppSQLite3DB::~CppSQLite3DB()
{
    if (m_pDB)
        sqlite3_close_v2(m_pDB);
}

void CppSQLite3DB::checkDB() const
{
    if (!m_pDB)
        Throw(CPPSQLITE_ERROR, L"Database not open");
}

void CppSQLite3DB::open(const wchar_t* file)
{
    if (m_pDB)
        close();
    const std::string name = Utf8(file);
    sqlite3* db = nullptr;
    const int rc = sqlite3_open(name.c_str(), &db);
    if (rc != SQLITE_OK) {
        const std::wstring message = db ? SFUtf8ToWide(sqlite3_errmsg(db)) : std::wstring(L"cannot open");
        sqlite3_close(db);
        Throw(rc, message);
    }
    m_pDB = db;
    setBusyTimeout(m_nBusyTimeoutMs);
}

void CppSQLite3DB::close()
{
    if (!m_pDB)
        return;
    const int rc = sqlite3_close(m_pDB);
    if (rc != SQLITE_OK)
        ThrowDB(m_pDB, rc);
    m_pDB = nullptr;
}

sqlite3_stmt* CppSQLite3DB::compile(const wchar_t* sql)
{
    checkDB();
    const std::string text = Utf8(sql);
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(m_pDB, text.c_str(), int(text.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        ThrowDB(m_pDB, rc);
    CheckStmtPresent(stmt);
    return stmt;
}

bool CppSQLite3DB::tableExists(const wchar_t* table)
{
    CppSQLite3Statement stmt = compileStatement(L"select count(*) from sqlite_master where type='table' and name=?;");
    stmt.bind(1, table);
    CppSQLite3Query query = stmt.execQuery();
    return !query.eof() && query.getIntField(0) > 0;
}

int CppSQLite3DB::execDML(const wchar_t* sql)
{
    CppSQLite3Statement stmt(m_pDB, compile(sql));
    return stmt.execDML();
}

CppSQLite3Query CppSQLite3DB::execQuery(const wchar_t* sql)
{
    sqlite3_stmt* stmt = compile(sql);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE)
        return CppSQLite3Query(m_pDB, stmt, true, true);
    if (rc == SQLITE_ROW)
        return CppSQLite3Query(m_pDB, stmt, false, true);
    const std::wstring message = SFUtf8ToWide(sqlite3_errmsg(m_pDB));
    sqlite3_finalize(stmt);
    Throw(rc, message);
}

int CppSQLite3DB::execScalar(const wchar_t* sql)
{
    CppSQLite3Query query = execQuery(sql);
    if (query.eof() || query.numFields() < 1)
        Throw(CPPSQLITE_ERROR, L"Invalid scalar query");
    return query.getIntField(0);
}

CppSQLite3Statement CppSQLite3DB::compileStatement(const wchar_t* sql) { return CppSQLite3Statement(m_pDB, compile(sql)); }

void CppSQLite3DB::setBusyTimeout(int milliseconds)
{
    m_nBusyTimeoutMs = milliseconds;
    if (m_pDB)
        sqlite3_busy_timeout(m_pDB, milliseconds);
}

#include "Excel/FileWorkbookBackend.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "Excel/WorkbookLibs.h"
#include "Excel/XlsReader.h"
#include "Excel/XlsxReader.h"
#include "Excel/XlsxWriter.h"
#include "os/RuntimeLib.h"

namespace {

const unsigned char kZipMagic[4] = {'P', 'K', 3, 4};
const unsigned char kCompoundMagic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

void Fail(EWorkbookError* error, std::string* message, EWorkbookError e, const std::string& text)
{
    if (error)
        *error = e;
    if (message)
        *message = text;
}

// Permission bits for a new file, as the process's creation mask leaves them.
mode_t NewFileMode()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "Umask:") == 0)
            return 0666 & ~static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 0644;
}

bool SyncFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

std::unique_ptr<IWorkbookBackend> CreateWorkbookBackend()
{
    return std::make_unique<CFileWorkbookBackend>();
}

CWorkbook* CFileWorkbookBackend::Open(const std::string& path, EWorkbookError* error, std::string* message)
{
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        int e = path.empty() ? ENOENT : errno;
        Fail(error, message, e == ENOENT || e == ENOTDIR ? EWorkbookError::NotFound : EWorkbookError::Unreadable,
             std::strerror(e));
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        Fail(error, message, EWorkbookError::Unreadable, "not a regular file");
        return nullptr;
    }
    unsigned char head[8] = {};
    size_t got = 0;
    {
        FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) {
            Fail(error, message, EWorkbookError::Unreadable, std::strerror(errno));
            return nullptr;
        }
        got = std::fread(head, 1, sizeof(head), f);
        bool readError = std::ferror(f) != 0;
        std::fclose(f);
        if (readError) {
            Fail(error, message, EWorkbookError::Unreadable, "read error");
            return nullptr;
        }
    }
    auto workbook = std::make_unique<CWorkbook>();
    EWorkbookError e = EWorkbookError::None;
    std::string text;
    bool ok = false;
    if (got >= 4 && std::memcmp(head, kZipMagic, 4) == 0) {
        ok = CXlsxReader::Read(path, workbook.get(), &e, &text);
    } else if (got == 8 && std::memcmp(head, kCompoundMagic, 8) == 0) {
        ok = CXlsReader::Read(path, workbook.get(), &e, &text);
    } else {
        e = EWorkbookError::NotWorkbook;
        text = got == 0 ? "empty file" : "not a workbook";
    }
    if (!ok) {
        Fail(error, message, e, text);
        return nullptr;
    }
    Fail(error, message, EWorkbookError::None, std::string());
    m_workbooks.push_back(std::move(workbook));
    return m_workbooks.back().get();
}

CWorkbook* CFileWorkbookBackend::Add()
{
    auto workbook = std::make_unique<CWorkbook>();
    workbook->Worksheets().Add("Sheet1");
    m_workbooks.push_back(std::move(workbook));
    return m_workbooks.back().get();
}

bool CFileWorkbookBackend::SaveAs(CWorkbook* workbook, const std::string& path, EWorkbookError* error, std::string* message)
{
    if (!workbook || path.empty()) {
        Fail(error, message, EWorkbookError::WriteFailed, "nothing to store");
        return false;
    }
    // A file the user protected against writing stays as it is.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) {
        Fail(error, message, EWorkbookError::WriteFailed, std::strerror(errno));
        return false;
    }
    if (!LoadXlsxWriterLib()) {
        Fail(error, message, EWorkbookError::NoLibrary, XlsxWriterRuntimeLib().Error());
        return false;
    }
    // Write beside the target, then move the finished file over it in one step.
    std::string temp = path + ".XXXXXX";
    int fd = ::mkstemp(&temp[0]);
    if (fd < 0) {
        Fail(error, message, EWorkbookError::WriteFailed, std::strerror(errno));
        return false;
    }
    ::fchmod(fd, NewFileMode());
    ::close(fd);
    std::string text;
    if (!CXlsxWriter::Write(*workbook, temp, &text) || !SyncFile(temp)) {
        ::unlink(temp.c_str());
        Fail(error, message, EWorkbookError::WriteFailed, text.empty() ? "write error" : text);
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(temp.c_str());
        Fail(error, message, EWorkbookError::WriteFailed, std::strerror(e));
        return false;
    }
    Fail(error, message, EWorkbookError::None, std::string());
    return true;
}

void CFileWorkbookBackend::CloseWorkbook(CWorkbook* workbook)
{
    m_workbooks.erase(std::remove_if(m_workbooks.begin(), m_workbooks.end(),
                                     [workbook](const std::unique_ptr<CWorkbook>& w) { return w.get() == workbook; }),
                      m_workbooks.end());
}

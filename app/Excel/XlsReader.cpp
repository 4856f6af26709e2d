#include "Excel/XlsReader.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "Excel/WorkbookLibs.h"
#include "os/RuntimeLib.h"

// The legacy format is decoded by a library that can crash on damaged files, so it runs in a
// child process that streams the cells back through a pipe: a damaged file ends the child, not
// the program, and is reported as damaged.

namespace {

const int kTimeoutMs = 60000;

std::string FreeXlText(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return "file cannot be opened";
    case FREEXL_INSUFFICIENT_MEMORY:
        return "out of memory";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_CFBF_INVALID_SECTOR_SIZE:
        return "not a compound document";
    case FREEXL_CFBF_READ_ERROR:
    case FREEXL_CFBF_SEEK_ERROR:
        return "read error";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return "no workbook stream in the document";
    default:
        return "damaged workbook (code " + std::to_string(code) + ")";
    }
}

// ---- Stream between the child and the parent -------------------------------------------
// 'S' len name: a new sheet; 'N' row col double and 'T' row col len text: a cell of the last
// sheet; 'E' kind len text: failure; 'K': done.

class CWriter {
public:
    explicit CWriter(int fd) : m_fd(fd) {}
    void Byte(char c) { m_buf += c; }
    void U32(uint32_t v) { m_buf.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void U16(uint16_t v) { m_buf.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void Double(double v) { m_buf.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void Text(const char* s)
    {
        size_t n = s ? std::strlen(s) : 0;
        U32(static_cast<uint32_t>(n));
        m_buf.append(s ? s : "", n);
    }
    bool Flush(bool force)
    {
        if (!force && m_buf.size() < 65536)
            return true;
        size_t off = 0;
        while (off < m_buf.size()) {
            ssize_t n = ::write(m_fd, m_buf.data() + off, m_buf.size() - off);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            off += static_cast<size_t>(n);
        }
        m_buf.clear();
        return true;
    }

private:
    int m_fd;
    std::string m_buf;
};

void Fail(CWriter& out, EWorkbookError kind, const std::string& text)
{
    out.Byte('E');
    out.Byte(static_cast<char>(kind));
    out.Text(text.c_str());
}

// Runs in the child.
void Stream(const FreeXlLib& x, const char* path, CWriter& out)
{
    const void* xls = nullptr;
    int rc = x.freexl_open(path, &xls);
    if (rc != FREEXL_OK) {
        Fail(out, rc == FREEXL_BIFF_WORKBOOK_NOT_FOUND ? EWorkbookError::NotWorkbook
                  : rc == FREEXL_FILE_NOT_FOUND        ? EWorkbookError::Unreadable
                                                       : EWorkbookError::Corrupt,
             FreeXlText(rc));
        return;
    }
    unsigned int sheets = 0, password = 0;
    if (x.freexl_get_info(xls, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED) {
        Fail(out, EWorkbookError::Unreadable, "workbook is protected by a password");
    } else if (x.freexl_get_info(xls, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0) {
        Fail(out, EWorkbookError::Corrupt, "workbook has no sheets");
    } else {
        // Each cell costs memory far beyond its bytes in the file: count them over all sheets.
        const size_t kMaxCells = 500000;
        size_t cells = 0;
        bool tooMany = false;
        for (unsigned int s = 0; s < sheets && s < 0xFFFF && !tooMany; ++s) {
            unsigned short index = static_cast<unsigned short>(s);
            const char* name = nullptr;
            x.freexl_get_worksheet_name(xls, index, &name);
            out.Byte('S');
            out.Text(name);
            unsigned int rows = 0;
            unsigned short columns = 0;
            rc = x.freexl_select_active_worksheet(xls, index);
            if (rc == FREEXL_OK)
                rc = x.freexl_worksheet_dimensions(xls, &rows, &columns);
            for (unsigned int r = 0; rc == FREEXL_OK && r < rows && r < CWorksheet::kMaxRows; ++r) {
                for (unsigned short c = 0; rc == FREEXL_OK && c < columns; ++c) {
                    FreeXL_CellValue cell;
                    rc = x.freexl_get_cell_value(xls, r, c, &cell);
                    if (rc != FREEXL_OK)
                        break;
                    if (cell.type != FREEXL_CELL_NULL && ++cells > kMaxCells) {
                        tooMany = true;
                        break;
                    }
                    switch (cell.type) {
                    case FREEXL_CELL_INT:
                    case FREEXL_CELL_DOUBLE:
                        out.Byte('N');
                        out.U32(r + 1);
                        out.U16(static_cast<uint16_t>(c + 1));
                        out.Double(cell.type == FREEXL_CELL_INT ? cell.value.int_value : cell.value.double_value);
                        break;
                    case FREEXL_CELL_TEXT:
                    case FREEXL_CELL_SST_TEXT:
                    case FREEXL_CELL_DATE:
                    case FREEXL_CELL_DATETIME:
                    case FREEXL_CELL_TIME:
                        out.Byte('T');
                        out.U32(r + 1);
                        out.U16(static_cast<uint16_t>(c + 1));
                        out.Text(cell.value.text_value);
                        break;
                    default:
                        break;
                    }
                }
                if (tooMany || !out.Flush(false))
                    break;
            }
            if (tooMany) {
                Fail(out, EWorkbookError::Corrupt, "more than " + std::to_string(kMaxCells) + " cells in the workbook");
                break;
            }
            if (rc != FREEXL_OK) {
                Fail(out, EWorkbookError::Corrupt, FreeXlText(rc));
                break;
            }
        }
        out.Byte('K');
    }
    x.freexl_close(xls);
}

class CReader {
public:
    explicit CReader(const std::string& data) : m_data(data) {}
    bool AtEnd() const { return m_pos >= m_data.size(); }
    bool Byte(char* c) { return Raw(c, 1); }
    bool U32(uint32_t* v) { return Raw(v, sizeof *v); }
    bool U16(uint16_t* v) { return Raw(v, sizeof *v); }
    bool Double(double* v) { return Raw(v, sizeof *v); }
    bool Text(std::string* s)
    {
        uint32_t n = 0;
        if (!U32(&n) || n > m_data.size() - m_pos)
            return false;
        s->assign(m_data, m_pos, n);
        m_pos += n;
        return true;
    }

private:
    bool Raw(void* p, size_t n)
    {
        if (n > m_data.size() - m_pos)
            return false;
        std::memcpy(p, m_data.data() + m_pos, n);
        m_pos += n;
        return true;
    }
    const std::string& m_data;
    size_t m_pos = 0;
};

// Reads the child's stream until it closes; false on time-out.
bool Drain(int fd, std::string* data)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
    char buf[65536];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p = {fd, POLLIN, 0};
        int r = ::poll(&p, 1, static_cast<int>(left.count()));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return true;
        data->append(buf, static_cast<size_t>(n));
    }
}

}  // namespace

bool CXlsReader::Read(const std::string& path, CWorkbook* workbook, EWorkbookError* error, std::string* message)
{
    // Loaded here, before the child starts: it only calls.
    const FreeXlLib* lib = LoadFreeXlLib();
    if (!lib) {
        *error = EWorkbookError::NoLibrary;
        *message = FreeXlRuntimeLib().Error();
        return false;
    }
    *error = EWorkbookError::Unreadable;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        *message = std::strerror(errno);
        return false;
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        *message = std::strerror(errno);
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (pid == 0) {
        // A crash here is the file's fault, not the program's: no crash report.
        for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
            ::signal(sig, SIG_DFL);
        ::close(fds[0]);
        CWriter out(fds[1]);
        Stream(*lib, path.c_str(), out);
        _exit(out.Flush(true) ? 0 : 1);
    }
    ::close(fds[1]);
    std::string data;
    bool finished = Drain(fds[0], &data);
    ::close(fds[0]);
    if (!finished)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    *error = EWorkbookError::Corrupt;
    if (!finished || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *message = finished ? "damaged workbook (the reader failed on it)" : "damaged workbook (the reader did not finish)";
        return false;
    }

    CReader in(data);
    CWorksheet* sheet = nullptr;
    while (!in.AtEnd()) {
        char tag = 0;
        uint32_t row = 0;
        uint16_t column = 0;
        std::string text;
        double number = 0;
        in.Byte(&tag);
        if (tag == 'S' && in.Text(&text)) {
            sheet = workbook->Worksheets().Add(text);
        } else if (tag == 'N' && sheet && in.U32(&row) && in.U16(&column) && in.Double(&number)) {
            sheet->SetCell(static_cast<int>(row), column, CCellValue::FromNumber(number));
        } else if (tag == 'T' && sheet && in.U32(&row) && in.U16(&column) && in.Text(&text)) {
            sheet->SetCell(static_cast<int>(row), column, CCellValue::FromText(text));
        } else if (tag == 'E') {
            char kind = 0;
            in.Byte(&kind);
            in.Text(message);
            *error = static_cast<EWorkbookError>(kind);
            return false;
        } else if (tag == 'K') {
            // The legacy format's front sheet is not exposed by the reader: the first sheet opens in front.
            workbook->SetActiveIndex(1);
            *error = EWorkbookError::None;
            message->clear();
            return true;
        } else {
            break;
        }
    }
    *message = "damaged workbook (incomplete)";
    return false;
}

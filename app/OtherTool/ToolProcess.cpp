#include "OtherTool/ToolProcess.h"

#include "Common/Archiver.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fstream>

namespace othertool {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

std::string FindArchiver(const std::string& appDir) { return archiver::Find(appDir); }

Refusal RunArchiver(const std::string& appDir, const std::vector<std::string>& args, int timeoutMs,
                    std::string* output)
{
    const std::string program = FindArchiver(appDir);
    if (program.empty())
        return {Problem::NoArchiver, ""};
    std::string out;
    const archiver::Result r = archiver::Run(program, args, timeoutMs, &out, kMaxListingBytes);
    switch (r.status) {
    case archiver::Status::Ok:
        break;
    case archiver::Status::Timeout:
        return {Problem::ArchiverTimeout, r.detail};
    case archiver::Status::Overflow:
        // One more line than a listing may hold: the caller refuses it as too many entries.
        out.assign(kMaxListingBytes + 1, '\n');
        break;
    case archiver::Status::Failed:
        return {Problem::ArchiverFailed, r.detail};
    }
    if (output)
        *output = std::move(out);
    return {};
}

Refusal CheckPackage(const std::string& appDir, const std::string& package)
{
    QFileInfo info(Q(package));
    if (!info.isFile())
        return {Problem::FileMissing, package};
    if (static_cast<uint64_t>(info.size()) > kMaxPackageBytes)
        return {Problem::TooLarge, std::to_string(kMaxPackageBytes >> 20)};
    std::string listing;
    Refusal r = RunArchiver(appDir, {"l", "-slt", "-ba", package}, 60000, &listing);
    if (r.problem == Problem::ArchiverFailed)
        return {Problem::NotArchive, r.detail};
    if (r)
        return r;
    ListingTotals totals;
    r = CheckArchiveListing(listing, &totals);
    if (!r && totals.entries == 0)
        return {Problem::NotArchive, "no entries"};
    return r;
}

Refusal CheckUnpacked(const std::string& folder)
{
    uint64_t entries = 0, bytes = 0;
    QDirIterator it(Q(folder), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QString base = Q(folder) + QLatin1Char('/');
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const std::string rel = info.filePath().mid(base.size()).toStdString();
        if (++entries > kMaxEntries)
            return {Problem::TooManyEntries, std::to_string(kMaxEntries)};
        if (info.isSymLink() || (!info.isDir() && !info.isFile()))
            return {Problem::LinkEntry, rel};
        if (info.isFile()) {
            bytes += static_cast<uint64_t>(info.size());
            if (bytes > kMaxUnpackedBytes)
                return {Problem::TooBigUnpacked, std::to_string(kMaxUnpackedBytes >> 20)};
        }
    }
    return {};
}

bool StartDetached(const std::string& program, int64_t* pid, std::string* why)
{
    QProcess proc;
    proc.setProgram(Q(program));
    proc.setWorkingDirectory(QFileInfo(Q(program)).absolutePath());
    proc.setStandardInputFile(QProcess::nullDevice());
    qint64 id = 0;
    if (!proc.startDetached(&id)) {
        if (why)
            *why = proc.errorString().toStdString();
        return false;
    }
    if (pid)
        *pid = id;
    return true;
}

bool ProcessRuns(int64_t pid)
{
    if (pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return false;
    // Left for a parent that does not reap: ended all the same.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(stat, text);
    const size_t paren = text.rfind(')');
    if (paren != std::string::npos && paren + 2 < text.size() && (text[paren + 2] == 'Z' || text[paren + 2] == 'X'))
        return false;
    return true;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DeleteDirectory(const std::string& path, const std::string& stopAt)
{
    if (path.empty())
        return false;
    QFileInfo info(Q(path));
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isSymLink() || !info.isDir())
        return QFile::remove(Q(path));
    QDir dir(Q(path));
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& e : entries) {
        if (e.isDir() && !e.isSymLink())
            DeleteDirectory(e.absoluteFilePath().toStdString(), e.absoluteFilePath().toStdString());
        else
            QFile::remove(e.absoluteFilePath());
    }
    const QString absolute = dir.absolutePath();
    if (!QDir().rmdir(absolute))
        return false;
    // Parents left empty go too, up to the given folder.
    QDir parent(absolute);
    const QString stop = QDir(Q(stopAt)).absolutePath();
    while (parent.cdUp() && parent.absolutePath() != stop && !stop.isEmpty() &&
           parent.absolutePath().startsWith(stop + QLatin1Char('/')) && parent.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (!QDir().rmdir(parent.absolutePath()))
            break;
    }
    return true;
}

bool ResetFolder(const std::string& path)
{
    if (!DeleteDirectory(path, path))
        return false;
    return QDir().mkpath(Q(path)) && QFileInfo(Q(path)).isDir();
}

} // namespace othertool

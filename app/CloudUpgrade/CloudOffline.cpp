#include "CloudUpgrade/CloudOffline.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QString>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "Common/AppPath.h"
#include "Common/Archiver.h"
#include "Common/Translate.h"

namespace cloudoffline {

namespace {

const int kArchiverTimeoutMs = 10 * 60 * 1000;
const size_t kMaxUnpackedEntries = 10000;

std::mutex g_archiverMutex;
std::string g_archiverForTest;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

template <size_t N>
std::string Field(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::wstring TrText(const wchar_t* key) { return Tr(key); }

std::wstring TrArg(const wchar_t* key, const std::string& arg)
{
    return QString::fromWCharArray(Tr(key)).replace(QStringLiteral("%1"), Q(arg)).toStdWString();
}

std::wstring Lines(std::wstring first, const std::wstring& second)
{
    if (!second.empty())
        first += L"\n" + second;
    return first;
}

bool WriteLine(FILE* file, const std::string& line)
{
    return file && std::fwrite(line.data(), 1, line.size(), file) == line.size();
}

// The firmware file of a record in the download folder, when it is there to be packed.
bool FirmwareThere(const std::string& folder, const std::string& name, std::string* path)
{
    if (name.empty() || !cloudtemplate::IsPlainFileName(name))
        return false;
    *path = folder + "/" + name;
    const QFileInfo info(Q(*path));
    return info.isFile();
}

} // namespace

// ---- Archiver ---------------------------------------------------------------------------

std::string FindArchiver()
{
    {
        std::lock_guard<std::mutex> lock(g_archiverMutex);
        if (!g_archiverForTest.empty())
            return g_archiverForTest;
    }
    return archiver::Find(QString::fromStdWString(SFGetAppPath()).toStdString());
}

void SetArchiverForTest(const std::string& program)
{
    std::lock_guard<std::mutex> lock(g_archiverMutex);
    g_archiverForTest = program;
}

ArchiverResult RunArchiver(const std::vector<std::string>& args, int timeoutMs, std::string* output)
{
    ArchiverResult result;
    const std::string program = FindArchiver();
    if (program.empty() || !QFileInfo(Q(program)).isExecutable()) {
        result.status = ArchiverStatus::Missing;
        return result;
    }
    const archiver::Result run = archiver::Run(program, args, timeoutMs, output, kMaxListingBytes);
    switch (run.status) {
    case archiver::Status::Ok:
        break;
    case archiver::Status::Failed:
        result.status = ArchiverStatus::Failed;
        result.detail = run.detail;
        break;
    case archiver::Status::Timeout:
        result.status = ArchiverStatus::Timeout;
        result.detail = run.detail;
        break;
    case archiver::Status::Overflow:
        result.status = ArchiverStatus::Failed;
        result.detail = "more than " + std::to_string(kMaxListingBytes >> 20) + " MB of output";
        break;
    }
    return result;
}

ArchiverResult AddFileTo7z(const std::string& archive, const std::string& file)
{
    return RunArchiver({"a", "-t7z", archive, file, "-mx=0"}, kArchiverTimeoutMs);
}

ArchiverResult ExtractArchive(const std::string& archive, const std::string& folder)
{
    return RunArchiver({"x", archive, "-o" + folder, "-r", "-y", "-aoa"}, kArchiverTimeoutMs);
}

std::wstring ArchiverMessage(const ArchiverResult& result)
{
    switch (result.status) {
    case ArchiverStatus::Ok:
        break;
    case ArchiverStatus::Missing:
        return TrText(L"The archiver 7z was not found. Install the package p7zip-full.");
    case ArchiverStatus::Failed:
        return TrArg(L"The archiver 7z failed: %1", result.detail);
    case ArchiverStatus::Timeout:
        return TrArg(L"The archiver 7z did not finish within %1 seconds.", result.detail);
    }
    return std::wstring();
}

// ---- Export -----------------------------------------------------------------------------

bool MakeArchivePath(const std::wstring& chosen, std::string* archive)
{
    std::string path = QString::fromStdWString(chosen).toStdString();
    if (path.find(".7z") == std::string::npos)
        path += ".7z";
    *archive = path;
    return path.size() <= kMaxPathLength;
}

std::string TemplatePath(const std::string& downloadFolder)
{
    return downloadFolder + "/" + cloudtemplate::kFileName;
}

bool WriteTemplateHeader(FILE* file)
{
    std::vector<std::string> titles;
    for (const wchar_t* key : cloudtemplate::kTitleKeys)
        titles.push_back(QString::fromWCharArray(Tr(key)).toStdString());
    return WriteLine(file, cloudtemplate::HeaderLine(titles));
}

bool WriteLocalDeviceRow(FILE* file, const DEVICE_NET_INFO_EX* net, const CLOUDCHECK* check, int downloadState,
                         const char* fileName, bool checkResult, std::string xml)
{
    if (!net || !check)
        return false;
    return WriteLine(file, cloudtemplate::LocalDeviceLine(*net, *check, downloadState, fileName, checkResult, xml));
}

bool WriteRemoteDeviceRow(FILE* file, const strudevice* device, std::string recorderKey)
{
    return device && WriteLine(file, cloudtemplate::RemoteDeviceLine(*device, recorderKey));
}

ExportResult WriteExportTemplate(const std::string& downloadFolder, const std::string& archive,
                                 std::vector<ExportRow>& rows, const CloudCheckMap& checks,
                                 const RemoteDeviceMap& remotes, std::vector<std::string>* firmwareFiles)
{
    ExportResult result;
    const QString folder = Q(downloadFolder);
    if (downloadFolder.empty() || !QFileInfo(folder).isDir()) {
        result.status = ExportStatus::DownloadPathMissing;
        return result;
    }
    if (static_cast<size_t>(folder.size()) > kMaxPathLength) {
        result.status = ExportStatus::DownloadPathTooLong;
        return result;
    }
    const std::string csv = TemplatePath(downloadFolder);
    if (::unlink(csv.c_str()) != 0 && errno != ENOENT && errno != ENOTDIR) {
        result.status = ExportStatus::FileInUse;
        result.detail = csv + ": " + std::strerror(errno);
        return result;
    }
    FILE* file = std::fopen(csv.c_str(), "wb");
    if (!file) {
        result.status = ExportStatus::FileInUse;
        result.detail = csv + ": " + std::strerror(errno);
        return result;
    }
    ::unlink(archive.c_str());  // 7z would add to an older archive
    bool written = WriteTemplateHeader(file);

    std::vector<std::string> files;
    auto addFile = [&files](const std::string& path) {
        if (std::find(files.begin(), files.end(), path) == files.end())
            files.push_back(path);
    };
    auto exportTop = [&](ExportRow& row) {
        if (!row.pDevice)
            return;
        DEVICE_INFO& device = *row.pDevice;
        CLOUDCHECK check;
        std::memset(&check, 0, sizeof(check));
        auto found = checks.find(Upper(row.strMac));
        if (found != checks.end())
            check = found->second;
        std::string path;
        if (device.nDownloadState == cloudtemplate::kDownloaded) {
            if (FirmwareThere(downloadFolder, Field(device.szFileName), &path)) {
                addFile(path);
            } else {
                device.nDownloadState = 0;  // the page's record keeps the change
                std::memset(device.szFileName, 0, sizeof(device.szFileName));
            }
        }
        const bool downloaded = device.nDownloadState == cloudtemplate::kDownloaded;
        written = WriteLocalDeviceRow(file, &device.stNetInfo, &check, device.nDownloadState,
                                      downloaded ? device.szFileName : "", device.bCheckResult != 0,
                                      Field(device.szXml)) && written;
        ++result.nRows;
    };

    int lastRecorder = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        ExportRow& row = rows[i];
        if (!row.bChecked)
            continue;
        if (row.nParent == 0) {
            exportTop(row);
            continue;
        }
        const size_t recorderRow = static_cast<size_t>(row.nParent) - 1;
        if (row.nParent < 0 || recorderRow >= rows.size() || recorderRow == i)
            continue;
        ExportRow& recorder = rows[recorderRow];
        const std::string key = Upper(recorder.strMac);
        if (!recorder.bChecked && lastRecorder != row.nParent)
            exportTop(recorder);
        auto list = remotes.find(key);
        if (list != remotes.end()) {
            const std::string mac = Upper(row.strMac);
            for (const strudevice& candidate : list->second) {
                if (Upper(Field(candidate.szMac)) != mac)
                    continue;
                strudevice device = candidate;
                std::string path;
                if (device.nDownloadState == cloudtemplate::kDownloaded) {
                    if (FirmwareThere(downloadFolder, Field(device.szFileName), &path)) {
                        addFile(path);
                    } else {
                        device.nDownloadState = 0;
                        std::memset(device.szFileName, 0, sizeof(device.szFileName));
                    }
                }
                written = WriteRemoteDeviceRow(file, &device, key) && written;
                ++result.nRows;
                break;
            }
        }
        lastRecorder = row.nParent;
    }
    if (std::fclose(file) != 0 || !written) {
        result.status = ExportStatus::Failed;
        result.detail = csv + ": " + std::strerror(errno ? errno : EIO);
        return result;
    }
    if (firmwareFiles)
        *firmwareFiles = files;
    return result;
}

void PackExportArchive(const std::string& archive, const std::string& templatePath,
                       const std::vector<std::string>& firmwareFiles, ExportResult* result)
{
    for (const std::string& path : firmwareFiles) {
        const ArchiverResult packed = AddFileTo7z(archive, path);
        if (packed)
            continue;
        result->failedFiles.push_back(path.substr(path.rfind('/') + 1));
        result->archiver = packed;
        if (packed.status == ArchiverStatus::Missing)
            break;
    }
    if (result->archiver.status != ArchiverStatus::Missing) {
        const ArchiverResult packed = AddFileTo7z(archive, templatePath);
        if (!packed)
            result->archiver = packed;
    }
    if (!result->archiver) {
        result->status = ExportStatus::Failed;
        ::unlink(archive.c_str());  // an archive without all it should carry is no export
    }
}

ExportResult ExportDeviceInfo(const std::string& downloadFolder, const std::string& archive,
                              std::vector<ExportRow>& rows, const CloudCheckMap& checks,
                              const RemoteDeviceMap& remotes)
{
    std::vector<std::string> files;
    ExportResult result = WriteExportTemplate(downloadFolder, archive, rows, checks, remotes, &files);
    if (result.status == ExportStatus::Ok)
        PackExportArchive(archive, TemplatePath(downloadFolder), files, &result);
    return result;
}

std::wstring ExportMessage(const ExportResult& result)
{
    switch (result.status) {
    case ExportStatus::Ok:
        return TrText(L"Export device list succeed!");
    case ExportStatus::DownloadPathMissing:
        return TrText(L"Download Path is not exist.");
    case ExportStatus::DownloadPathTooLong:
        return TrText(L"Download Path is too long.");
    case ExportStatus::FileInUse:
        return Lines(TrText(L"Export failed, maybe the file is being used by another process."), Q(result.detail).toStdWString());
    case ExportStatus::Failed:
        break;
    }
    std::wstring why;
    if (!result.failedFiles.empty()) {
        std::string names;
        for (const std::string& name : result.failedFiles)
            names += (names.empty() ? "" : ", ") + name;
        why = TrArg(L"These firmware files could not be added to the archive: %1", names);
    }
    why = Lines(why, ArchiverMessage(result.archiver));
    if (why.empty())
        why = Q(result.detail).toStdWString();
    else if (why[0] == L'\n')
        why.erase(0, 1);
    return Lines(TrText(L"Export device list failed!"), why);
}

// ---- Import -----------------------------------------------------------------------------

ExtractResult ExtractOfflineArchive(const std::string& archive, const std::string& downloadFolder)
{
    ExtractResult result;
    if (archive.empty() || !QFileInfo(Q(archive)).isFile()) {
        result.status = ExtractStatus::ArchiveMissing;
        return result;
    }
    const QString folder = Q(downloadFolder);
    if (downloadFolder.empty() || !QFileInfo(folder).isDir()) {
        result.status = ExtractStatus::DownloadPathMissing;
        return result;
    }
    std::string listing;
    const ArchiverResult listed = RunArchiver({"l", "-slt", "-ba", archive}, 60000, &listing);
    if (!listed) {
        result.status = ExtractStatus::NoTemplate;  // not an archive the archiver can read
        result.archiver = listed;
        return result;
    }
    result.totals = cloudtemplate::SumArchiveListing(listing);
    const QStorageInfo storage(folder);
    result.freeBytes = static_cast<uint64_t>(std::max<qint64>(storage.bytesAvailable(), 0));
    if (result.totals.entries > kMaxArchiveEntries || result.totals.bytes > result.freeBytes) {
        result.status = ExtractStatus::TooLarge;
        return result;
    }
    // Unpack apart first: nothing of the archive but plain files at its top reaches the folder.
    QTemporaryDir unpacked(folder + QStringLiteral("/.offline-import-XXXXXX"));
    if (!unpacked.isValid()) {
        result.status = ExtractStatus::ArchiverFailed;
        result.archiver.status = ArchiverStatus::Failed;
        result.archiver.detail = unpacked.errorString().toStdString();
        return result;
    }
    result.archiver = ExtractArchive(archive, unpacked.path().toStdString());

    const QFileInfoList entries = QDir(unpacked.path()).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    std::vector<QFileInfo> files;
    bool haveTemplate = false;
    for (const QFileInfo& entry : entries) {
        const std::string name = entry.fileName().toStdString();
        if (entry.isSymLink() || !entry.isFile() || !cloudtemplate::IsPlainFileName(name) ||
            files.size() >= kMaxUnpackedEntries) {
            result.skipped.push_back(name);
            continue;
        }
        if (name == cloudtemplate::kFileName)
            haveTemplate = true;
        else
            files.push_back(entry);
    }
    if (!haveTemplate) {
        result.status = ExtractStatus::NoTemplate;
        return result;
    }
    files.push_back(QFileInfo(unpacked.path() + QLatin1Char('/') + QLatin1String(cloudtemplate::kFileName)));
    for (const QFileInfo& file : files) {  // the template last, once the firmware is in place
        const QString target = folder + QLatin1Char('/') + file.fileName();
        QFile::remove(target);
        if (QFile::rename(file.filePath(), target))
            ++result.nFiles;
        else
            result.skipped.push_back(file.fileName().toStdString());
    }
    if (!QFileInfo(Q(TemplatePath(downloadFolder))).isFile())
        result.status = ExtractStatus::NoTemplate;
    return result;
}

std::wstring ExtractMessage(const ExtractResult& result)
{
    switch (result.status) {
    case ExtractStatus::Ok:
        break;
    case ExtractStatus::ArchiveMissing:
        return TrText(L"File is not exist.");
    case ExtractStatus::DownloadPathMissing:
        return TrText(L"Download Path is not exist.");
    case ExtractStatus::NoTemplate:
        return Lines(TrText(L"File is not exist.maybe insufficient download path space."), ArchiverMessage(result.archiver));
    case ExtractStatus::ArchiverFailed:
        return ArchiverMessage(result.archiver);
    case ExtractStatus::TooLarge:
        if (result.totals.entries > kMaxArchiveEntries)
            return TrArg(L"The archive holds more than %1 files.", std::to_string(kMaxArchiveEntries));
        return QString::fromWCharArray(Tr(L"The archive unpacks to %1 MB; the download folder has %2 MB free."))
            .replace(QStringLiteral("%1"), QString::number((result.totals.bytes + (1u << 20) - 1) >> 20))
            .replace(QStringLiteral("%2"), QString::number(result.freeBytes >> 20))
            .toStdWString();
    }
    return std::wstring();
}

std::wstring ReadFailureMessage(const cloudtemplate::ReadResult& result, const std::string& path)
{
    switch (result.status) {
    case cloudtemplate::ReadStatus::Ok:
        break;
    case cloudtemplate::ReadStatus::TemplateError:
        return TrText(L"Import device list failed,maybe template error.");
    case cloudtemplate::ReadStatus::CannotOpen:
    case cloudtemplate::ReadStatus::TooLarge:
        return QString::fromWCharArray(Tr(L"Cannot read %1: %2"))
            .replace(QStringLiteral("%1"), Q(path))
            .replace(QStringLiteral("%2"), Q(result.reason))
            .toStdWString();
    }
    return std::wstring();
}

std::wstring ReadNotes(const cloudtemplate::ReadResult& result)
{
    std::wstring notes;
    if (result.skippedRows)
        notes = TrArg(L"%1 rows of the file were incomplete and were left out.", std::to_string(result.skippedRows));
    if (result.refusedFiles)
        notes = Lines(notes, TrArg(L"%1 firmware file names pointed outside the download folder and were ignored.",
                                   std::to_string(result.refusedFiles)));
    if (!notes.empty() && notes[0] == L'\n')
        notes.erase(0, 1);
    return notes;
}

bool IsSameImportedDevice(const DEVICE_INFO& stored, const DEVICE_INFO& imported)
{
    return stored.stNetInfo.nIpVersion == imported.stNetInfo.nIpVersion &&
           Upper(Field(stored.stNetInfo.szMacAddr)) == Upper(Field(imported.stNetInfo.szMacAddr));
}

void MergeImportedDevice(DEVICE_INFO& stored, const DEVICE_INFO& imported)
{
    std::memcpy(stored.stNetInfo.szSoftVersion, imported.stNetInfo.szSoftVersion, sizeof(stored.stNetInfo.szSoftVersion));
    std::memcpy(stored.stNetInfo.szSerialNumber, imported.stNetInfo.szSerialNumber, sizeof(stored.stNetInfo.szSerialNumber));
    stored.stNetInfo.nPort = imported.stNetInfo.nPort;
    stored.bCheckResult = imported.bCheckResult;
    stored.bHasNewVersion = imported.bHasNewVersion;
    stored.nDownloadState = imported.nDownloadState;
    std::memcpy(stored.szNewVersion, imported.szNewVersion, sizeof(stored.szNewVersion));
    std::memcpy(stored.szFileName, imported.szFileName, sizeof(stored.szFileName));
    std::memcpy(stored.szUser, imported.szUser, sizeof(stored.szUser));
    std::memcpy(stored.szPassword, imported.szPassword, sizeof(stored.szPassword));
}

} // namespace cloudoffline

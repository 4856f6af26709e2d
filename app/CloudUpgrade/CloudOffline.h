// Offline export and import of the cloud-upgrade page: "CloudUpgradeTemplate.csv" and the 7z
// archive that carries it with the downloaded firmware files. The page collects what it holds
// (its rows, records and maps) and calls these; none of them touches the page.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "CloudUpgrade/CloudTemplate.h"

namespace cloudoffline {

// ---- Archiver ---------------------------------------------------------------------------

enum class ArchiverStatus { Ok, Missing, Failed, Timeout };

struct ArchiverResult {
    ArchiverStatus status = ArchiverStatus::Ok;
    std::string detail;  // the archiver's first error line or exit code
    explicit operator bool() const { return status == ArchiverStatus::Ok; }
};

// "7z" beside the program, else on the search path. Tests may name another program.
std::string FindArchiver();
void SetArchiverForTest(const std::string& program);

// Runs the archiver with the arguments and waits for it (at most timeoutMs); exit code 0 is success.
// With `output`, its output is kept there (at most kMaxListingBytes; more fails the run).
ArchiverResult RunArchiver(const std::vector<std::string>& args, int timeoutMs, std::string* output = nullptr);
constexpr size_t kMaxListingBytes = 8u << 20;
// "a", "-t7z", archive, file, "-mx=0": the file is stored under its own name.
ArchiverResult AddFileTo7z(const std::string& archive, const std::string& file);
// "x", archive, "-o" + folder, "-r", "-y", "-aoa".
ArchiverResult ExtractArchive(const std::string& archive, const std::string& folder);
// A text for people: what went wrong with the archiver.
std::wstring ArchiverMessage(const ArchiverResult& result);

// ---- Export -----------------------------------------------------------------------------

// Paths longer than this (in bytes) are refused, as is a download folder setting of more characters.
constexpr size_t kMaxPathLength = 200;

// The archive path of a chosen file name: ".7z" is appended unless the name holds it already.
// False when the result is longer than kMaxPathLength.
bool MakeArchivePath(const std::wstring& chosen, std::string* archive);

// The template's place in the download folder.
std::string TemplatePath(const std::string& downloadFolder);

// One row of the page's list, in display order.
struct ExportRow {
    bool bChecked = false;
    int nParent = 0;                 // item data of column 9: 0 top row, else the recorder's row + 1
    std::string strMac;              // column 9
    DEVICE_INFO* pDevice = nullptr;  // the page's stored record of a top row; null when none
};

enum class ExportStatus { Ok, DownloadPathMissing, DownloadPathTooLong, FileInUse, Failed };

struct ExportResult {
    ExportStatus status = ExportStatus::Ok;
    int nRows = 0;                         // device rows written
    std::vector<std::string> failedFiles;  // firmware files the archiver refused
    ArchiverResult archiver;               // the last archiver failure, if any
    std::string detail;                    // the system's reason for a file that could not be written
};

// Writes the template for the checked rows and packs it, with the firmware files of those
// devices, into the archive (replacing an older one). A stored record whose firmware file has
// gone gets download state 0 and no file name. Any firmware file that cannot be packed fails
// the export, named in the result. Blocks while the archiver runs.
ExportResult ExportDeviceInfo(const std::string& downloadFolder, const std::string& archive,
                              std::vector<ExportRow>& rows, const CloudCheckMap& checks,
                              const RemoteDeviceMap& remotes);
// The two halves of ExportDeviceInfo, for a page that packs away from the GUI thread: the first
// reads and updates the page's records and writes the template (quick, GUI thread); the second
// only runs the archiver on the files it is given (any thread).
ExportResult WriteExportTemplate(const std::string& downloadFolder, const std::string& archive,
                                 std::vector<ExportRow>& rows, const CloudCheckMap& checks,
                                 const RemoteDeviceMap& remotes, std::vector<std::string>* firmwareFiles);
void PackExportArchive(const std::string& archive, const std::string& templatePath,
                       const std::vector<std::string>& firmwareFiles, ExportResult* result);
// The text that ends an export.
std::wstring ExportMessage(const ExportResult& result);

// Line 1 with the translated titles.
bool WriteTemplateHeader(FILE* file);
bool WriteLocalDeviceRow(FILE* file, const DEVICE_NET_INFO_EX* net, const CLOUDCHECK* check, int downloadState,
                         const char* fileName, bool checkResult, std::string xml);
bool WriteRemoteDeviceRow(FILE* file, const strudevice* device, std::string recorderKey);

// ---- Import -----------------------------------------------------------------------------

enum class ExtractStatus { Ok, ArchiveMissing, DownloadPathMissing, NoTemplate, ArchiverFailed, TooLarge };

// Entries an offline archive may hold.
constexpr uint64_t kMaxArchiveEntries = 10000;

struct ExtractResult {
    ExtractStatus status = ExtractStatus::Ok;
    ArchiverResult archiver;
    size_t nFiles = 0;                  // files placed in the download folder, the template included
    std::vector<std::string> skipped;   // entries left out: folders, links, unsafe names
    cloudtemplate::ArchiveTotals totals;  // what the archive holds, by its listing
    uint64_t freeBytes = 0;             // space left in the download folder before unpacking
};

// Lists the archive first and refuses one with more than kMaxArchiveEntries entries or more
// bytes than the download folder has free (TooLarge). Then unpacks it into a fresh folder beside the download folder's files, then moves the
// template and the plain files at its top into the download folder (replacing files of the same
// name). An archive without the template leaves the download folder's template as it was and
// reports NoTemplate.
ExtractResult ExtractOfflineArchive(const std::string& archive, const std::string& downloadFolder);
// The text for a failed extraction (Ok gives an empty text).
std::wstring ExtractMessage(const ExtractResult& result);

// The text for an import whose template was refused, or the note to add to "Import device list
// completed." for rows and firmware names that were left out (empty when there is none).
std::wstring ReadFailureMessage(const cloudtemplate::ReadResult& result, const std::string& path);
std::wstring ReadNotes(const cloudtemplate::ReadResult& result);

// The stored record that an imported record updates: same MAC (ASCII case ignored), same IP version.
bool IsSameImportedDevice(const DEVICE_INFO& stored, const DEVICE_INFO& imported);
// Copies the imported version, serial number, port, check result, new version flag and text,
// download state, firmware file name, user and password onto the stored record.
void MergeImportedDevice(DEVICE_INFO& stored, const DEVICE_INFO& imported);

} // namespace cloudoffline

// "CloudUpgradeTemplate.csv": the device information that the offline export writes and the
// offline import reads. Lines end with CR LF, fields are separated by ",", and no field is quoted
// except a remote device's video standard. Text fields are escaped so that they never hold a
// separator: "%" "," CR LF become "%37" "%44" "%13" "%10".
//
// Line 1 holds 26 titles, each followed by ",". A local row (a device of its own) has 26 fields
// in the order of the titles. A remote row (a device behind a recorder, field 6 "1") has 25
// fields: type, detail type, "", index, port, 1, recorder MAC, device ID, vendor, type, detail
// type, language, "video standard", serial number, version, build time, has new version, new
// version, download state, MAC, firmware file, check result, "", "", xml.
//
// No Qt here: the reader is fuzzed on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CloudUpgrade/CloudUpgradeRecords.h"
#include "Common/DeviceInfo.h"

namespace cloudtemplate {

constexpr const char kFileName[] = "CloudUpgradeTemplate.csv";
constexpr int kHeaderFields = 26;
constexpr int kLocalFields = 26;
constexpr int kRemoteFields = 25;
constexpr int kDownloaded = 3;

// Bounds on what an import reads.
constexpr size_t kMaxFileBytes = 32u << 20;
constexpr size_t kMaxLineBytes = 64u << 10;
constexpr size_t kMaxRows = 65535;

// English keys of the 26 titles, in column order; the header holds their translations.
extern const wchar_t* const kTitleKeys[kHeaderFields];

std::string EscapeField(const std::string& text);
std::string UnescapeField(const std::string& text);

// A firmware file name that stays inside the download folder: no separator, not "." or "..",
// nothing but printable characters.
bool IsPlainFileName(const std::string& name);

// "2017-03-09_08:05:00" from year, month, day, hour, minute, second.
std::string FormatBuildTime(const NET_TIME_EX& time);
// The reverse, strictly "yyyy-MM-dd_hh:mm:ss" with a real date and time; all zero otherwise.
NET_TIME_EX ParseBuildTime(const std::string& text);

// Line 1 from the translated titles (UTF-8), CR LF included.
std::string HeaderLine(const std::vector<std::string>& titles);
// One local row, CR LF included. The request's version stands in for an empty request version
// from the search record; an empty xml text is written as "<root></root>".
std::string LocalDeviceLine(const DEVICE_NET_INFO_EX& net, const CLOUDCHECK& check, int downloadState,
                            const char* fileName, bool checkResult, const std::string& xml);
// One remote row under the recorder's key, CR LF included.
std::string RemoteDeviceLine(const strudevice& device, const std::string& recorderKey);

enum class ReadStatus {
    Ok,
    CannotOpen,     // the file cannot be read
    TemplateError,  // line 1 does not hold 26 titles
    TooLarge,       // more bytes or rows than an export can make
};

struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    std::vector<DEVICE_INFO> devices;  // one per local row, in file order
    size_t skippedRows = 0;            // rows too short or too long for their layout
    size_t refusedFiles = 0;           // firmware names that would leave the download folder
    std::string reason;                // for people, when status is not Ok
};

// Parses the whole file text. Local rows go to `devices` (with the login user and password
// given) and their checks to `checks` by upper-case MAC; remote rows with a check result are
// appended to `remotes` under the recorder's upper-case MAC. The maps are only added to.
ReadResult ParseTemplate(const std::string& text, const std::string& user, const std::string& password,
                         CloudCheckMap* checks, RemoteDeviceMap* remotes);
// Reads the file at `path` (at most kMaxFileBytes) and parses it.
ReadResult ReadTemplateFile(const std::string& path, const std::string& user, const std::string& password,
                            CloudCheckMap* checks, RemoteDeviceMap* remotes);

// The older 25-column layout (the titles of the cloud-upgrade information workbook): every row
// is a device; its check goes into `checks` when its check result is set. The password field is
// hexadecimal. False when the file cannot be read or the header has another count.
bool ReadCloudInfoCsv(const std::string& path, CloudCheckMap* checks);
bool ParseCloudInfoCsv(const std::string& text, CloudCheckMap* checks);

// Entries and unpacked bytes of an archive, from the archiver's technical listing ("7z l -slt
// -ba"): one "Path = " line per entry, its "Size = " line the unpacked bytes (sums saturate).
struct ArchiveTotals {
    uint64_t entries = 0;
    uint64_t bytes = 0;
};
ArchiveTotals SumArchiveListing(const std::string& listing);

} // namespace cloudtemplate

// Readers and writers of the add-on tool files: the tool list in the settings file, a package's
// description file, the archiver's table of contents, and the version texts. Plain C++ over
// TinyXML, so that the fuzz targets can build them alone. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TiXmlElement;

namespace othertool {

enum : int {
    kMaxTools = 21,           // tiles of the page
    kMaxNameChars = 64,       // a tool name: the stem of its installed files
    kMaxVersionChars = 32,
    kMaxImageChars = 128,
    kMaxListedTools = 256,    // tool elements looked at in the settings file
};
enum : uint64_t {
    kMaxPackageBytes = 512ull << 20,
    kMaxUnpackedBytes = 1ull << 30,
    kMaxEntries = 4096,
    kMaxEntryPathChars = 1024,
    kMaxListingBytes = 8ull << 20,
};

// One tool; images [0] normal, [1] hover, [2] pressed, [3] disabled.
struct ToolEntry {
    std::string name;
    std::string version;
    std::string images[4];
};

// Why a package or a list entry was refused; the text is made by the page in the user's language.
enum class Problem {
    None,
    FileMissing,       // detail: the file
    TooLarge,          // detail: the limit in MiB
    NotArchive,        // detail: what the archiver said
    TooManyEntries,    // detail: the limit
    TooBigUnpacked,    // detail: the limit in MiB
    EscapingPath,      // detail: the entry
    LinkEntry,         // detail: the entry
    EncryptedEntry,    // detail: the entry
    ListingDamaged,
    NoArchiver,
    ArchiverFailed,    // detail: what the archiver said
    ArchiverTimeout,   // detail: seconds
    NoAppInfo,
    AppInfoDamaged,    // detail: the parser's reason
    WrongLanguage,     // detail: the package's language value
    BadVersion,        // detail: the version text
    BadName,           // detail: the name
    BadImage,          // detail: the image name
    MissingInPackage,  // detail: the path inside the package
    CopyFailed,        // detail: the file
    StagingFailed,     // detail: the folder
};

struct Refusal {
    Problem problem = Problem::None;
    std::string detail;
    explicit operator bool() const { return problem != Problem::None; }
};

// Valid: exactly three '.', first character 'T' or 'R'; the number replaces T by 0, R by 1,
// drops the dots and reads the rest as decimal digits.
bool ParseAppVersion(const std::string& version, uint64_t* number);

// A tool name usable as a file name stem: 1..kMaxNameChars characters, no separators, no
// control characters, not "." or "..", no leading '-'.
bool ValidToolName(const std::string& name);
// An image name: empty, or a plain file name of at most kMaxImageChars characters.
bool ValidImageName(const std::string& name);

// Reads the tools of every APPConfig element below the root of the settings text. Entries that
// cannot be used (bad name or image, over-long texts, duplicate names, beyond kMaxTools) are left
// out and described in `problems` (English, one line each, for the log and the user's details).
// false when the text is not a well-formed, bounded XML document.
bool ReadToolList(const std::string& xml, std::vector<ToolEntry>* tools, std::vector<std::string>* problems,
                  std::string* why);
// Replaces the first APPConfig below the root by the tools, appended as the root's last child.
void WriteToolList(TiXmlElement* root, const std::vector<ToolEntry>& tools);

// Reads a package's AppInfo.xml text; the language value must equal `language`.
Refusal ReadAppInfo(const std::string& xml, int language, ToolEntry* entry, uint64_t* number);

// Totals of an archive's table of contents.
struct ListingTotals {
    uint64_t entries = 0;
    uint64_t unpackedBytes = 0;
};
// Checks the "7z l -slt -ba" listing of a package: entry count, unpacked size, paths that would
// leave the target folder, links and encrypted entries.
Refusal CheckArchiveListing(const std::string& listing, ListingTotals* totals);
// Whether an entry path stays below the folder it is unpacked into.
bool EntryPathStaysInside(const std::string& path);

} // namespace othertool

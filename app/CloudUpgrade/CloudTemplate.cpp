#include "CloudUpgrade/CloudTemplate.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace cloudtemplate {

const wchar_t* const kTitleKeys[kHeaderFields] = {
    L"Type", L"DetailType", L"DeviceName", L"IP", L"Port", L"RemoteFlag", L"HigherMac", L"DeviceID", L"Vendor",
    L"DevClass", L"Tag1", L"Tag2", L"Serial", L"Language", L"VideoStandard", L"SN", L"SWVersion", L"BuildTime",
    L"HasNewVersion", L"NewVersion", L"UpgradeFilePath", L"DownLoadStatus", L"Device Mac", L"UpgradeFileName",
    L"CheckResult", L"xml",
};

namespace {

const char kEmptyXml[] = "<root></root>";

template <size_t N>
std::string Field(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

std::string Int(long long value) { return std::to_string(value); }

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// At most `limit` bytes (and fewer than N), never ending inside a UTF-8 character; terminated.
template <size_t N>
void Copy(char (&field)[N], const std::string& text, size_t limit)
{
    if (limit > N - 1)
        limit = N - 1;
    size_t n = text.size();
    if (n > limit) {
        n = limit;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    }
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), n);
}

// A decimal integer from the start of the text (sign allowed); 0 when there is none. Clamped.
long long Number(const std::string& text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            value = INT_MAX;
    }
    return negative ? -value : value;
}

int Int32(const std::string& text) { return static_cast<int>(Number(text)); }
unsigned char Flag(const std::string& text) { return Number(text) != 0 ? 1 : 0; }

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            return fields;
        start = comma + 1;
    }
}

// Lines without their CR LF; a last line without an end counts too.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// A video standard written as "PAL,NTSC" (either order) was split by the comma: join the two
// fields back into one. True when they were joined.
bool JoinVideoStandard(std::vector<std::string>& fields, size_t at)
{
    if (at + 1 >= fields.size() || fields[at].empty() || fields[at + 1].empty())
        return false;
    const std::string first = fields[at].substr(1);
    const std::string second = fields[at + 1].substr(0, fields[at + 1].size() - 1);
    const bool pair = (first == "PAL" && second == "NTSC") || (first == "NTSC" && second == "PAL");
    if (!pair)
        return false;
    fields[at] = first + "," + second;
    fields.erase(fields.begin() + static_cast<std::ptrdiff_t>(at) + 1);
    return true;
}

std::string Unquote(std::string text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

std::string FileNameField(const std::string& name)
{
    return IsPlainFileName(name) ? name : std::string();
}

void ReadLocalRow(const std::vector<std::string>& in, bool joined, const std::string& user,
                  const std::string& password, CloudCheckMap* checks, ReadResult* result)
{
    std::vector<std::string> f(in.size());
    for (size_t i = 0; i < in.size(); ++i)
        f[i] = UnescapeField(in[i]);
    DEVICE_NET_INFO_EX net;
    std::memset(&net, 0, sizeof(net));
    CLOUDCHECK check;
    std::memset(&check, 0, sizeof(check));
    DEVICE_INFO info;
    std::memset(&info, 0, sizeof(info));
    NET_IN_CLOUD_UPGRADER_CHECK& req = check.stuIn;

    Copy(net.szTypeName, f[0], 31);
    Copy(net.szDetailName, f[1], 31);
    Copy(net.szDeviceName, f[2], 31);
    Copy(net.szIpAddr, f[3], 63);
    net.nPort = Int32(f[4]);
    req.nVendor = Int32(f[8]);
    Copy(req.szClass, f[9], 63);
    Copy(req.szTag1, f[10], 255);
    Copy(req.szTag2, f[11], 255);
    Copy(req.szSN, f[12], 255);
    Copy(req.szLanguage, f[13], 63);
    req.nStandard = joined ? 0 : Int32(f[14]);  // a joined "PAL,NTSC" is no code
    Copy(req.szSerialNo, f[15], 63);
    Copy(net.szSerialNumber, f[15], 47);
    Copy(req.szSoftwareVersion, f[16], 63);
    Copy(net.szSoftVersion, f[16], 63);
    req.stuBuildTime = ParseBuildTime(f[17]);
    info.bHasNewVersion = Flag(f[18]);
    Copy(info.szNewVersion, f[19], 63);
    info.nDownloadState = Int32(f[21]);
    Copy(net.szMacAddr, f[22], 39);
    const std::string file = FileNameField(f[23]);
    if (file.size() != f[23].size()) {
        ++result->refusedFiles;
        if (info.nDownloadState == kDownloaded)
            info.nDownloadState = 0;
    }
    Copy(info.szFileName, file, 1023);
    info.bCheckResult = Flag(f[24]);
    Copy(info.szXml, f[25], 1023);
    if (info.nDownloadState == 0)
        info.bHasNewVersion = 0;
    check.stuOut.bHasNewVersion = info.bHasNewVersion;
    Copy(check.stuOut.szNewVersion, f[19], 63);

    Copy(info.szUser, user, 31);
    Copy(info.szPassword, password, 63);
    info.stNetInfo = net;
    result->devices.push_back(info);
    (*checks)[Upper(Field(net.szMacAddr))] = check;
}

void ReadRemoteRow(const std::vector<std::string>& in, bool joined, RemoteDeviceMap* remotes, ReadResult* result)
{
    std::vector<std::string> f(in.size());
    for (size_t i = 0; i < in.size(); ++i)
        f[i] = UnescapeField(in[i]);
    strudevice d;
    Copy(d.szType, f[0], 63);
    Copy(d.szDetailType, f[1], 63);
    Copy(d.szIP, f[3], 15);
    d.nPort = Int32(f[4]);
    const std::string key = Upper(f[6]);
    Copy(d.szDeviceID, f[7], 127);
    d.nVendor = Int32(f[8]);
    Copy(d.szLanguage, f[11], 63);
    Copy(d.szVideoStandard, joined ? f[12] : UnescapeField(Unquote(in[12])), 63);
    std::string serial = f[13];
    if (!serial.empty() && serial[0] == '\'')
        serial.erase(0, 1);
    Copy(d.szSerialNo, serial, 63);
    Copy(d.szVersion, f[14], 63);
    Copy(d.szBuildTime, f[15], 63);
    d.byHasNewVersion = Flag(f[16]);
    Copy(d.szNewVersion, f[17], 63);
    d.nDownloadState = Int32(f[18]);
    const std::string file = FileNameField(f[20]);
    if (file.size() != f[20].size()) {
        ++result->refusedFiles;
        if (d.nDownloadState == kDownloaded)
            d.nDownloadState = 0;
    }
    Copy(d.szFileName, file, 1023);
    d.byCheckResult = Flag(f[21]);
    Copy(d.szXml, f[24], 1023);
    if (d.byCheckResult)
        (*remotes)[key].push_back(d);
}

bool ReadWholeFile(const std::string& path, std::string* text, bool* tooLarge)
{
    *tooLarge = false;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    text->clear();
    char buffer[65536];
    while (file.read(buffer, sizeof(buffer)) || file.gcount() > 0) {
        text->append(buffer, static_cast<size_t>(file.gcount()));
        if (text->size() > kMaxFileBytes) {
            *tooLarge = true;
            return true;
        }
    }
    return !file.bad();
}

// Pieces of the header: a final "," starts no further piece.
size_t HeaderPieces(const std::string& line)
{
    if (line.empty())
        return 0;
    size_t pieces = Split(line).size();
    if (line.back() == ',')
        --pieces;
    return pieces;
}

} // namespace

std::string EscapeField(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '%': out += "%37"; break;
        case ',': out += "%44"; break;
        case '\r': out += "%13"; break;
        case '\n': out += "%10"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string UnescapeField(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const std::string code = text.substr(i + 1, 2);
            const char c = code == "44" ? ',' : code == "37" ? '%' : code == "13" ? '\r' : code == "10" ? '\n' : 0;
            if (c) {
                out += c;
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool IsPlainFileName(const std::string& name)
{
    if (name.empty())
        return true;
    if (name == "." || name == ".." || name.size() > 255)
        return false;
    for (unsigned char c : name)
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F)
            return false;
    return true;
}

std::string FormatBuildTime(const NET_TIME_EX& t)
{
    char text[64] = {};
    std::snprintf(text, sizeof(text), "%d-%02d-%02d_%02d:%02d:%02d", static_cast<int>(t.dwYear),
                  static_cast<int>(t.dwMonth), static_cast<int>(t.dwDay), static_cast<int>(t.dwHour),
                  static_cast<int>(t.dwMinute), static_cast<int>(t.dwSecond));
    return text;
}

NET_TIME_EX ParseBuildTime(const std::string& text)
{
    NET_TIME_EX t;
    std::memset(&t, 0, sizeof(t));
    static const char kPattern[] = "dddd-dd-dd_dd:dd:dd";
    if (text.size() != sizeof(kPattern) - 1)
        return t;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kPattern[i] == 'd' ? !digit : text[i] != kPattern[i])
            return t;
    }
    auto num = [&](size_t at, size_t n) { return Int32(text.substr(at, n)); };
    const int year = num(0, 4), month = num(5, 2), day = num(8, 2);
    const int hour = num(11, 2), minute = num(14, 2), second = num(17, 2);
    static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1] ||
        (month == 2 && day == 29 && !leap) || hour > 23 || minute > 59 || second > 59)
        return t;
    t.dwYear = static_cast<DWORD>(year);
    t.dwMonth = static_cast<DWORD>(month);
    t.dwDay = static_cast<DWORD>(day);
    t.dwHour = static_cast<DWORD>(hour);
    t.dwMinute = static_cast<DWORD>(minute);
    t.dwSecond = static_cast<DWORD>(second);
    return t;
}

std::string HeaderLine(const std::vector<std::string>& titles)
{
    std::string line;
    for (const std::string& title : titles)
        line += EscapeField(title) + ",";
    return line + "\r\n";
}

std::string LocalDeviceLine(const DEVICE_NET_INFO_EX& net, const CLOUDCHECK& check, int downloadState,
                            const char* fileName, bool checkResult, const std::string& xml)
{
    const NET_IN_CLOUD_UPGRADER_CHECK& req = check.stuIn;
    const NET_OUT_CLOUD_UPGRADER_CHECK& ans = check.stuOut;
    std::string version = Field(req.szSoftwareVersion);
    if (version.empty())
        version = Field(net.szSoftVersion);
    std::string file = downloadState == kDownloaded && fileName ? std::string(fileName, strnlen(fileName, 1023)) : "";
    std::string xmlText = EscapeField(xml);
    if (xmlText.empty())
        xmlText = kEmptyXml;
    const std::string fields[kLocalFields] = {
        EscapeField(Field(net.szTypeName)),
        EscapeField(Field(net.szDetailName)),
        EscapeField(Field(net.szDeviceName)),
        EscapeField(Field(net.szIpAddr)),
        Int(net.nPort),
        "0",
        "",
        "",
        Int(req.nVendor),
        EscapeField(Field(req.szClass)),
        EscapeField(Field(req.szTag1)),
        EscapeField(Field(req.szTag2)),
        EscapeField(Field(req.szSN)),
        EscapeField(Field(req.szLanguage)),
        Int(req.nStandard),
        EscapeField(Field(net.szSerialNumber)),
        EscapeField(version),
        FormatBuildTime(req.stuBuildTime),
        Int(ans.bHasNewVersion),
        EscapeField(Field(ans.szNewVersion)),
        "",
        Int(downloadState),
        EscapeField(Field(net.szMacAddr)),
        EscapeField(file),
        checkResult ? "1" : "0",
        xmlText,
    };
    std::string line;
    for (int i = 0; i < kLocalFields; ++i)
        line += (i ? "," : "") + fields[i];
    return line + "\r\n";
}

std::string RemoteDeviceLine(const strudevice& d, const std::string& recorderKey)
{
    const std::string file = d.nDownloadState == kDownloaded ? Field(d.szFileName) : std::string();
    const std::string fields[kRemoteFields] = {
        EscapeField(Field(d.szType)),
        EscapeField(Field(d.szDetailType)),
        "",
        Int(d.nIndex),
        Int(d.nPort),
        "1",
        EscapeField(recorderKey),
        EscapeField(Field(d.szDeviceID)),
        Int(d.nVendor),
        EscapeField(Field(d.szType)),
        EscapeField(Field(d.szDetailType)),
        EscapeField(Field(d.szLanguage)),
        "\"" + EscapeField(Field(d.szVideoStandard)) + "\"",
        EscapeField(Field(d.szSerialNo)),
        EscapeField(Field(d.szVersion)),
        EscapeField(Field(d.szBuildTime)),
        Int(d.byHasNewVersion),
        EscapeField(Field(d.szNewVersion)),
        Int(d.nDownloadState),
        EscapeField(Field(d.szMac)),
        EscapeField(file),
        Int(d.byCheckResult),
        "",
        "",
        kEmptyXml,
    };
    std::string line;
    for (int i = 0; i < kRemoteFields; ++i)
        line += (i ? "," : "") + fields[i];
    return line + "\r\n";
}

ReadResult ParseTemplate(const std::string& text, const std::string& user, const std::string& password,
                         CloudCheckMap* checks, RemoteDeviceMap* remotes)
{
    ReadResult result;
    if (text.size() > kMaxFileBytes) {
        result.status = ReadStatus::TooLarge;
        result.reason = "more than " + std::to_string(kMaxFileBytes >> 20) + " MB";
        return result;
    }
    const std::vector<std::string> lines = Lines(text);
    if (lines.empty() || lines[0].size() > kMaxLineBytes || HeaderPieces(lines[0]) != kHeaderFields) {
        result.status = ReadStatus::TemplateError;
        result.reason = "the first line does not hold " + std::to_string(kHeaderFields) + " titles";
        return result;
    }
    if (lines.size() - 1 > kMaxRows) {
        result.status = ReadStatus::TooLarge;
        result.reason = "more than " + std::to_string(kMaxRows) + " rows";
        return result;
    }
    CloudCheckMap newChecks;
    RemoteDeviceMap newRemotes;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty())
            continue;  // a blank line holds no device
        if (line.size() > kMaxLineBytes) {
            ++result.skippedRows;
            continue;
        }
        std::vector<std::string> fields = Split(line);
        const bool remote = fields.size() > 5 && fields[5] == "1";
        const size_t standardAt = remote ? 12 : 14;
        const bool joined = JoinVideoStandard(fields, standardAt);
        const size_t needed = remote ? kRemoteFields : kLocalFields;
        if (fields.size() < needed) {
            ++result.skippedRows;
            continue;
        }
        if (remote)
            ReadRemoteRow(fields, joined, &newRemotes, &result);
        else
            ReadLocalRow(fields, joined, user, password, &newChecks, &result);
    }
    for (auto& entry : newChecks)
        (*checks)[entry.first] = entry.second;
    for (auto& entry : newRemotes) {
        std::vector<strudevice>& list = (*remotes)[entry.first];
        list.insert(list.end(), entry.second.begin(), entry.second.end());
    }
    return result;
}

ReadResult ReadTemplateFile(const std::string& path, const std::string& user, const std::string& password,
                            CloudCheckMap* checks, RemoteDeviceMap* remotes)
{
    std::string text;
    bool tooLarge = false;
    if (!ReadWholeFile(path, &text, &tooLarge)) {
        ReadResult result;
        result.status = ReadStatus::CannotOpen;
        result.reason = std::strerror(errno);
        return result;
    }
    if (tooLarge) {
        ReadResult result;
        result.status = ReadStatus::TooLarge;
        result.reason = "more than " + std::to_string(kMaxFileBytes >> 20) + " MB";
        return result;
    }
    return ParseTemplate(text, user, password, checks, remotes);
}

bool ParseCloudInfoCsv(const std::string& text, CloudCheckMap* checks)
{
    const std::vector<std::string> lines = Lines(text.substr(0, kMaxFileBytes));
    if (lines.empty() || HeaderPieces(lines[0]) != 25 || lines.size() - 1 > kMaxRows)
        return false;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].size() > kMaxLineBytes)
            continue;
        std::vector<std::string> f = Split(lines[i]);
        const bool joined = JoinVideoStandard(f, 12);
        if (f.size() < 25)
            continue;
        CLOUDCHECK check;
        std::memset(&check, 0, sizeof(check));
        NET_IN_CLOUD_UPGRADER_CHECK& req = check.stuIn;
        req.nVendor = Int32(f[8]);
        Copy(req.szClass, f[9], 63);
        Copy(req.szSN, f[10], 255);
        Copy(req.szLanguage, f[11], 63);
        req.nStandard = joined ? 0 : Int32(f[12]);
        std::string serial = f[13];
        if (!serial.empty() && serial[0] == '\'')
            serial.erase(0, 1);
        Copy(req.szSerialNo, serial, 63);
        Copy(req.szSoftwareVersion, f[14], 63);
        req.stuBuildTime = ParseBuildTime(f[15]);
        check.stuOut.bHasNewVersion = Flag(f[16]);
        Copy(check.stuOut.szNewVersion, f[17], 63);
        if (Flag(f[21]))
            (*checks)[Upper(f[19])] = check;
    }
    return true;
}

bool ReadCloudInfoCsv(const std::string& path, CloudCheckMap* checks)
{
    std::string text;
    bool tooLarge = false;
    if (!ReadWholeFile(path, &text, &tooLarge) || tooLarge)
        return false;
    return ParseCloudInfoCsv(text, checks);
}

ArchiveTotals SumArchiveListing(const std::string& listing)
{
    ArchiveTotals totals;
    size_t start = 0;
    while (start < listing.size()) {
        size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        const char* line = listing.data() + start;
        const size_t length = end - start;
        if (length >= 7 && std::memcmp(line, "Path = ", 7) == 0) {
            ++totals.entries;
        } else if (length >= 7 && std::memcmp(line, "Size = ", 7) == 0) {
            uint64_t size = 0;
            for (size_t i = 7; i < length && line[i] >= '0' && line[i] <= '9'; ++i)
                size = size > (UINT64_MAX - 9) / 10 ? UINT64_MAX : size * 10 + static_cast<uint64_t>(line[i] - '0');
            totals.bytes = totals.bytes > UINT64_MAX - size ? UINT64_MAX : totals.bytes + size;
        }
        start = end + 1;
    }
    return totals;
}

} // namespace cloudtemplate

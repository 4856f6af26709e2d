// The cloud update service's answers; see the header and PROTOCOL.md beside it.
#include "cloudsvc/CloudCatalog.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>

#include "devsdk/CloudWire.h"
#include "devsdk/DevSdkErrors.h"
#include "fwmake/FirmwareImage.h"

namespace cloudsvc {

namespace wire = devsdk::wire;
namespace cloud = devsdk::cloud;

namespace {

std::string Md5Upper(const std::string& s)
{
    unsigned char d[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    EVP_Digest(s.data(), s.size(), d, &n, EVP_md5(), nullptr);
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned i = 0; i < n; ++i) {
        out += hex[d[i] >> 4];
        out += hex[d[i] & 15];
    }
    return out;
}

bool SameNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// Letters, digits and "._-" only: a firmware name is a plain file name.
std::string SafeName(const std::string& s)
{
    std::string out;
    for (char c : s)
        out += std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-' ? c : '_';
    return out;
}

std::string Reply(uint32_t seq, uint16_t op, const Json::Value& body, const std::string& bin = std::string())
{
    return wire::Encode(wire::kReply, op, seq, body, bin);
}

Json::Value ErrorBody(uint32_t code)
{
    Json::Value b(Json::objectValue);
    b["error"] = Json::UInt(code);
    return b;
}

bool ReadEntry(const Json::Value& v, Entry& e)
{
    if (!v.isObject())
        return false;
    auto cut = [&](const char* key, size_t width) {
        std::string s = wire::GetStr(v, key);
        return s.size() < width ? s : s.substr(0, width - 1);
    };
    e.serialNo = cut("serialNo", 64);
    e.deviceClass = cut("class", 64);
    e.version = cut("version", 64);
    e.family = cut("family", fwmake::kFamilySize);
    e.newVersion = cut("newVersion", 64);
    e.desc = cut("desc", 1024);
    const int64_t size = wire::GetInt(v, "payloadSize", e.payloadSize);
    if (e.family.empty() || e.newVersion.empty() || size <= 0 || size > kMaxPayload)
        return false;
    e.payloadSize = uint32_t(size);
    return true;
}

} // namespace

std::string AccountText(const std::string& serialNo) { return ("QXMTLOPAW-K7" + serialNo).substr(0, 127); }

std::string TokenFor(const std::string& serialNo)
{
    return Md5Upper("WQMEFRIN@" + Md5Upper(serialNo) + "+TOLKEBSNY");
}

std::string NextVersion(const std::string& version)
{
    const size_t end = version.find_last_of("0123456789");
    if (end == std::string::npos)
        return version + ".1";
    size_t begin = end;
    while (begin > 0 && std::isdigit(static_cast<unsigned char>(version[begin - 1])))
        --begin;
    std::string digits = version.substr(begin, end - begin + 1);
    // Decimal increment on the text keeps leading zeros and any length.
    int i = int(digits.size()) - 1;
    while (i >= 0 && digits[size_t(i)] == '9')
        digits[size_t(i--)] = '0';
    if (i < 0)
        digits.insert(digits.begin(), '1');
    else
        ++digits[size_t(i)];
    return version.substr(0, begin) + digits + version.substr(end + 1);
}

bool ParseOptions(const std::string& text, Options& out, std::string& error)
{
    Json::Value v;
    if (!wire::ParseObject(text, v)) {
        error = "not a JSON object";
        return false;
    }
    out.host = wire::GetStr(v, "host", out.host);
    out.port = int(wire::GetInt(v, "port", out.port));
    out.checkAccount = wire::GetBool(v, "checkAccount", out.checkAccount);
    if (out.port < 0 || out.port > 65535) {
        error = "port out of range";
        return false;
    }
    const Json::Value& entries = wire::GetMember(v, "entries");
    if (!entries.isNull() && !entries.isArray()) {
        error = "entries is not a list";
        return false;
    }
    for (Json::ArrayIndex i = 0; entries.isArray() && i < entries.size(); ++i) {
        Entry e;
        if (out.entries.size() >= kMaxEntries || !ReadEntry(entries[i], e)) {
            error = "entry " + std::to_string(i) + " is not valid (family, newVersion, payloadSize)";
            return false;
        }
        out.entries.push_back(e);
    }
    const Json::Value& f = wire::GetMember(v, "faults");
    out.faults.hangChecks = wire::GetBool(f, "hangChecks");
    out.faults.checkError = uint32_t(wire::GetInt(f, "checkError"));
    out.faults.dropDownloadAt = wire::GetInt(f, "dropDownloadAt", -1);
    out.faults.downloadState = int(wire::GetInt(f, "downloadState"));
    out.faults.downloadStateAt = wire::GetInt(f, "downloadStateAt");
    out.faults.pieceDelayMs = int(std::min<int64_t>(std::max<int64_t>(wire::GetInt(f, "pieceDelayMs"), 0), 60000));
    return true;
}

bool EntriesFromFleet(const std::string& fleetText, std::vector<Entry>& out, std::string& error)
{
    Json::Value v;
    if (!wire::ParseObject(fleetText, v) || !wire::GetMember(v, "devices").isArray()) {
        error = "not a fleet file (no device list)";
        return false;
    }
    const Json::Value& devices = wire::GetMember(v, "devices");
    for (Json::ArrayIndex i = 0; i < devices.size() && out.size() < kMaxEntries; ++i) {
        const Json::Value& d = devices[i];
        Entry e;
        e.serialNo = wire::GetStr(d, "serial");
        e.family = fwmake::FamilyOfModel(wire::GetStr(d, "model")).substr(0, fwmake::kFamilySize - 1);
        const std::string version = wire::GetStr(d, "version");
        e.newVersion = NextVersion(version).substr(0, 63);
        e.desc = "Maintenance release for " + wire::GetStr(d, "model");
        if (e.serialNo.empty() || e.family.empty())
            continue;
        out.push_back(e);
    }
    return true;
}

Catalog::Catalog(Options options) : opt_(std::move(options))
{
    for (size_t i = 0; i < opt_.entries.size(); ++i)
        byPath_.emplace(FirmwarePath(opt_.entries[i]), i);
}

void Catalog::SetBaseUrl(const std::string& base)
{
    std::lock_guard<std::mutex> lk(mu_);
    base_ = base;
}

void Catalog::SetFaults(const Faults& f)
{
    std::lock_guard<std::mutex> lk(mu_);
    opt_.faults = f;
}

Faults Catalog::GetFaults() const
{
    std::lock_guard<std::mutex> lk(mu_);
    return opt_.faults;
}

uint64_t Catalog::Checks() const
{
    std::lock_guard<std::mutex> lk(mu_);
    return checks_;
}

uint64_t Catalog::Pieces() const
{
    std::lock_guard<std::mutex> lk(mu_);
    return pieces_;
}

std::string Catalog::FirmwarePath(const Entry& e)
{
    return "/firmware/" + SafeName(e.family + "_" + e.newVersion) + ".bin";
}

const Entry* Catalog::Match(const std::string& serialNo, const std::string& deviceClass,
                            const std::string& version) const
{
    for (const Entry& e : opt_.entries) {
        if (!e.serialNo.empty() && !SameNoCase(e.serialNo, serialNo))
            continue;
        if (!e.deviceClass.empty() && !SameNoCase(e.deviceClass, deviceClass))
            continue;
        if (!e.version.empty() && version.compare(0, e.version.size(), e.version) != 0)
            continue;
        return &e;
    }
    return nullptr;
}

Json::Value Catalog::Check(const Json::Value& body, uint32_t& error)
{
    cloud::CheckQuery q;
    Json::Value answer(Json::objectValue);
    if (!cloud::ParseCheckRequest(body, q)) {
        error = SDK_ILLEGAL_PARAM;
        return answer;
    }
    if (opt_.checkAccount && (q.account != AccountText(q.serialNo) || q.token != TokenFor(q.serialNo))) {
        error = SDK_NOT_AUTHORIZED;
        return answer;
    }
    error = 0;
    const Entry* e = Match(q.serialNo, q.deviceClass, q.version);
    const bool hasNew = e && e->newVersion != q.version;
    answer["hasNew"] = hasNew ? 1 : 0;
    answer["newVersion"] = hasNew ? e->newVersion : std::string();
    answer["desc"] = hasNew ? e->desc : std::string();
    answer["url"] = hasNew ? base_ + FirmwarePath(*e) : std::string();
    return answer;
}

const std::string* Catalog::Image(const std::string& path)
{
    auto made = images_.find(path);
    if (made != images_.end())
        return &made->second;
    auto it = byPath_.find(path);
    if (it == byPath_.end())
        return nullptr;
    const Entry& e = opt_.entries[it->second];
    std::string payload(e.payloadSize, '\0');
    uint32_t x = 0x9E3779B9u ^ e.payloadSize;
    for (char& c : payload) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x & 0xFF);
    }
    const uint32_t crc = fwmake::Crc32(0, payload.data(), payload.size());
    return &(images_[path] = fwmake::MakeHeader(e.family, e.newVersion, e.payloadSize, crc) + payload);
}

Outcome Catalog::Handle(const wire::Frame& request, std::string& replyBytes)
{
    std::lock_guard<std::mutex> lk(mu_);
    Json::Value body;
    if (request.kind != wire::kRequest)
        return Outcome::Close;
    if (!wire::ParseObject(request.json, body)) {
        replyBytes = Reply(request.seq, request.op, ErrorBody(SDK_ILLEGAL_PARAM));
        return Outcome::Reply;
    }
    if (request.op == cloud::kOpCheck) {
        ++checks_;
        if (opt_.faults.hangChecks)
            return Outcome::NoAnswer;
        uint32_t error = opt_.faults.checkError;
        Json::Value answer;
        if (error == 0)
            answer = Check(body, error);
        if (error != 0)
            answer = ErrorBody(error);
        answer["error"] = Json::UInt(error);
        replyBytes = Reply(request.seq, request.op, answer);
        return Outcome::Reply;
    }
    if (request.op == cloud::kOpDownload) {
        ++pieces_;
        const int64_t offset = wire::GetInt(body, "offset", -1);
        const int64_t length = std::min<int64_t>(wire::GetInt(body, "length"), cloud::kMaxPiece);
        if (opt_.faults.dropDownloadAt >= 0 && offset >= opt_.faults.dropDownloadAt)
            return Outcome::Close;
        Json::Value answer(Json::objectValue);
        answer["error"] = 0;
        if (opt_.faults.downloadState != 0 && offset >= opt_.faults.downloadStateAt) {
            answer["state"] = opt_.faults.downloadState;
            replyBytes = Reply(request.seq, request.op, answer);
            return Outcome::Reply;
        }
        const std::string* image = Image(wire::GetStr(body, "path"));
        if (!image || offset < 0 || offset > int64_t(image->size()) || length <= 0) {
            replyBytes = Reply(request.seq, request.op, ErrorBody(image ? SDK_ILLEGAL_PARAM : SDK_ERROR));
            return Outcome::Reply;
        }
        answer["total"] = Json::Int64(image->size());
        const size_t take = size_t(std::min<int64_t>(length, int64_t(image->size()) - offset));
        replyBytes = Reply(request.seq, request.op, answer, image->substr(size_t(offset), take));
        return Outcome::Reply;
    }
    replyBytes = Reply(request.seq, request.op, ErrorBody(SDK_NOT_SUPPORTED));
    return Outcome::Reply;
}

} // namespace cloudsvc

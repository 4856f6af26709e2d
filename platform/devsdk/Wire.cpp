#include "devsdk/Wire.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace devsdk {
namespace wire {

namespace {

void PutU16(std::string& s, uint16_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}

void PutU32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s.push_back(char((v >> (8 * i)) & 0xFF));
}

uint16_t GetU16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }

uint32_t GetU32(const unsigned char* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Checks a header; returns the bytes of the whole frame or 0 with the reason.
size_t CheckHeader(const unsigned char* p, Frame& f, const char** error)
{
    if (GetU32(p) != kMagic) {
        *error = "bad magic";
        return 0;
    }
    f.kind = GetU16(p + 4);
    f.op = GetU16(p + 6);
    f.seq = GetU32(p + 8);
    uint32_t jl = GetU32(p + 12);
    uint32_t bl = GetU32(p + 16);
    if (f.kind < kRequest || f.kind > kEvent) {
        *error = "bad kind";
        return 0;
    }
    if (jl > kMaxJson || bl > kMaxBinary) {
        *error = "frame too long";
        return 0;
    }
    return kHeaderSize + size_t(jl) + size_t(bl);
}

} // namespace

std::string Encode(uint16_t kind, uint16_t op, uint32_t seq, const std::string& json, const std::string& bin)
{
    std::string s;
    s.reserve(kHeaderSize + json.size() + bin.size());
    PutU32(s, kMagic);
    PutU16(s, kind);
    PutU16(s, op);
    PutU32(s, seq);
    PutU32(s, uint32_t(json.size()));
    PutU32(s, uint32_t(bin.size()));
    s += json;
    s += bin;
    return s;
}

std::string Encode(uint16_t kind, uint16_t op, uint32_t seq, const Json::Value& body, const std::string& bin)
{
    return Encode(kind, op, seq, WriteCompact(body), bin);
}

void FrameReader::Feed(const char* data, size_t len)
{
    if (bad_)
        return;
    std::memcpy(Room(len), data, len);
    Commit(len);
}

char* FrameReader::Room(size_t len)
{
    if (pos_ == end_) {
        pos_ = end_ = 0;
    } else if (pos_ > 65536) {
        std::memmove(&buf_[0], buf_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    if (buf_.size() - end_ < len)
        buf_.resize(end_ + len);
    return &buf_[end_];
}

void FrameReader::Commit(size_t len)
{
    if (!bad_)
        end_ += std::min(len, buf_.size() - end_);
}

size_t FrameReader::Missing() const
{
    const size_t avail = end_ - pos_;
    if (avail < kHeaderSize)
        return kHeaderSize - avail;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(buf_.data() + pos_);
    const size_t total = kHeaderSize + size_t(GetU32(p + 12)) + size_t(GetU32(p + 16));
    return total > avail ? total - avail : 0;
}

size_t FrameReader::HeadMissing() const
{
    const size_t avail = end_ - pos_;
    if (avail < kHeaderSize)
        return kHeaderSize - avail;
    const size_t head = kHeaderSize + size_t(GetU32(reinterpret_cast<const unsigned char*>(buf_.data() + pos_) + 12));
    return head > avail ? head - avail : 0;
}

FrameReader::Status FrameReader::NextHead(Frame& out, size_t minTail, size_t* tailHave)
{
    if (bad_)
        return kBad;
    const size_t avail = end_ - pos_;
    if (avail < kHeaderSize)
        return kNeedMore;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(buf_.data() + pos_);
    Frame f;
    const size_t total = CheckHeader(p, f, &error_);
    if (total == 0) {
        bad_ = true;
        buf_.clear();
        pos_ = end_ = 0;
        return kBad;
    }
    const size_t jl = GetU32(p + 12);
    const size_t tail = total - kHeaderSize - jl;
    if (avail >= total || avail < kHeaderSize + jl || tail < minTail)
        return kNeedMore;
    out.kind = f.kind;
    out.op = f.op;
    out.seq = f.seq;
    out.json.assign(buf_.data() + pos_ + kHeaderSize, jl);
    out.bin.resize(tail);
    *tailHave = avail - kHeaderSize - jl;
    std::memcpy(&out.bin[0], buf_.data() + pos_ + kHeaderSize + jl, *tailHave);
    pos_ = end_;
    return kFrame;
}

FrameReader::Status FrameReader::Next(Frame& out)
{
    if (bad_)
        return kBad;
    size_t avail = end_ - pos_;
    if (avail < kHeaderSize)
        return kNeedMore;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(buf_.data() + pos_);
    Frame f;
    size_t total = CheckHeader(p, f, &error_);
    if (total == 0) {
        bad_ = true;
        buf_.clear();
        pos_ = end_ = 0;
        return kBad;
    }
    if (avail < total)
        return kNeedMore;
    uint32_t jl = GetU32(p + 12);
    // Into the caller's strings: a caller that reuses its frame reuses their memory.
    out.kind = f.kind;
    out.op = f.op;
    out.seq = f.seq;
    out.json.assign(buf_.data() + pos_ + kHeaderSize, jl);
    out.bin.assign(buf_.data() + pos_ + kHeaderSize + jl, total - kHeaderSize - jl);
    pos_ += total;
    return kFrame;
}

bool DecodeDatagram(const char* data, size_t len, Frame& out)
{
    if (len < kHeaderSize || len > kMaxDatagram)
        return false;
    const char* error = "";
    Frame f;
    size_t total = CheckHeader(reinterpret_cast<const unsigned char*>(data), f, &error);
    if (total != len)
        return false;
    uint32_t jl = GetU32(reinterpret_cast<const unsigned char*>(data) + 12);
    f.json.assign(data + kHeaderSize, jl);
    f.bin.assign(data + kHeaderSize + jl, len - kHeaderSize - jl);
    out = std::move(f);
    return true;
}

bool ParseObject(const std::string& text, Json::Value& out)
{
    if (text.empty() || text.size() > kMaxJson)
        return false;
    Json::CharReaderBuilder b;
    b["collectComments"] = false;
    b["stackLimit"] = 64;
    b["rejectDupKeys"] = false;
    std::unique_ptr<Json::CharReader> r(b.newCharReader());
    Json::Value v;
    std::string errs;
    try {
        if (!r->parse(text.data(), text.data() + text.size(), &v, &errs))
            return false;
    } catch (const std::exception&) {
        return false;
    }
    if (!v.isObject())
        return false;
    out = std::move(v);
    return true;
}

std::string WriteCompact(const Json::Value& v)
{
    Json::StreamWriterBuilder b;
    b["indentation"] = "";
    b["emitUTF8"] = true;
    return Json::writeString(b, v);
}

const Json::Value& GetMember(const Json::Value& obj, const char* key)
{
    static const Json::Value null;
    if (!obj.isObject())
        return null;
    const Json::Value* v = obj.find(key, key + std::strlen(key));
    return v ? *v : null;
}

int64_t GetInt(const Json::Value& obj, const char* key, int64_t def)
{
    const Json::Value& v = GetMember(obj, key);
    if (v.isInt64())
        return v.asInt64();
    if (v.isUInt64())
        return int64_t(v.asUInt64() & 0x7FFFFFFFFFFFFFFFull);
    if (v.isDouble()) {
        double d = v.asDouble();
        if (d > -9e18 && d < 9e18)
            return int64_t(d);
        return def;
    }
    if (v.isBool())
        return v.asBool() ? 1 : 0;
    return def;
}

std::string GetStr(const Json::Value& obj, const char* key, const std::string& def)
{
    const Json::Value& v = GetMember(obj, key);
    return v.isString() ? v.asString() : def;
}

bool GetBool(const Json::Value& obj, const char* key, bool def)
{
    const Json::Value& v = GetMember(obj, key);
    if (v.isBool())
        return v.asBool();
    if (v.isIntegral())
        return GetInt(obj, key, 0) != 0;
    return def;
}

} // namespace wire
} // namespace devsdk

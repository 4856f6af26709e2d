// Frames of the device protocol (see PROTOCOL.md): a 20-byte header, a JSON body and an
// optional binary tail. Used by both the SDK and the emulated devices; no Qt, no sockets.
#pragma once

#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace devsdk {
namespace wire {

constexpr uint32_t kMagic = 0x31445856; // "VXD1" little-endian
constexpr size_t kHeaderSize = 20;
constexpr uint32_t kMaxJson = 1u << 20;    // 1 MiB
constexpr uint32_t kMaxBinary = 4u << 20;  // 4 MiB
constexpr size_t kMaxDatagram = 8192;

enum Kind : uint16_t { kRequest = 1, kReply = 2, kEvent = 3 };

enum Op : uint16_t {
    kOpDiscover = 1,
    kOpLogin = 2,
    kOpLogout = 3,
    kOpKeepAlive = 4,
    kOpQueryDevState = 10,
    kOpGetDevConfig = 11,
    kOpSetDevConfig = 12,
    kOpGetNewConfig = 13,
    kOpSetNewConfig = 14,
    kOpModifyNet = 15,
    kOpReboot = 16,
    kOpQuerySystemInfo = 17,
    kOpRestore = 18,
    kOpInitAccount = 20,
    kOpInitOptions = 21,
    kOpUserList = 22,
    kOpUserPassword = 23,
    kOpUpgradeStart = 30,
    kOpUpgradeData = 31,
    kOpUpgradeProgress = 32, // event: percent while installing, then result
    kOpUpgradeInfo = 33,
    kOpGetRecord = 40,       // typed record by command number (binary tail)
    kOpSetRecord = 41,
    kOpTransmit = 42,        // the device's JSON interface
    kOpCaps = 43,
    kOpResetDescription = 50,
    kOpCheckSecurityCode = 51,
    kOpResetPassword = 52,
    kOpStartPlay = 60,
    kOpStopPlay = 61,
    kOpStreamData = 62,      // event: one block of a live stream
};

// The fields of the time record (device config command 8), year to second.
constexpr const char* kTimeKeys[] = {"year", "month", "day", "hour", "minute", "second"};

struct Frame {
    uint16_t kind = 0;
    uint16_t op = 0;
    uint32_t seq = 0;
    std::string json;
    std::string bin;
};

// Bytes of one frame.
std::string Encode(uint16_t kind, uint16_t op, uint32_t seq, const std::string& json,
                   const std::string& bin = std::string());
std::string Encode(uint16_t kind, uint16_t op, uint32_t seq, const Json::Value& body,
                   const std::string& bin = std::string());

// Reassembles frames from a byte stream. After the first bad header it stays bad: the
// session that owns it must end.
class FrameReader {
public:
    enum Status { kNeedMore, kFrame, kBad };

    void Feed(const char* data, size_t len);
    // Or, without the copy: room for len bytes after the buffered ones, to receive into, then
    // Commit the bytes that arrived there.
    char* Room(size_t len);
    void Commit(size_t len);
    Status Next(Frame& out);
    bool Bad() const { return bad_; }
    const char* Error() const { return error_; }
    size_t Buffered() const { return end_ - pos_; }
    // Bytes that would complete the frame being read (a header's worth while its header is
    // incomplete), 0 when a whole frame is buffered: reading no further leaves nothing to move.
    size_t Missing() const;
    // Bytes that would complete the header and JSON body of the frame being read.
    size_t HeadMissing() const;
    // For large binary tails received straight into the frame: with the next frame's header and
    // JSON body buffered, not the whole frame, and a tail of at least minTail bytes, fills out
    // (out.bin sized for the tail, its buffered start copied in, *tailHave bytes) and moves past
    // the frame; the caller receives the rest of the tail into out.bin. kNeedMore when that is
    // not the case (use Next), kBad on a bad header.
    Status NextHead(Frame& out, size_t minTail, size_t* tailHave);

private:
    std::string buf_; // bytes pos_ to end_ are buffered; the rest is room
    size_t pos_ = 0;
    size_t end_ = 0;
    bool bad_ = false;
    const char* error_ = "";
};

// A whole datagram must be exactly one frame.
bool DecodeDatagram(const char* data, size_t len, Frame& out);

// Parses a JSON object (anything else is refused); never throws.
bool ParseObject(const std::string& text, Json::Value& out);
std::string WriteCompact(const Json::Value& v);

// Typed reads that never throw on a peer's bad value.
int64_t GetInt(const Json::Value& obj, const char* key, int64_t def = 0);
std::string GetStr(const Json::Value& obj, const char* key, const std::string& def = std::string());
bool GetBool(const Json::Value& obj, const char* key, bool def = false);
const Json::Value& GetMember(const Json::Value& obj, const char* key);

} // namespace wire
} // namespace devsdk

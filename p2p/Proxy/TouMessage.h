// Messages of a proxy channel: a 12-byte header (0x10 | type, reserved, be16 payload length,
// be32 session id, 4 reserved bytes) and a body. Writers fill a caller's buffer and return the
// size written; readers take the raw bytes of one message.
#ifndef ORVAN_TOU_TOUMESSAGE_H
#define ORVAN_TOU_TOUMESSAGE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace Orvan {
namespace Tou {

enum TouMessageType
{
    touTypeData = 0,
    touTypeSyn = 1,
    touTypeAck = 2,
    touTypeKeepAlive = 3,
    touTypeClose = 4,
    touTypeDataEx = 5,
    touTypeCommand = 6,
    touTypePause = 7,
    touTypePauseAck = 8,
    touTypeResume = 9,
    touTypeResumeAck = 10,
    touTypeResumeSuccess = 11
};

enum TouAckStatus
{
    touAckConn = 0,
    touAckSinv = 1,
    touAckDisc = 2
};

// What a sound message carries, by type.
struct TouFields
{
    int type = -1;
    uint16_t length = 0;    // payload length of types 0 and 5
    uint32_t sessionId = 0; // types 0, 1, 2
    const uint8_t* payload = nullptr;
    std::string host;       // Syn target, dotted IPv4
    uint16_t port = 0;      // Syn target port
    int ackStatus = -1;     // Ack
    uint16_t option = 0;    // Command
    uint32_t value = 0;     // Command
    uint32_t channelId = 0; // PauseAck, Resume, ResumeAck
};

class TouMessage
{
public:
    static constexpr int kHeaderSize = 12;
    static constexpr int kSynSize = 20;
    static constexpr int kAckSize = 16;
    static constexpr int kCommandSize = 20;
    static constexpr int kChannelIdSize = 16;
    static constexpr int kDataExExtra = 8;
    static constexpr uint8_t kVersion = 0x10;

    // Header only: types 3, 4, 7, 11 (12 bytes), or the header of a data message.
    static int writeHeader(uint8_t* out, int type, uint16_t length, uint32_t sessionId);
    // Target as inet_addr reads it: a text that is not dotted IPv4 travels as 255.255.255.255.
    static int writeSyn(uint8_t* out, uint32_t sessionId, const char* host, uint16_t port);
    static int writeAck(uint8_t* out, uint32_t sessionId, int status);
    // Types 8, 9, 10: the channel id lowest byte first.
    static int writeChannelId(uint8_t* out, int type, uint32_t channelId);
    static int writeCommand(uint8_t* out, uint16_t option, uint32_t value);

    // Readers; data holds at least kHeaderSize bytes.
    static int getType(const uint8_t* data) { return data[0] & 0x0F; }
    static uint16_t getLength(const uint8_t* data);
    static uint32_t getSessionId(const uint8_t* data);
    // Exact size a message of this header must have; -1 for types 12 to 15.
    static int expectedSize(const uint8_t* data);
    // Index of "CONN", "SINV", "DISC"; anything else reads as "DISC". data holds 16 bytes.
    static int getAckStatus(const uint8_t* data);
    static uint32_t getChannelId(const uint8_t* data);
    static const char* ackText(int status);

    // Frame check and field extraction; false when the size does not match the type.
    static bool parse(const uint8_t* data, size_t size, TouFields& fields);
};

} // namespace Tou
} // namespace Orvan

#endif

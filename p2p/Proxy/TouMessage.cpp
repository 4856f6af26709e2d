#include "Proxy/TouMessage.h"

#include <arpa/inet.h>

#include <cstring>

namespace Orvan {
namespace Tou {
namespace {

const char kAckTexts[3][5] = {"CONN", "SINV", "DISC"};

void putBe16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

void putBe32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

uint32_t getBe32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

} // namespace

int TouMessage::writeHeader(uint8_t* out, int type, uint16_t length, uint32_t sessionId)
{
    std::memset(out, 0, kHeaderSize);
    out[0] = uint8_t(kVersion | (type & 0x0F));
    putBe16(out + 2, length);
    putBe32(out + 4, sessionId);
    return kHeaderSize;
}

int TouMessage::writeSyn(uint8_t* out, uint32_t sessionId, const char* host, uint16_t port)
{
    writeHeader(out, touTypeSyn, 0, sessionId);
    out[12] = out[13] = 0;
    putBe16(out + 14, port);
    in_addr_t addr = inet_addr(host ? host : "");
    std::memcpy(out + 16, &addr, 4); // already in network order
    return kSynSize;
}

int TouMessage::writeAck(uint8_t* out, uint32_t sessionId, int status)
{
    writeHeader(out, touTypeAck, 0, sessionId);
    std::memcpy(out + 12, ackText(status), 4);
    return kAckSize;
}

int TouMessage::writeChannelId(uint8_t* out, int type, uint32_t channelId)
{
    writeHeader(out, type, 0, 0);
    for (int i = 0; i < 4; ++i)
        out[12 + i] = uint8_t(channelId >> (8 * i));
    return kChannelIdSize;
}

int TouMessage::writeCommand(uint8_t* out, uint16_t option, uint32_t value)
{
    writeHeader(out, touTypeCommand, 0, 0);
    putBe16(out + 12, option);
    out[14] = out[15] = 0;
    putBe32(out + 16, value);
    return kCommandSize;
}

uint16_t TouMessage::getLength(const uint8_t* data) { return uint16_t(data[2] << 8 | data[3]); }

uint32_t TouMessage::getSessionId(const uint8_t* data) { return getBe32(data + 4); }

int TouMessage::expectedSize(const uint8_t* data)
{
    switch (getType(data)) {
    case touTypeData:
        return kHeaderSize + getLength(data);
    case touTypeSyn:
    case touTypeCommand:
        return kSynSize;
    case touTypeAck:
    case touTypePauseAck:
    case touTypeResume:
    case touTypeResumeAck:
        return kAckSize;
    case touTypeDataEx:
        return kHeaderSize + kDataExExtra + getLength(data);
    case touTypeKeepAlive:
    case touTypeClose:
    case touTypePause:
    case touTypeResumeSuccess:
        return kHeaderSize;
    default:
        return -1;
    }
}

int TouMessage::getAckStatus(const uint8_t* data)
{
    for (int i = 0; i < 3; ++i)
        if (std::memcmp(data + 12, kAckTexts[i], 4) == 0)
            return i;
    return touAckDisc;
}

uint32_t TouMessage::getChannelId(const uint8_t* data)
{
    return uint32_t(data[12]) | uint32_t(data[13]) << 8 | uint32_t(data[14]) << 16 | uint32_t(data[15]) << 24;
}

const char* TouMessage::ackText(int status) { return kAckTexts[(status >= 0 && status < 3) ? status : touAckDisc]; }

bool TouMessage::parse(const uint8_t* data, size_t size, TouFields& f)
{
    f = TouFields();
    if (!data || size < size_t(kHeaderSize))
        return false;
    int expected = expectedSize(data);
    if (expected < 0 || size != size_t(expected))
        return false;
    f.type = getType(data);
    f.length = getLength(data);
    f.sessionId = getSessionId(data);
    switch (f.type) {
    case touTypeData:
        f.payload = data + kHeaderSize;
        break;
    case touTypeDataEx:
        f.payload = data + kHeaderSize + kDataExExtra;
        break;
    case touTypeSyn: {
        f.port = uint16_t(data[14] << 8 | data[15]);
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, data + 16, text, sizeof text);
        f.host = text;
        break;
    }
    case touTypeAck:
        f.ackStatus = getAckStatus(data);
        break;
    case touTypeCommand:
        f.option = uint16_t(data[12] << 8 | data[13]);
        f.value = getBe32(data + 16);
        break;
    case touTypePauseAck:
    case touTypeResume:
    case touTypeResumeAck:
        f.channelId = getChannelId(data);
        break;
    default:
        break;
    }
    return true;
}

} // namespace Tou
} // namespace Orvan

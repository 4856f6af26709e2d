// Firmware image of the emulated devices: a 128-byte header, then the payload. The header is
// what both sides read: the configuration tool checks its first bytes before sending, the device
// checks the family, the sizes and the checksums as the image arrives.
//
//   0   2  "ZR"                     (the signature the tool's file check accepts)
//   2   2  format, 1 (little-endian)
//   4   4  header size, 128
//   8   4  payload size
//  12   4  CRC-32 of the payload
//  16  32  model family, NUL-padded ("IPC-VX": the model text before its first digit)
//  48  64  firmware version, NUL-padded
// 112  12  zero
// 124   4  CRC-32 of bytes 0..123
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace fwmake {

constexpr size_t kHeaderSize = 128;
constexpr uint16_t kFormat = 1;
constexpr size_t kFamilyOffset = 16, kFamilySize = 32;
constexpr size_t kVersionOffset = 48, kVersionSize = 64;
constexpr size_t kHeaderCrcOffset = 124;

// CRC-32 (IEEE), eight bytes at a time: the device checks whole images as they stream in.
inline uint32_t Crc32(uint32_t crc, const void* data, size_t n)
{
    static const struct Tables {
        uint32_t v[8][256];
        Tables()
        {
            for (uint32_t i = 0; i < 256; ++i) {
                uint32_t c = i;
                for (int k = 0; k < 8; ++k)
                    c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                v[0][i] = c;
            }
            for (uint32_t i = 0; i < 256; ++i)
                for (int t = 1; t < 8; ++t)
                    v[t][i] = (v[t - 1][i] >> 8) ^ v[0][v[t - 1][i] & 0xFF];
        }
    } tables;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    crc = ~crc;
    while (n >= 8) {
        const uint32_t lo = crc ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        crc = tables.v[7][lo & 0xFF] ^ tables.v[6][(lo >> 8) & 0xFF] ^ tables.v[5][(lo >> 16) & 0xFF] ^
              tables.v[4][lo >> 24] ^ tables.v[3][p[4]] ^ tables.v[2][p[5]] ^ tables.v[1][p[6]] ^ tables.v[0][p[7]];
        p += 8;
        n -= 8;
    }
    while (n--)
        crc = tables.v[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

inline uint32_t ReadLe32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

struct ImageHeader {
    uint32_t payloadSize = 0;
    uint32_t payloadCrc = 0;
    std::string family;
    std::string version;
};

enum class HeaderStatus {
    Valid,      // a header of this format with a good checksum
    Foreign,    // not this format (another signature, or too short to tell)
    Damaged     // this format's signature, but the header's checksum or fields are wrong
};

// Reads a header from the first n bytes of an image; never reads past n.
inline HeaderStatus ParseHeader(const void* data, size_t n, ImageHeader& out)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (n < 8 || p[0] != 'Z' || p[1] != 'R' || p[2] != (kFormat & 0xFF) || p[3] != (kFormat >> 8))
        return HeaderStatus::Foreign;
    if (n < kHeaderSize)
        return HeaderStatus::Damaged;
    if (ReadLe32(p + 4) != kHeaderSize || ReadLe32(p + kHeaderCrcOffset) != Crc32(0, p, kHeaderCrcOffset))
        return HeaderStatus::Damaged;
    auto text = [p](size_t at, size_t width) {
        const char* s = reinterpret_cast<const char*>(p + at);
        return std::string(s, strnlen(s, width));
    };
    out.payloadSize = ReadLe32(p + 8);
    out.payloadCrc = ReadLe32(p + 12);
    out.family = text(kFamilyOffset, kFamilySize);
    out.version = text(kVersionOffset, kVersionSize);
    if (out.family.empty() || out.version.empty())
        return HeaderStatus::Damaged;
    return HeaderStatus::Valid;
}

// The family a device model belongs to: its text before the first digit ("IPC-VX2431" -> "IPC-VX").
inline std::string FamilyOfModel(const std::string& model)
{
    size_t digit = model.find_first_of("0123456789");
    return model.substr(0, digit);
}

// How an image is to be damaged when it is written (for tests).
struct ImageOptions {
    std::string family;
    std::string version;
    uint64_t payloadSize = 0;
    uint32_t seed = 1;
    std::string magic;          // replaces bytes 0..1 when not empty (header checksum kept as it was)
    int64_t truncateTo = -1;    // cut the file to this many bytes
    bool corruptPayload = false; // flip one payload byte after the checksum was taken
};

// The header bytes for a payload of that size and checksum.
std::string MakeHeader(const std::string& family, const std::string& version, uint32_t payloadSize,
                       uint32_t payloadCrc);
// Writes an image file in pieces (any size up to 4 GiB - 1 of payload); false with err on failure.
bool WriteImage(const std::string& path, const ImageOptions& opt, std::string* err = nullptr);

} // namespace fwmake

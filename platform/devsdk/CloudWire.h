// Protocol between the device SDK and the cloud update service (see sim/cloudsvc/PROTOCOL.md):
// the device protocol's frames on a fresh TCP connection per request, no login. Shared by the
// SDK and the service stand-in; no Qt, no sockets.
#pragma once

#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "devsdk/DevSdkRecords.h"

namespace devsdk {
namespace cloud {

enum Op : uint16_t {
    kOpCheck = 70,     // update check
    kOpDownload = 71,  // one piece of a firmware file
};

constexpr uint32_t kMaxPiece = 1u << 20;          // bytes of one download piece
constexpr int64_t kMaxFileSize = int64_t(1) << 30; // bytes of one firmware file
constexpr size_t kMaxUrl = 1023;                   // bytes of an address text

// "[http://|https://]a.b.c.d[:port][/path]": a dotted IPv4 host, port 1-65535 (80 without one,
// 443 for https), the path from its "/" on ("/" when none). Only the first maxLen bytes of text
// are read.
struct Address {
    std::string host;
    int port = 0;
    std::string path;
};
bool ParseUrl(const char* text, size_t maxLen, Address& out);

// Body of a check request from the SDK's record; texts are read inside their fields only.
Json::Value CheckRequestBody(const NET_IN_CLOUD_UPGRADER_CHECK& in);
// The request's members as the service reads them, each cut to its record field's width - 1.
struct CheckQuery {
    int vendor = 0, standard = 0;
    int build[6] = {};
    std::string deviceClass, sn, language, serialNo, version, tag1, tag2, account, token;
};
bool ParseCheckRequest(const Json::Value& body, CheckQuery& q);

// Fills the answer record from a check reply (error 0); false when the reply is not one.
bool FillCheckAnswer(const Json::Value& reply, NET_OUT_CLOUD_UPGRADER_CHECK& out);

// A download piece reply: total file size, the piece at the requested offset as the binary tail,
// or a state the SDK is to report instead (scripted by the service for tests; 0 = none).
struct PieceReply {
    int64_t total = 0;
    int state = 0;
};
// False when the reply contradicts itself (sizes out of range, a piece past the end, ...).
bool ParsePieceReply(const Json::Value& reply, size_t binSize, int64_t offset, PieceReply& out);

} // namespace cloud
} // namespace devsdk

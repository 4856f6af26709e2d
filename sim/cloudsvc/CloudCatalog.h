// What the cloud update service stand-in knows and how it answers: a catalog of firmware by
// serial number, software version and device class, the account and token check, and the
// firmware images it serves (made in memory in the emulated devices' image format, so that the
// devices accept them). Request handling is pure: one request frame in, one reply out.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "devsdk/Wire.h"

namespace cloudsvc {

constexpr size_t kMaxEntries = 100000;          // catalog entries
constexpr uint32_t kMaxPayload = 64u << 20;     // payload bytes of one image

// One catalog entry. Empty match fields match anything; the first matching entry answers.
struct Entry {
    std::string serialNo;      // equal, ASCII case ignored
    std::string deviceClass;   // equal, ASCII case ignored
    std::string version;       // prefix of the device's software version
    std::string family;        // model family written into the image ("IPC-VX")
    std::string newVersion;    // the version on offer
    std::string desc;
    uint32_t payloadSize = 256 * 1024;
};

// Scripted faults for tests.
struct Faults {
    bool hangChecks = false;       // checks get no answer
    uint32_t checkError = 0;       // checks answered with this error
    int64_t dropDownloadAt = -1;   // pieces from this offset get no answer: the connection closes
    int downloadState = 0;         // pieces from downloadStateAt on are answered with this state
    int64_t downloadStateAt = 0;
    int pieceDelayMs = 0;          // each download piece is answered this much later
};

struct Options {
    std::string host = "127.0.0.1";
    int port = 0;                  // 0: any free port
    bool checkAccount = true;
    std::vector<Entry> entries;
    Faults faults;
};

// Account text and token the service expects for a serial number.
std::string AccountText(const std::string& serialNo);
std::string TokenFor(const std::string& serialNo);
// The version with its last number raised by one ("2.800.0.16.R" -> "2.800.0.17.R").
std::string NextVersion(const std::string& version);

// Options from the service's JSON file text; false with a reason.
bool ParseOptions(const std::string& text, Options& out, std::string& error);
// One entry per device of an emulated fleet's file (serial number, model family, next version).
bool EntriesFromFleet(const std::string& fleetText, std::vector<Entry>& out, std::string& error);

enum class Outcome { Reply, NoAnswer, Close };

class Catalog {
public:
    explicit Catalog(Options options);
    // The address the download URLs start with ("http://127.0.0.1:8080").
    void SetBaseUrl(const std::string& base);
    void SetFaults(const Faults& f);
    Faults GetFaults() const;

    // Answers one request frame: the reply frame's bytes when Outcome::Reply.
    Outcome Handle(const devsdk::wire::Frame& request, std::string& replyBytes);

    uint64_t Checks() const;
    uint64_t Pieces() const;
    // The URL path of an entry's firmware ("/firmware/IPC-VX_2.800.0.17.R.bin").
    static std::string FirmwarePath(const Entry& e);

private:
    const Entry* Match(const std::string& serialNo, const std::string& deviceClass, const std::string& version) const;
    Json::Value Check(const Json::Value& body, uint32_t& error);
    // The image of a firmware path, made on first use; null when none.
    const std::string* Image(const std::string& path);

    mutable std::mutex mu_;
    Options opt_;
    std::string base_;
    std::map<std::string, size_t> byPath_;     // firmware path -> entry
    std::map<std::string, std::string> images_;
    uint64_t checks_ = 0, pieces_ = 0;
};

} // namespace cloudsvc

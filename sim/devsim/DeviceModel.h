// One emulated device: its state and its answers to requests. No sockets here: the fleet
// carries frames to and from it and carries out the actions it asks for.
#pragma once

#include "devsdk/Wire.h"
#include "devsim/DeviceFirmware.h"

#include <json/json.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace devsim {

struct User {
    std::string name;
    std::string password;
    int group = 1;           // 1 admin, 2 user
    bool single = false;     // one session at a time
    int failures = 0;
    int64_t lockedUntilMs = 0;
};

// A network card of a device besides the one it answers on (see DeviceNetwork.cpp).
struct NetInterface {
    std::string name;
    std::string ip;
    std::string mask = "255.255.255.0";
    std::string gateway;
    bool dhcp = false;
};

struct DeviceState {
    // identity
    std::string type = "IPC";
    std::string detail = "IPC-VX1230";
    std::string model = "IPC-VX1230";
    std::string name = "IPC";
    std::string serial;
    std::string mac;
    std::string vendor;
    int manufacturer = 0;
    std::string version = "2.800.0000000.16.R";
    uint32_t buildDate = (2021u << 16) | (3u << 8) | 12u;
    std::string hardware = "1.00";
    int videoStandard = 0;   // 0 PAL, 1 NTSC
    int channels = 1;
    int alarmIn = 0;
    int alarmOut = 0;
    int typeFlag = 0;
    int streamCap = 6;       // 2 Alarm | 4 Motion
    int encodeProtocol = 1;
    // network
    std::string ip;
    std::string mask = "255.0.0.0";
    std::string gateway = "127.0.0.1";
    bool dhcp = false;
    int port = 37777;
    int webPort = 80;
    // the card the device answers on, its place in the interface table, and the other cards
    std::string serviceNic = "eth0";
    int serviceNicIndex = 0;
    std::vector<NetInterface> otherNics;
    // accounts and initialisation
    std::vector<User> users;
    int initState = 2;       // 1 not initialised, 2 initialised
    int resetWay = 1;        // bit 0: mobile number
    int pnOffer = 0;         // bit 1: accepts P/N at initialisation
    std::string reservedPhone;
    std::string reservedMail;
    int maxSessions = 32;
    int maxFailures = 5;
    int lockSeconds = 300;
    std::set<std::string> blacklist;
    bool busy = false;
    // clock
    int64_t clockOffsetSec = 0;
    // configuration written to the device, by name, over the defaults: global names hold an
    // object, per-channel names an array (null for channels never written)
    Json::Value tables;
    // scripted faults: ops never answered, ops answered with an error
    std::set<int> hangOps;
    std::map<int, uint32_t> failOps;
    int rebootMs = -1;       // -1: the fleet's default
    // firmware: 0 accepts, 1 refuses the start, 2 fails after the transfer
    int upgradeRefuse = 0;
    int installMs = 1000;    // time the device spends installing after the transfer
    int64_t upgradeDropAt = -1; // drop every session once this many image bytes arrived (once)
    std::vector<int> cameraStates; // per channel (2 = configurable); empty: all 2
    // password reset: the code valid for the last description (empty: none issued yet),
    // a code to issue instead of a generated one, and authorisation codes (at most three)
    std::string securityCode;
    std::string fixedSecurityCode;
    std::vector<std::string> authCodes;
    int64_t securityCodeIssuedUtc = 0; // device clock (UTC) when the code was issued
    int codeValidSec = 259200;         // a security code is valid this long after its issue
    std::string lastRestore;           // how the last restore was asked for: "control" / "reset"
    int focusPeakBase = 200;
    // what the cloud check of the device sends
    int vendorCode = 1;
    std::string language = "English";
    std::string tag1 = "General";
    std::string tag2;
    // typed records written to the device, by "command:channel:profile", raw bytes
    std::map<std::string, std::string> records;
    // scripted faults: typed record writes refused, by "command:channel", and configuration
    // sets of a per-channel name answered with result false, by "name:channel"
    std::set<std::string> failRecordWrites;
};

// Per-connection state the model keeps between requests.
struct SessionCtx {
    bool loggedIn = false;
    std::string user;
    std::string peerIp;
    uint32_t sessionId = 0;
};

// What the fleet must do after sending a reply.
enum class Action { None, Close, Reboot, Move, Restore, Install, Play, StopPlay };

struct Reply {
    bool send = true;        // false: never answer (scripted hang)
    int arg = 0;             // Play / StopPlay: play id; Play: channel in arg2
    int arg2 = 0;
    Json::Value body{Json::objectValue};
    std::string bin;
    Action action = Action::None;
};

class DeviceModel {
public:
    DeviceModel();
    explicit DeviceModel(DeviceState state);

    DeviceState& State() { return s_; }
    const DeviceState& State() const { return s_; }

    // Fills unset identity fields and the default configuration tables.
    void Complete();

    // The discovery answer.
    Json::Value DiscoveryInfo() const;
    // Handles one request of a TCP session. nowMs is a monotonic clock.
    Reply Handle(const devsdk::wire::Frame& req, SessionCtx& ctx, int64_t nowMs);

    // Session bookkeeping (the fleet calls these when a session ends).
    void SessionClosed(const SessionCtx& ctx);
    int LiveSessions() const { return liveSessions_; }

    // The address the device moves to after an Action::Move.
    const std::string& PendingAddress() const { return pendingIp_; }
    void CommitMove() { s_.ip = pendingIp_; }
    // Back to defaults (users and network kept).
    void RestoreDefaults();
    // One block of a live stream of a channel (see PROTOCOL.md).
    std::string StreamBlock(int channel, uint32_t frame, int64_t nowMs) const;
    // After the transfer: whether the image is accepted; then the new firmware.
    bool UpgradeAccepted() const;
    void CommitUpgrade();

    static Json::Value ToJson(const DeviceState& s);
    static DeviceState FromJson(const Json::Value& v);
    static Json::Value DefaultTables(const DeviceState& s);
    static bool IsPerChannel(const std::string& name);
    static bool HasTable(const std::string& name);
    // Size of a typed record by command number (0: unknown); default bytes of one.
    static size_t RecordSize(int command);
    std::string DefaultRecord(int command, int channel, int profile) const;
    // The current table of a name: defaults with what was written over them.
    Json::Value Table(const std::string& name) const;
    // The device clock (DeviceClock.cpp): UTC and the wall time of its zone and summer time.
    int64_t UtcNow() const;
    int64_t WallNow() const;
    void SetWallTime(int64_t wall);
    // Whether the security code of the last description is issued and still valid.
    bool SecurityCodeValid() const;

private:
    Reply Login(const Json::Value& req, SessionCtx& ctx, int64_t nowMs);
    Reply QueryDevState(const Json::Value& req);
    Reply GetDevConfig(const Json::Value& req);
    Reply SetDevConfig(const Json::Value& req);
    Reply GetNewConfig(const Json::Value& req);
    Reply SetNewConfig(const Json::Value& req);
    Reply ModifyNet(const Json::Value& req);
    Reply InitAccount(const Json::Value& req);
    Reply InitOptions(const Json::Value& req);
    Reply UserList();
    Reply UserPassword(const Json::Value& req, const SessionCtx& ctx);
    Reply GetRecord(const Json::Value& req);
    Reply SetRecord(const Json::Value& req, const std::string& bin);
    Reply Transmit(const Json::Value& req);
    Reply Caps(const Json::Value& req);
    Reply UpgradeStart(const Json::Value& req);
    Reply ResetDescription(const Json::Value& req);
    Reply RestoreRequest(const Json::Value& req); // DeviceRestore.cpp
    Reply CheckSecurityCode(const Json::Value& req);
    Reply ResetPassword(const Json::Value& req);
    Reply StartPlay(const Json::Value& req);
    Reply UpgradeData(const Json::Value& req, const std::string& bin);
    User* FindUser(const std::string& name);
    bool CheckCredentials(const Json::Value& req) const;
    Json::Value NetworkTable() const;
    Reply SetNetwork(const Json::Value& table);

    DeviceState s_;
    int liveSessions_ = 0;
    std::map<std::string, int> userSessions_;
    uint32_t nextSession_ = 1;
    std::string pendingIp_;
    static constexpr int64_t kUpgradeDropped = -2;
    int64_t upgradeSize_ = -1; // -1: no transfer open; kUpgradeDropped: dropped, answers nothing
    int64_t upgradeGot_ = 0;
    std::string upgradeHead_;  // first bytes of the image
    FirmwareReceiver firmware_;
    uint32_t descriptions_ = 0;
};

// Network cards, the reset contact and the cloud options in a fleet-file entry (DeviceNetwork.cpp).
void NetworkToJson(const DeviceState& s, Json::Value& v);
void NetworkFromJson(const Json::Value& v, DeviceState& s);
// Gives a device a second card, listed before the one it answers on.
void AddSecondNic(DeviceState& s, size_t index);

// Error reply helper.
Reply ErrorReply(uint32_t code);
bool IsLoopbackIPv4(const std::string& ip);

} // namespace devsim

#include "LinkThrough/P2PMessageParser.h"

#include "P2PSDK/Print.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Orvan {
namespace Tou {

using NATTraver::CandidateAddr;

namespace {

// Decimal digits at the start of text (after blanks), 0 when none; bounded to the port range.
int readPort(const char* text)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    long value = 0;
    bool any = false;
    while (std::isdigit(static_cast<unsigned char>(*text))) {
        value = value * 10 + (*text - '0');
        if (value > 65535)
            return 0;
        any = true;
        ++text;
    }
    return any ? int(value) : 0;
}

std::string hostPort(const std::string& host, int port)
{
    return host + ":" + std::to_string(port);
}

} // namespace

bool CP2PMessageParser::string2Addr(const std::string& text, CandidateAddr& record, int max)
{
    if (text.empty()) {
        TOU_PRINT(printLevelError, "val is empty!\n");
        return false;
    }
    size_t colon = text.find(':');
    if (colon == std::string::npos) {
        TOU_PRINT(printLevelError, "wrong message: %s!\n", text.c_str());
        return false;
    }
    const int port = readPort(text.c_str() + colon + 1);
    if (record.count < 0 || record.count > CandidateAddr::kMaxAddresses)
        record.count = CandidateAddr::kMaxAddresses; // never index past the list
    int added = 0;
    size_t start = 0;
    while (start <= colon) {
        if (added >= max || record.count >= CandidateAddr::kMaxAddresses)
            return true;
        size_t end = text.find(',', start);
        if (end == std::string::npos || end > colon)
            end = colon;
        size_t length = end - start;
        // A piece that would fill the whole text field leaves no room for its terminator: refused.
        if (length > kMaxAddressText) {
            TOU_PRINT(printLevelError, "addr len is out of range\n");
            return false;
        }
        NATTraver::CandidateEntry& entry = record.addresses[record.count];
        std::memcpy(entry.ip, text.data() + start, length);
        entry.ip[length] = '\0';
        entry.port = port;
        TOU_PRINT(printLevelTrace, "addr[%d],%s:%d\n", record.count, entry.ip, port);
        ++record.count;
        ++added;
        start = end + 1;
    }
    return true;
}

bool CP2PMessageParser::parseCandidate(const FieldMap& fields, CandidateAddr& record)
{
    std::memset(&record, 0, sizeof(record));
    auto it = fields.find("LocalAddr");
    if (it != fields.end() && !string2Addr(it->second, record, 12))
        return false;
    it = fields.find("PortMapAddr");
    if (it != fields.end() && !string2Addr(it->second, record, 2))
        return false;
    it = fields.find("PubAddr");
    if (!string2Addr(it != fields.end() ? it->second : std::string(), record, 2))
        return false;
    it = fields.find("Identify");
    if (it != fields.end())
        textToIdentify(it->second, record.peerIdentify);
    return true;
}

std::string CP2PMessageParser::identifyToText(const uint8_t identify[8])
{
    std::string text;
    char piece[8];
    for (int i = 0; i < 8; ++i) {
        std::snprintf(piece, sizeof(piece), i ? " %x" : "%x", unsigned(identify[i]));
        text += piece;
    }
    return text;
}

int CP2PMessageParser::textToIdentify(const std::string& text, uint8_t identify[8])
{
    const char* p = text.c_str();
    int n = 0;
    while (n < 8) {
        while (std::isspace(static_cast<unsigned char>(*p)))
            ++p;
        if (!std::isxdigit(static_cast<unsigned char>(*p)))
            break;
        unsigned long value = 0;
        while (std::isxdigit(static_cast<unsigned char>(*p))) {
            int digit = std::isdigit(static_cast<unsigned char>(*p)) ? *p - '0'
                                                                      : std::tolower(static_cast<unsigned char>(*p)) - 'a' + 10;
            value = ((value << 4) | unsigned(digit)) & 0xFFFFFFFFul; // only the low byte is kept
            ++p;
        }
        identify[n++] = uint8_t(value & 0xFF);
    }
    return n;
}

bool CP2PMessageParser::packCandidate(const CandidateAddr& record, const std::set<std::string>& localIps,
                                      FieldMap& fields, int max)
{
    fields["Identify"] = identifyToText(record.localIdentify);
    std::string list;
    int n = 0;
    for (const std::string& ip : localIps) {
        if (n >= max)
            break;
        if (n++)
            list += ",";
        list += ip;
    }
    fields["LocalAddr"] = list + ":" + std::to_string(record.addresses[0].port);
    if (record.count > 1)
        fields["PubAddr"] = hostPort(record.addresses[1].ip, record.addresses[1].port);
    return true;
}

bool CP2PMessageParser::packIdentifyAndPubAddr(const CandidateAddr& record, const std::string& host, int port,
                                               FieldMap& fields)
{
    fields["Identify"] = identifyToText(record.localIdentify);
    fields["PubAddr"] = hostPort(host, port);
    return true;
}

bool CP2PMessageParser::packAgentAddr(const std::string& host, int port, FieldMap& fields)
{
    fields["agentAddr"] = hostPort(host, port);
    return true;
}

bool CP2PMessageParser::packCandidateAndPortMap(const CandidateAddr& record, const std::set<std::string>& localIps,
                                                FieldMap& fields, const std::string& host, int port)
{
    packCandidate(record, localIps, fields, 12);
    fields["PortMapAddr"] = hostPort(host, port);
    return true;
}

void CP2PMessageParser::parseAgentAddr(const std::string& text, RelayAgentInfo& info)
{
    size_t colon = text.find(':');
    if (colon == std::string::npos)
        return;
    info.host = text.substr(0, colon);
    info.port = readPort(text.c_str() + colon + 1);
}

void CP2PMessageParser::parseToken(const std::string& text, RelayAgentInfo& info)
{
    info.token = text;
}

} // namespace Tou
} // namespace Orvan

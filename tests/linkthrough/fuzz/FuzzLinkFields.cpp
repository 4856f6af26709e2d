// Fuzz target: a device or server answer as the link-through reads it, and its candidate, relay agent
// and identifier fields.
#include "LinkThrough/P2PMessageParser.h"
#include "P2PSDK/HttpMessage.h"

#include <cstring>
#include <string>

using namespace Orvan::Tou;
using Orvan::NATTraver::CandidateAddr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 8191)
        return 0; // one datagram at most
    std::string datagram(reinterpret_cast<const char*>(data), size);
    CP2PMessageParser parser;

    // The raw text as one field value too: address lists and identifiers of any shape.
    CandidateAddr record;
    std::memset(&record, 0, sizeof(record));
    for (int max : {1, 2, 12, 16}) {
        parser.string2Addr(datagram.c_str(), record, max);
        if (record.count < 0 || record.count > CandidateAddr::kMaxAddresses)
            __builtin_trap();
    }
    for (int i = 0; i < record.count; ++i)
        if (!std::memchr(record.addresses[i].ip, 0, sizeof(record.addresses[i].ip)))
            __builtin_trap(); // every address text is terminated
    uint8_t identify[8];
    if (CP2PMessageParser::textToIdentify(datagram.c_str(), identify) > 8)
        __builtin_trap();

    HttpMessage msg;
    if (parseHttpMessage(&msg, datagram.c_str(), int(size)) < 0 || msg.kind != kHttpResponse)
        return 0;
    FieldMap fields;
    if (msg.contentLength > 0)
        parseXmlBody(std::string(msg.body, size_t(msg.contentLength)).c_str(), fields);
    if (parser.parseCandidate(fields, record) && (record.count < 1 || record.count > CandidateAddr::kMaxAddresses))
        __builtin_trap();
    RelayAgentInfo agent;
    parser.parseAgentAddr(fields["Agent"], agent);
    parser.parseAgentAddr(fields["Address"], agent);
    parser.parseToken(fields["Token"], agent);
    if (agent.port < 0 || agent.port > 65535)
        __builtin_trap();
    FieldMap out;
    parser.packCandidate(record, {"1.2.3.4"}, out, 12);
    return 0;
}

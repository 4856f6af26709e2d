#ifndef ORVAN_TOU_P2PMESSAGEPARSER_H
#define ORVAN_TOU_P2PMESSAGEPARSER_H

#include "LinkThrough/LinkThroughInfo.h"
#include "P2PSDK/HttpMessage.h"
#include "nattraver/iceagent/IceAgent.h"

#include <set>
#include <string>

namespace Orvan {
namespace Tou {

// Converts between the text fields of P2P server messages and candidate and relay agent records.
// Stateless and reentrant.
class CP2PMessageParser
{
public:
    enum
    {
        kMaxAddressText = 127 // longer address pieces are refused
    };

    // Appends "a,b,c:port" to the record's address list, at most max entries by this call.
    bool string2Addr(const std::string& text, NATTraver::CandidateAddr& record, int max);
    // Local, port-mapped and public addresses and the peer's identifier of a message.
    bool parseCandidate(const FieldMap& fields, NATTraver::CandidateAddr& record);
    bool packCandidate(const NATTraver::CandidateAddr& record, const std::set<std::string>& localIps,
                       FieldMap& fields, int max);
    bool packIdentifyAndPubAddr(const NATTraver::CandidateAddr& record, const std::string& host, int port,
                                FieldMap& fields);
    bool packAgentAddr(const std::string& host, int port, FieldMap& fields);
    bool packCandidateAndPortMap(const NATTraver::CandidateAddr& record, const std::set<std::string>& localIps,
                                 FieldMap& fields, const std::string& host, int port);
    void parseAgentAddr(const std::string& text, RelayAgentInfo& info);
    void parseToken(const std::string& text, RelayAgentInfo& info);

    // "0 1a ff 7 0 0 1 10"
    static std::string identifyToText(const uint8_t identify[8]);
    // Up to eight numbers; stops at the first text that is not one. Returns the numbers read.
    static int textToIdentify(const std::string& text, uint8_t identify[8]);
};

} // namespace Tou
} // namespace Orvan

#endif

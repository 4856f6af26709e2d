// Readers of what reaches the device side from outside: LAN datagrams, requests forwarded by the
// dispatch server and the fields of channel requests. Stateless; every input is one datagram at most.
#ifndef ORVAN_TOU_DEVICEMESSAGES_H
#define ORVAN_TOU_DEVICEMESSAGES_H

#include "P2PSDK/HttpMessage.h"
#include "P2PSDK/P2PClient.h"

#include <string>

namespace Orvan {
namespace Tou {

enum LanRequest
{
    lanIgnored = 0,
    lanInfoProbe = 1,   // "ZRGET /info/device/<id> HTTP/1.1"
    lanLocalChannel = 2 // ".../device/<id>/local-channel ..."
};

// What a NUL-terminated LAN datagram asks of the device `deviceId`.
LanRequest classifyLanDatagram(const char* text, const std::string& deviceId);
// CSeq, device id and operation from the url ("/device/<id>/<operation>"), fields from the body; false when
// the url has fewer than three elements.
bool readForwardedRequest(const HttpMessage& msg, P2PRequest& request);
// "ClientIP" and "ClientPort" of a local-channel request: a dotted IPv4 address and a port 1..65535.
bool readClientAddress(const FieldMap& fields, std::string& ip, int& port);
// "1".."65535" only.
bool parsePortText(const std::string& text, int& port);
// Field "Type": "audio" 1, "video" 2, anything else 0.
int mediaTypeOf(const FieldMap& fields);
// Field "NatValueT" in decimal; the unknown marker when missing or not a number.
int valueTOf(const FieldMap& fields);

} // namespace Tou
} // namespace Orvan

#endif

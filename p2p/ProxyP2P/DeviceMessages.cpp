#include "ProxyP2P/DeviceMessages.h"

#include "nattraver/iceagent/IceAgent.h"

#include <arpa/inet.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace Orvan {
namespace Tou {

namespace {

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool isDigits(const std::string& text, size_t maxLength)
{
    return !text.empty() && text.size() <= maxLength && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

LanRequest classifyLanDatagram(const char* text, const std::string& deviceId)
{
    std::vector<std::string> parts;
    if (!text || deviceId.empty() || splitString(text, '/', parts) < 3)
        return lanIgnored;
    // The id must end its path element: a probe for "AB1" is not one for "AB".
    const std::string& third = parts[2];
    const bool idEnds = startsWith(third, deviceId) &&
                        (third.size() == deviceId.size() || std::strchr(" \r\n", third[deviceId.size()]));
    if (startsWith(parts[0], "info") && startsWith(parts[1], "device") && idEnds)
        return lanInfoProbe;
    if (startsWith(parts[0], "device") && parts[1] == deviceId && startsWith(third, "local-channel"))
        return lanLocalChannel;
    return lanIgnored;
}

bool readForwardedRequest(const HttpMessage& msg, P2PRequest& request)
{
    std::vector<std::string> parts;
    if (splitString(msg.url, '/', parts) < 3)
        return false;
    request.cseq = msg.CSeq;
    request.deviceId = parts[1];
    request.path = parts[2];
    request.fields.clear();
    if (msg.contentLength > 0 && msg.body)
        parseXmlBody(std::string(msg.body, size_t(msg.contentLength)).c_str(), request.fields);
    return true;
}

bool parsePortText(const std::string& text, int& port)
{
    if (!isDigits(text, 5))
        return false;
    port = std::atoi(text.c_str());
    return port > 0 && port <= 65535;
}

bool readClientAddress(const FieldMap& fields, std::string& ip, int& port)
{
    auto ipField = fields.find("ClientIP");
    auto portField = fields.find("ClientPort");
    in_addr addr;
    if (ipField == fields.end() || portField == fields.end() ||
        inet_pton(AF_INET, ipField->second.c_str(), &addr) != 1 || !parsePortText(portField->second, port))
        return false;
    ip = ipField->second;
    return true;
}

int mediaTypeOf(const FieldMap& fields)
{
    auto type = fields.find("Type");
    if (type == fields.end())
        return 0;
    if (type->second == "audio")
        return 1;
    if (type->second == "video")
        return 2;
    return 0;
}

int valueTOf(const FieldMap& fields)
{
    auto it = fields.find("NatValueT");
    if (it == fields.end() || !isDigits(it->second, 10))
        return int(NATTraver::kValueTUnknown);
    return int(std::strtoll(it->second.c_str(), nullptr, 10) & 0x7FFFFFFF);
}

} // namespace Tou
} // namespace Orvan

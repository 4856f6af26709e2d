// Fuzz target: one datagram as the device side reads it, on the LAN socket and from the dispatch
// server, and the fields of the request it carries.
#include "ProxyP2P/DeviceMessages.h"

#include <string>

using namespace Orvan::Tou;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size >= size_t(kHttpBufferSize))
        return 0; // the device drops datagrams that do not fit its buffer
    std::string datagram(reinterpret_cast<const char*>(data), size);
    for (const char* id : {"DEV9", "D", "info"})
        if (classifyLanDatagram(datagram.c_str(), id) > lanLocalChannel)
            __builtin_trap();
    HttpMessage msg;
    if (parseHttpMessage(&msg, datagram.c_str(), int(size)) < 0)
        return 0;
    P2PRequest request;
    if (!readForwardedRequest(msg, request))
        return 0;
    std::string ip;
    int port = 0;
    if (readClientAddress(request.fields, ip, port) && (port <= 0 || port > 65535))
        __builtin_trap();
    int type = mediaTypeOf(request.fields);
    if (type < 0 || type > 2 || valueTOf(request.fields) < 0)
        __builtin_trap();
    return 0;
}

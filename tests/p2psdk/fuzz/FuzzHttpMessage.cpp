// Fuzz target: the P2P text message reader, the body reader, and writing back what was read.
#include "P2PSDK/HttpMessage.h"

#include <cstring>
#include <string>

using namespace Orvan::Tou;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 8191)
        return 0; // one datagram at most
    std::string datagram(reinterpret_cast<const char*>(data), size);
    HttpMessage msg;
    int n = parseHttpMessage(&msg, datagram.c_str(), int(size));
    if (n < 0)
        return 0;
    std::string body(msg.body, size_t(msg.contentLength));
    FieldMap fields;
    parseXmlBody(body.c_str(), fields);
    char out[kHttpBufferSize];
    int written = serializeHttpMessage(&msg, out, sizeof(out));
    if (written > 0) {
        HttpMessage again;
        if (parseHttpMessage(&again, out, written) < 0 && !std::strpbrk(msg.url, " "))
            __builtin_trap(); // what was written must read back
    }
    if (msg.wsse)
        verifyWsseDigest(msg, "key", 300);
    return 0;
}

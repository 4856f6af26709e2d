// Fuzz target: the STUN reader and every getter of a parsed message.
#include "nattraver/stunpro/StunMsg.h"

#include <vector>

using namespace Orvan::NATTraver;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 2048)
        return 0;
    std::vector<uint8_t> buf(data, data + size); // exact size: reads past it are caught
    CStunMSG msg;
    if (msg.parse(buf.data(), int(buf.size())) != 0)
        return 0;
    uint8_t id[12], tie[8];
    msg.getMessageId(id);
    msg.getMethod();
    msg.isErrorResponse();
    msg.getErrorCode();
    msg.printErrorInfo();
    char nonce[2048];
    int n = 0;
    msg.getNonce(nonce, n);
    StunPeer peer;
    msg.getTurnPeer(peer);
    msg.getRelayedAddress(peer);
    uint32_t conn;
    msg.getConnId(conn);
    Address a;
    msg.getMappedAddress(a);
    msg.getXorMappedAddress(a);
    msg.getSourceAddress(a);
    msg.getIceControlled(tie);
    msg.getIceControlling(tie);
    return 0;
}

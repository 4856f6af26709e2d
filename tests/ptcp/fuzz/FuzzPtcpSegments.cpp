// Feeds datagrams to a PTCP engine that has just opened: each input is a list of datagrams, each
// prefixed by a 16-bit length. The engine's answers go nowhere; its clock advances 10 ms a datagram.
#include "Infra3/PrintLog.h"
#include "PTCP/ByteBuffer.h"
#include "PTCP/PhonyTcp.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace Orvan::Tou;

namespace {

struct Sink : IPhonyTcpNotify {
    void OnTcpOpen(CPhonyTcp*) override {}
    void OnTcpReadable(CPhonyTcp* t) override
    {
        Orvan::Memory::CPacket p;
        while (t->recv(p, false) > 0) {
        }
    }
    void OnTcpWriteable(CPhonyTcp*) override {}
    void OnTcpClosed(CPhonyTcp*, int) override {}
    int TcpWritePacket(CPhonyTcp*, const PtcpIovec* pieces, int count) override
    {
        size_t n = 0;
        for (int i = 0; i < count; ++i)
            n += pieces[i].len;
        return n > 0 ? 0 : 2;
    }
};

std::vector<uint8_t> Segment(uint32_t seq, uint32_t ack, uint8_t flags, const char* payload, size_t len)
{
    std::vector<uint8_t> d(24 + len);
    setBE32(d.data(), CPhonyTcp::kConv);
    setBE32(d.data() + 4, seq);
    setBE32(d.data() + 8, ack);
    d[13] = flags;
    setBE16(d.data() + 14, 65535);
    std::memcpy(d.data() + 24, payload, len);
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static uint64_t now = 1000;
    static bool quiet = (Orvan::Infra::setPrintLevel(0), true);
    (void)quiet;
    Sink sink;
    CPhonyTcp tcp(&sink);
    tcp.setClock([] { return now; });
    // passive open: the peer's connect, then an acknowledgement of ours
    std::vector<uint8_t> syn = Segment(0, 0, 0x02, "\x00\x03\x01\x00", 4);
    tcp.notifyPacket(syn.data(), uint32_t(syn.size()));
    std::vector<uint8_t> ack = Segment(4, 4, 0, "", 0);
    tcp.notifyPacket(ack.data(), uint32_t(ack.size()));

    size_t pos = 0;
    while (pos + 2 <= size) {
        size_t len = (size_t(data[pos]) << 8) | data[pos + 1];
        pos += 2;
        len = len < size - pos ? len : size - pos;
        // an exact-size copy, so a read past the datagram is caught
        std::vector<uint8_t> dgram(data + pos, data + pos + len);
        tcp.notifyPacket(dgram.data(), uint32_t(dgram.size()));
        pos += len;
        now += 10;
        int32_t delay = 0;
        if (tcp.clock_check(uint32_t(now), &delay))
            tcp.notifyClock(uint32_t(now));
    }
    return 0;
}

// Two PTCP engines back to back over an in-memory link with a fake clock: datagrams are delayed,
// dropped, duplicated and reordered by a seeded generator, so a failing run repeats exactly.
#pragma once

#include "PTCP/ByteBuffer.h"
#include "PTCP/PhonyTcp.h"

#include <cstring>
#include <functional>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace ptcptest {

using Orvan::Memory::CPacket;
using Orvan::Tou::CPhonyTcp;
using Orvan::Tou::PtcpIovec;
using Orvan::Tou::getBE32;
using Orvan::Tou::setBE16;
using Orvan::Tou::setBE32;

struct LinkProfile {
    double loss = 0;
    double duplicate = 0;
    double reorder = 0;     // chance a datagram is held back by an extra delay
    uint32_t delayMs = 5;
    uint32_t reorderMs = 20;
};

class Link;

struct End : Orvan::Tou::IPhonyTcpNotify {
    Link* link = nullptr;
    int side = 0;
    std::unique_ptr<CPhonyTcp> tcp;
    bool open = false;
    int closedError = -1;
    int writeable = 0;
    bool readOnEvent = true;
    std::string received;        // concatenated packets
    std::vector<size_t> sizes;   // sizes of the received packets
    std::vector<std::string> sent; // every datagram written, for byte checks
    std::vector<uint64_t> sentAt;
    bool record = true;

    void OnTcpOpen(CPhonyTcp*) override { open = true; }
    void OnTcpReadable(CPhonyTcp*) override;
    void OnTcpWriteable(CPhonyTcp*) override { ++writeable; }
    void OnTcpClosed(CPhonyTcp*, int error) override { closedError = error; }
    int TcpWritePacket(CPhonyTcp*, const PtcpIovec* pieces, int count) override;
    void Drain();
};

class Link {
public:
    explicit Link(LinkProfile profile = {}, uint32_t seed = 1) : profile_(profile), rng_(seed)
    {
        for (int i = 0; i < 2; ++i) {
            end[i].link = this;
            end[i].side = i;
            end[i].tcp.reset(new CPhonyTcp(&end[i]));
            end[i].tcp->setClock([this] { return now; });
        }
    }

    // Active open from end 0; the link runs until both are open or the limit passes.
    bool Connect(uint32_t limitMs = 20000)
    {
        end[0].tcp->connect();
        return RunUntil([this] { return end[0].open && end[1].open; }, limitMs);
    }

    template <class Pred> bool RunUntil(Pred done, uint32_t limitMs)
    {
        uint64_t stop = now + limitMs;
        while (now < stop) {
            if (done())
                return true;
            Step();
        }
        return done();
    }

    // One millisecond: deliver what is due, tick the clocks every 10 ms.
    void Step()
    {
        ++now;
        for (int side = 0; side < 2; ++side) {
            auto& q = queue_[side];
            for (size_t i = 0; i < q.size();) {
                if (q[i].due <= now) {
                    std::string d = std::move(q[i].bytes);
                    q.erase(q.begin() + long(i));
                    end[side].tcp->notifyPacket(reinterpret_cast<const uint8_t*>(d.data()), uint32_t(d.size()));
                } else {
                    ++i;
                }
            }
        }
        if (now % 10 == 0) {
            for (auto& e : end) {
                int32_t delay = 0;
                if (e.tcp->clock_check(uint32_t(now), &delay))
                    e.tcp->notifyClock(uint32_t(now));
            }
        }
        if (onStep)
            onStep();
    }

    void Carry(int fromSide, std::string bytes)
    {
        if (blocked[fromSide])
            return;
        std::uniform_real_distribution<double> u(0, 1);
        if (u(rng_) < profile_.loss)
            return;
        int copies = u(rng_) < profile_.duplicate ? 2 : 1;
        for (int c = 0; c < copies; ++c) {
            uint64_t due = now + profile_.delayMs;
            if (u(rng_) < profile_.reorder)
                due += profile_.reorderMs;
            queue_[1 - fromSide].push_back({due, bytes});
        }
    }

    uint64_t now = 1000;
    End end[2];
    bool blocked[2] = {false, false};
    std::function<void()> onStep;

    struct InFlight {
        uint64_t due;
        std::string bytes;
    };
    using InFlightQueue = std::deque<InFlight>;
    // Datagrams on their way to a side.
    InFlightQueue& Queue(int toSide) { return queue_[toSide]; }

private:
    LinkProfile profile_;
    std::mt19937 rng_;
    std::deque<InFlight> queue_[2];
};

inline void End::OnTcpReadable(CPhonyTcp*)
{
    if (readOnEvent)
        Drain();
}

inline void End::Drain()
{
    CPacket p;
    while (tcp->recv(p, false) > 0) {
        received.append(reinterpret_cast<const char*>(p.getBuffer()), p.getSize());
        sizes.push_back(p.getSize());
    }
}

inline int End::TcpWritePacket(CPhonyTcp*, const PtcpIovec* pieces, int count)
{
    std::string d;
    for (int i = 0; i < count; ++i)
        d.append(reinterpret_cast<const char*>(pieces[i].data), pieces[i].len);
    if (record) {
        sent.push_back(d);
        sentAt.push_back(link->now);
    }
    link->Carry(side, d);
    return 0;
}

inline CPacket MakePacket(const std::string& bytes)
{
    CPacket p(bytes.size());
    std::memcpy(p.getBuffer(), bytes.data(), bytes.size());
    return p;
}

} // namespace ptcptest

#ifndef ORVAN_NATTRAVER_STUNCLIENT_H
#define ORVAN_NATTRAVER_STUNCLIENT_H

#include "Component/ComPtr.h"
#include "Component/Unknown.h"
#include "Infra3/Function.h"

#include <cstdint>

namespace Orvan {
namespace NATTraver {

struct StunResult
{
    char ip[128]; // "0.0.0.0" on failure
    int port;
    int fd;
};

// success, result, user data. In the asynchronous mode it runs on the client's own thread, which the
// handler must not release the client from.
using StunHandler = Infra::TFunction3<void, bool, const StunResult&, int>;

struct StunConfig
{
    StunConfig();

    int fd;           // the caller's UDP socket; never closed by the client
    char server[128]; // STUN server host or address
    int port;
    int async;     // 1: sendBindingRequest returns at once and the work runs on the client's thread
    int timeoutMs; // limit of one binding, at most 10000
    StunHandler handler;
    int userData;
    int invert; // 1: every datagram byte is complemented
};

// Learns the public address of the caller's socket. Made through the factory "StunClient"/"Local".
class IStunClient : public Component::IUnknown
{
public:
    virtual bool setConfig(const StunConfig& config);
    virtual bool sendBindingRequest();

    class IFactory : public Component::IFactoryUnknown
    {
    public:
        virtual IStunClient* create() = 0;
    };
};

// Registers the factory (once) and makes a client through it; empty on failure.
Component::TComPtr<IStunClient> createStunClient();

} // namespace NATTraver
} // namespace Orvan

#endif

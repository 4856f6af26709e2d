#ifndef ORVAN_NATTRAVER_ICEAGENT_H
#define ORVAN_NATTRAVER_ICEAGENT_H

#include "Component/ComPtr.h"
#include "Component/Unknown.h"
#include "Infra3/Function.h"

#include <cstdint>

namespace Orvan {
namespace NATTraver {

// Value T markers.
enum : int
{
    kValueTUnknown = 0xFFFFFFF,
    kValueTNoGuess = 0xFFFFFFE,
    kValueTOldFlow = 0xFFFFFFD
};

struct CandidateEntry
{
    char ip[128];
    int port;
};

// One side's NAT candidates; the ICE agent's configuration.
struct CandidateAddr
{
    enum
    {
        kMaxAddresses = 16
    };
    int fd;
    uint8_t localIdentify[8];
    uint8_t peerIdentify[8];
    int checkTimeoutMs;
    CandidateEntry addresses[kMaxAddresses]; // local ones first; the last in use is the public one
    int count;
    int localValueT;
    int remoteValueT;
};

struct ConnInfo
{
    int fd;
    char localIp[128];
    uint16_t localPort;
    char remoteIp[128];
    uint16_t remotePort;
};

// success, result (zero-filled on failure), user data. Runs on the agent's own thread, which the
// handler must not release the agent from.
using ConnInfoHandler = Infra::TFunction3<void, bool, const ConnInfo*, int>;

// Punches a UDP path to a peer. Made through the factory "ICEAgent"/"Local".
class IICEAgent : public Component::IUnknown
{
public:
    virtual bool setConfig(const CandidateAddr& config);
    virtual bool setConnInfoHandler(const ConnInfoHandler& handler, int userData);
    virtual bool startConnectCheck();
    virtual bool setInvertMode();

    // Random identifier bytes; false for a length below 8.
    static bool generateID(uint8_t* buffer, int length);

    class IFactory : public Component::IFactoryUnknown
    {
    public:
        virtual IICEAgent* create() = 0;
    };
};

Component::TComPtr<IICEAgent> createIceAgent();

void setIceDefaultRange(int range);
void setIceConeVsSymmRange(int range);
void setIceSymmVsSymmRange(int range);
int getIceDefaultRange();
int getIceConeVsSymmRange();
int getIceSymmVsSymmRange();
// Guessed sessions reserved by all agents of the process.
int iceReservedSessions();

} // namespace NATTraver
} // namespace Orvan

#endif

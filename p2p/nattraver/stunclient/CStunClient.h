#ifndef ORVAN_NATTRAVER_CSTUNCLIENT_H
#define ORVAN_NATTRAVER_CSTUNCLIENT_H

#include "Infra3/Mutex.h"
#include "nattraver/net/NATEventDriver.h"
#include "nattraver/stunclient/StunClient.h"
#include "nattraver/stunpro/SCLink.h"

#include <array>
#include <memory>
#include <vector>

namespace Orvan {
namespace NATTraver {

class CStunClient : public IStunClient
{
public:
    enum State
    {
        stateIdle = 0,
        stateConfigured = 1,
        stateBinding = 2,
        stateSendFailed = 3,
        stateTimedOut = 4,
        stateMapped = 5
    };

    class CFactory : public IStunClient::IFactory
    {
    public:
        CFactory() { registerSelf("StunClient"); }
        ~CFactory() override { unregisterSelf("StunClient"); }
        const char* getClassID() override { return "Local"; }
        IStunClient* create() override { return new CStunClient; }
    };
    static CFactory& factory();

    CStunClient();
    ~CStunClient() override;

    void destroy() override { delete this; }
    void getVersion(Infra::VersionInfo& info) override;
    bool setConfig(const StunConfig& config) override;
    bool sendBindingRequest() override;

    bool heartbeat(uint64_t now);
    int state();

private:
    void setState(int state);
    void sendRequest();
    void readResponses();
    bool acceptAnswer(const CStunMSG& msg, const Address& from);

    Infra::CMutex m_lock;
    int m_state;
    StunConfig m_config;
    SocketPtr m_socket;
    Address m_server;
    std::unique_ptr<CSCLink> m_link;
    StunResult m_result;
    uint64_t m_startTick;
    uint64_t m_lastRequestTick;
    std::vector<std::array<uint8_t, 12>> m_sentIds;
    CNATEventDriver m_driver;
};

} // namespace NATTraver
} // namespace Orvan

#endif

#ifndef ORVAN_COMPONENT_CLIENT_H
#define ORVAN_COMPONENT_CLIENT_H

#include "Component/Unknown.h"
#include "Infra3/Function.h"
#include "Infra3/RecursiveLock.h"
#include "Infra3/Time.h"
#include "Infra3/Timer.h"

#include <list>

namespace Orvan {
namespace Component {

template <class I>
class TComPtr;

// A logged-in connection to a remote server. No client class exists in this program.
class IClient : public IUnknown
{
public:
    enum Status
    {
        statusNormal = 0,
        statusLogin = 1,
        statusAbort = 2
    };

    using StatusProc = Infra::TFunction5<void, void*, ClassID, TComPtr<IClient>, Status, int>;

    class IFactory : public IFactoryUnknown
    {
    public:
        virtual IClient* create(const ServerInfo& server) = 0;
    };

    IClient();
    ~IClient() override;

    virtual bool checkBroken() = 0;
    virtual bool login() = 0;
    virtual void logout() = 0;
    virtual void getContext(int* context) = 0;
    virtual bool extension1(void* a);
    virtual bool extension2(void* a, void* b);
    virtual bool extension3(void* a);
    virtual bool extension4(void* a);
    virtual bool extension5();
    virtual bool extension6(void* a);
    virtual bool attachStatusProc(const StatusProc& proc);
    virtual bool detachStatusProc(const StatusProc& proc);

    bool getServerInfo(ServerInfo& info);
    bool setUserName(const char* name);
    Infra::CTime getLoginTime();
    void setCustomData(void* data);
    void* getCustomData();
    bool abort(int reason);

    struct ClientInternal;
    ClientInternal* m_client;
};

void clientCreateInternal(IClient* client, const char* classId, const ServerInfo& server, bool kept);
bool clientLogin(IClient* client);
bool clientUpdateBroken(IClient* client);
bool clientIsCreated(IClient* client);
bool clientIsLogined(IClient* client);
bool clientIsBroken(IClient* client);
bool clientIsSameAs(IClient* client, const char* classId, const ServerInfo& server);
bool clientIsSameAs(IClient* client, const char* classId, int contextId);
bool clientIsIdle(IClient* client);
bool clientGetAndMarkUsing(IClient* client);
// For tests of idle handling: moves the client's last activity back.
void clientAgeForTest(IClient* client, uint64_t milliseconds);

class CClientInstanceList
{
public:
    static CClientInstanceList* instance();

    IClient* acquireInstance(const char* classId, const ServerInfo& server);
    IClient* acquireInstanceById(const char* classId, int contextId);
    IClient* findInstanceById(const char* classId, int contextId);
    IClient* findUsableInstance(const char* classId, const ServerInfo& server);
    void addInstance(IClient* client);
    int releaseClientInstance(IClient* client);
    void removeIdleClientInstance(unsigned int param);
    size_t count();

private:
    CClientInstanceList();
    Infra::CRecursiveLock m_lock;
    std::list<IClient*> m_clients;
    Infra::CTimer m_timer;
};

class IClientFactoryWrap : public IClient::IFactory
{
public:
    explicit IClientFactoryWrap(IFactoryUnknown* original);
    const char* getClassID() override;
    IClient* create(const ServerInfo& server) override;
    IClient* makeClient(const ServerInfo& server);
    IClient* findClient(int contextId);

private:
    IClient* build(const ServerInfo& server, bool kept);
    IClient::IFactory* m_original;
};

namespace ClientFactory {
IClient* acquireClient(const char* classId, const ServerInfo& server);
IClient* acquireClientById(const char* classId, int contextId);
int releaseClientObject(IClient* client);
IClient* createClient(const char* classId, const ServerInfo& server);
IClientFactoryWrap* getFactoryWrapper(IFactoryUnknown* factory);
} // namespace ClientFactory

} // namespace Component
} // namespace Orvan

#endif

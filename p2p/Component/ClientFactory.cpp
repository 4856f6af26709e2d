#include "Component/Client.h"
#include "Infra3/CurrentThread.h"
#include "Infra3/Error.h"
#include "Infra3/Mutex.h"
#include "Infra3/PrintLog.h"
#include "Infra3/RecursiveLock.h"

#include <cstring>
#include <map>
#include <string>

namespace Orvan {
namespace Component {

namespace {

Infra::CRecursiveLock& wrapperLock()
{
    static Infra::CRecursiveLock* lock = new Infra::CRecursiveLock;
    return *lock;
}

const char* const kSource = "Src/Component/ClientFactory";

} // namespace

IClientFactoryWrap::IClientFactoryWrap(IFactoryUnknown* original)
    : m_original(dynamic_cast<IClient::IFactory*>(original))
{
    ORVAN_ASSERT(m_original != NULL);
}

const char* IClientFactoryWrap::getClassID()
{
    return m_original->getClassID();
}

IClient* IClientFactoryWrap::build(const ServerInfo& server, bool kept)
{
    Infra::CRecursiveGuard guard(wrapperLock());
    const char* classId = getClassID();
    bool remote = std::strcmp(classId, "Local") != 0;
    CClientInstanceList* list = CClientInstanceList::instance();
    if (remote) {
        if (IClient* usable = list->findUsableInstance(classId, server)) {
            usable->addRef();
            return usable;
        }
    }
    IClient* client = m_original->create(server);
    if (!client)
        return nullptr;
    clientCreateInternal(client, classId, server, kept);
    if (kept) {
        clientGetAndMarkUsing(client);
    } else {
        checkCreatedObject(client);
        client->addRef();
    }
    if (remote && list->findUsableInstance(classId, server))
        Infra::logError("[%s:%d] this:%p tid:%d, remote client instance %p has been in CClientInstanceList already.\n",
                        kSource, kept ? 280 : 324, static_cast<void*>(this), Infra::currentThreadId(),
                        static_cast<void*>(client));
    list->addInstance(client);
    applyClientContext(client);
    return client;
}

IClient* IClientFactoryWrap::create(const ServerInfo& server)
{
    return build(server, true);
}

IClient* IClientFactoryWrap::makeClient(const ServerInfo& server)
{
    return build(server, false);
}

IClient* IClientFactoryWrap::findClient(int contextId)
{
    return CClientInstanceList::instance()->findInstanceById(getClassID(), contextId);
}

namespace ClientFactory {

IClient* acquireClient(const char* classId, const ServerInfo& server)
{
    return CClientInstanceList::instance()->acquireInstance(classId, server);
}

IClient* acquireClientById(const char* classId, int contextId)
{
    return CClientInstanceList::instance()->acquireInstanceById(classId, contextId);
}

int releaseClientObject(IClient* client)
{
    ORVAN_ASSERT(client != NULL);
    return CClientInstanceList::instance()->releaseClientInstance(client);
}

IClient* createClient(const char* classId, const ServerInfo& server)
{
    std::string id = classId ? classId : "";
    std::string name = id.substr(0, id.find('.'));
    IClient* none = nullptr;
    IClientFactoryWrap* wrap =
        dynamic_cast<IClientFactoryWrap*>(getComponentFactory("Client", name.c_str(), localServer, none));
    if (!wrap) {
        Infra::setLastError(errorClientNotFound);
        return nullptr;
    }
    IClient* client = wrap->makeClient(server);
    if (!client)
        Infra::setLastError(errorClientNotExist);
    return client;
}

IClientFactoryWrap* getFactoryWrapper(IFactoryUnknown* factory)
{
    static Infra::CMutex* mutex = new Infra::CMutex;
    static auto* wrappers = new std::map<IFactoryUnknown*, IClientFactoryWrap*>;
    if (!factory || !dynamic_cast<IClient::IFactory*>(factory))
        return nullptr;
    Infra::CMutexGuard guard(*mutex);
    IClientFactoryWrap*& wrap = (*wrappers)[factory];
    if (!wrap)
        wrap = new IClientFactoryWrap(factory);
    return wrap;
}

} // namespace ClientFactory

} // namespace Component
} // namespace Orvan

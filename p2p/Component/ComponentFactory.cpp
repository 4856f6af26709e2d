#include "Component/Client.h"
#include "Component/Unknown.h"
#include "Infra3/CurrentThread.h"
#include "Infra3/Error.h"
#include "Infra3/PrintLog.h"
#include "Infra3/RecursiveLock.h"

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace Orvan {
namespace Component {

namespace {

struct Registry
{
    Infra::CRecursiveLock lock;
    std::map<std::string, std::map<std::string, IFactoryUnknown*>> factories;
};

Registry& registry()
{
    // Kept for the life of the process: factories unregister during exit.
    static Registry* r = new Registry;
    return *r;
}

void registerErrorTexts()
{
    static std::once_flag once;
    std::call_once(once, [] {
        static const struct
        {
            uint32_t code;
            const char* text;
        } texts[] = {
            {0x10030000, "Component error: interface not found!"},
            {0x10030001, "Component error: class not found!"},
            {0x10030002, "Component error: client not found!"},
            {0x10030003, "Component error: client not exist!"},
            {0x10030004, "Component error: not login yet!"},
            {0x10030005, "Component error: tring login!"},
            {0x10030006, "Component error: user's name not valid!"},
            {0x10030007, "Component error: password not valid!"},
            {0x10030008, "Component error: peer has been blocked!"},
            {0x10030009, "Component error: peer in blacklist!"},
            {0x1003000A, "Component error: user's name has been used!"},
            {0x1003000B, "Component error: too many connections!"},
            {0x1003000C, "Component error: no authority!"},
            {0x1003000D, "Component error: creating object failed!"},
            {0x1003000E, "Component error: getting instance failed!"},
            {0x1003000F, "Component error: login challenge!"},
            {0x10030015, "Component error: User or password not valid!"},
        };
        for (const auto& t : texts)
            Infra::registerErrorText(t.code, t.text);
    });
}

const char* const kSource = "Src/Component/ComponentFactory";

// A logged-in client for a remote server, or null.
IClient* obtainClient(const char* iid, const char* classId, const ServerInfo& server)
{
    IClient* client = ClientFactory::acquireClient(classId, server);
    if (!client) {
        client = ClientFactory::createClient(classId, server);
        if (!client) {
            Infra::logError("[%s:%d] tid:%d, iid (%s) could not been got because clientInstance could not be created.\n",
                            kSource, 107, Infra::currentThreadId(), iid);
            return nullptr;
        }
        if (!clientLogin(client)) {
            ClientFactory::releaseClientObject(client);
            Infra::logDebug("[%s:%d] tid:%d, iid=%s could not been generated because log failed.\n", kSource, 115,
                            Infra::currentThreadId(), iid);
            return nullptr;
        }
        return client;
    }
    const char* failure = nullptr;
    int line = 0;
    if (clientIsCreated(client)) {
        if (!clientLogin(client))
            failure = "[%s:%d] tid:%d, iid=%s could not been got because log failed.\n", line = 67;
    } else if (clientIsLogined(client)) {
        if (clientUpdateBroken(client) && !clientLogin(client))
            failure = "[%s:%d] tid:%d, iid=%s could not been got because re-log failed.\n", line = 78;
    } else if (clientIsBroken(client)) {
        if (!clientLogin(client))
            failure = "[%s:%d] tid:%d, iid=%s could not been got because log failed.\n", line = 89;
    } else {
        Infra::logError("[%s:%d] tid:%d, Infra.getComponentFactory(): client state is unknown!\n", kSource, 95,
                        Infra::currentThreadId());
        ClientFactory::releaseClientObject(client);
        return nullptr;
    }
    if (failure) {
        ClientFactory::releaseClientObject(client);
        Infra::logDebug(failure, kSource, line, Infra::currentThreadId(), iid);
        return nullptr;
    }
    return client;
}

IFactoryUnknown* lookup(const char* iid, const char* classId, IClient*& clientOut, IClient* client)
{
    Registry& r = registry();
    Infra::CRecursiveGuard guard(r.lock);
    auto i = r.factories.find(iid ? iid : "");
    if (i == r.factories.end()) {
        if (client)
            ClientFactory::releaseClientObject(client);
        Infra::setLastError(errorInterfaceNotFound);
        return nullptr;
    }
    auto c = i->second.find(classId ? classId : "");
    if (c == i->second.end()) {
        if (client)
            ClientFactory::releaseClientObject(client);
        Infra::setLastError(errorClassNotFound);
        return nullptr;
    }
    if (client)
        applyClientContext(client);
    clientOut = client;
    if (std::strcmp(iid, "Client") == 0)
        return ClientFactory::getFactoryWrapper(c->second);
    if (client && !clientGetAndMarkUsing(client))
        decreaseRefCount(client);
    return c->second;
}

} // namespace

IFactoryUnknown::~IFactoryUnknown() = default;

bool IFactoryUnknown::registerSelf(const char* iid)
{
    registerErrorTexts();
    Registry& r = registry();
    Infra::CRecursiveGuard guard(r.lock);
    r.factories[iid ? iid : ""][getClassID()] = this;
    return true;
}

bool IFactoryUnknown::unregisterSelf(const char* iid)
{
    Registry& r = registry();
    Infra::CRecursiveGuard guard(r.lock);
    r.factories[iid ? iid : ""][getClassID()] = nullptr;
    return true;
}

IFactoryUnknown* getComponentFactory(const char* iid, const char* classId, const ServerInfo& server,
                                     IClient*& clientOut)
{
    clientOut = nullptr;
    if (!iid)
        iid = "";
    IClient* client = nullptr;
    if (std::strcmp(iid, "Client") != 0 && &server != &localServer) {
        client = obtainClient(iid, classId, server);
        if (!client)
            return nullptr;
    }
    return lookup(iid, classId, clientOut, client);
}

IFactoryUnknown* getComponentFactory(const char* iid, const char* classId, int contextId, IClient*& clientOut)
{
    clientOut = nullptr;
    if (!iid)
        iid = "";
    IClient* client = nullptr;
    if (std::strcmp(iid, "Client") != 0 && contextId != -1) {
        client = ClientFactory::acquireClientById(classId, contextId);
        if (!client) {
            Infra::setLastError(errorClientNotFound);
            return nullptr;
        }
    }
    return lookup(iid, classId, clientOut, client);
}

struct ClassIDList::Internal
{
    std::vector<std::string> ids;
};

ClassIDList::ClassIDList(const char* iid) : m_internal(new Internal)
{
    Registry& r = registry();
    Infra::CRecursiveGuard guard(r.lock);
    auto i = r.factories.find(iid ? iid : "");
    if (i != r.factories.end())
        for (const auto& c : i->second)
            m_internal->ids.push_back(c.first);
}

ClassIDList::~ClassIDList()
{
    delete m_internal;
}

size_t ClassIDList::count() const
{
    return m_internal->ids.size();
}

std::string ClassIDList::operator[](int index) const
{
    if (!(index >= 0 && (size_t)index < m_internal->ids.size()))
        Infra::assertionFailed("(size_t)index < m_internal->ids.size()", __PRETTY_FUNCTION__, __FILE__, __LINE__);
    return m_internal->ids[static_cast<size_t>(index)];
}

} // namespace Component
} // namespace Orvan

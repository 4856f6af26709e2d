#include "Component/Client.h"

#include "Component/ComPtr.h"
#include "Component/StatusSignal.h"
#include "Infra3/CurrentThread.h"
#include "Infra3/Error.h"
#include "Infra3/PrintLog.h"

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

namespace Orvan {
namespace Component {

namespace {
const uint64_t kIdleMs = 300000;

std::string text(const char* s)
{
    return s ? s : "";
}
} // namespace

struct IClient::ClientInternal
{
    std::string className;
    std::string texts[19]; // text fields by position (1-based index - 1)
    int numbers[19] = {0};
    bool userNameSaved = false;
    std::atomic<int> state{0}; // 0 created, 1 logged in, 2 broken
    Infra::CTime loginTime;
    std::atomic<uint64_t> lastActivity{0};
    bool kept = false;
    std::atomic<int> inUse{0};
    void* customData = nullptr;
    TStatusSignal<IClient::StatusProc> signal{8};
};

namespace {

// Positions of the text and number fields of ServerInfo, 1-based.
void copyServer(IClient::ClientInternal* c, const ServerInfo& s)
{
    c->texts[0] = text(s.address);
    c->numbers[1] = s.port;
    c->texts[2] = text(s.userName);
    c->texts[3] = text(s.password);
    c->texts[4] = text(s.domain);
    c->numbers[5] = s.flag6;
    c->numbers[6] = s.flag7;
    c->texts[7] = text(s.text8);
    c->texts[8] = text(s.text9);
    c->texts[9] = text(s.text10);
    c->texts[10] = text(s.text11);
    c->numbers[11] = s.number12;
    c->texts[12] = text(s.text13);
    c->numbers[13] = s.number14;
    c->numbers[14] = s.number15;
    c->numbers[15] = s.number16;
    c->texts[16] = text(s.text17);
    c->texts[17] = text(s.text18);
    c->texts[18] = text(s.text19);
}

IClient::ClientInternal* record(IClient* client)
{
    if (!(client != NULL && client->m_client != NULL))
        Infra::assertionFailed("client != NULL && client->m_internal != NULL", __PRETTY_FUNCTION__, __FILE__,
                               __LINE__);
    return client->m_client;
}

} // namespace

IClient::IClient() : m_client(nullptr) {}

IClient::~IClient()
{
    delete m_client;
}

#define ORVAN_UNSUPPORTED                                                                                    \
    Infra::setLastError(errorNotSupported);                                                                  \
    return false

bool IClient::extension1(void*) { ORVAN_UNSUPPORTED; }
bool IClient::extension2(void*, void*) { ORVAN_UNSUPPORTED; }
bool IClient::extension3(void*) { ORVAN_UNSUPPORTED; }
bool IClient::extension4(void*) { ORVAN_UNSUPPORTED; }
bool IClient::extension5() { ORVAN_UNSUPPORTED; }
bool IClient::extension6(void*) { ORVAN_UNSUPPORTED; }

bool IClient::attachStatusProc(const StatusProc& proc)
{
    return record(this)->signal.attach(proc, 0) > 0;
}

bool IClient::detachStatusProc(const StatusProc& proc)
{
    return record(this)->signal.detach(proc, true) >= 0;
}

bool IClient::getServerInfo(ServerInfo& info)
{
    ClientInternal* c = record(this);
    info.address = c->texts[0].c_str();
    info.port = c->numbers[1];
    info.userName = c->texts[2].c_str();
    info.password = c->texts[3].c_str();
    info.domain = c->texts[4].c_str();
    info.flag6 = static_cast<uint8_t>(c->numbers[5]);
    info.flag7 = static_cast<uint8_t>(c->numbers[6]);
    info.text8 = c->texts[7].c_str();
    info.text9 = c->texts[8].c_str();
    info.text10 = c->texts[9].c_str();
    info.text11 = c->texts[10].c_str();
    info.number12 = c->numbers[11];
    info.text13 = c->texts[12].c_str();
    info.number14 = c->numbers[13];
    info.number15 = c->numbers[14];
    info.number16 = c->numbers[15];
    info.text17 = c->texts[16].c_str();
    info.text18 = c->texts[17].c_str();
    info.text19 = c->texts[18].c_str();
    if (c->texts[2].empty())
        Infra::logWarn("[%s:%d] this:%p tid:%d, userName of client is a null string!\n", __FILE__, __LINE__,
                       static_cast<void*>(this), Infra::currentThreadId());
    return true;
}

bool IClient::setUserName(const char* name)
{
    ClientInternal* c = record(this);
    if (c->userNameSaved) {
        Infra::logWarn("[%s:%d] this:%p tid:%d, username of client has already saved.\n", __FILE__, __LINE__,
                       static_cast<void*>(this), Infra::currentThreadId());
        return true;
    }
    c->texts[2] = text(name);
    c->userNameSaved = true;
    return true;
}

Infra::CTime IClient::getLoginTime()
{
    return record(this)->loginTime;
}

void IClient::setCustomData(void* data)
{
    record(this)->customData = data;
}

void* IClient::getCustomData()
{
    return record(this)->customData;
}

bool IClient::abort(int reason)
{
    ClientInternal* c = record(this);
    addRef();
    ClassID id = {c->className.c_str(), 0};
    c->signal.fire(c->customData, id, TComPtr<IClient>(this, nullptr), statusAbort, reason);
    logout();
    return true;
}

// Client state.

void clientCreateInternal(IClient* client, const char* classId, const ServerInfo& server, bool kept)
{
    if (!(client != NULL && client->m_client == NULL))
        Infra::assertionFailed("client != NULL && client->m_internal == NULL", __PRETTY_FUNCTION__, __FILE__,
                               __LINE__);
    auto* c = new IClient::ClientInternal;
    c->className = text(classId);
    copyServer(c, server);
    c->kept = kept;
    c->lastActivity = Infra::CTime::getTickCountMs();
    client->m_client = c;
}

bool clientLogin(IClient* client)
{
    IClient::ClientInternal* c = record(client);
    c->lastActivity = Infra::CTime::getTickCountMs();
    if (!client->login())
        return false;
    c->loginTime = Infra::CTime::currentLocal();
    c->state = 1;
    return true;
}

bool clientUpdateBroken(IClient* client)
{
    IClient::ClientInternal* c = record(client);
    c->lastActivity = Infra::CTime::getTickCountMs();
    if (client->checkBroken()) {
        c->state = 2;
        return true;
    }
    return false;
}

bool clientIsCreated(IClient* client)
{
    return record(client)->state == 0;
}

bool clientIsLogined(IClient* client)
{
    return record(client)->state == 1;
}

bool clientIsBroken(IClient* client)
{
    return record(client)->state == 2;
}

bool clientIsSameAs(IClient* client, const char* classId, const ServerInfo& server)
{
    IClient::ClientInternal* c = record(client);
    std::string id = text(classId);
    std::string prefix = id.substr(0, id.find('.'));
    if (c->className.compare(0, prefix.size(), prefix) != 0)
        return false;
    IClient::ClientInternal other;
    copyServer(&other, server);
    static const int compared[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 17, 18};
    for (int field : compared) {
        int i = field - 1;
        if (c->texts[i] != other.texts[i] || c->numbers[i] != other.numbers[i])
            return false;
    }
    return true;
}

bool clientIsSameAs(IClient* client, const char* classId, int contextId)
{
    IClient::ClientInternal* c = record(client);
    if (c->className != text(classId))
        return false;
    int context = -1;
    client->getContext(&context);
    return context == contextId;
}

bool clientIsIdle(IClient* client)
{
    IClient::ClientInternal* c = record(client);
    return c->state == 0 && !c->kept && Infra::CTime::getTickCountMs() - c->lastActivity > kIdleMs;
}

bool clientGetAndMarkUsing(IClient* client)
{
    return record(client)->inUse.exchange(1) != 0;
}

void clientAgeForTest(IClient* client, uint64_t milliseconds)
{
    record(client)->lastActivity -= milliseconds;
}

// Instance list.

CClientInstanceList::CClientInstanceList() : m_timer("ClientCheck")
{
    m_timer.start(Infra::CTimer::TimerProc(&CClientInstanceList::removeIdleClientInstance, this), 0, 60, 0, 60000);
}

CClientInstanceList* CClientInstanceList::instance()
{
    // Kept for the life of the process: its timer may still run during exit.
    static CClientInstanceList* list = new CClientInstanceList;
    return list;
}

IClient* CClientInstanceList::acquireInstance(const char* classId, const ServerInfo& server)
{
    Infra::CRecursiveGuard guard(m_lock);
    for (IClient* client : m_clients)
        if (clientIsSameAs(client, classId, server))
            return static_cast<IClient*>(checkObtainedInstance(client));
    return nullptr;
}

IClient* CClientInstanceList::acquireInstanceById(const char* classId, int contextId)
{
    Infra::CRecursiveGuard guard(m_lock);
    for (IClient* client : m_clients)
        if (clientIsSameAs(client, classId, contextId))
            return static_cast<IClient*>(checkObtainedInstance(client));
    return nullptr;
}

IClient* CClientInstanceList::findInstanceById(const char* classId, int contextId)
{
    Infra::CRecursiveGuard guard(m_lock);
    for (IClient* client : m_clients)
        if (clientIsSameAs(client, classId, contextId))
            return client;
    return nullptr;
}

IClient* CClientInstanceList::findUsableInstance(const char* classId, const ServerInfo& server)
{
    Infra::CRecursiveGuard guard(m_lock);
    for (IClient* client : m_clients)
        if (!clientIsBroken(client) && clientIsSameAs(client, classId, server))
            return client;
    return nullptr;
}

void CClientInstanceList::addInstance(IClient* client)
{
    if (!client)
        return;
    Infra::CRecursiveGuard guard(m_lock);
    m_clients.push_back(client);
}

int CClientInstanceList::releaseClientInstance(IClient* client)
{
    ORVAN_ASSERT(client != NULL);
    int count;
    {
        Infra::CRecursiveGuard guard(m_lock);
        count = decreaseRefCount(client);
        if (count == 0)
            m_clients.remove(client);
    }
    if (count == 0) {
        client->logout();
        client->destroy();
    }
    return count;
}

void CClientInstanceList::removeIdleClientInstance(unsigned int)
{
    std::vector<IClient*> idle;
    {
        Infra::CRecursiveGuard guard(m_lock);
        for (auto it = m_clients.begin(); it != m_clients.end();) {
            IClient* client = *it;
            // Held by the list alone (count 1) and idle for long enough.
            if (clientIsIdle(client) && referenceCount(client) <= 1) {
                idle.push_back(client);
                it = m_clients.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (IClient* client : idle) {
        if (decreaseRefCount(client) == 0) {
            client->logout();
            client->destroy();
        }
    }
}

size_t CClientInstanceList::count()
{
    Infra::CRecursiveGuard guard(m_lock);
    return m_clients.size();
}

} // namespace Component
} // namespace Orvan

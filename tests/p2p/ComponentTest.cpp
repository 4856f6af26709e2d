#include "Component/Client.h"
#include "Component/ComPtr.h"
#include "Component/ObjectTable.h"
#include "Component/StatusSignal.h"
#include "Component/Unknown.h"
#include "Infra3/Error.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace Orvan::Component;
using Orvan::Infra::getLastError;
using Orvan::Infra::setLastError;

namespace {

std::atomic<int> s_destroyed{0};

class IAgent : public IUnknown
{
public:
    virtual int ping() = 0;
    class IFactory : public IFactoryUnknown
    {
    public:
        virtual IAgent* create() = 0;
    };
};

class Agent : public IAgent
{
public:
    void destroy() override
    {
        ++s_destroyed;
        delete this;
    }
    void getVersion(Orvan::Infra::VersionInfo& info) override { info.major = 1; }
    int ping() override { return 42; }
};

class AgentFactory : public IAgent::IFactory
{
public:
    explicit AgentFactory(const char* classId) : m_classId(classId) { registerSelf("TestAgent"); }
    ~AgentFactory() override { unregisterSelf("TestAgent"); }
    const char* getClassID() override { return m_classId; }
    IAgent* create() override { return new Agent; }

private:
    const char* m_classId;
};

} // namespace

TEST(Component, FactoryLookupErrors)
{
    IClient* client = nullptr;
    EXPECT_EQ(nullptr, getComponentFactory("TestAgent", "Local", localServer, client));
    EXPECT_EQ(errorInterfaceNotFound, getLastError());
    {
        AgentFactory factory("Local");
        EXPECT_EQ(nullptr, getComponentFactory("TestAgent", "Nope", localServer, client));
        EXPECT_EQ(errorClassNotFound, getLastError());
        EXPECT_STREQ("Component error: class not found!", Orvan::Infra::lookupErrorText(errorClassNotFound));
        setLastError(0);
        auto* found = dynamic_cast<IAgent::IFactory*>(getComponentFactory("TestAgent", "Local", localServer, client));
        ASSERT_NE(nullptr, found);
        EXPECT_EQ(nullptr, client);
        EXPECT_EQ(0u, getLastError());
    }
    setLastError(0);
    EXPECT_EQ(nullptr, getComponentFactory("TestAgent", "Local", localServer, client));
    EXPECT_EQ(0u, getLastError());
    ClassIDList ids("TestAgent");
    ASSERT_EQ(1u, ids.count());
    EXPECT_EQ("Local", ids[0]);
}

TEST(Component, ComPtrCopiesDestroyOnce)
{
    AgentFactory factory("Copies");
    IClient* client = nullptr;
    auto* f = dynamic_cast<IAgent::IFactory*>(getComponentFactory("TestAgent", "Copies", localServer, client));
    ASSERT_NE(nullptr, f);
    s_destroyed = 0;
    auto* origin = new TComPtr<IAgent>(f->create(), client);
    ASSERT_FALSE(origin->empty());
    EXPECT_EQ(42, (*origin)->ping());
    auto* a = new TComPtr<IAgent>(*origin);
    auto* b = new TComPtr<IAgent>(*a);
    TComPtr<IAgent> c;
    c = *b;
    EXPECT_EQ(4, referenceCount(c.get()));
    delete a;
    delete origin;
    EXPECT_EQ(0, s_destroyed);
    delete b;
    c = TComPtr<IAgent>();
    EXPECT_EQ(1, s_destroyed);
    TComPtr<IAgent> failed(nullptr, nullptr);
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(errorCreateObjectFailed, getLastError());
}

namespace {
bool s_listedAtDestroy = true;

struct Tabled : Agent
{
    Detail::CObjectTable* table = nullptr;
    void destroy() override
    {
        s_listedAtDestroy = false;
        for (size_t i = 0; i < table->count(); ++i)
            if (table->get(i) == this)
                s_listedAtDestroy = true;
        Agent::destroy();
    }
};
} // namespace

TEST(Component, ObjectLeavesTableBeforeDestroy)
{
    Detail::CObjectTable table;
    auto* object = new Tabled;
    object->table = &table;
    table.insert(object);
    EXPECT_EQ(1u, table.count());
    IUnknown* found = table.find(Detail::CObjectTable::Predicate(+[](IUnknown* o) { return o != nullptr; }));
    EXPECT_EQ(object, found);
    EXPECT_EQ(2, referenceCount(object));
    object->release();
    object->release();
    EXPECT_FALSE(s_listedAtDestroy);
    EXPECT_EQ(0u, table.count());
}

namespace {
IUnknown* firstCreator(const ServerInfo*)
{
    return nullptr;
}
std::atomic<int> s_created{0};
IUnknown* secondCreator(const ServerInfo*)
{
    ++s_created;
    return new Agent;
}
} // namespace

TEST(Component, NamedComponents)
{
    registerComponentCreator("Named", &firstCreator);
    registerComponentCreator("Named", &secondCreator);
    s_created = 0;
    s_destroyed = 0;
    ServerInfo server = {};
    server.address = "127.0.0.1";
    IUnknown* a = obtainComponentInstance("Named", &server);
    IUnknown* b = obtainComponentInstance("Named", &server);
    IUnknown* local = obtainComponentInstance("Named", nullptr);
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, local);
    EXPECT_EQ(2, s_created);
    a->release();
    b->release();
    local->release();
    EXPECT_EQ(2, s_destroyed);
    IUnknown* again = obtainComponentInstance("Named", &server);
    EXPECT_EQ(3, s_created);
    again->release();
    IUnknown* loose = createNamedObject("Named", nullptr);
    ASSERT_NE(nullptr, loose);
    loose->release();
    EXPECT_EQ(4, s_destroyed);
    EXPECT_EQ(nullptr, obtainComponentInstance("NoSuchComponent", nullptr));
}

TEST(Component, StatusSignalAttachRules)
{
    using Proc = Orvan::Infra::TFunction1<void, int>;
    struct Sink
    {
        int calls = 0;
        void on(int v) { calls += v; }
    } sinks[9];
    TStatusSignal<Proc> signal(8);
    EXPECT_EQ(-4, signal.attach(Proc(), 0));
    EXPECT_EQ(-5, signal.attach(Proc(&Sink::on, &sinks[0], 0xFFFFFFFFu), 0));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(i + 1, signal.attach(Proc(&Sink::on, &sinks[i]), i % 3)) << i;
    EXPECT_EQ(-2, signal.attach(Proc(&Sink::on, &sinks[0]), 0));
    EXPECT_EQ(-3, signal.attach(Proc(&Sink::on, &sinks[8]), 0));
    signal.fire(1);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(1, sinks[i].calls);
    EXPECT_EQ(7, signal.detach(Proc(&Sink::on, &sinks[3]), true));
    EXPECT_EQ(-1, signal.detach(Proc(&Sink::on, &sinks[3]), true));
    EXPECT_FALSE(signal.isAttached(Proc(&Sink::on, &sinks[3])));
    EXPECT_EQ(8, signal.attach(Proc(&Sink::on, &sinks[8]), 1));
}

namespace {

std::atomic<int> s_clientsDestroyed{0};

class TestClient : public IClient
{
public:
    void destroy() override
    {
        ++s_clientsDestroyed;
        delete this;
    }
    void getVersion(Orvan::Infra::VersionInfo&) override {}
    bool checkBroken() override { return false; }
    bool login() override { return true; }
    void logout() override {}
    void getContext(int* context) override { *context = 5; }
};

class TestClientFactory : public IClient::IFactory
{
public:
    TestClientFactory() { registerSelf("Client"); }
    ~TestClientFactory() override { unregisterSelf("Client"); }
    const char* getClassID() override { return "Remote"; }
    IClient* create(const ServerInfo&) override { return new TestClient; }
};

} // namespace

TEST(Component, RemoteServerWithoutClientClass)
{
    ServerInfo server = {};
    server.address = "10.0.0.1";
    server.userName = "admin";
    IClient* client = nullptr;
    setLastError(0);
    EXPECT_EQ(nullptr, getComponentFactory("StunClient", "Local", server, client));
    EXPECT_EQ(errorClientNotFound, getLastError());
    EXPECT_EQ(nullptr, client);
    EXPECT_EQ(nullptr, getComponentFactory("StunClient", "Local", 3, client));
    EXPECT_EQ(errorClientNotFound, getLastError());
}

TEST(Component, ClientHeldByAUserIsNotRemovedAsIdle)
{
    TestClientFactory factory;
    IClient* none = nullptr;
    auto* wrap = dynamic_cast<IClientFactoryWrap*>(getComponentFactory("Client", "Remote", localServer, none));
    ASSERT_NE(nullptr, wrap);
    ServerInfo server = {};
    server.address = "10.0.0.2";
    s_clientsDestroyed = 0;
    IClient* client = wrap->makeClient(server);
    ASSERT_NE(nullptr, client);
    EXPECT_EQ(2, referenceCount(client));
    EXPECT_TRUE(clientIsSameAs(client, "Remote.Sub", server));
    EXPECT_TRUE(clientIsSameAs(client, "Remote", 5));
    EXPECT_TRUE(client->setUserName("first"));
    EXPECT_TRUE(client->setUserName("second"));
    ServerInfo info = {};
    client->getServerInfo(info);
    EXPECT_STREQ("first", info.userName);
    EXPECT_FALSE(client->extension5());
    EXPECT_EQ(errorNotSupported, getLastError());

    clientAgeForTest(client, 400000);
    EXPECT_TRUE(clientIsIdle(client));
    CClientInstanceList::instance()->removeIdleClientInstance(0);
    EXPECT_EQ(0, s_clientsDestroyed);
    EXPECT_EQ(1, ClientFactory::releaseClientObject(client));
    for (int i = 0; i < 500 && s_clientsDestroyed == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(1, s_clientsDestroyed);
}

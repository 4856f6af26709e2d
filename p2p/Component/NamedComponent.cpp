#include "Component/Unknown.h"
#include "Infra3/Error.h"
#include "Infra3/Mutex.h"
#include "Infra3/PrintLog.h"

#include <cstdio>
#include <dlfcn.h>
#include <list>
#include <map>
#include <string>

namespace Orvan {
namespace Component {

void setComponentName(IUnknown* object, const std::string& name, bool registered);

namespace {

struct InstanceRecord
{
    IUnknown* object;
    bool hasServer;
    std::string address;
    int port;
    std::string userName;
    std::string password;
    uint8_t flag6;
};

struct Entry
{
    ComponentCreator creator = nullptr;
    std::list<InstanceRecord> instances;
    void* library = nullptr;
};

struct NameRegistry
{
    Infra::CMutex mutex;
    std::map<std::string, Entry> s_componentMap;
};

NameRegistry& names()
{
    static NameRegistry* r = new NameRegistry;
    return *r;
}

std::string text(const char* s)
{
    return s ? s : "";
}

bool matches(const InstanceRecord& r, const ServerInfo* server)
{
    if (!server)
        return !r.hasServer;
    return r.hasServer && r.address == text(server->address) && r.port == server->port &&
           r.userName == text(server->userName) && r.password == text(server->password) && r.flag6 == server->flag6;
}

// Loads "lib<name>.so" and looks up "create<name>Object"; called with the map lock held.
ComponentCreator getDynamicCreator(Entry& entry, const std::string& name)
{
    if (!entry.library) {
        char file[32];
        std::snprintf(file, sizeof(file), "lib%s.so", name.c_str());
        entry.library = dlopen(file, RTLD_NOW);
        if (!entry.library)
            return nullptr;
    }
    char proc[32];
    std::snprintf(proc, sizeof(proc), "create%sObject", name.c_str());
    void* symbol = dlsym(entry.library, proc);
    if (!symbol) {
        Infra::logError("getDynamicCreator get proc '%s' failed!\n", proc);
        return nullptr;
    }
    return reinterpret_cast<ComponentCreator>(symbol);
}

ComponentCreator creatorFor(const std::string& name)
{
    Entry& entry = names().s_componentMap[name];
    return entry.creator ? entry.creator : getDynamicCreator(entry, name);
}

} // namespace

bool registerComponentCreator(const char* name, ComponentCreator creator)
{
    NameRegistry& r = names();
    Infra::CMutexGuard guard(r.mutex);
    auto it = r.s_componentMap.find(text(name));
    if (it != r.s_componentMap.end())
        Infra::logWarn("registerComponentCreator creator for '%s' already exist!\n", text(name).c_str());
    r.s_componentMap[text(name)].creator = creator;
    return true;
}

IUnknown* obtainComponentInstance(const char* name, const ServerInfo* server)
{
    NameRegistry& r = names();
    std::string key = text(name);
    r.mutex.enter();
    auto it = r.s_componentMap.find(key);
    if (it != r.s_componentMap.end()) {
        for (InstanceRecord& rec : it->second.instances) {
            if (matches(rec, server)) {
                rec.object->addRef();
                IUnknown* found = rec.object;
                r.mutex.leave();
                return found;
            }
        }
    }
    ComponentCreator creator = creatorFor(key);
    if (!creator) {
        r.mutex.leave();
        return nullptr;
    }
    r.mutex.leave();
    IUnknown* object = creator(server);
    r.mutex.enter();
    if (object) {
        InstanceRecord rec{object, server != nullptr, "", 0, "", "", 0};
        if (server) {
            rec.address = text(server->address);
            rec.port = server->port;
            rec.userName = text(server->userName);
            rec.password = text(server->password);
            rec.flag6 = server->flag6;
        }
        r.s_componentMap[key].instances.push_back(rec);
        setComponentName(object, key, true);
    }
    r.mutex.leave();
    return object;
}

IUnknown* createNamedObject(const char* name, const ServerInfo* server)
{
    NameRegistry& r = names();
    std::string key = text(name);
    ComponentCreator creator;
    {
        Infra::CMutexGuard guard(r.mutex);
        creator = creatorFor(key);
    }
    if (!creator)
        return nullptr;
    IUnknown* object = creator(server);
    if (object)
        setComponentName(object, key, false);
    return object;
}

bool destroyComponent(IUnknown* object, const char* name, bool registered)
{
    if (registered) {
        NameRegistry& r = names();
        Infra::CMutexGuard guard(r.mutex);
        auto pi = r.s_componentMap.find(text(name));
        ORVAN_ASSERT(pi != r.s_componentMap.end());
        auto& instances = (*pi).second.instances;
        auto pj = instances.begin();
        while (pj != instances.end() && pj->object != object)
            ++pj;
        ORVAN_ASSERT(pj != (*pi).second.instances.end());
        instances.erase(pj);
    }
    object->destroy();
    return true;
}

} // namespace Component
} // namespace Orvan

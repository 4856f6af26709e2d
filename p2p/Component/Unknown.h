#ifndef ORVAN_COMPONENT_UNKNOWN_H
#define ORVAN_COMPONENT_UNKNOWN_H

#include "Infra3/Version.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Orvan {
namespace Component {

enum : uint32_t
{
    errorInterfaceNotFound = 0x10030000,
    errorClassNotFound = 0x10030001,
    errorClientNotFound = 0x10030002,
    errorClientNotExist = 0x10030003,
    errorNotLogin = 0x10030004,
    errorTryingLogin = 0x10030005,
    errorUserNameInvalid = 0x10030006,
    errorPasswordInvalid = 0x10030007,
    errorPeerBlocked = 0x10030008,
    errorPeerInBlacklist = 0x10030009,
    errorUserNameUsed = 0x1003000A,
    errorTooManyConnections = 0x1003000B,
    errorNoAuthority = 0x1003000C,
    errorCreateObjectFailed = 0x1003000D,
    errorGetInstanceFailed = 0x1003000E,
    errorLoginChallenge = 0x1003000F,
    errorNotSupported = 0x10030010,
    errorUserOrPasswordInvalid = 0x10030015
};

namespace Detail {
class CObjectTable;
}
class IClient;

// Base of every component object: an atomic reference count; at 0 the object destroys itself.
class IUnknown
{
public:
    IUnknown();
    virtual ~IUnknown();
    IUnknown(const IUnknown&) = delete;
    IUnknown& operator=(const IUnknown&) = delete;

    virtual void destroy() = 0;
    virtual void getVersion(Infra::VersionInfo& info) = 0;
    virtual int addRef();
    virtual int release();

    struct Internal;
    Internal* m_internal;
};

int decreaseRefCount(IUnknown* object);
// The current count (diagnostics).
int referenceCount(IUnknown* object);
void setObjectTable(IUnknown* object, Detail::CObjectTable* table);
void makeInstanceForTable(IUnknown* object);
IUnknown* checkCreatedObject(IUnknown* object);
IUnknown* checkObtainedInstance(IUnknown* object);
void addRefUnknown(IUnknown* object);
void releaseUnknown(IUnknown* object);
void applyClientContext(IClient* client);
// The context value applyClientContext stored last on this thread (null when never set).
void* getCurrentClientContext();

struct ClassID
{
    const char* name;
    int reserved;
};

// Parameters of a server. Only userName has a meaning here; the rest pass through.
struct ServerInfo
{
    const char* address;
    int port;
    const char* userName;
    const char* password;
    const char* domain;
    uint8_t flag6;
    uint8_t flag7;
    const char* text8;
    const char* text9;
    const char* text10;
    const char* text11;
    int number12;
    const char* text13;
    int number14;
    int number15;
    int number16;
    const char* text17;
    const char* text18;
    const char* text19;
};

// The local process; recognised by its address.
extern const ServerInfo localServer;

class IFactoryUnknown
{
public:
    virtual ~IFactoryUnknown();
    virtual const char* getClassID() = 0;

    // Called by concrete factories from their constructor and destructor.
    bool registerSelf(const char* iid);
    bool unregisterSelf(const char* iid);
};

// Finds the factory registered for (interface id, class id) on a server; null with the last error set.
IFactoryUnknown* getComponentFactory(const char* iid, const char* classId, const ServerInfo& server,
                                     IClient*& client);
IFactoryUnknown* getComponentFactory(const char* iid, const char* classId, int contextId, IClient*& client);

// Snapshot of the class ids under an interface id, in ascending order.
class ClassIDList
{
public:
    explicit ClassIDList(const char* iid);
    ~ClassIDList();
    size_t count() const;
    std::string operator[](int index) const;

private:
    struct Internal;
    Internal* m_internal;
};

// Components by name.
using ComponentCreator = IUnknown* (*)(const ServerInfo* server);
bool registerComponentCreator(const char* name, ComponentCreator creator);
IUnknown* obtainComponentInstance(const char* name, const ServerInfo* server);
IUnknown* createNamedObject(const char* name, const ServerInfo* server);
bool destroyComponent(IUnknown* object, const char* name, bool registered);

} // namespace Component
} // namespace Orvan

#endif

// Device side: repeated requests (same CSeq) are answered from a cache of recent responses, or
// dropped while the first copy is still being handled. Entries live 20000 ms.
#ifndef ORVAN_TOU_MSGFILTER_H
#define ORVAN_TOU_MSGFILTER_H

#include "Infra3/Function.h"
#include "Infra3/Mutex.h"
#include "nattraver/net/Address.h"

#include <cstdint>
#include <map>
#include <string>

namespace Orvan {
namespace Tou {

struct CachedResponse
{
    std::string text;
    uint64_t time = 0;
    int fd = -1; // -1: the device's main socket
    NATTraver::Address address;
};

class CMsgFilter
{
public:
    using Clock = Infra::TFunction0<uint64_t>;

    enum
    {
        filterRequests = 0,
        filterResponses = 1
    };
    static constexpr uint64_t kLifetimeMs = 20000;
    // A flood of distinct CSeqs pushes the oldest entries out instead of growing the maps.
    static constexpr size_t kMaxEntries = 4096;

    // The clock defaults to the millisecond tick counter.
    explicit CMsgFilter(const Clock& clock = Clock());

    void Check(unsigned selector);
    // The cached text, or an empty string when none is cached.
    std::string getResponse(int cseq, CachedResponse& out);
    bool isRequestExist(int cseq);
    void addResponse(int cseq, const std::string& text, int fd, const NATTraver::Address& address);
    void addRequest(int cseq);

private:
    uint64_t now() const;
    void makeRoom(unsigned selector);

    std::map<int, CachedResponse> m_responses;
    std::map<int, uint64_t> m_requests;
    Infra::CMutex m_mutex;
    Clock m_clock;
};

} // namespace Tou
} // namespace Orvan

#endif

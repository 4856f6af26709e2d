#include "Proxy/MsgFilter.h"

#include "Infra3/Time.h"
#include "P2PSDK/Print.h"

namespace Orvan {
namespace Tou {

CMsgFilter::CMsgFilter(const Clock& clock) : m_clock(clock) {}

uint64_t CMsgFilter::now() const { return m_clock.empty() ? Infra::CTime::getTickCountMs() : m_clock(); }

void CMsgFilter::Check(unsigned selector)
{
    Infra::CMutexGuard lock(m_mutex);
    uint64_t current = now();
    if (selector == filterRequests) {
        for (auto it = m_requests.begin(); it != m_requests.end();)
            it = current < it->second + kLifetimeMs ? std::next(it) : m_requests.erase(it);
    } else if (selector == filterResponses) {
        for (auto it = m_responses.begin(); it != m_responses.end();)
            it = current < it->second.time + kLifetimeMs ? std::next(it) : m_responses.erase(it);
    } else {
        TOU_PRINT(printLevelError, "msg type[%u] is error type.\r\n", selector);
    }
}

std::string CMsgFilter::getResponse(int cseq, CachedResponse& out)
{
    Check(filterResponses);
    Infra::CMutexGuard lock(m_mutex);
    auto it = m_responses.find(cseq);
    if (it == m_responses.end())
        return std::string();
    out = it->second;
    return it->second.text;
}

bool CMsgFilter::isRequestExist(int cseq)
{
    Check(filterRequests);
    Infra::CMutexGuard lock(m_mutex);
    return m_requests.count(cseq) != 0;
}

void CMsgFilter::addResponse(int cseq, const std::string& text, int fd, const NATTraver::Address& address)
{
    Infra::CMutexGuard lock(m_mutex);
    if (!m_responses.count(cseq))
        makeRoom(filterResponses);
    CachedResponse& entry = m_responses[cseq];
    entry.text = text;
    entry.time = now();
    entry.fd = fd;
    entry.address = address;
}

void CMsgFilter::addRequest(int cseq)
{
    Infra::CMutexGuard lock(m_mutex);
    if (!m_requests.count(cseq))
        makeRoom(filterRequests);
    m_requests[cseq] = now();
}

void CMsgFilter::makeRoom(unsigned selector)
{
    if (selector == filterResponses && m_responses.size() >= kMaxEntries) {
        auto oldest = m_responses.begin();
        for (auto it = m_responses.begin(); it != m_responses.end(); ++it)
            if (it->second.time < oldest->second.time)
                oldest = it;
        m_responses.erase(oldest);
    }
    if (selector == filterRequests && m_requests.size() >= kMaxEntries) {
        auto oldest = m_requests.begin();
        for (auto it = m_requests.begin(); it != m_requests.end(); ++it)
            if (it->second < oldest->second)
                oldest = it;
        m_requests.erase(oldest);
    }
}

} // namespace Tou
} // namespace Orvan

// STUN messages (RFC 5389 framing) with the classic, TURN and ICE attributes.
#include "nattraver/stunpro/StunMsg.h"

#include "Infra3/PrintLog.h"
#include "P2PSDK/Print.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <new>
#include <sys/uio.h>

namespace Orvan {
namespace NATTraver {

namespace {

const uint16_t kSlotTypes[] = {attrMappedAddress,   attrResponseAddress,    attrSourceAddress,
                               attrChangedAddress,  attrUsername,           attrMessageIntegrity,
                               attrErrorCode,       attrUnknownAttributes,  attrChannelNumber,
                               attrLifetime,        attrData,               attrRealm,
                               attrNonce,           attrXorRelayedAddress,  attrRequestedAddressFamily,
                               attrEvenPort,        attrRequestedTransport, attrDontFragment,
                               attrXorMappedAddress, attrReservationToken,  attrConnectionId,
                               attrSoftware,        attrAlternateServer,    attrFingerprint,
                               attrIceControlled,   attrIceControlling};

uint16_t rd16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
void wr16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v >> 8); p[1] = uint8_t(v); }
void wr32(uint8_t* p, uint32_t v) { wr16(p, uint16_t(v >> 16)); wr16(p + 2, uint16_t(v)); }

#define STUN_TRACEPOINT() Infra::printDebug("tracepoint: %s, %d.\n", __FILE__, __LINE__)

} // namespace

CStunMSG::CStunMSG() : m_pieces(new iovec[kMaxPieces]), m_pieceCount(0), m_header(nullptr)
{
    clear();
}

CStunMSG::~CStunMSG()
{
    clear();
    delete[] m_pieces;
}

void CStunMSG::clear()
{
    for (int i = 0; i < m_pieceCount; ++i)
        delete[] static_cast<uint8_t*>(m_pieces[i].iov_base);
    m_pieceCount = 0;
    m_header = nullptr;
    std::memset(m_slots, 0, sizeof(m_slots));
    std::memset(m_xorPeers, 0, sizeof(m_xorPeers));
    m_xorPeerCount = 0;
    m_xorPeerOverflow = false;
}

int CStunMSG::slotOf(uint16_t type)
{
    for (size_t i = 0; i < sizeof(kSlotTypes) / sizeof(kSlotTypes[0]); ++i)
        if (kSlotTypes[i] == type)
            return int(i);
    return -1;
}

int CStunMSG::createMsg(uint16_t type)
{
    uint8_t id[12];
    for (uint8_t& b : id)
        b = uint8_t(std::rand() % 255);
    clear();
    uint8_t* header = new (std::nothrow) uint8_t[20];
    if (!header) {
        TOU_PRINT(Tou::printLevelError, "<TURN>create msg fail!!\n");
        return -1;
    }
    wr16(header, type);
    wr16(header + 2, 0);
    wr32(header + 4, kStunMagicCookie);
    std::memcpy(header + 8, id, 12);
    m_pieces[0].iov_base = header;
    m_pieces[0].iov_len = 20;
    m_pieceCount = 1;
    return 0;
}

int CStunMSG::createBindingResponse(const uint8_t transactionId[12])
{
    if (createMsg(stunBindingResponse) != 0)
        return -1;
    std::memcpy(static_cast<uint8_t*>(m_pieces[0].iov_base) + 8, transactionId, 12);
    return 0;
}

int CStunMSG::addPiece(uint16_t type, const void* value, size_t length)
{
    if (m_pieceCount == 0 || m_pieceCount >= kMaxPieces || length > 0xFFFF)
        return -1;
    size_t padded = (length + 3) & ~size_t(3);
    uint8_t* header = static_cast<uint8_t*>(m_pieces[0].iov_base);
    size_t total = rd16(header + 2) + 4 + padded;
    if (total > 0xFFFF)
        return -1;
    uint8_t* piece = new (std::nothrow) uint8_t[4 + padded];
    if (!piece)
        return -1;
    std::memset(piece, 0, 4 + padded);
    wr16(piece, type);
    wr16(piece + 2, uint16_t(length));
    if (length)
        std::memcpy(piece + 4, value, length);
    m_pieces[m_pieceCount].iov_base = piece;
    m_pieces[m_pieceCount].iov_len = 4 + padded;
    ++m_pieceCount;
    wr16(header + 2, uint16_t(total));
    return 0;
}

int CStunMSG::addText(uint16_t type, const char* text, size_t limit)
{
    if (!text)
        return -1;
    size_t n = std::strlen(text);
    if (n >= limit)
        return -1;
    return addPiece(type, text, n);
}

int CStunMSG::addAddress(uint16_t type, const Address& address, bool xored)
{
    uint8_t value[20] = {};
    size_t length;
    const sockaddr* sa = address.sockAddr();
    if (sa->sa_family == AF_INET) {
        const sockaddr_in* in = reinterpret_cast<const sockaddr_in*>(sa);
        value[1] = 1;
        std::memcpy(value + 2, &in->sin_port, 2);
        std::memcpy(value + 4, &in->sin_addr, 4);
        length = 8;
    } else if (sa->sa_family == AF_INET6) {
        const sockaddr_in6* in6 = reinterpret_cast<const sockaddr_in6*>(sa);
        if (IN6_IS_ADDR_V4MAPPED(&in6->sin6_addr)) {
            if (!xored)
                return -1;
            value[1] = 1;
            std::memcpy(value + 2, &in6->sin6_port, 2);
            std::memcpy(value + 4, in6->sin6_addr.s6_addr + 12, 4);
            length = 8;
        } else {
            value[1] = 2;
            std::memcpy(value + 2, &in6->sin6_port, 2);
            std::memcpy(value + 4, in6->sin6_addr.s6_addr, 16);
            length = 20;
        }
    } else {
        return -1;
    }
    if (xored) {
        if (m_pieceCount == 0)
            return -1;
        const uint8_t* header = static_cast<const uint8_t*>(m_pieces[0].iov_base);
        for (int i = 0; i < 2; ++i)
            value[2 + i] ^= header[4 + i];
        for (size_t i = 0; i + 4 < length; ++i)
            value[4 + i] ^= header[4 + i];
    }
    return addPiece(type, value, length);
}

int CStunMSG::addMappedAddress(const Address& a) { return addAddress(attrMappedAddress, a, false); }
int CStunMSG::addResponseAddress(const Address& a) { return addAddress(attrResponseAddress, a, false); }
int CStunMSG::addSourceAddress(const Address& a) { return addAddress(attrSourceAddress, a, false); }
int CStunMSG::addXorPeerAddress(const Address& a) { return addAddress(attrXorPeerAddress, a, true); }

int CStunMSG::addChangeRequest(uint16_t first, uint16_t second)
{
    uint8_t v[4];
    wr16(v, first);
    wr16(v + 2, second);
    return addPiece(attrChangeRequest, v, 4);
}

int CStunMSG::addUsername(const char* text) { return addText(attrUsername, text, 513); }
int CStunMSG::addRealm(const char* text) { return addText(attrRealm, text, 764); }
int CStunMSG::addNonce(const char* text) { return addText(attrNonce, text, 764); }
int CStunMSG::addSoftware(const char* text) { return addText(attrSoftware, text, 764); }

int CStunMSG::addMessageIntegrity(const uint8_t* hmac)
{
    uint8_t v[20] = {};
    if (hmac)
        std::memcpy(v, hmac, 20);
    return addPiece(attrMessageIntegrity, v, 20);
}

int CStunMSG::addErrorCode(int errorClass, int number, const char* reason)
{
    if (!reason || errorClass < 3 || errorClass > 6 || number < 0 || number > 99)
        return -1;
    size_t n = std::strlen(reason);
    if (n >= 764)
        return -1;
    uint8_t v[4 + 764] = {};
    v[2] = uint8_t(errorClass);
    v[3] = uint8_t(number);
    std::memcpy(v + 4, reason, n);
    return addPiece(attrErrorCode, v, 4 + n);
}

int CStunMSG::addLifetime(uint32_t seconds)
{
    uint8_t v[4];
    wr32(v, seconds);
    return addPiece(attrLifetime, v, 4);
}

int CStunMSG::addRequestedAddressFamily(int family)
{
    if (family != 1 && family != 2)
        return -1;
    uint8_t v[4] = {uint8_t(family), 0, 0, 0};
    return addPiece(attrRequestedAddressFamily, v, 4);
}

int CStunMSG::addRequestedTransport(uint8_t protocol)
{
    uint8_t v[4] = {protocol, 0, 0, 0};
    return addPiece(attrRequestedTransport, v, 4);
}

int CStunMSG::addConnectionId(uint32_t id)
{
    uint8_t v[4];
    wr32(v, id);
    return addPiece(attrConnectionId, v, 4);
}

int CStunMSG::addIceControlled(const uint8_t t[8]) { return addPiece(attrIceControlled, t, 8); }
int CStunMSG::addIceControlling(const uint8_t t[8]) { return addPiece(attrIceControlling, t, 8); }

bool CStunMSG::toIOVec(iovec*& pieces, int& count)
{
    if (m_pieceCount == 0) {
        TOU_PRINT(Tou::printLevelError, "<TURN>to iovec error! can't find msg header!\n");
        return false;
    }
    pieces = m_pieces;
    count = m_pieceCount;
    return true;
}

int CStunMSG::toBuffer(uint8_t* buffer, int size) const
{
    if (m_pieceCount == 0 || !buffer)
        return -1;
    int used = 0;
    for (int i = 0; i < m_pieceCount; ++i) {
        if (int(m_pieces[i].iov_len) > size - used)
            return -1;
        std::memcpy(buffer + used, m_pieces[i].iov_base, m_pieces[i].iov_len);
        used += int(m_pieces[i].iov_len);
    }
    return used;
}

int CStunMSG::parse(const uint8_t* buffer, int length)
{
    clear();
    if (!buffer || length < 20) {
        STUN_TRACEPOINT();
        return -1;
    }
    int bodyLength = rd16(buffer + 2);
    if (20 + bodyLength > length || bodyLength % 4 != 0) {
        STUN_TRACEPOINT();
        return -1;
    }
    m_header = buffer;
    const uint8_t* end = buffer + 20 + bodyLength;
    bool integritySeen = false;
    for (const uint8_t* p = buffer + 20; end - p >= 4;) {
        uint16_t type = rd16(p);
        size_t valueLength = rd16(p + 2);
        if (valueLength > size_t(end - p - 4))
            break;
        if (integritySeen && type != attrFingerprint)
            break;
        if (type == attrXorPeerAddress) {
            if (m_xorPeerCount < kMaxXorPeers)
                m_xorPeers[m_xorPeerCount++] = p;
            else
                m_xorPeerOverflow = true;
        } else {
            int slot = slotOf(type);
            if (slot >= 0)
                m_slots[slot] = p;
        }
        if (type == attrFingerprint)
            break;
        if (type == attrMessageIntegrity)
            integritySeen = true;
        size_t step = 4 + ((valueLength + 3) & ~size_t(3));
        if (step > size_t(end - p))
            break;
        p += step;
    }
    return 0;
}

const uint8_t* CStunMSG::attribute(uint16_t type, int* length) const
{
    const uint8_t* p = nullptr;
    if (type == attrXorPeerAddress) {
        p = m_xorPeers[0];
    } else {
        int slot = slotOf(type);
        p = slot >= 0 ? m_slots[slot] : nullptr;
    }
    if (!p)
        return nullptr;
    if (length)
        *length = rd16(p + 2);
    return p + 4;
}

int CStunMSG::getMessageId(uint8_t id[12]) const
{
    const uint8_t* header = m_header ? m_header
                                     : m_pieceCount ? static_cast<const uint8_t*>(m_pieces[0].iov_base) : nullptr;
    if (!header) {
        TOU_PRINT(Tou::printLevelError, "CStunMSG::getMessageId msg is NULL!\n");
        return -1;
    }
    std::memcpy(id, header + 8, 12);
    return 0;
}

uint16_t CStunMSG::getType() const
{
    const uint8_t* header = m_header ? m_header
                                     : m_pieceCount ? static_cast<const uint8_t*>(m_pieces[0].iov_base) : nullptr;
    return header ? rd16(header) : 0;
}

int CStunMSG::getMethod() const { return getType() & 0x3EEF; }
bool CStunMSG::isErrorResponse() const { return (getType() & 0x0110) == 0x0110; }

int CStunMSG::getErrorCode() const
{
    int length = 0;
    const uint8_t* v = attribute(attrErrorCode, &length);
    if (!isErrorResponse() || !v || length < 4)
        return -1;
    return (v[2] & 7) * 100 + v[3];
}

void CStunMSG::printErrorInfo() const
{
    int length = 0;
    const uint8_t* v = attribute(attrErrorCode, &length);
    if (!isErrorResponse() || !v || length < 4)
        return;
    char reason[256];
    int n = std::min(length - 4, 255);
    std::memcpy(reason, v + 4, size_t(n));
    reason[n] = '\0';
    TOU_PRINT(Tou::printLevelError, "<TURN> error code[%d] error info:[%s]\n", getErrorCode(), reason);
}

int CStunMSG::getLength() const
{
    const uint8_t* header = m_header ? m_header
                                     : m_pieceCount ? static_cast<const uint8_t*>(m_pieces[0].iov_base) : nullptr;
    return header ? rd16(header + 2) + 20 : 0;
}

bool CStunMSG::getNonce(char* buffer, int& length) const
{
    int n = 0;
    const uint8_t* v = attribute(attrNonce, &n);
    if (!v || !buffer)
        return false;
    std::memcpy(buffer, v, size_t(n));
    length = n;
    return true;
}

bool CStunMSG::decodeAddress(const uint8_t* value, int length, bool xored, StunPeer& peer, Address* address) const
{
    if (!value || length < 8 || !m_header)
        return false;
    uint8_t v[20] = {};
    int family = value[1];
    int addrLength = family == 1 ? 4 : family == 2 ? 16 : 0;
    if (!addrLength || length < 4 + addrLength)
        return false;
    std::memcpy(v, value, size_t(4 + addrLength));
    if (xored) {
        for (int i = 0; i < 2; ++i)
            v[2 + i] ^= m_header[4 + i];
        for (int i = 0; i < addrLength; ++i)
            v[4 + i] ^= m_header[4 + i];
    }
    peer.ipv6 = family == 2;
    peer.port = rd16(v + 2);
    peer.ip[0] = '\0';
    if (family == 1) {
        inet_ntop(AF_INET, v + 4, peer.ip, sizeof(peer.ip));
        if (address) {
            sockaddr_in in = {};
            in.sin_family = AF_INET;
            std::memcpy(&in.sin_port, v + 2, 2);
            std::memcpy(&in.sin_addr, v + 4, 4);
            address->assign(reinterpret_cast<sockaddr*>(&in), sizeof(in));
        }
    } else if (address) {
        sockaddr_in6 in6 = {};
        in6.sin6_family = AF_INET6;
        std::memcpy(&in6.sin6_port, v + 2, 2);
        std::memcpy(&in6.sin6_addr, v + 4, 16);
        address->assign(reinterpret_cast<sockaddr*>(&in6), sizeof(in6));
    }
    return true;
}

bool CStunMSG::getTurnPeer(StunPeer& peer) const
{
    int n = 0;
    const uint8_t* v = attribute(attrXorPeerAddress, &n);
    if (!decodeAddress(v, n, true, peer, nullptr)) {
        TOU_PRINT(Tou::printLevelError, "<TURN> find xor_mapped_addr error!\n");
        return false;
    }
    return true;
}

bool CStunMSG::getRelayedAddress(StunPeer& peer) const
{
    int n = 0;
    const uint8_t* v = attribute(attrXorRelayedAddress, &n);
    if (!decodeAddress(v, n, true, peer, nullptr)) {
        TOU_PRINT(Tou::printLevelError, "<TURN> find xor_mapped_addr error!\n");
        return false;
    }
    return true;
}

bool CStunMSG::getConnId(uint32_t& id) const
{
    int n = 0;
    const uint8_t* v = attribute(attrConnectionId, &n);
    if (!v || n < 4) {
        TOU_PRINT(Tou::printLevelError, "<TURN> find connection id error!\n");
        return false;
    }
    id = (uint32_t(v[0]) << 24) | (uint32_t(v[1]) << 16) | (uint32_t(v[2]) << 8) | v[3];
    return true;
}

bool CStunMSG::getMappedAddress(Address& address) const
{
    int n = 0;
    StunPeer peer;
    const uint8_t* v = attribute(attrMappedAddress, &n); // n is set by this call
    return decodeAddress(v, n, false, peer, &address);
}

bool CStunMSG::getXorMappedAddress(Address& address) const
{
    int n = 0;
    StunPeer peer;
    const uint8_t* v = attribute(attrXorMappedAddress, &n); // n is set by this call
    return decodeAddress(v, n, true, peer, &address);
}

bool CStunMSG::getSourceAddress(Address& address) const
{
    int n = 0;
    StunPeer peer;
    const uint8_t* v = attribute(attrSourceAddress, &n); // n is set by this call
    return decodeAddress(v, n, false, peer, &address);
}

bool CStunMSG::getIceControlled(uint8_t value[8]) const
{
    int n = 0;
    const uint8_t* v = attribute(attrIceControlled, &n);
    if (!v || n != 8)
        return false;
    std::memcpy(value, v, 8);
    return true;
}

bool CStunMSG::getIceControlling(uint8_t value[8]) const
{
    int n = 0;
    const uint8_t* v = attribute(attrIceControlling, &n);
    if (!v || n != 8)
        return false;
    std::memcpy(value, v, 8);
    return true;
}

} // namespace NATTraver
} // namespace Orvan

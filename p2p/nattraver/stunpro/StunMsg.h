#ifndef ORVAN_NATTRAVER_STUNMSG_H
#define ORVAN_NATTRAVER_STUNMSG_H

#include "nattraver/net/Address.h"

#include <cstddef>
#include <cstdint>

struct iovec;

namespace Orvan {
namespace NATTraver {

enum : uint32_t
{
    kStunMagicCookie = 0x2112A442
};

enum StunMessageType : uint16_t
{
    stunBindingRequest = 0x0001,
    stunBindingResponse = 0x0101,
    stunAllocate = 0x0003,
    stunRefresh = 0x0004,
    stunCreatePermission = 0x0008,
    stunConnect = 0x000A,
    stunConnectionBind = 0x000B
};

enum StunAttribute : uint16_t
{
    attrMappedAddress = 0x0001,
    attrResponseAddress = 0x0002,
    attrChangeRequest = 0x0003,
    attrSourceAddress = 0x0004,
    attrChangedAddress = 0x0005,
    attrUsername = 0x0006,
    attrMessageIntegrity = 0x0008,
    attrErrorCode = 0x0009,
    attrUnknownAttributes = 0x000A,
    attrChannelNumber = 0x000C,
    attrLifetime = 0x000D,
    attrXorPeerAddress = 0x0012,
    attrData = 0x0013,
    attrRealm = 0x0014,
    attrNonce = 0x0015,
    attrXorRelayedAddress = 0x0016,
    attrRequestedAddressFamily = 0x0017,
    attrEvenPort = 0x0018,
    attrRequestedTransport = 0x0019,
    attrDontFragment = 0x001A,
    attrXorMappedAddress = 0x0020,
    attrReservationToken = 0x0022,
    attrConnectionId = 0x002A,
    attrSoftware = 0x8022,
    attrAlternateServer = 0x8023,
    attrFingerprint = 0x8028,
    attrIceControlled = 0x8029,
    attrIceControlling = 0x802A
};

// An address decoded from a STUN attribute.
struct StunPeer
{
    int ipv6;
    int port;
    char ip[128]; // dotted text, IPv4 only
};

// STUN message: a writer of separately allocated pieces for a gathered send, or an in-place reader
// of a received datagram (which must outlive it).
class CStunMSG
{
public:
    static const int kMaxPieces = 256;
    static const int kMaxXorPeers = 5;

    CStunMSG();
    ~CStunMSG();
    CStunMSG(const CStunMSG&) = delete;
    CStunMSG& operator=(const CStunMSG&) = delete;

    int createMsg(uint16_t type);
    int createBindingRequest() { return createMsg(stunBindingRequest); }
    int createAllocate() { return createMsg(stunAllocate); }
    int createRefresh() { return createMsg(stunRefresh); }
    int createCreatePermission() { return createMsg(stunCreatePermission); }
    int createConnect() { return createMsg(stunConnect); }
    int createConnectionBind() { return createMsg(stunConnectionBind); }
    int createBindingResponse(const uint8_t transactionId[12]);

    int addMappedAddress(const Address& address);
    int addResponseAddress(const Address& address);
    int addSourceAddress(const Address& address);
    int addChangeRequest(uint16_t first, uint16_t second);
    int addUsername(const char* text);
    int addMessageIntegrity(const uint8_t* hmac = nullptr);
    int addErrorCode(int errorClass, int number, const char* reason);
    int addLifetime(uint32_t seconds);
    int addXorPeerAddress(const Address& address);
    int addRealm(const char* text);
    int addNonce(const char* text);
    int addRequestedAddressFamily(int family);
    int addRequestedTransport(uint8_t protocol);
    int addConnectionId(uint32_t id);
    int addSoftware(const char* text);
    int addIceControlled(const uint8_t tieBreaker[8]);
    int addIceControlling(const uint8_t tieBreaker[8]);

    bool toIOVec(iovec*& pieces, int& count);
    // Joins the pieces into one datagram; its length, or -1 when it does not fit.
    int toBuffer(uint8_t* buffer, int size) const;

    int parse(const uint8_t* buffer, int length);

    int getMessageId(uint8_t id[12]) const;
    uint16_t getType() const;
    int getMethod() const;
    bool isErrorResponse() const;
    int getErrorCode() const;
    void printErrorInfo() const;
    int getLength() const;
    bool getNonce(char* buffer, int& length) const;
    bool getTurnPeer(StunPeer& peer) const;
    bool getRelayedAddress(StunPeer& peer) const;
    bool getConnId(uint32_t& id) const;

    // Reader access. Value and length of an attribute slot; null when absent.
    const uint8_t* attribute(uint16_t type, int* length = nullptr) const;
    bool hasAttribute(uint16_t type) const { return attribute(type) != nullptr; }
    bool getMappedAddress(Address& address) const;
    bool getXorMappedAddress(Address& address) const;
    bool getSourceAddress(Address& address) const;
    bool getIceControlled(uint8_t value[8]) const;
    bool getIceControlling(uint8_t value[8]) const;
    int xorPeerCount() const { return m_xorPeerCount; }
    bool xorPeerOverflow() const { return m_xorPeerOverflow; }

    void clear();

private:
    int addPiece(uint16_t type, const void* value, size_t length);
    int addText(uint16_t type, const char* text, size_t limit);
    int addAddress(uint16_t type, const Address& address, bool xored);
    bool decodeAddress(const uint8_t* value, int length, bool xored, StunPeer& peer, Address* address) const;
    static int slotOf(uint16_t type);

    // writer
    iovec* m_pieces;
    int m_pieceCount;
    // reader
    const uint8_t* m_header;
    static const int kSlots = 32;
    const uint8_t* m_slots[kSlots];
    const uint8_t* m_xorPeers[kMaxXorPeers];
    int m_xorPeerCount;
    bool m_xorPeerOverflow;
};

} // namespace NATTraver
} // namespace Orvan

#endif

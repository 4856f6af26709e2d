#include "Utils/Sha1.h"

#include "Infra3/Error.h"

#include <cstring>

namespace Orvan {
namespace Utils {

struct Sha1Context
{
    uint64_t bitCount;
    uint32_t state[5];
    uint32_t blockLength;
    uint8_t block[64];
    uint8_t digest[Sha1HashSize];
    uint8_t finalised;
};

namespace {

Detail::Sha1CompressFn compressFn()
{
    static const Detail::Sha1CompressFn fn = [] {
        Detail::Sha1CompressFn accelerated = Detail::sha1CompressAccelerated();
        return accelerated ? accelerated : &Detail::sha1CompressPortable;
    }();
    return fn;
}

void initialise(Sha1Context* c)
{
    std::memset(c, 0, sizeof(*c));
    c->state[0] = 0x67452301;
    c->state[1] = 0xEFCDAB89;
    c->state[2] = 0x98BADCFE;
    c->state[3] = 0x10325476;
    c->state[4] = 0xC3D2E1F0;
}

} // namespace

CSha1::CSha1() : m_context(new Sha1Context)
{
    initialise(m_context);
}

CSha1::~CSha1()
{
    delete m_context;
}

void CSha1::update(const void* data, size_t length)
{
    if (!data || length == 0)
        return;
    Sha1Context* c = m_context;
    if (c->finalised)
        initialise(c);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    c->bitCount += static_cast<uint64_t>(length) * 8;
    if (c->blockLength > 0) {
        size_t take = 64 - c->blockLength;
        if (take > length)
            take = length;
        std::memcpy(c->block + c->blockLength, p, take);
        c->blockLength += static_cast<uint32_t>(take);
        p += take;
        length -= take;
        if (c->blockLength < 64)
            return;
        compressFn()(c->state, c->block, 1);
        c->blockLength = 0;
    }
    size_t whole = length / 64;
    if (whole > 0) {
        compressFn()(c->state, p, whole);
        p += whole * 64;
        length -= whole * 64;
    }
    if (length > 0) {
        std::memcpy(c->block, p, length);
        c->blockLength = static_cast<uint32_t>(length);
    }
}

void CSha1::finish()
{
    Sha1Context* c = m_context;
    if (c->finalised)
        return;
    uint64_t bits = c->bitCount;
    c->block[c->blockLength++] = 0x80;
    if (c->blockLength > 56) {
        std::memset(c->block + c->blockLength, 0, 64 - c->blockLength);
        compressFn()(c->state, c->block, 1);
        c->blockLength = 0;
    }
    std::memset(c->block + c->blockLength, 0, 56 - c->blockLength);
    for (int i = 0; i < 8; ++i)
        c->block[56 + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    compressFn()(c->state, c->block, 1);
    c->blockLength = 0;
    for (int i = 0; i < 5; ++i) {
        c->digest[4 * i] = static_cast<uint8_t>(c->state[i] >> 24);
        c->digest[4 * i + 1] = static_cast<uint8_t>(c->state[i] >> 16);
        c->digest[4 * i + 2] = static_cast<uint8_t>(c->state[i] >> 8);
        c->digest[4 * i + 3] = static_cast<uint8_t>(c->state[i]);
    }
    c->finalised = 1;
}

void CSha1::final(uint8_t* hash, size_t len)
{
    if (!(hash != NULL && len >= Sha1HashSize))
        Infra::assertionFailed("hash != NULL && len >= Sha1HashSize", __PRETTY_FUNCTION__, "Src/Utils/Sha1cpp",
                               __LINE__);
    finish();
    std::memcpy(hash, m_context->digest, Sha1HashSize);
}

void CSha1::hex(char* str, size_t len)
{
    if (!(str != NULL && len >= Sha1HexLength))
        Infra::assertionFailed("str != NULL && len >= Sha1HexLength", __PRETTY_FUNCTION__, "Src/Utils/Sha1cpp",
                               __LINE__);
    finish();
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < Sha1HashSize; ++i) {
        str[2 * i] = digits[m_context->digest[i] >> 4];
        str[2 * i + 1] = digits[m_context->digest[i] & 15];
    }
    if (len > Sha1HexLength)
        str[Sha1HexLength] = '\0';
}

} // namespace Utils
} // namespace Orvan

#include "Common/Md5Hash.h"

#include <cstdint>
#include <cstring>

struct CMd5Hash::Context {
    uint32_t state[4];
    uint32_t count[2];
    uint8_t buffer[64];
    uint8_t digest[16];
    bool finalised;
};

namespace {

const uint32_t kInit[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

const uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

const int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                        5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                        4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                        6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

inline uint32_t Rotate(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void Transform(uint32_t state[4], const uint8_t block[64])
{
    uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = uint32_t(block[i * 4]) | uint32_t(block[i * 4 + 1]) << 8 | uint32_t(block[i * 4 + 2]) << 16 |
               uint32_t(block[i * 4 + 3]) << 24;
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const uint32_t next = b + Rotate(a + f + kSine[i] + m[g], kShift[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

} // namespace

CMd5Hash::CMd5Hash() : m_pContext(new Context)
{
    memset(m_pContext, 0, sizeof(Context));
    memcpy(m_pContext->state, kInit, sizeof kInit);
}

CMd5Hash::~CMd5Hash() { delete m_pContext; }

void CMd5Hash::Update(const void* data, size_t length)
{
    if (!data || length == 0)
        return;
    Context* ctx = m_pContext;
    if (ctx->finalised) {
        memset(ctx, 0, sizeof(Context));
        memcpy(ctx->state, kInit, sizeof kInit);
    }
    const uint8_t* input = static_cast<const uint8_t*>(data);
    size_t index = (ctx->count[0] >> 3) & 63;
    const uint64_t bits = (uint64_t(ctx->count[1]) << 32 | ctx->count[0]) + uint64_t(length) * 8;
    ctx->count[0] = uint32_t(bits);
    ctx->count[1] = uint32_t(bits >> 32);
    while (length > 0) {
        const size_t take = length < 64 - index ? length : 64 - index;
        memcpy(ctx->buffer + index, input, take);
        index += take;
        input += take;
        length -= take;
        if (index == 64) {
            Transform(ctx->state, ctx->buffer);
            index = 0;
        }
    }
}

void CMd5Hash::GetHexDigest(char* output)
{
    Context* ctx = m_pContext;
    if (!ctx->finalised) {
        uint8_t length[8];
        for (int i = 0; i < 4; ++i) {
            length[i] = uint8_t(ctx->count[0] >> (8 * i));
            length[i + 4] = uint8_t(ctx->count[1] >> (8 * i));
        }
        size_t index = (ctx->count[0] >> 3) & 63;
        ctx->buffer[index++] = 0x80;
        if (index > 56) {
            memset(ctx->buffer + index, 0, 64 - index);
            Transform(ctx->state, ctx->buffer);
            index = 0;
        }
        memset(ctx->buffer + index, 0, 56 - index);
        memcpy(ctx->buffer + 56, length, 8);
        Transform(ctx->state, ctx->buffer);
        for (int i = 0; i < 16; ++i)
            ctx->digest[i] = uint8_t(ctx->state[i / 4] >> (8 * (i % 4)));
        memset(ctx->state, 0, sizeof ctx->state);
        memset(ctx->count, 0, sizeof ctx->count);
        memset(ctx->buffer, 0, sizeof ctx->buffer);
        ctx->finalised = true;
    }
    if (!output)
        return;
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < 16; ++i) {
        output[i * 2] = digits[ctx->digest[i] >> 4];
        output[i * 2 + 1] = digits[ctx->digest[i] & 15];
    }
}

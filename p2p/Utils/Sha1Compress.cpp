#include "Utils/Sha1.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORVAN_SHA1_X86 1
#endif

namespace Orvan {
namespace Utils {
namespace Detail {

namespace {

inline uint32_t rol(uint32_t v, int n)
{
    return (v << n) | (v >> (32 - n));
}

inline uint32_t load32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

} // namespace

void sha1CompressPortable(uint32_t state[5], const uint8_t* blocks, size_t count)
{
    for (; count > 0; --count, blocks += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = load32(blocks + 4 * i);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        for (int i = 0; i < 80; ++i) {
            uint32_t wi;
            if (i < 16) {
                wi = w[i];
            } else {
                wi = rol(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15], 1);
                w[i & 15] = wi;
            }
            uint32_t f, k;
            if (i < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999;
            } else if (i < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1;
            } else if (i < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDC;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6;
            }
            uint32_t t = rol(a, 5) + f + e + k + wi;
            e = d;
            d = c;
            c = rol(b, 30);
            b = a;
            a = t;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
}

#ifdef ORVAN_SHA1_X86

namespace {

template <int F>
__attribute__((target("sha,sse4.1,ssse3"), always_inline)) inline __m128i rounds(__m128i abcd, __m128i e)
{
    return _mm_sha1rnds4_epu32(abcd, e, F);
}

__attribute__((target("sha,sse4.1,ssse3"))) void sha1CompressShaNi(uint32_t state[5], const uint8_t* blocks,
                                                                     size_t count)
{
    const __m128i mask = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abcdSave = abcd;
        const __m128i eSave = e0;
        __m128i w[4];
        for (int i = 0; i < 4; ++i)
            w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)), mask);

        // Group g covers rounds 4g..4g+3; w[g & 3] holds the words of group g.
        __m128i e1;
        __m128i msg = _mm_add_epi32(e0, w[0]);
#define ORVAN_SHA1_GROUP(g, F)                                                                          \
    do {                                                                                                \
        if ((g) >= 4)                                                                                   \
            w[(g)&3] = _mm_sha1msg2_epu32(                                                              \
                _mm_xor_si128(_mm_sha1msg1_epu32(w[(g)&3], w[((g) + 1) & 3]), w[((g) + 2) & 3]),        \
                w[((g) + 3) & 3]);                                                                      \
        if ((g) > 0)                                                                                    \
            msg = _mm_sha1nexte_epu32(e1, w[(g)&3]);                                                    \
        e1 = abcd;                                                                                      \
        abcd = rounds<F>(abcd, msg);                                                                    \
    } while (0)
        ORVAN_SHA1_GROUP(0, 0);
        ORVAN_SHA1_GROUP(1, 0);
        ORVAN_SHA1_GROUP(2, 0);
        ORVAN_SHA1_GROUP(3, 0);
        ORVAN_SHA1_GROUP(4, 0);
        ORVAN_SHA1_GROUP(5, 1);
        ORVAN_SHA1_GROUP(6, 1);
        ORVAN_SHA1_GROUP(7, 1);
        ORVAN_SHA1_GROUP(8, 1);
        ORVAN_SHA1_GROUP(9, 1);
        ORVAN_SHA1_GROUP(10, 2);
        ORVAN_SHA1_GROUP(11, 2);
        ORVAN_SHA1_GROUP(12, 2);
        ORVAN_SHA1_GROUP(13, 2);
        ORVAN_SHA1_GROUP(14, 2);
        ORVAN_SHA1_GROUP(15, 3);
        ORVAN_SHA1_GROUP(16, 3);
        ORVAN_SHA1_GROUP(17, 3);
        ORVAN_SHA1_GROUP(18, 3);
        ORVAN_SHA1_GROUP(19, 3);
#undef ORVAN_SHA1_GROUP
        e0 = _mm_sha1nexte_epu32(e1, eSave);
        abcd = _mm_add_epi32(abcd, abcdSave);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}

} // namespace

Sha1CompressFn sha1CompressAccelerated()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("sha") && __builtin_cpu_supports("sse4.1") && __builtin_cpu_supports("ssse3"))
        return &sha1CompressShaNi;
    return nullptr;
}

#else

Sha1CompressFn sha1CompressAccelerated()
{
    return nullptr;
}

#endif

} // namespace Detail
} // namespace Utils
} // namespace Orvan

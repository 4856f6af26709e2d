#include "devsim/FirmwareCrc.h"

#include "fwmake/FirmwareImage.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VX_CRC_FOLD 1
#endif

namespace devsim {

namespace {

#ifdef VX_CRC_FOLD

#define VX_CRC_TARGET __attribute__((target("pclmul,sse4.1")))

VX_CRC_TARGET inline __m128i Load(const uint8_t* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); }

// x times the constants of k, added to next: 128 bits further along.
VX_CRC_TARGET inline __m128i Fold16(__m128i x, __m128i next, __m128i k)
{
    __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x11), next), lo);
}

// Folds 64 bytes per step over four 128-bit lanes, then down to 128 and 64 bits, then a Barrett
// reduction to the 32-bit remainder. Takes and returns the inverted register (crc ^ ~0); n is a
// multiple of 16, at least 64. Constants are powers of x modulo the bit-reflected polynomial.
VX_CRC_TARGET uint32_t Fold(const uint8_t* p, size_t n, uint32_t crc)
{
    alignas(16) static const uint64_t k1k2[] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const uint64_t k3k4[] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const uint64_t k5k0[] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const uint64_t poly[] = {0x01db710641, 0x01f7011641};

    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(int(crc)));
    __m128i x2 = Load(p + 16), x3 = Load(p + 32), x4 = Load(p + 48);
    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    p += 64;
    n -= 64;
    while (n >= 64) {
        __m128i l1 = _mm_clmulepi64_si128(x1, k, 0x00), l2 = _mm_clmulepi64_si128(x2, k, 0x00);
        __m128i l3 = _mm_clmulepi64_si128(x3, k, 0x00), l4 = _mm_clmulepi64_si128(x4, k, 0x00);
        x1 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x1, k, 0x11), l1), Load(p));
        x2 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x2, k, 0x11), l2), Load(p + 16));
        x3 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x3, k, 0x11), l3), Load(p + 32));
        x4 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x4, k, 0x11), l4), Load(p + 48));
        p += 64;
        n -= 64;
    }
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = Fold16(x1, x2, k);
    x1 = Fold16(x1, x3, k);
    x1 = Fold16(x1, x4, k);
    while (n >= 16) {
        x1 = Fold16(x1, Load(p), k);
        p += 16;
        n -= 16;
    }
    // 128 to 64 bits.
    const __m128i mask32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x2 = _mm_clmulepi64_si128(x1, k, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k, 0x00), x2);
    // Barrett reduction to 32 bits.
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    x2 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k, 0x10);
    x2 = _mm_clmulepi64_si128(_mm_and_si128(x2, mask32), k, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return uint32_t(_mm_extract_epi32(x1, 1));
}

bool CanFold()
{
    static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return can;
}

#endif

} // namespace

uint32_t FirmwareCrc32(uint32_t crc, const void* data, size_t n)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
#ifdef VX_CRC_FOLD
    if (n >= 64 && CanFold()) {
        const size_t whole = n & ~size_t(15);
        crc = ~Fold(p, whole, ~crc);
        p += whole;
        n -= whole;
    }
#endif
    return fwmake::Crc32(crc, p, n);
}

} // namespace devsim

#include "Common/YuvConvert.h"

#include <cstddef>
#include <cstdlib>
#include <vector>

#if defined(__x86_64__)
// Some AVX-512 intrinsics start from an undefined vector that GCC 12 reports as maybe uninitialised.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#define VX_YUV_X86 1
#endif

#if defined(__clang__)
#define VX_O3
#else
#define VX_O3 __attribute__((optimize("O3")))
#endif

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are written as little-endian words");

namespace {

// Every channel is floor((9535 * (y - 16) + chroma terms) / 8192), clamped to 0..255.
constexpr int kLuma = 9535, kRedV = 13074, kGreenV = 6660, kGreenU = 3203, kBlueU = 16531;
constexpr int kShift = 13;
constexpr int kLow = (1 << kShift) - 1;
// Chroma terms with the luma offset folded in, for raw bytes y, v, u: 9535 * y + these.
constexpr int kRedBase = -kRedV * 128 - kLuma * 16;
constexpr int kGreenBase = (kGreenV + kGreenU) * 128 - kLuma * 16;
constexpr int kBlueBase = -kBlueU * 128 - kLuma * 16;

inline uint32_t Clamp8(int32_t v) { return uint32_t(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Columns [from, to) of a row pair, pixel by pixel; `from` and `to` even.
void RowPairTail(const uint8_t* y0, const uint8_t* y1, const uint8_t* planeP, const uint8_t* planeQ, uint32_t* out0,
                 uint32_t* out1, int from, int to)
{
    for (int x = from; x < to; x += 2) {
        const int v = planeP[x / 2], u = planeQ[x / 2];
        const int r = kRedV * v + kRedBase, g = kGreenBase - kGreenV * v - kGreenU * u, b = kBlueU * u + kBlueBase;
        const uint8_t* ys[2] = {y0, y1};
        uint32_t* outs[2] = {out0, out1};
        for (int row = 0; row < 2; ++row) {
            for (int c = x; c < x + 2; ++c) {
                const int l = kLuma * ys[row][c];
                outs[row][c] = Clamp8((l + r) >> kShift) | (Clamp8((l + g) >> kShift) << 8) |
                               (Clamp8((l + b) >> kShift) << 16) | 0xFF000000u;
            }
        }
    }
}

// Plain version: the chroma terms of a row pair are spread to full width once, then the pixel
// loop is arithmetic the compiler can vectorise for the build's base instruction set.
VX_O3 void SpreadChroma(const uint8_t* __restrict__ planeP, const uint8_t* __restrict__ planeQ, int count,
                        int32_t* __restrict__ red, int32_t* __restrict__ green, int32_t* __restrict__ blue)
{
    for (int col = 0; col < count; ++col) {
        const int32_t p = planeP[col], q = planeQ[col];
        red[2 * col] = red[2 * col + 1] = kRedV * p + kRedBase;
        blue[2 * col] = blue[2 * col + 1] = kBlueU * q + kBlueBase;
        green[2 * col] = green[2 * col + 1] = kGreenBase - kGreenV * p - kGreenU * q;
    }
}

VX_O3 void PixelRows(const uint8_t* __restrict__ y0, const uint8_t* __restrict__ y1, const int32_t* __restrict__ red,
                     const int32_t* __restrict__ green, const int32_t* __restrict__ blue, uint32_t* __restrict__ out0,
                     uint32_t* __restrict__ out1, int count)
{
    for (int x = 0; x < count; ++x) {
        const int32_t r = red[x], g = green[x], b = blue[x];
        const int32_t l0 = kLuma * y0[x], l1 = kLuma * y1[x];
        out0[x] = Clamp8((l0 + r) >> kShift) | (Clamp8((l0 + g) >> kShift) << 8) |
                  (Clamp8((l0 + b) >> kShift) << 16) | 0xFF000000u;
        out1[x] = Clamp8((l1 + r) >> kShift) | (Clamp8((l1 + g) >> kShift) << 8) |
                  (Clamp8((l1 + b) >> kShift) << 16) | 0xFF000000u;
    }
}

int RowPairPlain(const uint8_t* y0, const uint8_t* y1, const uint8_t* planeP, const uint8_t* planeQ, uint32_t* out0,
                 uint32_t* out1, int even)
{
    thread_local std::vector<int32_t> red, green, blue;
    red.resize(size_t(even));
    green.resize(size_t(even));
    blue.resize(size_t(even));
    SpreadChroma(planeP, planeQ, even / 2, red.data(), green.data(), blue.data());
    PixelRows(y0, y1, red.data(), green.data(), blue.data(), out0, out1, even);
    return even;
}

#ifdef VX_YUV_X86
// Vector versions in 16-bit lanes, exact to the formula: with C = Ch * 8192 + Cl (0 <= Cl < 8192)
// and 9535 * y = Lh * 8192 + Ll, the channel is Lh + Ch, plus one when Ll + Cl carries, that is
// when Ll > 8191 - Cl. Ch and 8191 - Cl come once per chroma sample (for four pixels), Lh and Ll
// from a 16-bit multiply of each luma byte; saturating packs clamp to bytes.

// Two luma and two chroma rows stream in at once, which the hardware prefetcher follows late:
// their lines are asked for a little ahead.
constexpr int kAhead = 1024;

inline void FetchAhead(const uint8_t* y0, const uint8_t* y1, const uint8_t* planeP, const uint8_t* planeQ)
{
    _mm_prefetch(reinterpret_cast<const char*>(y0 + kAhead), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(y1 + kAhead), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(planeP + kAhead / 2), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(planeQ + kAhead / 2), _MM_HINT_T0);
}

// Ch and 8191 - Cl of one channel for 8 chroma samples, from their interleaved (v, u) pairs:
// samples 0-3 in `a`, 4-7 in `b`.
inline void Chroma8(__m128i a, __m128i b, __m128i factor, int base, __m128i& ch, __m128i& k)
{
    const __m128i low = _mm_set1_epi32(kLow);
    const __m128i ca = _mm_add_epi32(_mm_madd_epi16(a, factor), _mm_set1_epi32(base));
    const __m128i cb = _mm_add_epi32(_mm_madd_epi16(b, factor), _mm_set1_epi32(base));
    ch = _mm_packs_epi32(_mm_srai_epi32(ca, kShift), _mm_srai_epi32(cb, kShift));
    k = _mm_packs_epi32(_mm_andnot_si128(ca, low), _mm_andnot_si128(cb, low));
}

// One channel of 8 pixels of each row, packed to bytes: row 0 then row 1.
inline __m128i Channel2(__m128i lh0, __m128i ll0, __m128i lh1, __m128i ll1, __m128i ch, __m128i k)
{
    return _mm_packus_epi16(_mm_sub_epi16(_mm_add_epi16(lh0, ch), _mm_cmpgt_epi16(ll0, k)),
                            _mm_sub_epi16(_mm_add_epi16(lh1, ch), _mm_cmpgt_epi16(ll1, k)));
}

inline void Luma8(__m128i y, __m128i& lh, __m128i& ll)
{
    const __m128i luma = _mm_set1_epi16(kLuma);
    lh = _mm_mulhi_epu16(_mm_slli_epi16(y, 3), luma);
    ll = _mm_and_si128(_mm_mullo_epi16(y, luma), _mm_set1_epi16(kLow));
}

template <bool High>
inline __m128i Spread(__m128i a, __m128i b)
{
    return High ? _mm_unpackhi_epi8(a, b) : _mm_unpacklo_epi8(a, b);
}

template <bool High>
inline __m128i Twice(__m128i c)
{
    return High ? _mm_unpackhi_epi16(c, c) : _mm_unpacklo_epi16(c, c);
}

// Pixels A..A+7 of both rows (A = 0 with High false, 8 with High true).
template <bool High>
inline void Half(__m128i y0, __m128i y1, __m128i chR, __m128i kR, __m128i chG, __m128i kG, __m128i chB, __m128i kB,
                 uint32_t* out0, uint32_t* out1)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i lh0, ll0, lh1, ll1;
    Luma8(Spread<High>(y0, zero), lh0, ll0);
    Luma8(Spread<High>(y1, zero), lh1, ll1);
    const __m128i r = Channel2(lh0, ll0, lh1, ll1, Twice<High>(chR), Twice<High>(kR));
    const __m128i g = Channel2(lh0, ll0, lh1, ll1, Twice<High>(chG), Twice<High>(kG));
    const __m128i b = Channel2(lh0, ll0, lh1, ll1, Twice<High>(chB), Twice<High>(kB));
    const __m128i opaque = _mm_set1_epi8(char(0xFF));
    const __m128i rg0 = _mm_unpacklo_epi8(r, g), rg1 = _mm_unpackhi_epi8(r, g);
    const __m128i ba0 = _mm_unpacklo_epi8(b, opaque), ba1 = _mm_unpackhi_epi8(b, opaque);
    const int a = High ? 8 : 0;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out0 + a), _mm_unpacklo_epi16(rg0, ba0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out0 + a + 4), _mm_unpackhi_epi16(rg0, ba0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out1 + a), _mm_unpacklo_epi16(rg1, ba1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out1 + a + 4), _mm_unpackhi_epi16(rg1, ba1));
}

int RowPairSse2(const uint8_t* y0, const uint8_t* y1, const uint8_t* planeP, const uint8_t* planeQ, uint32_t* out0,
                uint32_t* out1, int even)
{
    const __m128i factorR = _mm_set1_epi32(kRedV);
    const __m128i factorG = _mm_set1_epi32(int32_t(uint16_t(-kGreenV) | uint32_t(uint16_t(-kGreenU)) << 16));
    const __m128i factorB = _mm_set1_epi32(int32_t(uint32_t(kBlueU) << 16));
    const __m128i zero = _mm_setzero_si128();
    int x = 0;
    for (; x + 16 <= even; x += 16) {
        FetchAhead(y0 + x, y1 + x, planeP + x / 2, planeQ + x / 2);
        const __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(planeP + x / 2)), zero);
        const __m128i u = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(planeQ + x / 2)), zero);
        const __m128i a = _mm_unpacklo_epi16(v, u), b = _mm_unpackhi_epi16(v, u);
        __m128i chR, kR, chG, kG, chB, kB;
        Chroma8(a, b, factorR, kRedBase, chR, kR);
        Chroma8(a, b, factorG, kGreenBase, chG, kG);
        Chroma8(a, b, factorB, kBlueBase, chB, kB);
        const __m128i l0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y0 + x));
        const __m128i l1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y1 + x));
        Half<false>(l0, l1, chR, kR, chG, kG, chB, kB, out0 + x, out1 + x);
        Half<true>(l0, l1, chR, kR, chG, kG, chB, kB, out0 + x, out1 + x);
    }
    return x;
}

#define VX_AVX2 __attribute__((target("avx2")))

// Ch and 8191 - Cl of one channel for 16 chroma samples, from their in-lane interleaved (v, u)
// pairs: samples 0-3 and 8-11 in `a`, 4-7 and 12-15 in `b`; the packs restore the order.
VX_AVX2 inline void Chroma16(__m256i a, __m256i b, __m256i factor, int base, __m256i& ch, __m256i& k)
{
    const __m256i low = _mm256_set1_epi32(kLow);
    const __m256i ca = _mm256_add_epi32(_mm256_madd_epi16(a, factor), _mm256_set1_epi32(base));
    const __m256i cb = _mm256_add_epi32(_mm256_madd_epi16(b, factor), _mm256_set1_epi32(base));
    ch = _mm256_packs_epi32(_mm256_srai_epi32(ca, kShift), _mm256_srai_epi32(cb, kShift));
    k = _mm256_packs_epi32(_mm256_andnot_si256(ca, low), _mm256_andnot_si256(cb, low));
}

// One channel of 16 pixels of each row, packed to bytes: row 0 then row 1 in each lane.
VX_AVX2 inline __m256i Channel2(__m256i lh0, __m256i ll0, __m256i lh1, __m256i ll1, __m256i ch, __m256i k)
{
    return _mm256_packus_epi16(_mm256_sub_epi16(_mm256_add_epi16(lh0, ch), _mm256_cmpgt_epi16(ll0, k)),
                               _mm256_sub_epi16(_mm256_add_epi16(lh1, ch), _mm256_cmpgt_epi16(ll1, k)));
}

VX_AVX2 inline void Luma16(__m256i y, __m256i& lh, __m256i& ll)
{
    const __m256i luma = _mm256_set1_epi16(kLuma);
    lh = _mm256_mulhi_epu16(_mm256_slli_epi16(y, 3), luma);
    ll = _mm256_and_si256(_mm256_mullo_epi16(y, luma), _mm256_set1_epi16(kLow));
}

template <bool High>
VX_AVX2 inline __m256i Spread(__m256i a, __m256i b)
{
    return High ? _mm256_unpackhi_epi8(a, b) : _mm256_unpacklo_epi8(a, b);
}

template <bool High>
VX_AVX2 inline __m256i Twice(__m256i c)
{
    return High ? _mm256_unpackhi_epi16(c, c) : _mm256_unpacklo_epi16(c, c);
}

// Pixels A..A+7 and A+16..A+23 of both rows (A = 0 with High false, 8 with High true); the
// chroma of the 16 samples is duplicated to pixels by in-lane unpacks, which match those of luma.
template <bool High>
VX_AVX2 inline void Half(__m256i y0, __m256i y1, __m256i chR, __m256i kR, __m256i chG, __m256i kG, __m256i chB,
                         __m256i kB, uint32_t* out0, uint32_t* out1)
{
    const __m256i zero = _mm256_setzero_si256();
    __m256i lh0, ll0, lh1, ll1;
    Luma16(Spread<High>(y0, zero), lh0, ll0);
    Luma16(Spread<High>(y1, zero), lh1, ll1);
    const __m256i r = Channel2(lh0, ll0, lh1, ll1, Twice<High>(chR), Twice<High>(kR));
    const __m256i g = Channel2(lh0, ll0, lh1, ll1, Twice<High>(chG), Twice<High>(kG));
    const __m256i b = Channel2(lh0, ll0, lh1, ll1, Twice<High>(chB), Twice<High>(kB));
    const __m256i opaque = _mm256_set1_epi8(char(0xFF));
    const __m256i rg0 = _mm256_unpacklo_epi8(r, g), rg1 = _mm256_unpackhi_epi8(r, g);
    const __m256i ba0 = _mm256_unpacklo_epi8(b, opaque), ba1 = _mm256_unpackhi_epi8(b, opaque);
    // Pixels A..A+3 | A+16..A+19 and A+4..A+7 | A+20..A+23 of each row.
    const __m256i p0 = _mm256_unpacklo_epi16(rg0, ba0), p1 = _mm256_unpackhi_epi16(rg0, ba0);
    const __m256i q0 = _mm256_unpacklo_epi16(rg1, ba1), q1 = _mm256_unpackhi_epi16(rg1, ba1);
    const int a = High ? 8 : 0;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out0 + a), _mm256_permute2x128_si256(p0, p1, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out0 + a + 16), _mm256_permute2x128_si256(p0, p1, 0x31));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out1 + a), _mm256_permute2x128_si256(q0, q1, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out1 + a + 16), _mm256_permute2x128_si256(q0, q1, 0x31));
}

VX_AVX2 int RowPairAvx2(const uint8_t* y0, const uint8_t* y1, const uint8_t* planeP, const uint8_t* planeQ,
                        uint32_t* out0, uint32_t* out1, int even)
{
    const __m256i factorR = _mm256_set1_epi32(kRedV);
    const __m256i factorG = _mm256_set1_epi32(int32_t(uint16_t(-kGreenV) | uint32_t(uint16_t(-kGreenU)) << 16));
    const __m256i factorB = _mm256_set1_epi32(int32_t(uint32_t(kBlueU) << 16));
    int x = 0;
    for (; x + 32 <= even; x += 32) {
        FetchAhead(y0 + x, y1 + x, planeP + x / 2, planeQ + x / 2);
        const __m256i v = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(planeP + x / 2)));
        const __m256i u = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(planeQ + x / 2)));
        const __m256i a = _mm256_unpacklo_epi16(v, u), b = _mm256_unpackhi_epi16(v, u);
        __m256i chR, kR, chG, kG, chB, kB;
        Chroma16(a, b, factorR, kRedBase, chR, kR);
        Chroma16(a, b, factorG, kGreenBase, chG, kG);
        Chroma16(a, b, factorB, kBlueBase, chB, kB);
        const __m256i l0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y0 + x));
        const __m256i l1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y1 + x));
        Half<false>(l0, l1, chR, kR, chG, kG, chB, kB, out0 + x, out1 + x);
        Half<true>(l0, l1, chR, kR, chG, kG, chB, kB, out0 + x, out1 + x);
    }
    // Remaining columns go the narrower ways.
    return x + RowPairSse2(y0 + x, y1 + x, planeP + x / 2, planeQ + x / 2, out0 + x, out1 + x, even - x);
}

#define VX_AVX512 __attribute__((target("avx512bw")))

// As the AVX2 version, with four lanes: samples 8j..8j+3 in lane j of `a`, 8j+4..8j+7 in `b`.
VX_AVX512 inline void Chroma32(__m512i a, __m512i b, __m512i factor, int base, __m512i& ch, __m512i& k)
{
    const __m512i low = _mm512_set1_epi32(kLow);
    const __m512i ca = _mm512_add_epi32(_mm512_madd_epi16(a, factor), _mm512_set1_epi32(base));
    const __m512i cb = _mm512_add_epi32(_mm512_madd_epi16(b, factor), _mm512_set1_epi32(base));
    ch = _mm512_packs_epi32(_mm512_srai_epi32(ca, kShift), _mm512_srai_epi32(cb, kShift));
    k = _mm512_packs_epi32(_mm512_andnot_si512(ca, low), _mm512_andnot_si512(cb, low));
}

VX_AVX512 inline __m512i Carry(__m512i lh, __m512i ll, __m512i ch, __m512i k)
{
    const __m512i sum = _mm512_add_epi16(lh, ch);
    return _mm512_mask_sub_epi16(sum, _mm512_cmpgt_epi16_mask(ll, k), sum, _mm512_set1_epi16(-1));
}

VX_AVX512 inline __m512i Channel2(__m512i lh0, __m512i ll0, __m512i lh1, __m512i ll1, __m512i ch, __m512i k)
{
    return _mm512_packus_epi16(Carry(lh0, ll0, ch, k), Carry(lh1, ll1, ch, k));
}

VX_AVX512 inline void Luma32(__m512i y, __m512i& lh, __m512i& ll)
{
    const __m512i luma = _mm512_set1_epi16(kLuma);
    lh = _mm512_mulhi_epu16(_mm512_slli_epi16(y, 3), luma);
    ll = _mm512_and_si512(_mm512_mullo_epi16(y, luma), _mm512_set1_epi16(kLow));
}

template <bool High>
VX_AVX512 inline __m512i Spread(__m512i a, __m512i b)
{
    return High ? _mm512_unpackhi_epi8(a, b) : _mm512_unpacklo_epi8(a, b);
}

template <bool High>
VX_AVX512 inline __m512i Twice(__m512i c)
{
    return High ? _mm512_unpackhi_epi16(c, c) : _mm512_unpacklo_epi16(c, c);
}

// Pixels A+16j..A+16j+7 (lane j, A = 0 or 8) of both rows: `p0` holds the first four of row 0
// per lane, `p1` the next four, `q0` and `q1` the same of row 1.
template <bool High>
VX_AVX512 inline void Half(__m512i y0, __m512i y1, __m512i chR, __m512i kR, __m512i chG, __m512i kG, __m512i chB,
                           __m512i kB, __m512i& p0, __m512i& p1, __m512i& q0, __m512i& q1)
{
    const __m512i zero = _mm512_setzero_si512();
    __m512i lh0, ll0, lh1, ll1;
    Luma32(Spread<High>(y0, zero), lh0, ll0);
    Luma32(Spread<High>(y1, zero), lh1, ll1);
    const __m512i r = Channel2(lh0, ll0, lh1, ll1, Twice<High>(chR), Twice<High>(kR));
    const __m512i g = Channel2(lh0, ll0, lh1, ll1, Twice<High>(chG), Twice<High>(kG));
    const __m512i b = Channel2(lh0, ll0, lh1, ll1, Twice<High>(chB), Twice<High>(kB));
    const __m512i opaque = _mm512_set1_epi8(char(0xFF));
    const __m512i rg0 = _mm512_unpacklo_epi8(r, g), rg1 = _mm512_unpackhi_epi8(r, g);
    const __m512i ba0 = _mm512_unpacklo_epi8(b, opaque), ba1 = _mm512_unpackhi_epi8(b, opaque);
    p0 = _mm512_unpacklo_epi16(rg0, ba0);
    p1 = _mm512_unpackhi_epi16(rg0, ba0);
    q0 = _mm512_unpacklo_epi16(rg1, ba1);
    q1 = _mm512_unpackhi_epi16(rg1, ba1);
}

// 64 pixels of a row from the four 4-pixel groups of each lane: a 4 x 4 transpose of lanes.
VX_AVX512 inline void Store64(uint32_t* out, __m512i lo0, __m512i lo1, __m512i hi0, __m512i hi1)
{
    const __m512i x0 = _mm512_shuffle_i64x2(lo0, lo1, 0x44), x1 = _mm512_shuffle_i64x2(lo0, lo1, 0xEE);
    const __m512i y0 = _mm512_shuffle_i64x2(hi0, hi1, 0x44), y1 = _mm512_shuffle_i64x2(hi0, hi1, 0xEE);
    _mm512_storeu_si512(out, _mm512_shuffle_i64x2(x0, y0, 0x88));
    _mm512_storeu_si512(out + 16, _mm512_shuffle_i64x2(x0, y0, 0xDD));
    _mm512_storeu_si512(out + 32, _mm512_shuffle_i64x2(x1, y1, 0x88));
    _mm512_storeu_si512(out + 48, _mm512_shuffle_i64x2(x1, y1, 0xDD));
}

VX_AVX512 int RowPairAvx512(const uint8_t* y0, const uint8_t* y1, const uint8_t* planeP, const uint8_t* planeQ,
                            uint32_t* out0, uint32_t* out1, int even)
{
    const __m512i factorR = _mm512_set1_epi32(kRedV);
    const __m512i factorG = _mm512_set1_epi32(int32_t(uint16_t(-kGreenV) | uint32_t(uint16_t(-kGreenU)) << 16));
    const __m512i factorB = _mm512_set1_epi32(int32_t(uint32_t(kBlueU) << 16));
    int x = 0;
    for (; x + 64 <= even; x += 64) {
        FetchAhead(y0 + x, y1 + x, planeP + x / 2, planeQ + x / 2);
        const __m512i v = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(planeP + x / 2)));
        const __m512i u = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(planeQ + x / 2)));
        const __m512i a = _mm512_unpacklo_epi16(v, u), b = _mm512_unpackhi_epi16(v, u);
        __m512i chR, kR, chG, kG, chB, kB;
        Chroma32(a, b, factorR, kRedBase, chR, kR);
        Chroma32(a, b, factorG, kGreenBase, chG, kG);
        Chroma32(a, b, factorB, kBlueBase, chB, kB);
        const __m512i l0 = _mm512_loadu_si512(y0 + x), l1 = _mm512_loadu_si512(y1 + x);
        __m512i p0, p1, q0, q1, p2, p3, q2, q3;
        Half<false>(l0, l1, chR, kR, chG, kG, chB, kB, p0, p1, q0, q1);
        Half<true>(l0, l1, chR, kR, chG, kG, chB, kB, p2, p3, q2, q3);
        Store64(out0 + x, p0, p1, p2, p3);
        Store64(out1 + x, q0, q1, q2, q3);
    }
    // Remaining columns go the narrower ways.
    return x + RowPairAvx2(y0 + x, y1 + x, planeP + x / 2, planeQ + x / 2, out0 + x, out1 + x, even - x);
}
#endif

// Converts the columns it can of a row pair, returns how many (from column 0).
using RowPairFn = int (*)(const uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, uint32_t*, uint32_t*, int);

RowPairFn KernelFn(YuvKernel kernel)
{
#ifdef VX_YUV_X86
    __builtin_cpu_init();
#endif
    switch (kernel) {
    case YuvKernel::Plain:
        return RowPairPlain;
#ifdef VX_YUV_X86
    case YuvKernel::Sse2:
        return RowPairSse2;
    case YuvKernel::Avx2:
        return __builtin_cpu_supports("avx2") ? RowPairAvx2 : nullptr;
    case YuvKernel::Avx512:
        return __builtin_cpu_supports("avx512bw") ? RowPairAvx512 : nullptr;
#endif
    default:
        return nullptr;
    }
}

RowPairFn BestKernel()
{
    // The sanitizer builds keep to the plain version; the tests reach the others by name.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    static const RowPairFn best = RowPairPlain;
#else
    static const RowPairFn best = [] {
        for (YuvKernel k : {YuvKernel::Avx512, YuvKernel::Avx2, YuvKernel::Sse2})
            if (RowPairFn fn = KernelFn(k))
                return fn;
        return RowPairFn(RowPairPlain);
    }();
#endif
    return best;
}

void Convert(RowPairFn rowPair, uint32_t* output, int outputPitch, const uint8_t* luma, const uint8_t* planeP,
             const uint8_t* planeQ, int lumaStride, int chromaStride, int width, int height)
{
    const int rows = std::abs(height);
    ptrdiff_t lumaStep = lumaStride;
    ptrdiff_t chromaStep = chromaStride;
    if (height < 0) {
        // Bottom-up source: start at the last rows and walk upwards.
        luma += ptrdiff_t(rows - 1) * lumaStride;
        planeP += ptrdiff_t(rows / 2 - 1) * chromaStride;
        planeQ += ptrdiff_t(rows / 2 - 1) * chromaStride;
        lumaStep = -lumaStep;
        chromaStep = -chromaStep;
    }
    const int even = width & ~1;
    for (int pair = 0; pair < rows / 2; ++pair) {
        const uint8_t* y1 = luma + lumaStep;
        uint32_t* out1 = output + outputPitch;
        const int done = rowPair(luma, y1, planeP, planeQ, output, out1, even);
        RowPairTail(luma, y1, planeP, planeQ, output, out1, done, even);
        luma += 2 * lumaStep;
        output += 2 * ptrdiff_t(outputPitch);
        planeP += chromaStep;
        planeQ += chromaStep;
    }
}

} // namespace

void InitYuvTables() { BestKernel(); }

void Yuv420ToRgb32(uint32_t* output, int outputPitch, const uint8_t* luma, const uint8_t* planeP,
                   const uint8_t* planeQ, int lumaStride, int chromaStride, int width, int height)
{
    Convert(BestKernel(), output, outputPitch, luma, planeP, planeQ, lumaStride, chromaStride, width, height);
}

bool Yuv420ToRgb32Using(YuvKernel kernel, uint32_t* output, int outputPitch, const uint8_t* luma,
                        const uint8_t* planeP, const uint8_t* planeQ, int lumaStride, int chromaStride, int width,
                        int height)
{
    const RowPairFn fn = KernelFn(kernel);
    if (!fn)
        return false;
    Convert(fn, output, outputPitch, luma, planeP, planeQ, lumaStride, chromaStride, width, height);
    return true;
}

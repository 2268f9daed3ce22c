// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/yuv_conversion.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstddef>

namespace vantrel {

namespace {

// A direct loop: the general scaler spends more on a same-size conversion than the H.264
// encoder spends on a frame. Sixteen pixels at a time in SSE2 (every x86-64 has it), in
// 16-bit lanes, which the compiler does not find on its own; the same integers as the
// plain loop that does the rest of a row. One pair of rows of an even width: both luma
// rows and one row of each chroma plane.
void convertRowPair(const uint32_t* row0, const uint32_t* row1, uint8_t* luma0, uint8_t* luma1, uint8_t* cb,
                    uint8_t* cr, int w) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i byte = _mm_set1_epi32(0xff);
    const __m128i kR = _mm_set1_epi16(47), kG = _mm_set1_epi16(157), kB = _mm_set1_epi16(16);
    const __m128i lumaBias = _mm_set1_epi16(16 * 256 + 128);
    const __m128i ones = _mm_set1_epi16(1), zero = _mm_setzero_si128();
    // Coefficient pairs for _mm_madd_epi16: (r, g) lanes and (b, 0) lanes.
    auto pair = [](int low, int high) {
        return _mm_set1_epi32(static_cast<int>((static_cast<uint32_t>(high) << 16) | (static_cast<uint32_t>(low) & 0xffff)));
    };
    const __m128i cbRG = pair(-26, -87), cbB = pair(113, 0), crRG = pair(112, -102), crB = pair(-10, 0);
    const __m128i chromaBias = _mm_set1_epi32(128 * 1024 + 512);
    // Eight pixels' channels as 16-bit lanes.
    auto channels = [&](const uint32_t* p, __m128i& r, __m128i& g, __m128i& b) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4));
        b = _mm_packs_epi32(_mm_and_si128(a, byte), _mm_and_si128(c, byte));
        g = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(a, 8), byte), _mm_and_si128(_mm_srli_epi32(c, 8), byte));
        r = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(a, 16), byte), _mm_and_si128(_mm_srli_epi32(c, 16), byte));
    };
    // At most 220 · 255 + 4224 < 2^16: no lane overflows.
    auto luma = [&](__m128i r, __m128i g, __m128i b) {
        const __m128i y = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(r, kR), _mm_mullo_epi16(g, kG)),
                                        _mm_add_epi16(_mm_mullo_epi16(b, kB), lumaBias));
        return _mm_srli_epi16(y, 8);
    };
    auto chroma = [&](__m128i r, __m128i g, __m128i b, __m128i kRG, __m128i kB) {
        const __m128i lo = _mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(r, g), kRG),
                                                       _mm_madd_epi16(_mm_unpacklo_epi16(b, zero), kB)), chromaBias);
        const __m128i hi = _mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(r, g), kRG),
                                                       _mm_madd_epi16(_mm_unpackhi_epi16(b, zero), kB)), chromaBias);
        return _mm_packs_epi32(_mm_srai_epi32(lo, 10), _mm_srai_epi32(hi, 10));
    };
    for (; x + 16 <= w; x += 16) {
        __m128i r[4], g[4], b[4];   // rows 0, 0, 1, 1: pixels x … x + 7, then x + 8 … x + 15
        channels(row0 + x, r[0], g[0], b[0]);
        channels(row0 + x + 8, r[1], g[1], b[1]);
        channels(row1 + x, r[2], g[2], b[2]);
        channels(row1 + x + 8, r[3], g[3], b[3]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(luma0 + x), _mm_packus_epi16(luma(r[0], g[0], b[0]), luma(r[1], g[1], b[1])));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(luma1 + x), _mm_packus_epi16(luma(r[2], g[2], b[2]), luma(r[3], g[3], b[3])));
        // Each 2 × 2 block's sums: the rows added, then neighbouring pixels.
        auto sum = [&](const __m128i* c) {
            return _mm_packs_epi32(_mm_madd_epi16(_mm_add_epi16(c[0], c[2]), ones), _mm_madd_epi16(_mm_add_epi16(c[1], c[3]), ones));
        };
        const __m128i rs = sum(r), gs = sum(g), bs = sum(b);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(cb + x / 2), _mm_packus_epi16(chroma(rs, gs, bs, cbRG, cbB), zero));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(cr + x / 2), _mm_packus_epi16(chroma(rs, gs, bs, crRG, crB), zero));
    }
#endif
    for (; x < w; x += 2) {
        const uint32_t p[4] = {row0[x], row0[x + 1], row1[x], row1[x + 1]};
        int r = 0, g = 0, b = 0;
        for (int i = 0; i < 4; ++i) {
            const int pr = static_cast<int>((p[i] >> 16) & 255), pg = static_cast<int>((p[i] >> 8) & 255), pb = static_cast<int>(p[i] & 255);
            (i < 2 ? luma0 : luma1)[x + (i & 1)] = static_cast<uint8_t>((16 * 256 + 128 + 47 * pr + 157 * pg + 16 * pb) >> 8);
            r += pr, g += pg, b += pb;
        }
        cb[x / 2] = static_cast<uint8_t>((128 * 1024 + 512 - 26 * r - 87 * g + 113 * b) >> 10);
        cr[x / 2] = static_cast<uint8_t>((128 * 1024 + 512 + 112 * r - 102 * g - 10 * b) >> 10);
    }
}

}  // namespace

void toYuv420(const QImage& image, uint8_t* const planes[3], const int linesizes[3]) {
    for (int y = 0; y + 1 < image.height(); y += 2) {
        uint8_t* luma = planes[0] + static_cast<std::ptrdiff_t>(y) * linesizes[0];
        convertRowPair(reinterpret_cast<const uint32_t*>(image.constScanLine(y)),
                       reinterpret_cast<const uint32_t*>(image.constScanLine(y + 1)), luma, luma + linesizes[0],
                       planes[1] + static_cast<std::ptrdiff_t>(y / 2) * linesizes[1],
                       planes[2] + static_cast<std::ptrdiff_t>(y / 2) * linesizes[2], image.width());
    }
}

}  // namespace vantrel

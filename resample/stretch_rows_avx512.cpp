// The bilinear row near 0.5x, AVX-512 kernel of the AVX2 one: sixteen
// pixels a step, the same arithmetic on four 128-bit lanes.
#include "resample/stretch_rows.h"

#if defined(OWL_X86)
#include "core/avx512_pixels.h"
#include "resample/halve_plan.h"

namespace owl {

namespace {

// One block of up to sixteen pixels of the row near 0.5x, from 16.16
// position x: pixel k reads texels base + at[k] and + 1 with fraction f[k].
// Steps 0x1E000 to 0x20000 put each pixel one or two texels after the one
// before, so pixels 0..7 lie within the sixteen texels from base and
// pixels 8..15 within the sixteen from base + at[8].
struct HalveBlock16 {
  uint32_t base;
  int32_t count;
  int32_t at[16];
  uint32_t f[16];

  HalveBlock16(uint32_t x, uint32_t step, int32_t pixels) : base(x >> 16), count(pixels) {
    for (int k = 0; k < 16; ++k, x += step) at[k] = int32_t((x >> 16) - base), f[k] = (x >> 8) & 255;
  }
  // Sixteen pixels on texels 2k and 2k + 1, fraction above 0: two plain
  // loads of sixteen texels.
  bool Regular() const {
    bool regular = count == 16;
    for (int k = 0; k < 16; ++k) regular = regular && at[k] == 2 * k && f[k] != 0;
    return regular;
  }
  // The texels from at[from] that pixels from .. from + 7 read (0 when the
  // block has none of them).
  int32_t Texels(int32_t from) const {
    const int32_t last = (count < from + 8 ? count : from + 8) - 1;
    return last < from ? 0 : at[last] + 2 - at[from];
  }
};

}  // namespace

size_t BilinearHalvePlanWords_AVX512(int32_t width, uint32_t step) {
  const int32_t blocks = (width + 15) / 16;
  size_t words = size_t(blocks) * 36 + 16;
  for (int32_t b = 0; b < blocks; ++b)
    if (!HalveBlock16(uint32_t(b) * 16 * step, step, width - 16 * b < 16 ? width - 16 * b : 16).Regular()) words += 64;
  return words;
}

void BilinearHalvePlan_AVX512(uint32_t* plan, int32_t width, uint32_t step) {
  // First 32 words per block (the last one may be short of sixteen pixels):
  // the weights of pixels 0..15, two words a pixel, one per channel pair.
  // Then four words per block: the byte offset of its first load, with the
  // top bit set unless the block is regular; the byte offset of its second
  // load; the lanes each load reads (the first's in the low half); where
  // the block's texel permutes for the two loads and their pair shuffles
  // (sixteen words each) start from the plan. Those follow the last block's
  // four words, from a 64-byte boundary.
  const int32_t blocks = (width + 15) / 16;
  uint32_t* heads = plan + size_t(blocks) * 32;
  const size_t special_at = (size_t(blocks) * 36 + 15) / 16 * 16;
  uint32_t* special = plan + special_at;
  for (int32_t b = 0; b < blocks; ++b, heads += 4) {
    const HalveBlock16 block(uint32_t(b) * 16 * step, step, width - 16 * b < 16 ? width - 16 * b : 16);
    for (int k = 0; k < 16; ++k)
      for (int c = 0; c < 2; ++c) plan[32 * b + 2 * k + c] = PairWeights(block.f[k]) * 0x10001u;
    const bool regular = block.Regular();
    const int32_t second = block.count > 8 ? block.at[8] : 0;
    heads[0] = block.base * 4 | (regular ? 0 : 0x80000000u);
    heads[1] = (block.base + uint32_t(second)) * 4;
    heads[2] = FirstLanes(block.Texels(0) < 16 ? block.Texels(0) : 16) | uint32_t(FirstLanes(block.Texels(8))) << 16;
    heads[3] = uint32_t(special - plan);
    if (regular) continue;
    // Lane l (pixels 2l and 2l + 1) holds the four texels from pixel 2l's
    // first one; those past what its load reads are never picked.
    for (int lane = 0; lane < 8; ++lane) {
      const int32_t first = block.at[2 * lane], from = lane < 4 ? 0 : second;
      for (int t = 0; t < 4; ++t) special[(lane / 4) * 16 + (lane % 4) * 4 + t] = uint32_t(first - from + t) & 15;
      uint32_t shuffle[4];
      PairShuffle(block.at, block.f, 2 * lane, first, shuffle);
      for (int w = 0; w < 4; ++w) special[32 + (lane / 4) * 16 + (lane % 4) * 4 + w] = shuffle[w];
    }
    special += 64;
  }
}

void StretchBilinearHalveRow_AVX512(uint32_t* dst, const uint32_t* row0, const uint32_t* row1, int32_t width,
                                    uint32_t /*step*/, uint32_t fy, const uint32_t* plan, std::ptrdiff_t ahead) {
  if (width <= 0) return;
  // The AVX2 kernel's arithmetic: texels biased to signed bytes, one byte
  // multiply-add per channel pair against the horizontal weights, two more
  // against the vertical ones (0 on the low bytes), the high bytes packed.
  const __m512i bias = _mm512_set1_epi8(-128);
  const __m512i wtop = _mm512_set1_epi16(int16_t((fy ? 256 - fy : 128) << 8));
  const __m512i wbottom = _mm512_set1_epi16(int16_t((fy ? fy : 128) << 8));
  if (fy == 0) row1 = row0;
  // Bytes 0 4 1 5 2 6 3 7 8 12 9 13 10 14 11 15 of each 128-bit lane.
  const __m512i pairs = _mm512_set4_epi32(0x0F0B0E0A, 0x0D090C08, 0x07030602, 0x05010400);
  // Pixels come out as 0 1 8 9 | 2 3 10 11 | 4 5 12 13 | 6 7 14 15. (The
  // permutes are written with every lane selected: the plain forms make
  // GCC 12 warn about its own headers.)
  const __m512i order = _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7);
  const char* const top = reinterpret_cast<const char*>(row0);
  const char* const bottom = reinterpret_cast<const char*>(row1);
  const int32_t blocks = (width + 15) / 16;
  const uint32_t* const heads = plan + size_t(blocks) * 32;
  auto load = [&](const char* p) { return _mm512_xor_si512(_mm512_loadu_si512(p), bias); };
  auto block = [&](int32_t b) {
    const uint32_t* const h = heads + 4 * b;
    const uint32_t head = h[0], offset = head & 0x7FFFFFFF;
    // The next output row's texels at this block, a row of output ahead.
    for (int r = 0; r < 2; ++r) {
      const char* next = (r ? bottom : top) + ahead + offset;
      _mm_prefetch(next, _MM_HINT_T0);
      _mm_prefetch(next + 64, _MM_HINT_T0);
    }
    const __m512i w0 = _mm512_loadu_si512(plan + 32 * b), w1 = _mm512_loadu_si512(plan + 32 * b + 16);
    __m512i s[4];  // the sums of pixels 0..7 and 8..15 of the upper, then the lower row
    if (!(head >> 31)) {
      for (int r = 0; r < 2; ++r) {
        const char* t = (r ? bottom : top) + offset;
        s[2 * r] = _mm512_maddubs_epi16(w0, _mm512_shuffle_epi8(load(t), pairs));
        s[2 * r + 1] = _mm512_maddubs_epi16(w1, _mm512_shuffle_epi8(load(t + 64), pairs));
      }
    } else {
      // Each lane's four texels placed by a permute, the pairs by the
      // block's own shuffle; the loads read only the texels the row reads.
      const uint32_t* const special = plan + h[3];
      const __mmask16 first = __mmask16(h[2]), second = __mmask16(h[2] >> 16);
      const __m512i p0 = _mm512_loadu_si512(special), p1 = _mm512_loadu_si512(special + 16);
      const __m512i q0 = _mm512_loadu_si512(special + 32), q1 = _mm512_loadu_si512(special + 48);
      for (int r = 0; r < 2; ++r) {
        const char* t = r ? bottom : top;
        const __m512i a = _mm512_xor_si512(_mm512_maskz_loadu_epi32(first, t + offset), bias);
        const __m512i c = _mm512_xor_si512(_mm512_maskz_loadu_epi32(second, t + h[1]), bias);
        s[2 * r] = _mm512_maddubs_epi16(w0, _mm512_shuffle_epi8(_mm512_maskz_permutexvar_epi32(0xFFFF, p0, a), q0));
        s[2 * r + 1] = _mm512_maddubs_epi16(w1, _mm512_shuffle_epi8(_mm512_maskz_permutexvar_epi32(0xFFFF, p1, c), q1));
      }
    }
    auto vertical = [&](__m512i upper, __m512i lower) {
      const __m512i sum = _mm512_add_epi16(_mm512_maddubs_epi16(wtop, upper), _mm512_maddubs_epi16(wbottom, lower));
      return _mm512_srli_epi16(sum, 8);
    };
    const __m512i out = _mm512_xor_si512(_mm512_packus_epi16(vertical(s[0], s[2]), vertical(s[1], s[3])), bias);
    return _mm512_maskz_permutexvar_epi64(0xFF, order, out);
  };
  const int32_t full = width / 16;
  for (int32_t b = 0; b < full; ++b) _mm512_storeu_si512(dst + 16 * b, block(b));
  if (full < blocks) StorePixels(dst + 16 * full, block(full), width - 16 * full);
}

}  // namespace owl
#endif  // OWL_X86

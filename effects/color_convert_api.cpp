// Conversion between ARGB and 8-bit hue, saturation and lightness.
//
// The float direction evaluates every expression in double precision and
// rounds to single precision only where a value is stored in a float. Each
// operand is widened explicitly and each store is an explicit float(), so
// the results are the same under x87 and SSE code: the x87 runs at double
// precision for the call and every float is rounded where it is stored
// (core/x87_precision.h).
#include <algorithm>

#include "core/x87_precision.h"
#include "owlgraphic.h"

namespace {

// Hue to one colour component; h in degrees, reduced by one turn at most.
float HueToChannel(float m1, float m2, float h) {
  if (h > 360.0f) {
    h = owl::RoundToFloat(double(h) - 360.0);
  } else if (h < 0.0f) {
    h = owl::RoundToFloat(double(h) + 360.0);
  }
  if (h < 60.0f) return owl::RoundToFloat(double(m1) + (double(m2) - double(m1)) * double(h) / 60.0);
  if (h < 180.0f) return m2;
  if (h < 240.0f) return owl::RoundToFloat(double(m1) + (double(m2) - double(m1)) * (240.0 - double(h)) / 60.0);
  return m1;
}

// Truncates toward zero and keeps the low 8 bits; v is within [-1, 257].
uint32_t ToByte(float v) { return uint32_t(int32_t(double(v) * 255.0)) & 0xFF; }

}  // namespace

uint32_t OWL_CALL ARGBtoAHSL(uint32_t argb) {
  const int32_t r = int32_t(argb >> 16 & 0xFF);
  const int32_t g = int32_t(argb >> 8 & 0xFF);
  const int32_t b = int32_t(argb & 0xFF);
  const int32_t max = std::max({r, g, b});
  const int32_t min = std::min({r, g, b});
  const int32_t sum = max + min;
  const int32_t l = (sum * 255 + 255) / 510;
  int32_t s = 0;
  int32_t h = 170;
  if (max != min) {
    const int32_t d = max - min;
    const int32_t span = l <= 127 ? sum : 510 - sum;
    s = (d * 255 + span / 2) / span;
    const int32_t dr = ((max - r) * 42 + d / 2) / d;
    const int32_t dg = ((max - g) * 42 + d / 2) / d;
    const int32_t db = ((max - b) * 42 + d / 2) / d;
    if (r == max) {
      h = db - dg;
    } else if (g == max) {
      h = 85 + dr - db;
    } else {
      h = 170 + dg - dr;
    }
    // A hue just below red wraps by one turn of 255 steps, the turn
    // AHSLtoARGB reads, so both directions agree on the angle.
    if (h < 0) h += 255;
  }
  return (argb & 0xFF000000u) | uint32_t(h) << 16 | uint32_t(s) << 8 | uint32_t(l);
}

uint32_t OWL_CALL AHSLtoARGB(uint32_t ahsl) {
  const owl::ScopedDoublePrecision precision;
  const float hue = owl::RoundToFloat(double(ahsl >> 16 & 0xFF) * 360.0 / 255.0);
  const float s = owl::RoundToFloat(double(ahsl >> 8 & 0xFF) / 255.0);
  const float l = owl::RoundToFloat(double(ahsl & 0xFF) / 255.0);
  const float m2 = l <= 0.5f ? owl::RoundToFloat(double(l) * (1.0 + double(s)))
                             : owl::RoundToFloat(double(l) + double(s) - double(l) * double(s));
  const float m1 = owl::RoundToFloat(2.0 * double(l) - double(m2));
  uint32_t r, g, b;
  if (s == 0.0f) {
    r = g = b = ToByte(l);
  } else {
    r = ToByte(HueToChannel(m1, m2, owl::RoundToFloat(double(hue) + 120.0)));
    g = ToByte(HueToChannel(m1, m2, hue));
    b = ToByte(HueToChannel(m1, m2, owl::RoundToFloat(double(hue) - 120.0)));
  }
  return (ahsl & 0xFF000000u) | r << 16 | g << 8 | b;
}

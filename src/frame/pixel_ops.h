#pragma once
// Channel-wise operations on 0x??RRGGBB colour words. Each works on the red,
// green and blue bytes independently and returns a word whose top byte is 0.
// Integer only: these run for every pixel a kernel or a fade touches.

#include <cstdint>
#include <cstring>

namespace qv {

namespace pixel_detail {
constexpr int channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFFu); }
constexpr std::uint32_t pack(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b);
}
}  // namespace pixel_detail

// min(255, a + b) per channel. Red and blue add in one word and green in
// another, each with a spare bit above it; a carry out of a channel turns
// that channel into 0xFF. No per-channel compare, as the disc kernels add
// every pixel they draw.
constexpr std::uint32_t addSaturate(std::uint32_t a, std::uint32_t b) {
  std::uint32_t rb = (a & 0xFF00FFu) + (b & 0xFF00FFu);
  std::uint32_t g = (a & 0xFF00u) + (b & 0xFF00u);
  std::uint32_t carry = rb & 0x1000100u;
  rb = (rb | (carry - (carry >> 8))) & 0xFF00FFu;
  carry = g & 0x10000u;
  g = (g | (carry - (carry >> 8))) & 0xFF00u;
  return rb | g;
}

// max(0, a - b) per channel.
constexpr std::uint32_t subtractFloor(std::uint32_t a, std::uint32_t b) {
  using namespace pixel_detail;
  auto diff = [&](int s) {
    const int v = channel(a, s) - channel(b, s);
    return v < 0 ? 0 : v;
  };
  return pack(diff(16), diff(8), diff(0));
}

// (a * b) >> 8 per channel, so 255 * 255 gives 254.
constexpr std::uint32_t multiplyChannels(std::uint32_t a, std::uint32_t b) {
  using namespace pixel_detail;
  auto product = [&](int s) { return (channel(a, s) * channel(b, s)) >> 8; };
  return pack(product(16), product(8), product(0));
}

// a + floor((b - a) * t / 256) per channel, t in 0 ... 255; the difference is
// signed and the shift rounds toward minus infinity.
constexpr std::uint32_t lerpChannels(std::uint32_t a, std::uint32_t b, int t) {
  using namespace pixel_detail;
  auto mix = [&](int s) {
    const int from = channel(a, s);
    return from + (((channel(b, s) - from) * t) >> 8);
  };
  return pack(mix(16), mix(8), mix(0));
}

// (a * w) >> 8 per channel, w in 0 ... 255. Red and blue scale in one word
// (each product stays inside its 16-bit lane) and green in another.
constexpr std::uint32_t scaleColour(std::uint32_t a, int w) {
  const auto u = static_cast<std::uint32_t>(w);
  return ((((a & 0xFF00FFu) * u) >> 8) & 0xFF00FFu) | ((((a & 0xFF00u) * u) >> 8) & 0xFF00u);
}

// The same operations over a stretch of pixels: P[i] = op(P[i], v[i]) for
// i < n. A channel is a byte, so four (or two) pixels at a time are one
// vector of bytes, added or subtracted byte by byte within 0 ... 255, which
// is the channel rule; the top bytes are then cleared. The words come out as
// those of the one-pixel operations.
namespace pixel_detail {
typedef std::uint8_t Bytes16 __attribute__((vector_size(16)));
typedef std::uint8_t Bytes8 __attribute__((vector_size(8)));

template <class Bytes, class Op>
inline void spanStep(std::uint32_t* P, const std::uint32_t* v, Op op) {
  constexpr int PIXELS = sizeof(Bytes) / 4;
  Bytes a;
  Bytes b;
  std::memcpy(&a, P, sizeof a);
  std::memcpy(&b, v, sizeof b);
  std::uint32_t words[PIXELS];
  for (std::uint32_t& w : words) w = 0x00FFFFFFu;
  Bytes rgb;
  std::memcpy(&rgb, words, sizeof rgb);
  const Bytes c = op(a, b) & rgb;
  std::memcpy(P, &c, sizeof c);
}

template <class Op, class One>
inline void span(std::uint32_t* P, const std::uint32_t* v, int n, Op op, One one) {
  int i = 0;
  for (; i + 4 <= n; i += 4) spanStep<Bytes16>(P + i, v + i, op);
  if (i + 2 <= n) {
    spanStep<Bytes8>(P + i, v + i, op);
    i += 2;
  }
  if (i < n) P[i] = one(P[i], v[i]);
}
}  // namespace pixel_detail

namespace pixel_detail {
// Per byte: a + min(b, 255 - a) never passes 255, a - min(a, b) never
// falls below 0 (a byte minimum is one instruction).
inline constexpr auto ADD_BYTES = [](auto a, auto b) {
  const auto room = ~a;
  return a + (b < room ? b : room);
};
inline constexpr auto SUBTRACT_BYTES = [](auto a, auto b) { return a - (b < a ? b : a); };

// P[i] = op(P[i], v[i]) for four pixels whose values mark the pixels drawn
// (see addSaturateMarkedQuad); CLEAR_TOP clears the top byte where marked.
template <bool CLEAR_TOP, class Op>
inline void markedQuad(std::uint32_t* P, const std::uint32_t* v, Op op) {
  Bytes16 a;
  Bytes16 b;
  std::memcpy(&a, P, sizeof a);
  std::memcpy(&b, v, sizeof b);
  Bytes16 c = op(a, b);
  if constexpr (CLEAR_TOP) {
    constexpr std::uint32_t TOP = 0xFF000000u;
    const std::uint32_t tops[4] = {TOP, TOP, TOP, TOP};
    Bytes16 top;
    std::memcpy(&top, tops, sizeof top);
    c &= ~(b & top);
  }
  std::memcpy(P, &c, sizeof c);
}
}  // namespace pixel_detail

inline void addSaturateSpan(std::uint32_t* P, const std::uint32_t* v, int n) {
  pixel_detail::span(P, v, n, pixel_detail::ADD_BYTES, addSaturate);
}

inline void subtractFloorSpan(std::uint32_t* P, const std::uint32_t* v, int n) {
  pixel_detail::span(P, v, n, pixel_detail::SUBTRACT_BYTES, subtractFloor);
}

// The same over four pixels whose values mark the pixels drawn: a value
// whose top byte is 0xFF is added or subtracted (and the top byte of the
// pixel cleared), a value 0 leaves its pixel as it is.
inline void addSaturateMarkedQuad(std::uint32_t* P, const std::uint32_t* v) {
  // Adding 0xFF fills the top byte of a drawn pixel, which is then cleared.
  pixel_detail::markedQuad<true>(P, v, pixel_detail::ADD_BYTES);
}

inline void subtractFloorMarkedQuad(std::uint32_t* P, const std::uint32_t* v) {
  // Subtracting 0xFF empties the top byte of a drawn pixel.
  pixel_detail::markedQuad<false>(P, v, pixel_detail::SUBTRACT_BYTES);
}

}  // namespace qv

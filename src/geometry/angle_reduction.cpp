#include "geometry/angle_reduction.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace qv {

namespace {

// The bits of 2/pi after the binary point, 32 to a word: enough for the
// window of the largest double's exponent.
constexpr std::array<std::uint32_t, 40> TWO_OVER_PI_BITS{
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D};

constexpr dd::DoubleDouble HALF_PI{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};

// The words of 2/pi that multiply x's significand. The bits left out after
// them change x * 2/pi by less than 2^-200; the closest a double comes to a
// multiple of pi/2 is about 2^-62, so the remainder keeps over 130 good bits.
constexpr int WINDOW_WORDS = 9;
constexpr int PRODUCT_WORDS = WINDOW_WORDS + 2;

using Product = std::array<std::uint32_t, PRODUCT_WORDS>;  // least significant word first

std::uint64_t bitAt(const Product& p, int i) {
  if (i < 0) return 0;
  return (p[static_cast<std::size_t>(i / 32)] >> (i % 32)) & 1u;
}

// `count` (at most 53) bits of p, from bit `top` down, as an integer.
std::uint64_t bitsFrom(const Product& p, int top, int count) {
  std::uint64_t value = 0;
  for (int i = top; i > top - count; --i) value = value << 1 | bitAt(p, i);
  return value;
}

}  // namespace

ReducedAngle reduceByQuarterTurns(double x) {
  if (x <= QUARTER_PI) return {0, {x, 0.0}};
  // By memcpy: the web build's C++ library has no std::bit_cast.
  std::uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  const std::uint64_t significand = (bits & ((1ull << 52) - 1)) | (1ull << 52);
  const int exponent = static_cast<int>(bits >> 52) - 1075;  // x = significand * 2^exponent

  // Bit j of 2/pi (weight 2^-j) times x is a multiple of 2^(exponent - j):
  // of four, which turns the angle by whole turns, while j <= exponent - 2.
  // Those bits are left out, whole words at a time.
  const int firstWord = exponent - 2 >= 32 ? (exponent - 2) / 32 : 0;
  const std::uint64_t significandWords[2] = {significand & 0xFFFFFFFFu, significand >> 32};
  Product p{};
  for (int i = 0; i < WINDOW_WORDS; ++i) {
    const std::uint64_t word = TWO_OVER_PI_BITS[static_cast<std::size_t>(firstWord + WINDOW_WORDS - 1 - i)];
    std::uint64_t carry = 0;
    for (int k = i; k < PRODUCT_WORDS; ++k) {
      const std::uint64_t factor = k - i < 2 ? significandWords[k - i] : 0;
      const std::uint64_t sum = word * factor + p[static_cast<std::size_t>(k)] + carry;
      p[static_cast<std::size_t>(k)] = static_cast<std::uint32_t>(sum);
      carry = sum >> 32;
    }
  }

  // p is x * 2/pi (modulo four) with `fractionBits` bits after the point.
  const int fractionBits = 32 * (firstWord + WINDOW_WORDS) - exponent;
  ReducedAngle reduced;
  reduced.quadrant = static_cast<int>(bitAt(p, fractionBits) | bitAt(p, fractionBits + 1) << 1);
  // A fraction of a half or more rounds up to the next quadrant and leaves
  // 1 - fraction below it: the two's complement of the fraction's bits.
  const bool roundedUp = bitAt(p, fractionBits - 1) != 0;
  if (roundedUp) {
    reduced.quadrant = (reduced.quadrant + 1) & 3;
    std::uint64_t carry = 1;
    for (auto& word : p) {
      const std::uint64_t sum = static_cast<std::uint64_t>(~word & 0xFFFFFFFFu) + carry;
      word = static_cast<std::uint32_t>(sum);
      carry = sum >> 32;
    }
  }
  int top = fractionBits - 2;
  while (top >= 0 && bitAt(p, top) == 0) --top;
  if (top < 0) return reduced;  // a whole number of quadrants

  // The fraction's leading 106 bits as a double-double (both parts exact),
  // times pi/2.
  const double high = std::ldexp(static_cast<double>(bitsFrom(p, top, 53)), top - 52 - fractionBits);
  const double low = std::ldexp(static_cast<double>(bitsFrom(p, top - 53, 53)), top - 105 - fractionBits);
  const dd::DoubleDouble remainder = dd::multiply(dd::quickTwoSum(high, low), HALF_PI);
  reduced.remainder = roundedUp ? dd::negated(remainder) : remainder;
  return reduced;
}

}  // namespace qv

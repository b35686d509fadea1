#pragma once
// Double-double numbers: the unevaluated sum hi + lo of two doubles, about 106
// bits, for the program's own sine and cosine. They are built from the exact
// sum and product of two doubles (Knuth's and Dekker's algorithms) and use
// nothing but IEEE double additions, multiplications and divisions, so every
// compiler and processor computes the same bits, provided none of them keeps
// extra precision or fuses a multiply and an add. Every product is therefore
// a statement of its own: a compiler that contracts within an expression finds
// nothing to fuse, and the build's -ffp-contract=off stops GCC from fusing
// across statements.

#include <cfloat>

#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "double arithmetic must round every operation to double (no x87 excess precision)"
#endif
#if defined(__FAST_MATH__)
#error "-ffast-math reorders the exact sums and products below"
#endif
#if defined(__clang__)
#pragma clang fp contract(off)
#endif

namespace qv::dd {

struct DoubleDouble {
  double hi = 0.0;
  double lo = 0.0;
};

// a + b exactly, for any a and b.
inline DoubleDouble twoSum(double a, double b) {
  const double sum = a + b;
  const double bPart = sum - a;
  const double aPart = sum - bPart;
  const double bError = b - bPart;
  const double aError = a - aPart;
  const double error = aError + bError;
  return {sum, error};
}

// a + b exactly, when |a| >= |b| (or a is 0).
inline DoubleDouble quickTwoSum(double a, double b) {
  const double sum = a + b;
  const double bPart = sum - a;
  const double error = b - bPart;
  return {sum, error};
}

// a = high + low with both halves of at most 26 significant bits (Veltkamp),
// so that products of halves are exact; for |a| below 2^995.
inline DoubleDouble split(double a) {
  const double scaled = 134217729.0 * a;  // 2^27 + 1
  const double excess = scaled - a;
  const double high = scaled - excess;
  const double low = a - high;
  return {high, low};
}

// a * b exactly (Dekker), for |a|, |b| below 2^995 and no underflow.
inline DoubleDouble twoProduct(double a, double b) {
  const double product = a * b;
  const DoubleDouble as = split(a);
  const DoubleDouble bs = split(b);
  const double highHigh = as.hi * bs.hi;
  const double highLow = as.hi * bs.lo;
  const double lowHigh = as.lo * bs.hi;
  const double lowLow = as.lo * bs.lo;
  const double error1 = highHigh - product;
  const double error2 = error1 + highLow;
  const double error3 = error2 + lowHigh;
  const double error = error3 + lowLow;
  return {product, error};
}

inline DoubleDouble negated(DoubleDouble a) { return {-a.hi, -a.lo}; }

inline DoubleDouble add(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble high = twoSum(a.hi, b.hi);
  const DoubleDouble low = twoSum(a.lo, b.lo);
  const double carried = high.lo + low.hi;
  const DoubleDouble partial = quickTwoSum(high.hi, carried);
  const double rest = partial.lo + low.lo;
  return quickTwoSum(partial.hi, rest);
}

inline DoubleDouble multiply(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble product = twoProduct(a.hi, b.hi);
  const double cross1 = a.hi * b.lo;
  const double cross2 = a.lo * b.hi;
  const double cross = cross1 + cross2;
  const double low = product.lo + cross;
  return quickTwoSum(product.hi, low);
}

inline DoubleDouble divide(DoubleDouble a, double d) {
  const double first = a.hi / d;
  const DoubleDouble back = twoProduct(first, d);
  const double remainder1 = a.hi - back.hi;
  const double remainder2 = remainder1 - back.lo;
  const double remainder = remainder2 + a.lo;
  const double second = remainder / d;
  return quickTwoSum(first, second);
}

}  // namespace qv::dd

#pragma once
// The program's own sine and cosine. The C library's differ from system to
// system in the last bit of some results, and a particle cloud amplifies a
// last bit into a different animation; these give the same bits on every
// build: the correctly rounded result (computed to about 2^-100 and rounded
// once), for every finite argument, with IEEE double operations only.
// Infinities and NaN give NaN.

namespace qv {

double sine(double x);
double cosine(double x);

}  // namespace qv

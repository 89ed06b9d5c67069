#include "stage/stage.h"

#include <cmath>

#include "ieee.h"

namespace morvantic {
namespace {

// One binary64 operation each. The hardware rounds; these only settle the
// NaN so that it does not depend on the processor: a NaN operand comes out
// as it went in (quiet), and a NaN made from numbers has its sign set.
double settle(double result, double x, double y) {
  if (!std::isnan(result)) return result;
  if (std::isnan(x)) return quieted(x);
  if (std::isnan(y)) return quieted(y);
  return invalid_nan();
}

double add(double x, double y) { return settle(x + y, x, y); }
double mul(double x, double y) { return settle(x * y, x, y); }
double div(double x, double y) { return settle(x / y, x, y); }

// 20·log10(gain), formed in binary64 and then rounded to a float. The one
// result that rests on the C library: no standard requires log10 to round
// correctly, and C libraries differ in the last bit for some arguments.
// After the product with 20 and the rounding to a float such a difference
// almost never shows: the stage test's exact gain_db bits hold with glibc
// on every Linux build's processor, mingw-w64's runtime (under wine) and
// wasi-libc. Where log10 would give a NaN its sign is the C library's, so
// those cases are settled here, the same on every platform: a NaN gain
// gives that NaN, a negative gain the NaN of an invalid operation (sign
// set, as x86-64 and Windows give it).
float decibels(double gain) {
  if (std::isnan(gain)) return to_float(quieted(gain));
  if (gain < 0.0) return to_float(invalid_nan());
  return to_float(mul(std::log10(gain), 20.0));
}

// Ra = Rp || RL, Av = (mu*Ra)/(Ra+ra): the numerator takes the double Ra,
// the denominator the Ra stored as a float.
StageResult bypassed(const StageInputs& in) {
  const double a = div(1.0, widen(in.Rp));
  const double b = div(1.0, widen(in.RL));
  const double z = div(1.0, add(a, b));
  StageResult r;
  r.impedance = to_float(z);
  const double d = add(widen(r.impedance), widen(in.ra));
  const double n = mul(z, widen(in.mu));
  r.gain = div(n, d);
  r.gain_db = decibels(r.gain);
  return r;
}

// ra' = ra+(mu+1)*Rk, Ra = ra' || RL, Av = (mu*Ra)/(Ra+ra'), all in double.
StageResult unbypassed(const StageInputs& in) {
  const double mu = widen(in.mu);
  const double c = div(1.0, widen(in.RL));
  const double ra_dash = add(mul(add(mu, 1.0), widen(in.Rk)), widen(in.ra));
  const double e = div(1.0, ra_dash);
  const double z = div(1.0, add(c, e));
  StageResult r;
  r.gain = div(mul(mu, z), add(ra_dash, z));
  r.impedance = to_float(z);
  r.gain_db = decibels(r.gain);
  return r;
}

}  // namespace

StageResults compute_stage(const StageInputs& in) {
  StageResults out;
  out.bypassed = bypassed(in);
  out.unbypassed = unbypassed(in);
  return out;
}

}  // namespace morvantic

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

// 20·log10(gain), formed in binary64 and then rounded to a float. The sign
// of a NaN that log10 itself returns is the C library's.
float decibels(double gain) { return to_float(mul(std::log10(gain), 20.0)); }

StageResult bypassed(double mu, double Rp, double ra, double RL) {
  const double z = div(1.0, add(div(1.0, Rp), div(1.0, RL)));
  StageResult r;
  r.impedance = to_float(z);
  r.gain = div(mul(z, mu), add(double{r.impedance}, ra));
  r.gain_db = decibels(r.gain);
  return r;
}

StageResult unbypassed(double mu, double ra, double RL, double Rk) {
  const double ra_dash = add(mul(add(mu, 1.0), Rk), ra);
  const double z = div(1.0, add(div(1.0, RL), div(1.0, ra_dash)));
  StageResult r;
  r.gain = div(mul(mu, z), add(ra_dash, z));
  r.impedance = to_float(z);
  r.gain_db = decibels(r.gain);
  return r;
}

}  // namespace

StageResults compute_stage(const StageInputs& in) {
  StageResults out;
  out.bypassed = bypassed(in.mu, in.Rp, in.ra, in.RL);
  out.unbypassed = unbypassed(in.mu, in.ra, in.RL, in.Rk);
  return out;
}

}  // namespace morvantic

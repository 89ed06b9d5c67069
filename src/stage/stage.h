// The formulas of one common-cathode triode stage.
#pragma once

namespace morvantic {

/// The five values the user types, in the order they are asked.
struct StageInputs {
  float mu = 0.0f;  ///< amplification factor
  float Rp = 0.0f;  ///< plate resistor, ohms
  float ra = 0.0f;  ///< plate's internal resistance, ohms
  float RL = 0.0f;  ///< load impedance, ohms
  float Rk = 0.0f;  ///< cathode resistor, ohms
};

/// The results of one configuration of the stage.
struct StageResult {
  double gain = 0.0;       ///< voltage gain, never rounded to a float
  float gain_db = 0.0f;    ///< 20·log10(gain), rounded to a float
  float impedance = 0.0f;  ///< the load Ra, ohms, rounded to a float
};

/// Both configurations: cathode resistor bypassed and un-bypassed.
struct StageResults {
  StageResult bypassed;
  StageResult unbypassed;
};

/// The two configurations as the legend prints them:
///   bypassed:    Ra = Rp || RL,        Av = (mu*Ra)/(Ra+ra)
///   un-bypassed: ra' = ra+(mu+1)*Rk,  Ra = ra' || RL,  Av = (mu*Ra)/(Ra+ra')
/// Each step is one binary64 operation rounded to nearest, grouped exactly
/// as written, never fused. The bypassed numerator uses the double Ra and
/// its denominator the Ra stored as a float. Nothing traps: x/0 is an
/// infinity, and every NaN the formulas make has its sign bit set; a NaN
/// input is passed on with its sign and payload, on every processor. The
/// decibels of a NaN gain are that NaN, of a negative gain the NaN of an
/// invalid operation (not whatever log10 gives). Pure.
///   {100, 100000, 62500, 1000000, 1500} → bypassed gain 59.25925816186558,
///   gain_db 35.455124f, impedance 90909.09375f; un-bypassed gain
///   45.167118337850034, gain_db 33.096447f, impedance 176276.765625f
StageResults compute_stage(const StageInputs& in);

}  // namespace morvantic

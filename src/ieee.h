// Bit-exact helpers for IEEE 754 values that must not depend on the
// processor: the sign of a NaN and the rounding of a double to a float.
#pragma once

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

// Each operation must round once, to binary64: x87 arithmetic keeps wider
// intermediates and gives other results (on 32-bit x86, build with
// -msse2 -mfpmath=sse).
#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error \
    "arithmetic must be evaluated in the operands' own precision (FLT_EVAL_METHOD 0): no x87"
#endif

namespace morvantic {

/// The NaN of an invalid operation: quiet, sign bit set, only the top
/// fraction bit set (0xFFF8000000000000). x86-64 makes this one, aarch64
/// makes it with the sign clear, so it is built here from its bits.
inline double invalid_nan() {
  return std::bit_cast<double>(std::uint64_t{0xFFF8000000000000});
}

/// `x` when it is not a NaN; a NaN made quiet, sign and payload kept.
inline double quieted(double x) {
  if (!std::isnan(x)) return x;
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(x) |
                               std::uint64_t{0x0008000000000000});
}

/// `x` widened to a double, exactly. A NaN keeps its sign and its payload
/// (as the top bits of the double's) and comes out quiet, by its bits: a
/// RISC-V processor would give the positive default NaN instead.
///   1.5f → 1.5;  NaN 0xFFC00000 → 0xFFF8000000000000;
///   NaN 0x7FC01234 → 0x7FF8024680000000
inline double widen(float x) {
  if (!std::isnan(x)) return static_cast<double>(x);
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(x);
  const std::uint64_t sign = std::uint64_t{bits >> 31} << 63;
  const std::uint64_t payload = std::uint64_t{bits & 0x007FFFFF} << 29;
  return std::bit_cast<double>(sign | std::uint64_t{0x7FF8000000000000} |
                               payload);
}

/// Rounds `x` to the nearest float, ties to even. Beyond the float range
/// gives an infinity of the same sign, below half the smallest subnormal a
/// zero of the same sign. A NaN keeps its sign and the top 22 bits of its
/// payload and comes out quiet.
///   1.0 → 1.0f;  0x1.000001p+0 → 1.0f (tie to even);  1e39 → +inf
inline float to_float(double x) {
  if (std::isnan(x)) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    const auto sign = static_cast<std::uint32_t>(bits >> 63) << 31;
    const auto payload =
        static_cast<std::uint32_t>(bits >> 29) & std::uint32_t{0x007FFFFF};
    return std::bit_cast<float>(sign | std::uint32_t{0x7FC00000} | payload);
  }
  // Halfway between the largest float and 2^128: ties go to the even
  // neighbour 2^128, which is out of range. The cast itself is undefined
  // for values it cannot represent, so they never reach it.
  if (std::fabs(x) >= 0x1.ffffffp127) return std::copysign(INFINITY, x);
  return static_cast<float>(x);
}

}  // namespace morvantic

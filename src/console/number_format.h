// The text of a result on the console.
#pragma once

#include <cstddef>
#include <string_view>

namespace morvantic {

/// The text of one number: at most 13 characters ("-1.79769e+308").
struct NumberText {
  char chars[16] = {};
  std::size_t size = 0;
  std::string_view view() const { return {chars, size}; }
};

/// The text of `value` as "%g" at precision 6 would give it, correctly
/// rounded from the exact binary value with ties to even, locale-free: six
/// significant digits, trailing zeros stripped, the exponent form when the
/// decimal exponent is below -4 or at least 6. A set sign bit prints "-"
/// (negative zero and NaNs too); infinities and NaNs print as words. Pure,
/// writes nothing.
///   0 → "0"        -0.0 → "-0"          123456.5 → "123456"
///   999999.5 → "1e+06"    1234567 → "1.23457e+06"   0.00001 → "1e-05"
///   0.00009999996 → "0.0001"   -inf → "-Infinity"   NaN, sign set → "-NaN"
NumberText format_number(double value);

}  // namespace morvantic

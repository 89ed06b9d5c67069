#include "console/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>

namespace morvantic {
namespace {

struct FormatCase {
  double value;
  const char* text;
};

const double kInf = std::numeric_limits<double>::infinity();

double nan_with_sign(bool negative) {
  return std::bit_cast<double>(negative ? std::uint64_t{0xFFF8000000000000}
                                        : std::uint64_t{0x7FF8000000000000});
}

TEST(FormatNumber, PrintsSixSignificantDigitsLikePercentG) {
  const FormatCase cases[] = {
      {0.0, "0"},
      {-0.0, "-0"},
      {1.0, "1"},
      {-2.5, "-2.5"},
      {100000.0, "100000"},
      {123456.0, "123456"},
      {123456.5, "123456"},  // tie to even
      {123457.5, "123458"},  // tie to even
      {999999.5, "1e+06"},   // the carry moves it to the exponent form
      {1234567.0, "1.23457e+06"},
      {1234565.0, "1.23456e+06"},
      {0x1.a36e2eb1c432dp-14, "0.0001"},
      {0x1.4f8b588e368f1p-17, "1e-05"},
      {0.00009999996, "0.0001"},
      {0.00012345678, "0.000123457"},
      {59.25925925925926, "59.2593"},
      {99999.95, "99999.9"},  // the double lies below the halfway point
      {double{0.1f}, "0.1"},
      {1e100, "1e+100"},
      {0x1.fffffffffffffp+1023, "1.79769e+308"},
      {0x0.0000000000001p-1022, "4.94066e-324"},
      {kInf, "Infinity"},
      {-kInf, "-Infinity"},
      {nan_with_sign(false), "NaN"},
      {nan_with_sign(true), "-NaN"},
      // A signalling NaN with a payload prints the same word.
      {std::bit_cast<double>(std::uint64_t{0xFFF0000000000001}), "-NaN"},
      {-0x1.fffffffffffffp+1023, "-1.79769e+308"},
  };
  for (const FormatCase& c : cases)
    EXPECT_EQ(format_number(c.value).view(), c.text)
        << std::hexfloat << c.value;
}

}  // namespace
}  // namespace morvantic

// Property of the printer: for any 64-bit pattern, the text is that of
// snprintf("%.6g") for finite values, and the words "Infinity" and "NaN"
// after a "-" for a set sign bit otherwise. The input's first eight bytes
// are the pattern, least significant byte first on every processor, so that
// a seed is the same value everywhere (nan_neg is a NaN on s390x too).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/number_format.h"

namespace {

// The pattern of the input's first eight bytes, least significant first.
constexpr std::uint64_t pattern_of(const std::uint8_t* data, std::size_t size) {
  std::uint64_t pattern = 0;
  for (std::size_t i = 0; i < size && i < 8; ++i)
    pattern |= std::uint64_t{data[i]} << (8 * i);
  return pattern;
}

// The seed nan_neg's bytes are the negative quiet NaN on every processor.
constexpr std::uint8_t kNanNeg[] = {0, 0, 0, 0, 0, 0, 0xf8, 0xff};
static_assert(pattern_of(kNanNeg, sizeof kNanNeg) == 0xfff8000000000000);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::uint64_t pattern = pattern_of(data, size);
  double value;
  std::memcpy(&value, &pattern, sizeof value);

  std::string want;
  if (std::isfinite(value)) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", value);
    want = text;
  } else {
    want = std::signbit(value) ? "-" : "";
    want += std::isnan(value) ? "NaN" : "Infinity";
  }
  const morvantic::NumberText got = morvantic::format_number(value);
  if (got.view() != want) {
    std::fprintf(stderr, "property broken: %016llx printed %.*s, want %s\n",
                 static_cast<unsigned long long>(pattern),
                 static_cast<int>(got.size), got.chars, want.c_str());
    std::abort();
  }
  return 0;
}

#include "console/number_format.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

// The digits are worked out here, from the double's exact value m·2^e, with
// a small integer arithmetic of its own, rather than by a library: the C
// libraries of the builds (glibc, mingw-w64's runtime, wasi-libc) would
// each decide the digits, and the standard library's exact formatting
// brings tables of more than 100 KB into the web page. Powers of five are
// built by multiplying by 5^13 at most, so no table beyond 5^0 ... 5^12 is
// needed.

namespace morvantic {
namespace {

void append(NumberText& text, std::string_view part) {
  std::memcpy(text.chars + text.size, part.data(), part.size());
  text.size += part.size();
}

/// An unsigned integer of up to 40 32-bit limbs, least significant first;
/// `size` limbs are in use and the top one is not zero (0 has size 0). The
/// largest value needed is below 2^800 (25 limbs): no denominator reaches
/// 2^770 (5^303 for the largest double, 2^745 for the smallest subnormal)
/// and the quotients are below 10^7.
struct Wide {
  std::uint32_t limbs[40];
  int size = 0;
};

Wide wide_of(std::uint64_t value) {
  Wide w;
  for (; value != 0; value >>= 32)
    w.limbs[w.size++] = static_cast<std::uint32_t>(value);
  return w;
}

/// `w` times `factor`.
void multiply(Wide& w, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (int i = 0; i < w.size; ++i) {
    carry += std::uint64_t{w.limbs[i]} * factor;
    w.limbs[i] = static_cast<std::uint32_t>(carry);
    carry >>= 32;
  }
  if (carry != 0) w.limbs[w.size++] = static_cast<std::uint32_t>(carry);
}

/// `w` times 5^`exponent`, `exponent` ≥ 0.
void multiply_by_five_to(Wide& w, int exponent) {
  static constexpr std::uint32_t kPowers[] = {
      1,     5,      25,      125,     625,      3125,     15625,
      78125, 390625, 1953125, 9765625, 48828125, 244140625};
  for (; exponent >= 13; exponent -= 13) multiply(w, 1220703125);  // 5^13
  multiply(w, kPowers[exponent]);
}

/// `w` times 2^`bits`, `bits` ≥ 0.
void shift_left(Wide& w, int bits) {
  if (w.size == 0) return;
  const int limbs = bits / 32;
  const int rest = bits % 32;
  w.limbs[w.size + limbs] = 0;
  for (int i = w.size - 1; i >= 0; --i) {
    const std::uint64_t both = std::uint64_t{w.limbs[i]} << rest;
    w.limbs[i + limbs + 1] |= static_cast<std::uint32_t>(both >> 32);
    w.limbs[i + limbs] = static_cast<std::uint32_t>(both);
  }
  std::fill(w.limbs, w.limbs + limbs, 0u);
  w.size += limbs + 1;
  if (w.limbs[w.size - 1] == 0) --w.size;
}

/// Below zero when a < b, zero when equal, above zero when a > b.
int compare(const Wide& a, const Wide& b) {
  if (a.size != b.size) return a.size < b.size ? -1 : 1;
  for (int i = a.size - 1; i >= 0; --i)
    if (a.limbs[i] != b.limbs[i]) return a.limbs[i] < b.limbs[i] ? -1 : 1;
  return 0;
}

/// `a` minus `b`, where a ≥ b.
void subtract(Wide& a, const Wide& b) {
  std::uint32_t borrow = 0;
  for (int i = 0; i < a.size; ++i) {
    const std::uint64_t take =
        std::uint64_t{i < b.size ? b.limbs[i] : 0u} + borrow;
    borrow = a.limbs[i] < take ? 1 : 0;
    a.limbs[i] = static_cast<std::uint32_t>(a.limbs[i] - take);
  }
  while (a.size > 0 && a.limbs[a.size - 1] == 0) --a.size;
}

int bit_length(const Wide& w) {
  return w.size == 0 ? 0 : 32 * w.size - std::countl_zero(w.limbs[w.size - 1]);
}

/// floor(`w` / 2^`shift`), where it is below 2^64.
std::uint64_t bits_from(const Wide& w, int shift) {
  const int low = shift / 32;
  if (w.size <= low) return 0;
  std::uint64_t bits = 0;
  for (int i = w.size - 1; i > low; --i) bits = bits << 32 | w.limbs[i];
  return bits << (32 - shift % 32) | w.limbs[low] >> shift % 32;
}

/// floor(`num` / `den`), where the quotient is below 10^7; `num` becomes
/// the remainder.
std::uint32_t divide(Wide& num, const Wide& den) {
  // A denominator of up to 32 bits divides exactly; a longer one's top 32
  // bits, rounded up, give an estimate at most two below the quotient, and
  // the remainder then corrects it.
  const int shift = std::max(0, bit_length(den) - 32);
  auto quotient = static_cast<std::uint32_t>(
      bits_from(num, shift) / (bits_from(den, shift) + (shift > 0 ? 1 : 0)));
  Wide product = den;
  multiply(product, quotient);
  subtract(num, product);
  for (; compare(num, den) >= 0; ++quotient) subtract(num, den);
  return quotient;
}

/// Writes the positive finite `value` as "%.6g" does.
void append_finite(NumberText& text, double value) {
  // value = m·2^e, with m's trailing zero bits moved into e to keep the
  // integers short.
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const auto biased = static_cast<int>(bits >> 52);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e = -1074;
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e = biased - 1075;
  }
  const int zeros = std::countr_zero(m);
  m >>= zeros;
  e += zeros;

  // The decimal exponent x of the first digit: 2^b ≤ value < 2^(b+1), and
  // (b·78913) >> 18 is floor(b·log10 2) exactly for every b from -1080 to
  // 1029, so x is that or one more.
  const int b = e + 63 - std::countl_zero(m);
  int x = (b * 78913) >> 18;

  // value·10^(5-x) = m·5^(5-x)·2^(e+5-x) = num/den, divided to the six
  // digits and a remainder. Each power goes to the side where it is
  // positive, the twos by a shift.
  Wide num = wide_of(m);
  Wide den = wide_of(1);
  multiply_by_five_to(x <= 5 ? num : den, x <= 5 ? 5 - x : x - 5);
  const int twos = e + 5 - x;
  shift_left(twos >= 0 ? num : den, twos >= 0 ? twos : -twos);
  Wide rest = num;
  std::uint32_t digits = divide(rest, den);
  if (digits >= 1000000) {  // the first digit is one place higher
    ++x;
    multiply(den, 10);
    rest = num;
    digits = divide(rest, den);
  }
  // Round half to even: compare twice the remainder with the denominator.
  shift_left(rest, 1);
  const int half = compare(rest, den);
  if (half > 0 || (half == 0 && digits % 2 == 1)) ++digits;
  if (digits == 1000000) {  // 999999.5 → 1e+06
    digits = 100000;
    ++x;
  }

  char digit[6];
  for (int i = 5; i >= 0; --i, digits /= 10)
    digit[i] = static_cast<char>('0' + digits % 10);
  int count = 6;  // the digits left after the trailing zeros
  while (count > 1 && digit[count - 1] == '0') --count;

  // "%g" at precision 6 writes exponents from -4 to 5 in place, with the
  // point after the first x + 1 digits and zeros to fill either side.
  char* out = text.chars + text.size;
  const bool in_place = x >= -4 && x < 6;
  const int point = in_place ? x + 1 : 1;  // the digits before the point
  if (point <= 0) {
    *out++ = '0';
    *out++ = '.';
    for (int i = point; i < 0; ++i) *out++ = '0';
  }
  for (int i = 0; i < std::max(count, point); ++i) {
    if (i == point && i > 0) *out++ = '.';
    *out++ = i < count ? digit[i] : '0';
  }
  if (!in_place) {
    *out++ = 'e';
    *out++ = x < 0 ? '-' : '+';
    const int power = x < 0 ? -x : x;
    if (power >= 100) *out++ = static_cast<char>('0' + power / 100);
    *out++ = static_cast<char>('0' + power / 10 % 10);
    *out++ = static_cast<char>('0' + power % 10);
  }
  text.size = static_cast<std::size_t>(out - text.chars);
}

}  // namespace

NumberText format_number(double value) {
  NumberText text;
  if (std::signbit(value)) append(text, "-");
  if (std::isnan(value)) {
    append(text, "NaN");
  } else if (std::isinf(value)) {
    append(text, "Infinity");
  } else if (value == 0) {
    append(text, "0");
  } else {
    append_finite(text, std::fabs(value));
  }
  return text;
}

}  // namespace morvantic

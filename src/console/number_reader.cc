#include "console/number_reader.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "ieee.h"

namespace morvantic {
namespace {

constexpr int kEnd = -1;

bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_exponent(int c) { return c == 'e' || c == 'E'; }
bool is_sign(int c) { return c == '+' || c == '-'; }

int take(InputReader& in) {
  if (in.held_count == 0) return in.source->take();
  const int c = in.held[0];
  for (int i = 1; i < in.held_count; ++i) in.held[i - 1] = in.held[i];
  --in.held_count;
  return c;
}

// Puts bytes back in front of whatever is held, so that they come first.
void give_back(InputReader& in, std::string_view text) {
  const int n = static_cast<int>(text.size());
  for (int i = in.held_count - 1; i >= 0; --i) in.held[i + n] = in.held[i];
  for (int i = 0; i < n; ++i) in.held[i] = static_cast<unsigned char>(text[i]);
  in.held_count += n;
}

void give_back(InputReader& in, int c) {
  const char byte = static_cast<char>(c);
  give_back(in, std::string_view(&byte, 1));
}

// What the field holds so far, to decide whether it takes the next byte.
struct Field {
  char text[kMaxFieldLength] = {};
  std::size_t size = 0;
  bool digit = false;
  bool point = false;
  bool exponent = false;

  bool accepts(int c) const {
    if (is_digit(c)) return true;
    if (is_sign(c)) return size == 0 || is_exponent(text[size - 1]);
    if (c == '.') return !point && !exponent;
    if (is_exponent(c)) return !exponent && digit;
    return false;
  }

  void add(int c) {
    digit = digit || is_digit(c);
    point = point || c == '.';
    exponent = exponent || is_exponent(c);
    text[size++] = static_cast<char>(c);
  }

  std::string_view view() const { return {text, size}; }
};

// Takes the field; the byte that ends it stays in the input. Returns false
// when the input ended right after the field.
bool collect(InputReader& in, Field& field) {
  while (field.size < kMaxFieldLength) {
    const int c = take(in);
    if (c == kEnd) return false;
    if (!field.accepts(c)) {
      give_back(in, c);
      return true;
    }
    field.add(c);
  }
  return true;
}

// The decimal exponent of the first nonzero digit, added to the written
// exponent, clamped far beyond any binary64 range. Only its sign is used.
long long magnitude(std::string_view text) {
  long long position = -1;
  bool nonzero = false;
  bool point = false;
  std::size_t i = 0;
  for (; i < text.size() && !is_exponent(text[i]); ++i) {
    if (text[i] == '.') {
      point = true;
    } else if (!nonzero && text[i] != '0') {
      nonzero = true;
      if (!point) position = 0;
    } else if (!nonzero && point) {
      --position;
    } else if (nonzero && !point) {
      ++position;
    }
  }
  long long exponent = 0;
  bool negative = false;
  for (++i; i < text.size(); ++i) {
    if (text[i] == '-') negative = true;
    if (is_digit(text[i]) && exponent < 1'000'000)
      exponent = exponent * 10 + (text[i] - '0');
  }
  return position + (negative ? -exponent : exponent);
}

}  // namespace

float convert_number(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && is_sign(text.front())) text.remove_prefix(1);
  // std::from_chars is correctly rounded (ties to even, any number of
  // digits) and locale-free. It refuses a sign, which is taken off above,
  // and on overflow or underflow leaves the value alone and says so.
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(),
                                      value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range)
    value = magnitude(text) > 0 ? INFINITY : 0.0;
  // Two roundings on purpose: text to double, then double to float.
  return to_float(negative ? -value : value);
}

void read_float(InputReader& in, float& target) {
  if (!in.state.good()) {
    in.state.fail = true;
    return;
  }
  if (in.tie != nullptr) flush_output(*in.tie);
  int c = take(in);
  while (is_space(c)) c = take(in);
  if (c == kEnd) {
    in.state.eof = in.state.fail = true;
    return;
  }
  give_back(in, c);

  Field field;
  const bool more = collect(in, field);
  if (!field.digit) {
    give_back(in, field.view());
    in.state.fail = true;
    in.state.eof = !more;
    return;
  }
  // An exponent letter, and its sign, without a digit after them are not
  // part of the number: they go back for the next read.
  std::string_view number = field.view();
  std::size_t cut = number.size();
  if (is_sign(number.back())) --cut;
  if (is_exponent(number[cut - 1])) {
    give_back(in, number.substr(cut - 1));
    number = number.substr(0, cut - 1);
  }
  target = convert_number(number);
  in.state.eof = !more;
}

}  // namespace morvantic

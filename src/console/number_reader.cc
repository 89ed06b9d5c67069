#include "console/number_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "ieee.h"

namespace morvantic {
namespace {

bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_exponent(int c) { return c == 'e' || c == 'E'; }
bool is_sign(int c) { return c == '+' || c == '-'; }

// What a number field has taken so far, for the rules of the next byte.
struct FieldSoFar {
  bool empty = true;
  bool digit = false;           // a digit
  bool point = false;           // a "."
  bool exponent = false;        // an exponent letter
  bool after_exponent = false;  // the last byte was the exponent letter
};

// Takes `c` into the field if the rules allow it:
//  - a digit, always;
//  - a sign, as the first byte or right after the exponent letter;
//  - a ".", if neither a "." nor an exponent letter came before;
//  - an exponent letter, if none came before and a digit did;
//  - nothing else.
bool take_into(FieldSoFar& f, char c) {
  const bool sign_allowed = f.empty || f.after_exponent;
  f.empty = false;
  f.after_exponent = false;
  if (is_digit(c)) {
    f.digit = true;
    return true;
  }
  if (is_sign(c)) return sign_allowed;
  if (c == '.' && !f.point && !f.exponent) {
    f.point = true;
    return true;
  }
  if (is_exponent(c) && !f.exponent && f.digit) {
    f.exponent = f.after_exponent = true;
    return true;
  }
  return false;  // the field has ended, and `f` is not used again
}

// How many bytes from `p` on, before `end`, the field takes.
std::size_t take_bytes(FieldSoFar& f, const char* p, const char* end) {
  const char* const start = p;
  while (p < end && take_into(f, *p)) ++p;
  return static_cast<std::size_t>(p - start);
}

// The bytes the reader takes from next: those given back, else the buffer,
// filled from the source when it is empty. Empty at the end of the input.
std::string_view piece(InputReader& in) {
  if (in.held_count > 0) return {in.held, std::size_t(in.held_count)};
  if (in.buffer.empty()) in.buffer = in.source->fill();
  return in.buffer;
}

// Takes the first `n` bytes of the current piece.
void take(InputReader& in, std::size_t n) {
  if (in.held_count == 0) {
    in.buffer.remove_prefix(n);
    return;
  }
  in.held_count -= static_cast<int>(n);
  std::memmove(in.held, in.held + n, std::size_t(in.held_count));
}

// Puts bytes back in front of anything held. Never more than two in all:
// bytes are given back only at the end of a field (an exponent letter and
// its sign, or a field without a digit), and a read that starts on held
// bytes starts on an exponent letter, which fails it with an empty field.
void give_back(InputReader& in, std::string_view text) {
  if (in.held_count + text.size() > sizeof in.held) return;  // cannot happen
  std::memmove(in.held + text.size(), in.held, std::size_t(in.held_count));
  std::memcpy(in.held, text.data(), text.size());
  in.held_count += static_cast<int>(text.size());
}

// Skips whitespace; false when the input ends first.
bool skip_space(InputReader& in) {
  for (;;) {
    const std::string_view bytes = piece(in);
    if (bytes.empty()) return false;
    std::size_t n = 0;
    while (n < bytes.size() && is_space(bytes[n])) ++n;
    take(in, n);
    if (n < bytes.size()) return true;
  }
}

// Takes the number field into `store`: looks at the next byte and takes
// it while the rules allow, at most 349 bytes; the first byte refused stays
// in the input. Then looks once more: `ended` tells whether the input ended
// right after the field. The bytes come in pieces; a field may span them.
std::string_view collect(InputReader& in, char* store, bool& ended) {
  FieldSoFar so_far;
  std::size_t size = 0;
  for (;;) {
    const std::string_view bytes = piece(in);
    if (bytes.empty()) {
      ended = true;
      break;
    }
    if (size == kMaxFieldLength) break;
    const std::size_t room = std::min(bytes.size(), kMaxFieldLength - size);
    const std::size_t n = take_bytes(so_far, bytes.data(), bytes.data() + room);
    std::memcpy(store + size, bytes.data(), n);
    take(in, n);
    size += n;
    if (n < room) break;  // the rules refused the next byte
  }
  return {store, size};
}

// Whether a number that is out of the double range is too large, not too
// small: the decimal exponent of its first nonzero digit, with the written
// exponent added, is positive. Exponents are clamped far beyond the range.
bool overflows(std::string_view text) {
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
  return position + (negative ? -exponent : exponent) > 0;
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
    value = overflows(text) ? INFINITY : 0.0;
  // Two roundings on purpose: text to double, then double to float.
  return to_float(negative ? -value : value);
}

void read_float(InputReader& in, float& target) {
  if (!in.state.good()) {
    in.state.fail = true;
    return;
  }
  if (in.tie != nullptr) flush_output(*in.tie);
  if (!skip_space(in)) {
    in.state.eof = in.state.fail = true;
    return;
  }

  char store[kMaxFieldLength];
  bool ended = false;
  std::string_view field = collect(in, store, ended);

  // A field without a digit is a sign, a point or both.
  if (field.size() <= 2 && std::none_of(field.begin(), field.end(), is_digit)) {
    give_back(in, field);
    in.state.fail = true;
    in.state.eof = ended;
    return;
  }
  // An exponent letter, and its sign, without a digit after them are not
  // part of the number: they go back for the next read.
  std::size_t cut = field.size();
  if (is_sign(field.back())) --cut;
  if (is_exponent(field[cut - 1])) {
    give_back(in, field.substr(cut - 1));
    field = field.substr(0, cut - 1);
  }
  target = convert_number(field);
  in.state.eof = ended;
}

}  // namespace morvantic

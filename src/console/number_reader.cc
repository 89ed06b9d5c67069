#include "console/number_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "ieee.h"

namespace morvantic {
namespace {

bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_exponent(int c) { return c == 'e' || c == 'E'; }
bool is_sign(int c) { return c == '+' || c == '-'; }

// Whether all eight bytes are digits, tested at once.
bool eight_digits(const char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return ((v & 0xF0F0F0F0F0F0F0F0) |
          (((v + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4)) ==
         0x3333333333333333;
}

const char* skip_digits(const char* p, const char* end) {
  while (end - p >= 8 && eight_digits(p)) p += 8;
  while (p < end && is_digit(*p)) ++p;
  return p;
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

// Takes the number field; the byte that ends it stays in the input. A field
// that ends inside the buffer is read in place; one that runs over several
// pieces is copied to `store`. `ended` tells whether the input ended right
// after the field.
std::string_view collect(InputReader& in, char* store, bool& ended) {
  if (in.held_count == 0) {
    const std::string_view bytes = piece(in);
    const std::size_t n = std::min(scan_number_field(bytes), kMaxFieldLength);
    if (n < bytes.size() || n == kMaxFieldLength) {
      take(in, n);
      return bytes.substr(0, n);
    }
  }
  std::size_t size = 0;
  while (size < kMaxFieldLength) {
    const std::string_view bytes = piece(in);
    if (bytes.empty()) {
      ended = true;
      break;
    }
    // A field that reached the end of the last piece is accepted whole
    // again with more bytes after it, so the new field is at least as long.
    const std::size_t copied = std::min(bytes.size(), kMaxFieldLength - size);
    std::memcpy(store + size, bytes.data(), copied);
    const std::size_t field = scan_number_field({store, size + copied});
    take(in, field - size);
    if (field < size + copied) return {store, field};
    size = field;
  }
  return {store, size};
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

std::size_t scan_number_field(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  if (p < end && is_sign(*p)) ++p;
  const char* const integer = p;
  p = skip_digits(p, end);
  bool digit = p != integer;
  if (p < end && *p == '.') {
    const char* const fraction = ++p;
    p = skip_digits(p, end);
    digit = digit || p != fraction;
  }
  if (digit && p < end && is_exponent(*p)) {
    ++p;
    if (p < end && is_sign(*p)) ++p;
    p = skip_digits(p, end);
  }
  return static_cast<std::size_t>(p - text.data());
}

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

// Properties of the number reader over arbitrary input bytes: the bytes are
// read as the console's input by reads until the reader is no longer good,
// and each read is held against a recogniser of the number syntax written
// here on its own, not from the reader's code.
//  - Every byte is taken by exactly one read or is still unread at the end:
//    what the reader holds back and buffers is exactly the bytes after the
//    last one it took, in order; it never holds more than two. The source
//    hands the bytes out in pieces, so that fields straddle them.
//  - A read succeeds exactly when the recogniser's field holds a digit. It
//    then stores the number's value, by an independent conversion (strtod,
//    the nearest double, then the nearest float), and the next read starts
//    where the recogniser says; otherwise it fails, stores nothing and takes
//    nothing but the whitespace. `eof` is set exactly when the input ended
//    during the read.
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "console/number_reader.h"

namespace {

using morvantic::InputReader;

[[noreturn]] void broken(const char* property) {
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

void require(bool holds, const char* property) {
  if (!holds) broken(property);
}

class BytesSource final : public morvantic::ByteSource {
 public:
  BytesSource(const std::uint8_t* data, std::size_t size)
      : data_(data), size_(size), piece_(1 + size % 7) {}
  std::string_view fill() override {
    const std::size_t n = std::min(piece_, size_ - next);
    const std::string_view bytes(reinterpret_cast<const char*>(data_) + next,
                                 n);
    next += n;
    return bytes;
  }
  std::size_t next = 0;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t piece_;
};

// Where the next read starts: the first byte no read has taken. Checks
// that the reader holds and buffers exactly the bytes from there on.
std::size_t first_untaken(const InputReader& in, const BytesSource& source,
                          const std::uint8_t* data) {
  require(in.held_count <= 2, "at most two bytes given back");
  const std::size_t buffered = in.buffer.size() + in.held_count;
  require(source.next >= buffered, "holds only bytes it took");
  const std::size_t first = source.next - buffered;
  for (int i = 0; i < in.held_count; ++i)
    require(static_cast<std::uint8_t>(in.held[i]) == data[first + i],
            "gives back the bytes it took, in order");
  require(in.buffer.empty() ||
              reinterpret_cast<const std::uint8_t*>(in.buffer.data()) ==
                  data + first + in.held_count,
          "buffers the bytes after those");
  return first;
}

bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_sign(int c) { return c == '+' || c == '-'; }

// What the number syntax says one read from `start` does.
struct Expected {
  bool stored = false;     // a number is stored (else the read fails)
  std::size_t number = 0;  // where the number's text begins
  std::size_t next = 0;    // where it ends, and the next read starts
  bool eof = false;        // the input ended during the read
};

// After whitespace, the field is the longest prefix, at most 349 bytes, of
// [+-][digits][.][digits][(e|E)[+-][digits]] whose exponent letter comes
// after a digit. Without a digit it is given back; an exponent letter and
// sign with no digit after them are given back and the number ends before.
Expected recognise(const std::uint8_t* data, std::size_t size,
                   std::size_t start) {
  Expected want;
  std::size_t at = start;
  while (at < size && is_space(data[at])) ++at;
  want.number = want.next = at;
  if (at == size) {
    want.eof = true;
    return want;
  }
  const std::size_t limit = std::min(size, at + morvantic::kMaxFieldLength);
  const auto digits = [&] {
    const std::size_t from = at;
    while (at < limit && is_digit(data[at])) ++at;
    return at - from;
  };
  if (at < limit && is_sign(data[at])) ++at;
  std::size_t mantissa = digits();
  if (at < limit && data[at] == '.') {
    ++at;
    mantissa += digits();
  }
  std::size_t end = at;
  if (mantissa > 0 && at < limit && (data[at] == 'e' || data[at] == 'E')) {
    ++at;
    if (at < limit && is_sign(data[at])) ++at;
    if (digits() > 0) end = at;
  }
  want.eof = at == size;  // the look after the field's last byte
  want.stored = mantissa > 0;
  if (want.stored) want.next = end;
  return want;
}

// The conversion the reader must agree with, built another way.
__attribute__((no_sanitize("float-cast-overflow"))) float expected_value(
    std::string_view field) {
  char text[512];
  std::memcpy(text, field.data(), field.size());
  text[field.size()] = '\0';
  char* end = nullptr;
  const double d = std::strtod(text, &end);  // ERANGE still rounds right
  require(end == text + field.size(), "strtod takes the whole field");
  return static_cast<float>(d);  // IEEE: beyond the range is an infinity
}

std::uint32_t bits(float f) {
  std::uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  BytesSource source(data, size);
  InputReader in;
  in.source = &source;
  std::size_t reads = 0;
  while (in.state.good()) {
    require(++reads <= size + 1, "every good read takes a byte");
    const std::size_t start = first_untaken(in, source, data);
    const float before = std::bit_cast<float>(std::uint32_t{0x7FA5A5A5});
    float target = before;
    read_float(in, target);

    const std::size_t stop = first_untaken(in, source, data);
    const Expected want = recognise(data, size, start);
    require(in.state.fail == !want.stored, "fails exactly without a digit");
    require(in.state.eof == want.eof, "eof exactly when the input ended");
    require(stop == want.next, "the next read starts after the number");
    if (!want.stored) {
      require(bits(target) == bits(before), "a failed read stores nothing");
      continue;
    }
    const std::string_view number(
        reinterpret_cast<const char*>(data + want.number), stop - want.number);
    require(bits(target) == bits(expected_value(number)),
            "stored value equals strtod then float");
  }
  // Once not good, a read takes nothing and changes nothing.
  const std::size_t next = source.next;
  float target = 1.0f;
  read_float(in, target);
  require(source.next == next && target == 1.0f && in.state.fail,
          "a refused read does nothing");
  return 0;
}

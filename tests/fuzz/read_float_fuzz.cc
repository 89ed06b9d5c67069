// Properties of the number reader over arbitrary input bytes: the bytes are
// read as the console's input by reads until the reader is no longer good.
//  - Every byte is taken by exactly one read or is still unread at the end:
//    what the reader holds back and buffers is exactly the bytes after the
//    last one it took, in order; it never holds more than two. The source
//    hands the bytes out in pieces, so that fields straddle them.
//  - A number field is at most 349 bytes.
//  - A stored value equals an independent conversion of the field's text:
//    strtod (nearest double), then the nearest float.
//  - A read that fails leaves its target untouched.
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
    require(stop >= start, "never takes a byte back from an earlier read");

    if (in.state.fail) {
      require(bits(target) == bits(before), "a failed read stores nothing");
      continue;
    }
    std::size_t first = start;
    while (first < stop && is_space(data[first])) ++first;
    const std::string_view field(reinterpret_cast<const char*>(data + first),
                                 stop - first);
    require(!field.empty(), "a stored number has a field");
    require(field.size() <= morvantic::kMaxFieldLength, "field <= 349 bytes");
    require(bits(target) == bits(expected_value(field)),
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

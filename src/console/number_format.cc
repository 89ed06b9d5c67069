#include "console/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace morvantic {
namespace {

void append(NumberText& text, std::string_view part) {
  std::memcpy(text.chars + text.size, part.data(), part.size());
  text.size += part.size();
}

}  // namespace

NumberText format_number(double value) {
  NumberText text;
  if (std::signbit(value)) append(text, "-");
  if (std::isnan(value)) {
    append(text, "NaN");
  } else if (std::isinf(value)) {
    append(text, "Infinity");
  } else {
    // std::to_chars at a precision is correctly rounded (ties to even from
    // the exact binary value) and, for chars_format::general, gives exactly
    // the digits and the form of "%g" without touching the locale.
    char* const end = text.chars + sizeof text.chars;
    const auto result =
        std::to_chars(text.chars + text.size, end, std::fabs(value),
                      std::chars_format::general, 6);
    text.size = static_cast<std::size_t>(result.ptr - text.chars);
  }
  return text;
}

}  // namespace morvantic

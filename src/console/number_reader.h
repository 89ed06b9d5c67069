// Reading the numbers the user types.
#pragma once

#include <cstddef>
#include <string_view>

#include "console/console.h"

namespace morvantic {

/// The reader's flags. All clear at start; set, never cleared.
struct InputState {
  bool eof = false;   ///< the end of the input was met (or a read error)
  bool fail = false;  ///< a read stored nothing, or was refused
  bool bad = false;   ///< unusable input; nothing sets it, reads honour it
  bool good() const { return !eof && !fail && !bad; }
};

/// The longest number field one read takes. The limit is the console's
/// number format, the same on every platform: a longer run of digits is
/// read as several numbers. It bounds the field, so a read keeps it on the
/// stack and a run's memory does not grow with what is typed (8 MB of
/// digits are read 349 at a time); and it is far more than rounding needs,
/// since the value is decided by the exact decimal text anyway.
inline constexpr std::size_t kMaxFieldLength = 349;

/// The one reader of the console's input. It looks one byte ahead (the byte
/// stays in `buffer`) and gives back at most two bytes of a field (into
/// `held`); both come first in the next read.
struct InputReader {
  ByteSource* source = nullptr;
  Output* tie = nullptr;  ///< flushed before a good read takes input
  InputState state;
  char held[2] = {};  ///< bytes given back, delivered before `buffer`
  int held_count = 0;
  std::string_view buffer;  ///< bytes from the source not yet taken
};

/// Reads one number into `target`. A read that finds a flag set sets `fail`
/// and does nothing else. Otherwise it flushes the tie, skips whitespace
/// (space, \t, \n, \v, \f, \r and nothing else), and takes the longest
/// field of the form [+-][digits][.][digits][(e|E)[+-][digits]], where an
/// exponent letter needs a digit before it, at most 349 bytes, leaving the
/// byte that ended it in the input. A number is
/// [+-](digits[.[digits]] | .digits)[(e|E)[+-]digits]: "5.", ".5" and "-.5"
/// are numbers. A field without a digit is
/// given back whole and sets `fail`; an exponent letter (and sign) with no
/// digit after it is given back and the number before it stored. The end
/// of the input sets `eof`, and `fail` too when nothing was stored.
///   "  -3.5e2xyz" → -350, next read starts at "x"
///   "1e+x" → 1, next at "e+x"      "abc" → unchanged, fail, next at "abc"
///   "12" then end → 12, eof        "" → unchanged, eof and fail
void read_float(InputReader& in, float& target);

/// Converts a recognised number, [+-](digits[.[digits]] | .digits)
/// [(e|E)[+-]digits], to the nearest double (ties to even, from
/// the exact decimal value), then that double to the nearest float. Beyond
/// the range gives an infinity, below it a zero, each with the text's sign;
/// float subnormals are kept. Locale-free and pure.
///   "1e39" → +inf    "-1e-50" → -0.0f    "1e-40" → 0x1.16c2p-133f
///   "1.000000059604644775390625001" → 1.0f (the double lies on a tie)
float convert_number(std::string_view text);

}  // namespace morvantic

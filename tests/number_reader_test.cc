#include "console/number_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

namespace morvantic {
namespace {

// Input from a string, handed out in pieces of `piece` bytes, so that
// fields and give-backs straddle the pieces. Counts the calls.
class StringSource final : public ByteSource {
 public:
  explicit StringSource(std::string text, std::size_t piece = 3)
      : text_(std::move(text)), piece_(piece) {}
  std::string_view fill() override {
    ++fills;
    const std::string_view bytes =
        std::string_view(text_).substr(next_, piece_);
    next_ += bytes.size();
    return bytes;
  }
  std::string unread() const { return text_.substr(next_); }
  int fills = 0;

 private:
  std::string text_;
  std::size_t piece_;
  std::size_t next_ = 0;
};

// What the next read sees: the bytes the reader holds and has buffered,
// then the source's.
std::string rest(const InputReader& in, const StringSource& source) {
  return std::string(in.held, in.held_count) + std::string(in.buffer) +
         source.unread();
}

std::string flags(const InputState& s) {
  std::string text = s.eof ? "eof " : "";
  text += s.fail ? "fail " : "";
  text += s.bad ? "bad " : "";
  return text.empty() ? "none" : text.substr(0, text.size() - 1);
}

constexpr std::uint32_t kUnchanged = 0x5EED5EED;  // the target before a read
const float kInf = std::numeric_limits<float>::infinity();

struct ReadCase {
  std::string typed;
  std::uint32_t stored;  // bit pattern of the target after the read
  const char* flags;
  std::string rest;
};

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

void check(const ReadCase& c) {
  SCOPED_TRACE("typed: " + c.typed);
  StringSource source(c.typed);
  InputReader in;
  in.source = &source;
  float target = std::bit_cast<float>(kUnchanged);
  read_float(in, target);
  EXPECT_EQ(bits(target), c.stored) << std::hexfloat << target;
  EXPECT_EQ(flags(in.state), c.flags);
  EXPECT_EQ(rest(in, source), c.rest);
}

TEST(ReadFloat, OneReadOnAFreshReader) {
  const std::string digits400(400, '1');
  const std::string digits349(349, '1');
  const ReadCase cases[] = {
      {"42\n", bits(42.0f), "none", "\n"},
      {"  -3.5e2xyz\n", bits(-350.0f), "none", "xyz\n"},
      {"\n\n7\n", bits(7.0f), "none", "\n"},
      {"\t\v\f\r 7 ", bits(7.0f), "none", " "},
      {"-\n", kUnchanged, "fail", "-\n"},
      {".\n", kUnchanged, "fail", ".\n"},
      {"e5\n", kUnchanged, "fail", "e5\n"},
      {"abc\n", kUnchanged, "fail", "abc\n"},
      {"+-1\n", kUnchanged, "fail", "+-1\n"},
      {"+.e1\n", kUnchanged, "fail", "+.e1\n"},
      {"inf\n", kUnchanged, "fail", "inf\n"},
      {"nan\n", kUnchanged, "fail", "nan\n"},
      {"\xA0"
       "1\n",
       kUnchanged, "fail",
       "\xA0"
       "1\n"},  // not whitespace
      {"1e\n", bits(1.0f), "none", "e\n"},
      {"1e+x\n", bits(1.0f), "none", "e+x\n"},
      {"2E-\n", bits(2.0f), "none", "E-\n"},
      {"12abc\n", bits(12.0f), "none", "abc\n"},
      {"1,5\n", bits(1.0f), "none", ",5\n"},
      {"1.5.3\n", bits(1.5f), "none", ".3\n"},
      {"1e5.3\n", bits(100000.0f), "none", ".3\n"},
      {"1E3E4\n", bits(1000.0f), "none", "E4\n"},
      {".5e-3\n", bits(0.0005f), "none", "\n"},
      {"5.e2 ", bits(500.0f), "none", " "},
      {"12345678901234567890x", bits(12345678901234567890.0f), "none", "x"},
      {"0x1A\n", bits(0.0f), "none", "x1A\n"},
      {"5.\n", bits(5.0f), "none", "\n"},
      {".5\n", bits(0.5f), "none", "\n"},
      {"-.5\n", bits(-0.5f), "none", "\n"},
      {"+5\n", bits(5.0f), "none", "\n"},
      {"007\n", bits(7.0f), "none", "\n"},
      {"1E3\n", bits(1000.0f), "none", "\n"},
      {"10 20\n", bits(10.0f), "none", " 20\n"},
      {"-0\n", bits(-0.0f), "none", "\n"},
      {"1e39\n", bits(kInf), "none", "\n"},
      {"3.4028235e38\n", bits(0x1.fffffep127f), "none", "\n"},
      {"3.4028236e38\n", bits(kInf), "none", "\n"},
      {"1e400\n", bits(kInf), "none", "\n"},
      {"-1e400\n", bits(-kInf), "none", "\n"},
      {"0.0000001e400\n", bits(kInf), "none", "\n"},
      {"1e-40\n", bits(0x1.16c2p-133f), "none", "\n"},
      {"1e-50\n", bits(0.0f), "none", "\n"},
      {"-1e-50\n", bits(-0.0f), "none", "\n"},
      {"-1e-400\n", bits(-0.0f), "none", "\n"},
      {"1000000000e-400\n", bits(0.0f), "none", "\n"},
      {"0e999999999999\n", bits(0.0f), "none", "\n"},
      // 1e-324 once the zeros after the point are counted: too small.
      {"0." + std::string(325, '0') + "1e2\n", bits(0.0f), "none", "\n"},
      // Beyond the double range, too large or too small by where the first
      // nonzero digit stands, whatever the written exponent says: zeros
      // after the point count, zeros before the first digit and digits
      // after the point do not, digits before the point do.
      {"0." + std::string(330, '0') + "1e3\n", bits(0.0f), "none", "\n"},
      {"0." + std::string(5, '0') + "1e315\n", bits(kInf), "none", "\n"},
      {std::string(340, '0') + "1e-330\n", bits(0.0f), "none", "\n"},
      {std::string(340, '0') + "1e330\n", bits(kInf), "none", "\n"},
      {"1." + std::string(340, '1') + "e-330\n", bits(0.0f), "none", "\n"},
      {"9." + std::string(340, '9') + "e308\n", bits(kInf), "none", "\n"},
      {"1" + std::string(330, '0') + "e-20\n", bits(kInf), "none", "\n"},
      {"1" + std::string(300, '0') + "e-640\n", bits(0.0f), "none", "\n"},
      // The double nearest to this text lies exactly halfway between 1 and
      // the next float; the tie goes to even. Straight to float gives 1+ulp.
      {"1.000000059604644775390625001\n", bits(1.0f), "none", "\n"},
      // The field stops at 349 bytes: the rest is the next read's number.
      {digits400 + "\n", bits(kInf), "none", digits400.substr(349) + "\n"},
      {digits349 + digits349, bits(kInf), "none", digits349},
      // The end of input right after a full field is noted too.
      {digits349, bits(kInf), "eof", ""},
      {digits349.substr(1) + "e", bits(kInf), "eof", "e"},
      {"12", bits(12.0f), "eof", ""},
      {"", kUnchanged, "eof fail", ""},
      {" \n\t", kUnchanged, "eof fail", ""},
      {"-", kUnchanged, "eof fail", "-"},
      {"1e", bits(1.0f), "eof", "e"},
      {"1e-", bits(1.0f), "eof", "e-"},
  };
  for (const ReadCase& c : cases) check(c);
}

TEST(ReadFloat, SequencesOfReads) {
  StringSource source("1 2\n1e\n5\n");
  InputReader in;
  in.source = &source;
  float a = 0, b = 0;
  float c = std::bit_cast<float>(kUnchanged);  // no read could store this
  read_float(in, a);
  read_float(in, b);
  EXPECT_EQ(a, 1.0f);
  EXPECT_EQ(b, 2.0f);
  EXPECT_EQ(flags(in.state), "none");
  EXPECT_EQ(rest(in, source), "\n1e\n5\n");

  read_float(in, a);  // takes 1, gives the e back
  read_float(in, c);  // finds the e: fails, stores nothing
  EXPECT_EQ(a, 1.0f);
  EXPECT_EQ(bits(c), kUnchanged);
  EXPECT_EQ(flags(in.state), "fail");

  // Every later read is refused without taking a byte; the 5 stays unread.
  const int fills = source.fills;
  const std::string before = rest(in, source);
  read_float(in, c);
  EXPECT_EQ(bits(c), kUnchanged);
  EXPECT_EQ(source.fills, fills);
  EXPECT_EQ(rest(in, source), before);
  EXPECT_EQ(rest(in, source), "e\n5\n");
}

TEST(ReadFloat, TheSecondFullFieldEndsAtTheEndOfInput) {
  StringSource source(std::string(698, '1'));
  InputReader in;
  in.source = &source;
  float a = 0, b = 0;
  read_float(in, a);
  EXPECT_EQ(flags(in.state), "none");
  read_float(in, b);
  EXPECT_EQ(bits(b), bits(kInf));
  EXPECT_EQ(flags(in.state), "eof");
  EXPECT_EQ(rest(in, source), "");
}

TEST(ReadFloat, HonoursEveryFlag) {
  for (int flag = 0; flag < 3; ++flag) {
    StringSource source("7\n");
    InputReader in;
    in.source = &source;
    (flag == 0   ? in.state.eof
     : flag == 1 ? in.state.fail
                 : in.state.bad) = true;
    float target = 3.0f;
    read_float(in, target);
    EXPECT_EQ(target, 3.0f);
    EXPECT_TRUE(in.state.fail);
    EXPECT_EQ(source.fills, 0);
  }
}

TEST(ConvertNumber, RoundsTwiceAndSaturates) {
  struct {
    const char* text;
    float value;
  } const cases[] = {
      {"1e39", kInf},
      {"-1e-50", -0.0f},
      {"1e-40", 0x1.16c2p-133f},
      {"1.000000059604644775390625001", 1.0f},
      {"1.0000000596046447753906250", 1.0f},  // exactly halfway: even
      {"1.0000000596046447753906251", 1.0f},  // its double is the tie
      {"1.00000006", 0x1.000002p+0f},
      {"0.1", 0x1.99999ap-4f},
      {"1e-45", 0x1p-149f},  // the smallest float subnormal
      {"7.1e-46", 0x1p-149f},
      {"-7.1e-46", -0x1p-149f},
      {"7e-46", 0.0f},  // below half the smallest subnormal
  };
  for (const auto& c : cases)
    EXPECT_EQ(bits(convert_number(c.text)), bits(c.value)) << c.text;
}

}  // namespace
}  // namespace morvantic

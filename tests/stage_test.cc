#include "stage/stage.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace morvantic {
namespace {

const float kInfF = std::numeric_limits<float>::infinity();
// The NaN every invalid operation of the formulas makes: sign bit set.
const double kNaN = std::bit_cast<double>(std::uint64_t{0xFFF8000000000000});
const float kNaNF = std::bit_cast<float>(std::uint32_t{0xFFC00000});
// NaNs typed nowhere but passed through: their sign and payload must come
// out as they went in, widened to double and rounded back by their bits.
const float kPayloadNaNF = std::bit_cast<float>(std::uint32_t{0x7FC01234});
const double kPayloadNaN =
    std::bit_cast<double>(std::uint64_t{0x7FF8024680000000});
const float kNegativePayloadNaNF =
    std::bit_cast<float>(std::uint32_t{0xFFC00001});
const double kNegativePayloadNaN =
    std::bit_cast<double>(std::uint64_t{0xFFF8000020000000});

// Compares bit patterns, so that -0, the NaN's sign and the last bit count.
void expect_same(const StageResult& got, const StageResult& want) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(got.gain),
            std::bit_cast<std::uint64_t>(want.gain))
      << std::hexfloat << "gain " << got.gain << " want " << want.gain;
  EXPECT_EQ(std::bit_cast<std::uint32_t>(got.gain_db),
            std::bit_cast<std::uint32_t>(want.gain_db))
      << std::hexfloat << "gain_db " << got.gain_db;
  EXPECT_EQ(std::bit_cast<std::uint32_t>(got.impedance),
            std::bit_cast<std::uint32_t>(want.impedance))
      << std::hexfloat << "impedance " << got.impedance;
}

struct StageCase {
  const char* what;
  StageInputs in;
  StageResult bypassed;
  StageResult unbypassed;
};

TEST(ComputeStage, WorkedExamplesAndEdgesToTheLastBit) {
  const StageCase cases[] = {
      {"worked example 1",
       {100, 100000, 62500, 1000000, 1500},
       {0x1.da12f5f173785p+5, 0x1.1ba418p+5f, 0x1.631d18p+16f},
       {0x1.695642239d05bp+5, 0x1.08c586p+5f, 0x1.584a62p+17f}},
      // The bypassed gain mixes the double Ra (numerator) and the float Ra
      // (denominator); either one alone would give 48.3844.
      {"worked example 2",
       {50, 260000, 7300, 1374000, 3900},
       {0x1.83135abeb4267p+5, 0x1.0d8d8cp+5f, 0x1.ab029p+17f},
       {0x1.741496ebaba1ap+4, 0x1.b5491p+4f, 0x1.5e2e8p+17f}},
      {"worked example 3",
       {33, 56000, 4800, 405000, 2300},
       {0x1.e1107bee3722fp+4, 0x1.d8fc94p+4f, 0x1.805accp+15f},
       {0x1.deeccaf71cf43p+3, 0x1.7809ap+4f, 0x1.0d1332p+16f}},
      {"worked example 4",
       {20, 208000, 14300, 156000, 2000},
       {0x1.13c354a30f717p+4, 0x1.8ba734p+4f, 0x1.5c36dcp+16f},
       {0x1.0f1556d0f1557p+3, 0x1.28f1e6p+4f, 0x1.433386p+15f}},
      {"mu 0",
       {0, 100000, 62500, 1000000, 1500},
       {0.0, -kInfF, 0x1.631d18p+16f},
       {0.0, -kInfF, 0x1.d5eccp+15f}},
      {"mu -0",
       {-0.0f, 100000, 62500, 1000000, 1500},
       {-0.0, -kInfF, 0x1.631d18p+16f},
       {-0.0, -kInfF, 0x1.d5eccp+15f}},
      {"Rp 0",
       {100, 0, 62500, 1000000, 1500},
       {0.0, -kInfF, 0.0f},
       {0x1.695642239d05bp+5, 0x1.08c586p+5f, 0x1.584a62p+17f}},
      {"RL 0",
       {100, 100000, 62500, 0, 1500},
       {0.0, -kInfF, 0.0f},
       {0.0, -kInfF, 0.0f}},
      {"Rp = -RL",
       {100, 1000, 62500, -1000, 1500},
       {kNaN, kNaNF, kInfF},
       {-0x1.e304d4873ecaep-2, kNaNF, -0x1.f658fp+9f}},
      {"ra 0 and Rk 0",
       {100, 100000, 0, 1000000, 0},
       {0x1.8fffff2e48e91p+6, 40.0f, 0x1.631d18p+16f},
       {kNaN, kNaNF, 0.0f}},
      {"mu -1",
       {-1, 100000, 62500, 1000000, 1500},
       {-0x1.2f684b7bcf055p-1, kNaNF, 0x1.631d18p+16f},
       {-0x1.f07c1f07c1f08p-2, kNaNF, 0x1.cb8f1p+15f}},
      {"all zero", {0, 0, 0, 0, 0}, {kNaN, kNaNF, 0.0f}, {kNaN, kNaNF, 0.0f}},
      {"Rk 0",
       {100, 100000, 62500, 1000000, 0},
       {0x1.da12f5f173785p+5, 0x1.1ba418p+5f, 0x1.631d18p+16f},
       {0x1.83e0f83e0f83ep+5, 0x1.0db26cp+5f, 0x1.cb8f1p+15f}},
      {"bypassed Ra beyond the float range",
       {100, 3e38f, 62500, -2.9999998e38f, 1500},
       {0.0, -kInfF, -kInfF},
       {50.0, 0x1.0fd5dp+5f, 214000.0f}},
      {"all 3e38",
       {3e38f, 3e38f, 3e38f, 3e38f, 3e38f},
       {0x1.2ced32aaaaaabp+126, 760.0f, 0x1.c363ccp+126f},
       {1.0, 0.0f, 0x1.c363ccp+127f}},
      {"Ra on a printing tie",
       {100, 246913, 62500, 246913, 1500},
       {0x1.098f594a8f3e5p+6, 0x1.238952p+5f, 123456.5f},
       {0x1.1710fa9f97429p+5, 0x1.eda338p+4f, 0x1.bfd0bp+16f}},
      // A NaN input is passed on with its sign and payload, through the
      // widening of every field and the rounding of Ra and gain_db.
      {"mu a NaN with a payload",
       {kPayloadNaNF, 100000, 62500, 1000000, 1500},
       {kPayloadNaN, kPayloadNaNF, 0x1.631d18p+16f},
       {kPayloadNaN, kPayloadNaNF, kPayloadNaNF}},
      {"Rp a negative NaN with a payload",
       {100, kNegativePayloadNaNF, 62500, 1000000, 1500},
       {kNegativePayloadNaN, kNegativePayloadNaNF, kNegativePayloadNaNF},
       {0x1.695642239d05bp+5, 0x1.08c586p+5f, 0x1.584a62p+17f}},
  };
  for (const StageCase& c : cases) {
    SCOPED_TRACE(c.what);
    const StageResults got = compute_stage(c.in);
    expect_same(got.bypassed, c.bypassed);
    expect_same(got.unbypassed, c.unbypassed);
  }
}

}  // namespace
}  // namespace morvantic

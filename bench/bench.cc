// Reading, printing and the stage formulas side by side with the standard
// ways of doing the same, over the same generated inputs (fixed seed).
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "console/number_format.h"
#include "console/number_reader.h"
#include "stage/stage.h"

namespace {

using namespace morvantic;

constexpr int kCount = 4096;

// Texts as people type them: component values, random finite floats
// printed in full, long mantissas, exponent forms.
std::string make_texts() {
  std::mt19937_64 rng(20261209);
  std::string all;
  char text[64];
  for (int i = 0; i < kCount; ++i) {
    switch (i % 4) {
      case 0: {
        const char* values[] = {"100", "100000", "62500", "1000000", "1500",
                                "33",  "4.7e3",  "2.2",   "820",     "0.5"};
        std::snprintf(text, sizeof text, "%s", values[rng() % 10]);
        break;
      }
      case 1: {
        float f;
        do {
          const auto bits = static_cast<std::uint32_t>(rng());
          std::memcpy(&f, &bits, sizeof f);
        } while (!std::isfinite(f));
        std::snprintf(text, sizeof text, "%.9g", f);
        break;
      }
      case 2:
        std::snprintf(text, sizeof text, "%llu.%llu",
                      static_cast<unsigned long long>(rng() % 1000000000),
                      static_cast<unsigned long long>(rng()));
        break;
      default:
        std::snprintf(text, sizeof text, "%llue%d",
                      static_cast<unsigned long long>(rng() % 100000),
                      static_cast<int>(rng() % 60) - 30);
    }
    all += text;
    all += ' ';
  }
  return all;
}

// Doubles to print: results of ordinary stages and random finite patterns.
std::vector<double> make_values() {
  std::mt19937_64 rng(20261209);
  std::vector<double> values;
  for (int i = 0; i < kCount; ++i) {
    double d;
    if (i % 2 == 0) {
      d = static_cast<double>(rng() % 10000000) / 137.0;
    } else {
      do {
        const std::uint64_t bits = rng();
        std::memcpy(&d, &bits, sizeof d);
      } while (!std::isfinite(d));
    }
    values.push_back(d);
  }
  return values;
}

const std::string& texts() {
  static const std::string all = make_texts();
  return all;
}

// One byte a call, as the console hands them to the reader.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(const std::string& text) : text_(text) {}
  std::string_view fill() override {
    const std::string_view byte = text_.substr(0, 1);
    text_.remove_prefix(byte.size());
    return byte;
  }

 private:
  std::string_view text_;
};

void BM_read_float(benchmark::State& state) {
  for (auto _ : state) {
    MemorySource source(texts());
    InputReader in;
    in.source = &source;
    float f = 0;
    for (int i = 0; i < kCount; ++i) {
      read_float(in, f);
      benchmark::DoNotOptimize(f);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_strtod_then_cast(benchmark::State& state) {
  for (auto _ : state) {
    const char* p = texts().c_str();
    for (int i = 0; i < kCount; ++i) {
      char* end;
      float f = static_cast<float>(std::strtod(p, &end));
      benchmark::DoNotOptimize(f);
      p = end;
    }
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_from_chars_then_cast(benchmark::State& state) {
  for (auto _ : state) {
    const char* p = texts().data();
    const char* end = p + texts().size();
    for (int i = 0; i < kCount; ++i) {
      while (*p == ' ') ++p;
      double d;
      p = std::from_chars(p, end, d).ptr;
      float f = static_cast<float>(d);
      benchmark::DoNotOptimize(f);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_istream_float(benchmark::State& state) {
  for (auto _ : state) {
    std::istringstream stream(texts());
    float f;
    for (int i = 0; i < kCount; ++i) {
      stream >> f;
      benchmark::DoNotOptimize(f);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_format_number(benchmark::State& state) {
  const std::vector<double> values = make_values();
  for (auto _ : state)
    for (double d : values) benchmark::DoNotOptimize(format_number(d));
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_snprintf_g(benchmark::State& state) {
  const std::vector<double> values = make_values();
  char text[32];
  for (auto _ : state)
    for (double d : values) {
      std::snprintf(text, sizeof text, "%.6g", d);
      benchmark::DoNotOptimize(text);
    }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_to_chars_general(benchmark::State& state) {
  const std::vector<double> values = make_values();
  char text[32];
  for (auto _ : state)
    for (double d : values) {
      benchmark::DoNotOptimize(std::to_chars(text, text + sizeof text, d,
                                             std::chars_format::general, 6));
    }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_ostream_precision6(benchmark::State& state) {
  const std::vector<double> values = make_values();
  std::ostringstream stream;
  stream.precision(6);
  for (auto _ : state)
    for (double d : values) {
      stream.str(std::string());
      stream << d;
      benchmark::DoNotOptimize(stream);
    }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_compute_stage(benchmark::State& state) {
  std::mt19937 rng(20261209);
  std::uniform_real_distribution<float> value(1.0f, 1e6f);
  std::vector<StageInputs> inputs;
  for (int i = 0; i < kCount; ++i)
    inputs.push_back({value(rng) / 1e4f, value(rng), value(rng), value(rng),
                      value(rng) / 100.0f});
  for (auto _ : state)
    for (const StageInputs& in : inputs)
      benchmark::DoNotOptimize(compute_stage(in));
  state.SetItemsProcessed(state.iterations() * kCount);
}

BENCHMARK(BM_read_float);
BENCHMARK(BM_strtod_then_cast);
BENCHMARK(BM_from_chars_then_cast);
BENCHMARK(BM_istream_float);
BENCHMARK(BM_format_number);
BENCHMARK(BM_snprintf_g);
BENCHMARK(BM_to_chars_general);
BENCHMARK(BM_ostream_precision6);
BENCHMARK(BM_compute_stage);

}  // namespace

BENCHMARK_MAIN();

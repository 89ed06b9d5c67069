#include "dialogue.h"

#include <gtest/gtest.h>

#include <string>

namespace morvantic {
namespace {

// Records every event in order: texts as written, and [flush], [clear],
// [key] and [wait] (the reader asking for input at the start of a line,
// where a person would have to type).
class RecordingConsole final : public Console {
 public:
  explicit RecordingConsole(std::string input, int refused_write = -1,
                            int failed_flush = -1)
      : input_(std::move(input)),
        refused_write_(refused_write),
        failed_flush_(failed_flush) {}

  // One byte at a time, like the real console.
  std::string_view fill() override {
    if (at_line_start_) log += "[wait]";
    if (next_ == input_.size()) return {};
    at_line_start_ = input_[next_] == '\n';
    return std::string_view(input_).substr(next_++, 1);
  }
  bool write(std::string_view text) override {
    if (writes_++ == refused_write_) {
      log += "[refused]";
      return false;
    }
    log += text;
    return true;
  }
  bool flush() override {
    if (flushes_++ == failed_flush_) {
      log += "[flush failed]";
      return false;
    }
    log += "[flush]";
    return true;
  }
  void clear_screen() override { log += "[clear]"; }
  void wait_for_key() override { log += "[key]"; }

  std::string log;

 private:
  std::string input_;
  std::size_t next_ = 0;
  bool at_line_start_ = true;
  int writes_ = 0;
  int refused_write_;  // the one write that is not taken; -1: none
  int flushes_ = 0;
  int failed_flush_;  // the one flush that reports an error; -1: none
};

// The banner is the program's own; the transcripts check its text.
const std::string kBannerText = kBanner;
const std::string kMu = "Type Amplification Factor (mu): ";
const std::string kRp = "Type Plate Resistor (ohms): ";
const std::string kRa = "Type Plate's Internal Resistence (ohms): ";
const std::string kRL = "Type Load Impedance (ohms): ";
const std::string kRk = "Type Cathode Resistor (ohms): ";

std::string results(const char* b[3], const char* u[3]) {
  return std::string("\nBypassed Cathode:\n") + "Gain: " + b[0] +
         "\n[flush]Gain (dB): " + b[1] + "\n[flush]Impedance (Z): " + b[2] +
         "\n[flush]\n\nUn-Bypassed Cathode:\nGain: " + u[0] +
         "\n[flush]Gain (dB): " + u[1] + "\n[flush]Impedance (Z): " + u[2] +
         "\n[flush]\n\n[key]";
}

TEST(Dialogue, WorkedExampleTypedLineByLine) {
  RecordingConsole console("100\n100000\n62500\n1000000\n1500\n");
  run_dialogue(console);
  const char* b[3] = {"59.2593", "35.4551", "90909.1"};
  const char* u[3] = {"45.1671", "33.0964", "176277"};
  // Each prompt is flushed before the reader waits; the line end left by
  // one answer is skipped by the next read, which then waits again.
  EXPECT_EQ(console.log, "[clear]" + kBannerText + kMu + "[flush][wait]" + kRp +
                             "[flush][wait]" + kRa + "[flush][wait]" + kRL +
                             "[flush][wait]" + kRk + "[flush][wait]" +
                             results(b, u));
}

TEST(Dialogue, AFailedReadStopsAllLaterFlushesAndWaits) {
  RecordingConsole console("12abc\n");
  run_dialogue(console);
  // mu is 12, the other fields keep their starting zero: both loads are
  // 0 and both gains 0/0.
  const char* b[3] = {"-NaN", "-NaN", "0"};
  const char* u[3] = {"-NaN", "-NaN", "0"};
  EXPECT_EQ(console.log, "[clear]" + kBannerText + kMu + "[flush][wait]" + kRp +
                             "[flush]" + kRa + kRL + kRk + results(b, u));
}

TEST(Dialogue, TheEndOfInputRightAfterAFullFieldIsNoted) {
  // 349 digits are a whole field; the input ends right after them, so the
  // second read is refused: no flush and no wait after the first answer.
  RecordingConsole console(std::string(349, '1'));
  run_dialogue(console);
  const char* b[3] = {"-NaN", "-NaN", "0"};
  const char* u[3] = {"-NaN", "-NaN", "-NaN"};
  EXPECT_EQ(console.log, "[clear]" + kBannerText + kMu + "[flush][wait]" + kRp +
                             kRa + kRL + kRk + results(b, u));
}

TEST(Dialogue, AfterAWriteFailsOnlyTheResultLineEndsAreWritten) {
  // The banner and the first prompt are taken, the second prompt is not;
  // from then on only the line end of each result line is written.
  RecordingConsole console("1 2 3 4 5\n", 2);
  run_dialogue(console);
  EXPECT_EQ(console.log, "[clear]" + kBannerText + kMu + "[flush][wait]" +
                             "[refused][flush][flush][flush][flush]" +
                             "\n[flush]\n[flush]\n[flush]" +
                             "\n[flush]\n[flush]\n[flush][key]");
}

TEST(Dialogue, AfterAFlushFailsOnlyTheResultLineEndsAreWritten) {
  // The flush before the first read reports an error: nothing but the line
  // ends of the result lines is written after it.
  RecordingConsole console("1 2 3 4 5\n", -1, 0);
  run_dialogue(console);
  EXPECT_EQ(console.log, "[clear]" + kBannerText + kMu +
                             "[flush failed][wait][flush][flush][flush]" +
                             "[flush]\n[flush]\n[flush]\n[flush]" +
                             "\n[flush]\n[flush]\n[flush][key]");
}

TEST(Dialogue, AfterAResultLineEndFailsOnlyTheLineEndsAreWritten) {
  // Writes 0 to 9 are the banner, the five prompts, "\n", the header, "Gain: "
  // and the number; the line end after it is refused.
  RecordingConsole console("1 2 3 4 5\n", 10);
  run_dialogue(console);
  EXPECT_EQ(console.log, "[clear]" + kBannerText + kMu + "[flush][wait]" + kRp +
                             "[flush]" + kRa + "[flush]" + kRL + "[flush]" +
                             kRk + "[flush]\nBypassed Cathode:\nGain: " +
                             "0.307692[refused][flush]\n[flush]\n[flush]" +
                             "\n[flush]\n[flush]\n[flush][key]");
}

}  // namespace
}  // namespace morvantic

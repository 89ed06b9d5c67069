// The real console: the C library's stdin and stdout.
#pragma once

#include "console/console.h"

namespace morvantic {

/// Writes with fwrite to stdout, reads bytes with getchar from stdin, and
/// clears and waits through the platform layer.
class StdioConsole final : public Console {
 public:
  std::string_view fill() override;
  bool write(std::string_view text) override;
  bool flush() override;
  void clear_screen() override;
  void wait_for_key() override;

 private:
  char byte_ = 0;  // the last byte read
};

}  // namespace morvantic

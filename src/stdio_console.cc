#include "stdio_console.h"

#include <cstdio>

#include "platform/terminal.h"

namespace morvantic {

// One byte at a time: stdio reads ahead for itself, and asking it for more
// than one byte would wait at a terminal until all of them were typed.
std::string_view StdioConsole::fill() {
  const int c = std::getchar();
  if (c == EOF) return {};
  byte_ = static_cast<char>(c);
  return {&byte_, 1};
}

bool StdioConsole::write(std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

bool StdioConsole::flush() { return std::fflush(stdout) == 0; }

void StdioConsole::clear_screen() { clear_console(); }

void StdioConsole::wait_for_key() { wait_for_any_key(); }

}  // namespace morvantic

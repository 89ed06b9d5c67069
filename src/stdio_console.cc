#include "stdio_console.h"

#include <cstdio>

#include "platform/terminal.h"

namespace morvantic {

int StdioConsole::take() {
  const int c = std::getchar();
  return c == EOF ? -1 : c;
}

bool StdioConsole::write(std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

bool StdioConsole::flush() { return std::fflush(stdout) == 0; }

void StdioConsole::clear_screen() { clear_console(); }

void StdioConsole::wait_for_key() { wait_for_any_key(); }

}  // namespace morvantic

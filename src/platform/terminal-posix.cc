#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iterator>

#include "platform/terminal.h"

namespace morvantic {
namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};

// The terminal's settings before the key wait, for the signal handler.
struct termios saved_settings;

void restore_and_end(int signal_number) {
  tcsetattr(STDIN_FILENO, TCSANOW, &saved_settings);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

}  // namespace

void prepare_process() { ::signal(SIGPIPE, SIG_IGN); }

void clear_console() {
  if (isatty(STDOUT_FILENO)) std::fputs("\x1b[H\x1b[2J", stdout);
}

void wait_for_any_key() {
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_settings) != 0)
    return;
  std::fputs("Press any key to continue . . . ", stdout);
  std::fflush(stdout);

  struct sigaction ending = {};
  ending.sa_handler = restore_and_end;
  sigemptyset(&ending.sa_mask);
  struct sigaction previous[sizeof kEndingSignals / sizeof *kEndingSignals];
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    sigaction(kEndingSignals[i], &ending, &previous[i]);

  struct termios raw = saved_settings;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0) {
    unsigned char key = 0;
    while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
    }
    // TCSAFLUSH drops what else is pending, such as the rest of the escape
    // sequence of an arrow key, so that it does not reach the shell.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_settings);
  }

  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    sigaction(kEndingSignals[i], &previous[i], nullptr);
  std::fputs("\n", stdout);
  std::fflush(stdout);
}

}  // namespace morvantic

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

// The terminal's settings before the key wait, and those of the wait, for
// the signal handlers.
struct termios saved_settings;
struct termios wait_settings;

void restore_and_end(int signal_number) {
  tcsetattr(STDIN_FILENO, TCSANOW, &saved_settings);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

// Stopped (SIGTSTP), the terminal goes back to the shell as it was; the
// process then stops as the signal would. Going on is resume_wait's.
void restore_and_stop(int signal_number) {
  const int saved_errno = errno;
  tcsetattr(STDIN_FILENO, TCSANOW, &saved_settings);
  struct sigaction stop = {}, ours = {};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  sigaction(signal_number, &stop, &ours);
  sigset_t just_this;
  sigemptyset(&just_this);
  sigaddset(&just_this, signal_number);
  sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
  ::raise(signal_number);  // stops here until SIGCONT
  sigaction(signal_number, &ours, nullptr);
  errno = saved_errno;
}

// Going on (SIGCONT), whatever stopped the process (SIGSTOP too, after
// which the shell has put the terminal back in line mode): the wait's
// settings come back.
void resume_wait(int) {
  const int saved_errno = errno;
  tcsetattr(STDIN_FILENO, TCSANOW, &wait_settings);
  errno = saved_errno;
}

// Installs `handler` for `signal_number` unless the signal arrived ignored
// (as under nohup): an ignored signal stays ignored.
void handle_unless_ignored(int signal_number, void (*handler)(int),
                           struct sigaction& previous) {
  sigaction(signal_number, nullptr, &previous);
  if (previous.sa_handler == SIG_IGN) return;
  struct sigaction ours = {};
  ours.sa_handler = handler;
  sigemptyset(&ours.sa_mask);
  sigaction(signal_number, &ours, nullptr);
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

  wait_settings = saved_settings;
  wait_settings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
  // Ctrl-S and Ctrl-Q are keys too, not the terminal's flow control.
  wait_settings.c_iflag &= ~static_cast<tcflag_t>(IXON);
  wait_settings.c_cc[VMIN] = 1;
  wait_settings.c_cc[VTIME] = 0;
  struct sigaction previous[std::size(kEndingSignals)];
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    handle_unless_ignored(kEndingSignals[i], restore_and_end, previous[i]);
  struct sigaction previous_stop, previous_cont;
  handle_unless_ignored(SIGTSTP, restore_and_stop, previous_stop);
  handle_unless_ignored(SIGCONT, resume_wait, previous_cont);

  if (tcsetattr(STDIN_FILENO, TCSANOW, &wait_settings) == 0) {
    unsigned char key = 0;
    while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
    }
    // TCSAFLUSH drops what else is pending, such as the rest of the escape
    // sequence of an arrow key, so that it does not reach the shell.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_settings);
  }

  sigaction(SIGCONT, &previous_cont, nullptr);
  sigaction(SIGTSTP, &previous_stop, nullptr);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    sigaction(kEndingSignals[i], &previous[i], nullptr);
  std::fputs("\n", stdout);
  std::fflush(stdout);
}

}  // namespace morvantic

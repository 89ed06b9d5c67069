#include <cstdio>

#include "platform/terminal.h"

// WASI has no terminal control and no command interpreter: the module asks
// its host, which clears and waits at a terminal and does nothing where its
// streams are not one.
extern "C" {
__attribute__((import_module("morvantic"), import_name("cls"))) void host_cls();
__attribute__((import_module("morvantic"), import_name("pause"))) void
host_pause();
}

namespace morvantic {

void prepare_process() {}

void clear_console() { host_cls(); }

// The host writes its own prompt, so what the program wrote comes first.
// A console's C library hands the last line ends on at once; wasi-libc
// buffers them or not by what the host says stdout is, so the module
// flushes rather than leave the order to the host. No byte changes: under
// node the host writes nothing, and the page is the console.
void wait_for_any_key() {
  std::fflush(stdout);
  host_pause();
}

}  // namespace morvantic

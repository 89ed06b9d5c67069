#include <cstdlib>

#include "platform/terminal.h"

namespace morvantic {

void prepare_process() {}

// The command interpreter's own commands; their results are not examined.
void clear_console() { (void)std::system("cls"); }

// No flush before "pause", as the dialogue's rule has it: at a console the
// C library hands the last two line ends on at once, so they stand before
// the interpreter's prompt; redirected, its buffering puts them after it,
// which the transcripts allow. (The WebAssembly build flushes: its host's
// prompt is the console's, and its libc's buffering depends on the host.)
void wait_for_any_key() { (void)std::system("pause"); }

}  // namespace morvantic

// The program as the user meets it: one fixed dialogue, top to bottom.
#pragma once

#include "console/console.h"

namespace morvantic {

/// Clears the screen, writes the banner and the formula legend, reads the
/// five values after their prompts, writes both result blocks and waits
/// for a key. Every run writes the same texts in the same order; only the
/// six numbers differ. Input that is not a number, or the end of input,
/// makes every later read return at once, and the dialogue goes on. The
/// fields start at zero.
void run_dialogue(Console& console);

}  // namespace morvantic

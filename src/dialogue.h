// The program as the user meets it: one fixed dialogue, top to bottom.
#pragma once

#include "build_info.h"
#include "console/console.h"

namespace morvantic {

/// The banner and the formula legend, the first text of every run: the
/// version and the addresses are the build's (build_info.h).
inline constexpr const char* kBanner =
    "\n\n"
    "            .:: MORVANTIC " MORVANTIC_VERSION
    " ::.\n\n"
    "                        morvantic contributors, 2026 \n"
    "                  Web: " MORVANTIC_WEB
    " \n"
    "                    E-mail: " MORVANTIC_EMAIL
    " \n\n"
    "Bypassed Cathode:\n"
    "Gain Formula: Av = (mu*Ra)/(Ra+ra)\n"
    "Impedance Formula: Ra = Rp || Rl \n\n"
    "Un-bypassed Cathode:\n"
    "Gain Formula: Av = (mu*Ra)/(Ra+ra')\n"
    "Impedance Formula: Ra= ra' || RL \n"
    "Internal Resistence Formula:  ra'=ra+(mu+1)*Rk \n\n";

/// Clears the screen, writes the banner and the formula legend, reads the
/// five values after their prompts, writes both result blocks and waits
/// for a key. Every run writes the same texts in the same order; only the
/// six numbers differ. Input that is not a number, or the end of input,
/// makes every later read return at once, and the dialogue goes on. The
/// fields start at zero.
void run_dialogue(Console& console);

}  // namespace morvantic

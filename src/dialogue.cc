#include "dialogue.h"

#include "console/number_reader.h"
#include "ieee.h"
#include "stage/stage.h"

// The build gives the version and the two addresses of the credit lines.
#if !defined(MORVANTIC_VERSION) || !defined(MORVANTIC_WEB) || \
    !defined(MORVANTIC_EMAIL)
#error "MORVANTIC_VERSION, MORVANTIC_WEB and MORVANTIC_EMAIL must be defined"
#endif

namespace morvantic {
namespace {

constexpr const char* kBanner =
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

void ask(Output& out, InputReader& in, const char* prompt, float& field) {
  write_text(out, prompt);
  read_float(in, field);
}

void write_result(Output& out, const char* header, const StageResult& r) {
  write_text(out, header);
  write_text(out, "Gain: ");
  write_number(out, r.gain);
  end_line(out);
  write_text(out, "Gain (dB): ");
  write_number(out, widen(r.gain_db));
  end_line(out);
  write_text(out, "Impedance (Z): ");
  write_number(out, widen(r.impedance));
  end_line(out);
  write_text(out, "\n\n");
}

}  // namespace

void run_dialogue(Console& console) {
  Output out{&console};
  InputReader in;
  in.source = &console;
  in.tie = &out;
  StageInputs stage;

  console.clear_screen();
  write_text(out, kBanner);
  ask(out, in, "Type Amplification Factor (mu): ", stage.mu);
  ask(out, in, "Type Plate Resistor (ohms): ", stage.Rp);
  ask(out, in, "Type Plate's Internal Resistence (ohms): ", stage.ra);
  ask(out, in, "Type Load Impedance (ohms): ", stage.RL);
  ask(out, in, "Type Cathode Resistor (ohms): ", stage.Rk);

  const StageResults results = compute_stage(stage);
  write_text(out, "\n");
  write_result(out, "Bypassed Cathode:\n", results.bypassed);
  write_result(out, "Un-Bypassed Cathode:\n", results.unbypassed);
  console.wait_for_key();
}

}  // namespace morvantic

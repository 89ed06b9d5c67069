#include "dialogue.h"

#include "console/number_reader.h"
#include "ieee.h"
#include "stage/stage.h"

namespace morvantic {
namespace {

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

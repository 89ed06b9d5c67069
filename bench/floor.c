/* The floor for a whole run: a minimal C program that does the same I/O as
   the calculator with stdio (the same bytes out for the worked example,
   scanf for the five numbers, six flushes) and nothing else. Built with
   -DNO_NUMBER_FORMATTING it writes the worked example's six results as
   fixed texts instead of formatting them: what a run costs without any
   number formatting at all. */
#include <math.h>
#include <stdio.h>

int main(void) {
  static const char* prompts[] = {
      "Type Amplification Factor (mu): ", "Type Plate Resistor (ohms): ",
      "Type Plate's Internal Resistence (ohms): ",
      "Type Load Impedance (ohms): ", "Type Cathode Resistor (ohms): "};
  float v[5] = {0};
  fputs(
      "\n\n            .:: MORVANTIC 1.0 ::.\n\n"
      "                        morvantic contributors, 2026 \n"
      "                  Web: https://example.org/morvantic \n"
      "                    E-mail: morvantic@example.org \n\n"
      "Bypassed Cathode:\nGain Formula: Av = (mu*Ra)/(Ra+ra)\n"
      "Impedance Formula: Ra = Rp || Rl \n\n"
      "Un-bypassed Cathode:\nGain Formula: Av = (mu*Ra)/(Ra+ra')\n"
      "Impedance Formula: Ra= ra' || RL \n"
      "Internal Resistence Formula:  ra'=ra+(mu+1)*Rk \n\n",
      stdout);
  for (int i = 0; i < 5; ++i) {
    fputs(prompts[i], stdout);
    fflush(stdout);
    if (scanf("%f", &v[i]) != 1) break;
  }
  double z = 1.0 / (1.0 / v[1] + 1.0 / v[3]);
  float zb = (float)z;
  double gb = z * v[0] / (zb + v[2]);
  double rd = (v[0] + 1.0) * v[4] + v[2];
  double zu = 1.0 / (1.0 / v[3] + 1.0 / rd);
  double gu = v[0] * zu / (rd + zu);
  double out[6] = {gb, (float)(log10(gb) * 20.0), zb,
                   gu, (float)(log10(gu) * 20.0), (float)zu};
  static const char* labels[] = {"Gain: ", "Gain (dB): ", "Impedance (Z): "};
  fputs("\nBypassed Cathode:\n", stdout);
  for (int i = 0; i < 6; ++i) {
    if (i == 3) fputs("\n\nUn-Bypassed Cathode:\n", stdout);
#ifdef NO_NUMBER_FORMATTING
    static const char* results[] = {"59.2593", "35.4551", "90909.1",
                                    "45.1671", "33.0964", "176277"};
    fputs(labels[i % 3], stdout);
    fputs(results[i], stdout);
    fputs("\n", stdout);
    volatile double computed = out[i]; /* the arithmetic still done */
    (void)computed;
#else
    printf("%s%g\n", labels[i % 3], out[i]);
#endif
    fflush(stdout);
  }
  fputs("\n\n", stdout);
  return 0;
}

#include "dialogue.h"
#include "platform/terminal.h"
#include "stdio_console.h"

int main() {
  morvantic::prepare_process();
  morvantic::StdioConsole console;
  morvantic::run_dialogue(console);
  return 0;
}

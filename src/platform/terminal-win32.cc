#include <cstdlib>

#include "platform/terminal.h"

namespace morvantic {

void prepare_process() {}

// The command interpreter's own commands; their results are not examined.
void clear_console() { (void)std::system("cls"); }

void wait_for_any_key() { (void)std::system("pause"); }

}  // namespace morvantic

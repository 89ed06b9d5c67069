#include "console/console.h"

#include "console/number_format.h"

namespace morvantic {

void write_text(Output& out, std::string_view text) {
  if (out.failed) return;
  if (!out.console->write(text)) out.failed = true;
}

void write_number(Output& out, double value) {
  write_text(out, format_number(value).view());
}

void flush_output(Output& out) {
  if (!out.console->flush()) out.failed = true;
}

void end_line(Output& out) {
  if (!out.console->write("\n")) out.failed = true;
  flush_output(out);
}

}  // namespace morvantic

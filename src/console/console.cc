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

// The line end and its flush are tried even after the stream has failed,
// as the dialogue's rule has it: they are the only writes tried again after
// a failure, one byte each, so a broken device costs six small writes and
// no more, and one that recovers (a pipe drained, space freed) still gets
// every result line that reached it ended and pushed out.
void end_line(Output& out) {
  if (!out.console->write("\n")) out.failed = true;
  flush_output(out);
}

}  // namespace morvantic

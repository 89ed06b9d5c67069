// The console as the dialogue sees it, and the output stream over it.
#pragma once

#include <string_view>

namespace morvantic {

/// Where the number reader takes its bytes from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// The next bytes of the input, at least one; empty at the end of the
  /// input, and a read error counts as the end. The bytes stay valid until
  /// the next call. After an empty answer the reader never calls again.
  virtual std::string_view fill() = 0;
};

/// The console: text out, bytes in, clearing the screen, waiting for a key.
/// The real one sits on the C library's stdin and stdout; tests record.
class Console : public ByteSource {
 public:
  /// Hands `text` on at once; false when not all of it was taken.
  virtual bool write(std::string_view text) = 0;
  /// Flushes what was handed on; false when the flush reports an error.
  virtual bool flush() = 0;
  /// Clears the screen. Called once, before anything is written.
  virtual void clear_screen() = 0;
  /// Lets the user read the results and waits for a key. Called once, last.
  virtual void wait_for_key() = 0;
};

/// The output stream over a console. It fails when the console does not
/// take a text whole or a flush reports an error, and stays failed.
struct Output {
  Console* console = nullptr;
  bool failed = false;
};

/// Writes `text`, unless the stream has failed.
void write_text(Output& out, std::string_view text);

/// Writes the text of `value` (see format_number), unless the stream has
/// failed. A float is widened first with widen(), which keeps a NaN's sign
/// on every processor; a plain float here does not compile.
void write_number(Output& out, double value);
void write_number(Output& out, float value) = delete;

/// Flushes the console, failed stream or not.
void flush_output(Output& out);

/// Ends a result line: writes "\n" and flushes, failed stream or not.
void end_line(Output& out);

}  // namespace morvantic

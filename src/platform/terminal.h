// What differs between platforms: clearing the screen and waiting for a key.
// One implementation per platform, chosen by the build.
#pragma once

namespace morvantic {

/// Prepares the process before the dialogue: on POSIX, output to a pipe
/// whose reader went away must fail the write, not end the process.
void prepare_process();

/// Clears the console. POSIX: writes ESC [ H ESC [ 2 J to stdout when it is
/// a terminal, nothing otherwise. Windows: runs "cls".
void clear_console();

/// Waits for a key. POSIX: only when stdin is a terminal, writes "Press any
/// key to continue . . . " to stdout, reads one key with echo, line editing,
/// signal keys and flow control off (Ctrl-C, Ctrl-S and Ctrl-Q are keys),
/// restores the terminal exactly and
/// writes a line end; does nothing when stdin is not a terminal. A SIGTERM,
/// SIGHUP, SIGINT or SIGQUIT meanwhile restores the terminal, then ends the
/// process as the signal would; a SIGTSTP restores it and stops, and going
/// on (SIGCONT, after any stop, SIGSTOP too) puts the wait's settings back. A
/// signal that was ignored when the wait began stays ignored. Windows: runs
/// "pause".
void wait_for_any_key();

}  // namespace morvantic

// A POSIX terminal in canonical mode between the page's terminal and the
// program: typed characters are echoed and handed over a line at a time on
// Enter, ending in "\n"; Backspace erases the last character, Ctrl-U the
// line; Ctrl-D on an empty line is the end of input (a read of 0 bytes), after
// text it hands that text over without a line end; Ctrl-C ends the run.
// What is typed before the program reads is kept for it. Output "\n" is shown
// as "\r\n". The key wait takes one key, any key, without echo.

import { Interrupt } from './wasi-host.mjs';

const encoder = new TextEncoder();

export class LineDiscipline {
  /// `terminal` gives write(text).
  constructor(terminal) {
    this.terminal = terminal;
    this.decoder = new TextDecoder();
    this.reset();
  }

  /// A fresh run: nothing typed, nothing pending, no one waiting.
  reset() {
    this.line = [];      // the characters of the line being edited
    this.ready = [];     // what reads hand over: Uint8Arrays, empty = end
    this.reader = null;  // {resolve, reject} of a waiting read
    this.keyWait = null; // the resolve of a waiting pause
    this.running = true;
  }

  /// Text the program writes.
  write(bytes) {
    const text = this.decoder.decode(bytes, {stream: true});
    this.terminal.write(text.replaceAll('\n', '\r\n'));
  }

  clear() { this.terminal.write('\x1b[H\x1b[2J'); }

  readable() { return this.ready.length > 0; }

  whenReadable() {
    if (!this.running) return Promise.reject(new Interrupt());
    return new Promise((resolve, reject) => { this.reader = {resolve, reject}; });
  }

  /// At most `size` bytes of what is ready; the rest stays for the next read.
  read(size) {
    const next = this.ready[0];
    if (next.length <= size) {
      this.ready.shift();
      return next;
    }
    this.ready[0] = next.subarray(size);
    return next.subarray(0, size);
  }

  /// The key wait: the prompt, one key, the end of the line. A key already
  /// typed ends it at once, and the rest of what was typed is dropped.
  pause() {
    this.terminal.write('Press any key to continue . . . ');
    const done = () => {
      this.ready = [];
      this.line = [];
      this.terminal.write('\r\n');
    };
    if (this.ready.length > 0 || this.line.length > 0) {
      done();
      return Promise.resolve();
    }
    return new Promise((resolve) => {
      this.keyWait = () => { done(); resolve(); };
    });
  }

  /// The run has ended: keys no longer reach it.
  end() { this.running = false; }

  /// What the user types (or pastes), as the terminal reports it.
  receive(data) {
    if (!this.running) return;
    if (this.keyWait) {
      const release = this.keyWait;
      this.keyWait = null;
      release();
      return;
    }
    if (data.startsWith('\x1b')) return;  // a cursor or function key
    for (const c of data) this.key(c);
  }

  key(c) {
    switch (c) {
      case '\r':
      case '\n':
        this.terminal.write('\r\n');
        this.handOver(this.line.join('') + '\n');
        break;
      case '\x7f':
      case '\b':
        if (this.line.length > 0) {
          this.line.pop();
          this.terminal.write('\b \b');
        }
        break;
      case '\x15':  // Ctrl-U
        this.terminal.write('\b \b'.repeat(this.line.length));
        this.line = [];
        break;
      case '\x04':  // Ctrl-D
        this.handOver(this.line.join(''));
        break;
      case '\x03':  // Ctrl-C
        this.terminal.write('^C\r\n');
        this.running = false;
        this.ready = [];
        if (this.reader) this.reader.reject(new Interrupt());
        this.reader = null;
        break;
      default:
        if (c < ' ') return;
        this.line.push(c);
        this.terminal.write(c);
    }
  }

  handOver(text) {
    this.line = [];
    this.ready.push(encoder.encode(text));
    if (this.reader) this.reader.resolve();
    this.reader = null;
  }
}

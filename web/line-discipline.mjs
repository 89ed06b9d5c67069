/**
 * @file The rules of a POSIX terminal in canonical mode, between what the
 * user types and what the program reads, without the DOM: the page edits
 * the line with the browser's own field and tells this module when a line
 * is done.
 *
 * - A line ended with Enter is echoed with its "\n" and handed over with
 *   it: the screen shows exactly what the program receives.
 * - Ctrl-D hands over the line as it stands, without a line end; on an
 *   empty line that is the end of input (a read of 0 bytes).
 * - Ctrl-C ends the run (status 130 at a prompt).
 * - What is typed before the program reads is kept for it (type-ahead); a
 *   paste hands over each of its complete lines so.
 * - The key wait takes one key, any key, without echo; a key typed ahead
 *   ends it at once, and the rest of what was typed is dropped, as a
 *   terminal's flush of pending input does.
 */

import { Interrupt } from './wasi-host.mjs';

/** The key wait's prompt, as a command interpreter's "pause" writes it. */
export const KEY_WAIT_PROMPT = 'Press any key to continue . . . ';

const LINE_FEED = 10;
const encoder = new TextEncoder();

/**
 * @typedef {object} Screen What the discipline shows the user.
 * @property {(text: string) => void} output Appends text to the screen.
 * @property {() => void} clear Empties the screen.
 * @property {(text: string) => void} setLine Sets the line being edited.
 */

export class LineDiscipline {
  /** @param {Screen} screen */
  constructor(screen) {
    this.screen = screen;
    this.reset();
  }

  /** A fresh run: nothing typed, nothing pending, no one waiting. */
  reset() {
    this.decoder = new TextDecoder();
    /** @type {string} the line being edited, as the page's field holds it */
    this.line = '';
    /** @type {Uint8Array[]} what reads hand over; an empty one is the end */
    this.ready = [];
    /** @type {?{resolve: Function, reject: Function}} a waiting read */
    this.reader = null;
    /** @type {?Function} releases a waiting key wait */
    this.keyWait = null;
    this.running = true;
  }

  // The program's side: the tty that wasi-host.mjs runs the module at.

  /** @param {Uint8Array} bytes Text the program writes, UTF-8. */
  write(bytes) { this.screen.output(this.decoder.decode(bytes, {stream: true})); }

  clear() { this.screen.clear(); }

  /** @returns {boolean} whether a read can go on now */
  readable() { return this.ready.length > 0; }

  /** @returns {Promise<void>} settled when a read can go on, or rejected
   *  with an Interrupt when the run is interrupted */
  whenReadable() {
    if (!this.running) return Promise.reject(new Interrupt());
    return new Promise((resolve, reject) => { this.reader = {resolve, reject}; });
  }

  /**
   * At most `size` bytes of the first line ready; the rest stays for the next
   * read. Only called when readable().
   * @param {number} size
   * @returns {Uint8Array} empty at the end of input
   */
  read(size) {
    const next = this.ready[0];
    if (next.length <= size) {
      this.ready.shift();
      return next;
    }
    this.ready[0] = next.subarray(size);
    return next.subarray(0, size);
  }

  /**
   * The key wait: the prompt, one key, the end of the line.
   * @returns {Promise<void>} settled once a key has been pressed
   */
  pause() {
    this.screen.output(KEY_WAIT_PROMPT);
    const done = () => {
      this.ready = [];
      this.edit('');
      this.screen.setLine('');
      this.screen.output('\n');
    };
    if (this.ready.length > 0 || this.line.length > 0) {
      done();
      return Promise.resolve();
    }
    return new Promise((resolve) => {
      this.keyWait = () => { done(); resolve(); };
    });
  }

  /** The run has ended: what is typed no longer reaches it. */
  end() { this.running = false; }

  // The user's side: called by the page.

  /** @returns {boolean} whether the program waits for a key */
  get waitingForKey() { return this.keyWait !== null; }

  /** @param {string} line The line being edited, after each change. */
  edit(line) { this.line = line; }

  /** Any key, or a tap: ends the key wait, if the program waits for one. */
  key() {
    const release = this.keyWait;
    this.keyWait = null;
    if (release) release();
  }

  /** Enter: the line being edited is echoed and handed over with "\n". */
  enter() {
    if (!this.running) return;
    if (this.waitingForKey) return this.key();
    this.handOver(`${this.line}\n`, `${this.line}\n`);
  }

  /** Ctrl-D: the line as it stands, without a line end; empty, the end. */
  endOfInput() {
    if (!this.running) return;
    if (this.waitingForKey) return this.key();
    this.handOver(this.line, this.line);
  }

  /** Ctrl-U: the line being edited is erased. */
  kill() {
    this.edit('');
    this.screen.setLine('');
  }

  /** Ctrl-C: the run ends; a waiting read is interrupted. */
  interrupt() {
    if (!this.running) return;
    if (this.waitingForKey) return this.key();
    this.screen.output('^C\n');
    this.running = false;
    this.ready = [];
    this.kill();
    if (this.reader) this.reader.reject(new Interrupt());
    this.reader = null;
  }

  /**
   * A paste into the line being edited, between `before` and `after`: each
   * complete line is handed over as typed ahead, in one echo; what follows
   * the last line end stays in the line being edited.
   * @param {string} before the line's text before the caret
   * @param {string} text what was pasted; "\r\n", "\r" and "\n" end lines
   * @param {string} after the line's text after the caret
   * @returns {number} where the caret goes in the line being edited
   */
  paste(before, text, after) {
    if (this.waitingForKey) {
      this.key();
      return 0;
    }
    const lines = (before + text).split(/\r\n|\r|\n/);
    const rest = lines.pop();
    this.edit(rest + after);
    this.screen.setLine(this.line);
    if (lines.length > 0 && this.running) {
      const complete = `${lines.join('\n')}\n`;
      const bytes = encoder.encode(complete);
      let start = 0;
      for (let end = 0; end < bytes.length; ++end) {
        if (bytes[end] !== LINE_FEED) continue;
        this.ready.push(bytes.subarray(start, end + 1));
        start = end + 1;
      }
      this.screen.output(complete);
      this.wake();
    }
    return rest.length;
  }

  /**
   * @param {string} echo what the screen shows
   * @param {string} text what the program receives
   */
  handOver(echo, text) {
    this.kill();
    this.screen.output(echo);
    this.ready.push(encoder.encode(text));
    this.wake();
  }

  wake() {
    if (this.reader) this.reader.resolve();
    this.reader = null;
  }
}

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
 * - Earlier answers are at hand: the lines handed over since the page was
 *   opened, walked as a shell's history (recall()), and at each prompt the
 *   answer last read there, offered (offer()). Kept in memory only: the
 *   program keeps nothing between runs, and neither does its page.
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
 * @property {(text: string, kind?: LineKind) => void} setLine Sets the line
 *     being edited.
 */

/**
 * @typedef {'edit'|'recall'|'offer'} LineKind How a line came into the
 *     field: edited, or brought back by ArrowUp or ArrowDown, or offered
 *     (selected, so that typing replaces it).
 */

export class LineDiscipline {
  /** @param {Screen} screen */
  constructor(screen) {
    this.screen = screen;
    /** @type {string[]} the lines handed over, but empty ones and a line
     *  the same as the one before */
    this.history = [];
    /** @type {Map<string, string>} the line last read at each prompt */
    this.answers = new Map();
    /** @type {WeakMap<Uint8Array, string>} the line each ready piece starts */
    this.lines = new WeakMap();
    this.reset();
  }

  /** A fresh run: nothing typed, nothing pending, no one waiting. */
  reset() {
    this.decoder = new TextDecoder();
    /** @type {string} the line being edited, as the page's field holds it */
    this.line = '';
    /** @type {boolean} whether the line is an offer not yet touched */
    this.offered = false;
    /** @type {?number} the history entry shown, while ArrowUp browses */
    this.browsing = null;
    /** @type {[string, boolean]} the line and its offer before browsing */
    this.draft = ['', false];
    /** @type {string} what the screen shows after its last line end */
    this.tail = '';
    /** @type {?string} that, when the program began to wait for a line */
    this.prompt = null;
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
  write(bytes) { this.show(this.decoder.decode(bytes, {stream: true})); }

  clear() {
    this.tail = '';
    this.screen.clear();
  }

  /** @returns {boolean} whether a read can go on now */
  readable() { return this.ready.length > 0; }

  /** @returns {Promise<void>} settled when a read can go on, or rejected
   *  with an Interrupt when the run is interrupted */
  whenReadable() {
    if (!this.running) return Promise.reject(new Interrupt());
    this.prompt = this.tail;  // before the answer's echo follows it
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
    // The prompt: the screen's last line when the program began to wait, or
    // now, for a line typed ahead. A line read in pieces counts once.
    const line = this.lines.get(next);
    const prompt = this.prompt ?? this.tail;
    this.prompt = null;
    if (line !== undefined && prompt !== '') this.answers.set(prompt, line);
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
    this.show(KEY_WAIT_PROMPT);
    const done = () => {
      this.ready = [];
      this.edit('');
      this.screen.setLine('');
      this.show('\n');
    };
    if (this.ready.length > 0 || (this.line.length > 0 && !this.offered)) {
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
  edit(line) {
    this.line = line;
    this.offered = false;
  }

  /**
   * At a prompt that waits with nothing typed, offers the answer last read
   * at the same prompt: a person trying another value keeps the others
   * with Enter alone. Called once the prompt is shown, so that a screen
   * reader says the prompt, then the offer.
   */
  offer() {
    const answer = this.answers.get(this.prompt);
    if (this.reader !== null && this.line === '' && answer !== undefined)
      this.bringBack(answer, true);
  }

  /**
   * ArrowUp (-1) and ArrowDown (+1): the line before or after the one
   * shown in the history, as a shell's; past the newest, the line as it was
   * before browsing. A recalled line is an ordinary line.
   * @param {number} step
   */
  recall(step) {
    const at = this.browsing ?? this.history.length;
    const to = at + step;
    if (to < 0 || to > this.history.length) return;
    if (at === this.history.length) this.draft = [this.line, this.offered];
    this.browsing = to;
    if (to < this.history.length) this.bringBack(this.history[to], false);
    else this.bringBack(...this.draft);
  }

  /**
   * Puts an earlier line into the field, as an offer or as a recall.
   * @param {string} line @param {boolean} offered
   */
  bringBack(line, offered) {
    this.edit(line);
    this.offered = offered;
    this.screen.setLine(line, offered ? 'offer' : 'recall');
  }

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
    this.handOver(this.line, '\n');
  }

  /**
   * Ctrl-D: the line as it stands, without a line end; empty, the end. An
   * offer not touched is not typed: Ctrl-D there ends the input, as it does
   * where nothing was ever answered.
   */
  endOfInput() {
    if (!this.running) return;
    if (this.waitingForKey) return this.key();
    this.handOver(this.offered ? '' : this.line, '');
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
    this.show('^C\n');
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
      for (let end = 0, line = 0; end < bytes.length; ++end) {
        if (bytes[end] !== LINE_FEED) continue;
        this.queue(lines[line++], bytes.subarray(start, end + 1));
        start = end + 1;
      }
      this.browsing = null;
      this.show(complete);
      this.wake();
    }
    return rest.length;
  }

  /**
   * `line` and `ending` echoed, and handed over: the screen shows exactly
   * what the program receives.
   * @param {string} line @param {string} ending "\n", or none for Ctrl-D
   */
  handOver(line, ending) {
    this.kill();
    this.browsing = null;
    this.show(line + ending);
    this.queue(line, encoder.encode(line + ending));
    this.wake();
  }

  /**
   * A line ready for reads, kept in the history unless empty or the last
   * one again: ArrowUp then never shows the same line twice in a row.
   * @param {string} line @param {Uint8Array} bytes
   */
  queue(line, bytes) {
    this.ready.push(bytes);
    if (line === '') return;
    this.lines.set(bytes, line);
    if (line !== this.history[this.history.length - 1]) this.history.push(line);
  }

  /** @param {string} text Shown on the screen, its last line kept. */
  show(text) {
    const end = text.lastIndexOf('\n');
    this.tail = end < 0 ? this.tail + text : text.slice(end + 1);
    this.screen.output(text);
  }

  wake() {
    if (this.reader) this.reader.resolve();
    this.reader = null;
  }
}

/**
 * @file The page: the program's output is the screen's own text, the line
 * being answered is the browser's own field, inline after the last prompt,
 * and a run that has ended starts again on Enter or a tap.
 *
 * What a screen reader hears: the output goes into a live log that holds
 * nothing else, one piece per turn of the event loop, each piece an element
 * of its own that never changes once shown; so each browser reports only
 * the new piece, and the reader reads each text once. The field stands
 * right after the log, outside it, so typing is heard as typing in a field.
 * Its name is always "answer": named by the prompt, it had a reader say the
 * first prompt twice, as the focused field's name and again in the log.
 *
 * Earlier answers: a person designing a stage tries another value and
 * keeps the rest. So at each prompt the field offers, selected, the answer
 * last given at that prompt: Enter keeps it, typing replaces it, and a run
 * with one value changed costs that value and an Enter a prompt, alike on
 * a phone, which has no arrow keys, and on a computer. That is a form's
 * field keeping its value: nothing to learn, nothing to pick from a list
 * (a browser's own suggestion list would cost a tap an answer, and looks
 * different in each browser). An offer is not typed: Ctrl-D on it ends the
 * input as on an empty line, Backspace or Ctrl-U clear it. On a keyboard,
 * ArrowUp and ArrowDown also walk every line answered since the page was
 * opened, as a shell's history does. All of it is in memory only, gone
 * when the page is closed or reloaded.
 *
 * `document.body.dataset.state` is "loading", "running" or "ended", and
 * `dataset.status` the last run's exit status, for assistive tools and
 * automation.
 */

import { LineDiscipline } from './line-discipline.mjs';
import { run } from './wasi-host.mjs';

/** The status of a run that the page could not carry out (EX_SOFTWARE). */
const FAILED = 70;
/** The history's keys, and the way each walks it. */
const RECALL = new Map([['ArrowUp', -1], ['ArrowDown', 1]]);
/** Keys that alone type nothing, so they do not end the key wait. */
const MODIFIERS = new Set(['Alt', 'AltGraph', 'CapsLock', 'Control', 'Fn',
                           'Meta', 'NumLock', 'OS', 'Shift']);
/**
 * What a browser needs for the page, as the page names it when it lacks it.
 * Chromium before 97 has the rest but, not knowing the policy's
 * 'wasm-unsafe-eval', refuses to compile the module; Array's findLast came
 * in the same release and stands for it.
 */
const FEATURES = [[window, 'WebAssembly'], [window, 'DecompressionStream'],
                  [window, 'InputEvent'], [window, 'TextDecoder'],
                  [window, 'Response'], [Array.prototype, 'findLast']];

const screen = document.getElementById('screen');
const log = document.getElementById('log');
const field = document.getElementById('field');
const form = document.getElementById('answer');
const body = document.body;
// The code runs: the text for a browser that cannot run it goes.
document.getElementById('unsupported').remove();

/** What the program has written this turn, not shown yet. */
let pending = '';

/**
 * Shows what the program wrote this turn as one new piece of the log.
 * Chromium leaves a plain <span> out of its accessibility tree and then
 * reports the whole log as removed and inserted again; a paragraph is an
 * element of its own there. Firefox, given several pieces at once, has a
 * screen reader read only the last: hence one piece a turn.
 */
function showPending() {
  const text = pending;
  if (text === '') return;
  pending = '';
  const piece = document.createElement('span');
  piece.setAttribute('role', 'paragraph');
  piece.textContent = text;
  log.append(piece);
  // After the prompt, so that a screen reader says the prompt, then the offer.
  tty.offer();
  keepInView();
}

/**
 * Shows the line the discipline has brought back, once the browser has
 * shown the field empty: each tells a screen reader a change of the field
 * as the part that changed ("5" for 1500 after 100), and only a line put
 * into an empty field is told whole, once. What is typed meanwhile stays.
 */
function showBroughtBack() {
  if (field.value !== '' || tty.line === '') return;
  field.value = tty.line;
  if (tty.offered) field.setSelectionRange(0, tty.line.length);
  fitField();
  keepInView();
}

/** A message on it comes in a task of its own: after the turn's promises. */
const turns = new MessageChannel();
turns.port1.onmessage = showPending;

/**
 * showPending once the program's writes of this turn are done: after
 * every promise the program resumes on, or before the next paint if that
 * comes first, so that no frame shows the field emptied without its echo.
 */
function showSoon() {
  if (pending !== '') return;
  turns.port2.postMessage(null);
  requestAnimationFrame(showPending);
}

/** The screen as the line discipline writes to it. */
const view = {
  output(text) {
    if (text === '') return;
    showSoon();
    pending += text;
  },
  clear() {
    pending = '';
    log.textContent = '';
  },
  setLine(text, kind = 'edit') {
    if (kind !== 'edit') {
      field.value = '';
      // After the frame that shows it empty.
      requestAnimationFrame(() => setTimeout(showBroughtBack));
    } else {
      field.value = text;
    }
    fitField();
  },
};
const tty = new LineDiscipline(view);

/** The field is as wide as its text and the caret, as at a terminal. */
function fitField() { field.style.width = `${field.value.length + 1}ch`; }

/**
 * Scrolls the line being answered into the visual viewport, which an
 * on-screen keyboard shrinks below the layout viewport.
 */
function keepInView() {
  const viewport = window.visualViewport;
  const top = viewport ? viewport.offsetTop : 0;
  const height = viewport ? viewport.height : window.innerHeight;
  const box = field.getBoundingClientRect();
  // Room kept below the line: the screen's own padding (style.css).
  const margin = parseFloat(getComputedStyle(screen).paddingBottom);
  const below = box.bottom + margin - (top + height);
  if (below > 0) window.scrollBy(0, Math.ceil(below));
  else if (box.top < top) window.scrollBy(0, Math.floor(box.top - top));
}

/**
 * @returns {boolean} whether the user has selected text, to copy it: not
 *     an offered answer, which the page selects
 */
function selecting() {
  const selection = window.getSelection();
  const offer = tty.offered && field.selectionStart === 0 &&
                field.selectionEnd === field.value.length;
  return (selection !== null && !selection.isCollapsed) ||
         (field.selectionStart !== field.selectionEnd && !offer);
}

/**
 * Decodes base64 where the browser has no Uint8Array.fromBase64: a table,
 * four characters a step, with no call per character ("=" pads only the
 * end). The browser's own decoder takes a tenth of the time, which the
 * first prompt waits for.
 * @param {string} text base64, without white space
 * @returns {Uint8Array} the bytes it stands for
 */
function fromBase64(text) {
  const alphabet =
      'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
  const value = new Uint8Array(128);
  for (let i = 0; i < alphabet.length; ++i) value[alphabet.charCodeAt(i)] = i;
  const codes = new TextEncoder().encode(text);
  const padding = text.endsWith('==') ? 2 : text.endsWith('=') ? 1 : 0;
  const bytes = new Uint8Array((codes.length >> 2) * 3);
  for (let i = 0, out = 0; i < codes.length; i += 4, out += 3) {
    const bits = (value[codes[i]] << 18) | (value[codes[i + 1]] << 12) |
                 (value[codes[i + 2]] << 6) | value[codes[i + 3]];
    bytes[out] = bits >> 16;
    bytes[out + 1] = bits >> 8;
    bytes[out + 2] = bits;
  }
  return bytes.subarray(0, bytes.length - padding);
}

/**
 * The module's bytes: gzip in base64, inflated by the browser.
 * @returns {Promise<WebAssembly.Module>}
 */
async function loadModule() {
  const missing = FEATURES.filter(([where, name]) => !(name in where));
  if (missing.length > 0) {
    throw new Error(`this browser lacks ${missing.map(([, name]) => name)
        .join(', ')}: it needs Chromium 97, Firefox 113 or Safari 16.4`);
  }
  const text = document.getElementById('module').textContent.trim();
  const bytes = Uint8Array.fromBase64?.(text) ?? fromBase64(text);
  const gzip = new DecompressionStream('gzip');
  const writer = gzip.writable.getWriter();
  // A fault in the data surfaces where the module is read: in the compile.
  writer.write(bytes).catch(() => {});
  writer.close().catch(() => {});
  // Compiled while it is inflated.
  return WebAssembly.compileStreaming(new Response(gzip.readable, {
    headers: {'Content-Type': 'application/wasm'}}));
}

const compiled = loadModule();
compiled.catch(() => {});  // reported by the run that awaits it

async function start() {
  tty.reset();
  view.clear();
  view.setLine('');
  body.dataset.state = 'running';
  delete body.dataset.status;
  let status;
  try {
    status = await run(await compiled, tty);
  } catch (error) {
    view.output(`\nThe program failed: ${error.message ?? error}\n`);
    status = FAILED;
  }
  tty.end();
  view.setLine('');
  view.output(`\n[The program has ended with status ${status}.` +
              ' Press Enter or tap here to start it again.]');
  body.dataset.status = String(status);
  body.dataset.state = 'ended';
}

// Enter, from any keyboard: the form's own submission.
form.addEventListener('submit', (event) => {
  event.preventDefault();
  if (body.dataset.state === 'ended') start();
  else tty.enter();
});

field.addEventListener('input', () => {
  if (tty.waitingForKey || body.dataset.state !== 'running') {
    view.setLine('');
    tty.key();
    return;
  }
  tty.edit(field.value);
  fitField();
  keepInView();
});

// A paste with line ends types its lines ahead; one without is the
// browser's to insert.
field.addEventListener('paste', (event) => {
  const text = event.clipboardData?.getData('text/plain') ?? '';
  if (!/[\r\n]/.test(text) && !tty.waitingForKey) return;
  event.preventDefault();
  const caret = tty.paste(field.value.slice(0, field.selectionStart), text,
                          field.value.slice(field.selectionEnd));
  field.setSelectionRange(caret, caret);
  keepInView();
});

document.addEventListener('keydown', (event) => {
  if (event.isComposing || MODIFIERS.has(event.key)) return;
  if (tty.waitingForKey) {
    event.preventDefault();
    tty.key();
    return;
  }
  if (body.dataset.state === 'ended') {
    if (event.key === 'Enter') {
      event.preventDefault();
      start();
    }
    return;
  }
  if (event.target !== field && !event.ctrlKey && !event.metaKey) {
    field.focus();  // typing anywhere types into the line
    if (event.key === 'Enter') {
      event.preventDefault();
      tty.enter();
      return;
    }
  }
  if (RECALL.has(event.key) && !event.altKey && !event.ctrlKey &&
      !event.metaKey && !event.shiftKey) {
    event.preventDefault();
    tty.recall(RECALL.get(event.key));
    keepInView();
    return;
  }
  if (!event.ctrlKey || event.altKey || event.metaKey) return;
  const action = {c: () => tty.interrupt(), d: () => tty.endOfInput(),
                  u: () => tty.kill()}[event.key.toLowerCase()];
  if (!action || (event.key.toLowerCase() === 'c' && selecting())) return;
  event.preventDefault();
  action();
});

// A tap (or click) on the screen is a key at the key wait, starts a run
// that has ended, and otherwise brings up the keyboard; one that selects
// text is left to select.
screen.addEventListener('click', () => {
  if (selecting()) return;
  field.focus({preventScroll: true});
  if (tty.waitingForKey) tty.key();
  else if (body.dataset.state === 'ended') start();
});

window.visualViewport?.addEventListener('resize', keepInView);
window.addEventListener('resize', keepInView);
field.focus();
start();

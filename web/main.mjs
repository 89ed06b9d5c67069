// The page: a terminal that fits the window, the calculator run at it, and a
// fresh run on Enter after each one ends. document.body.dataset.state is
// "running" or "ended", and dataset.status the last run's exit status.

import { Terminal } from '@xterm/xterm';
import { LineDiscipline } from './line-discipline.mjs';
import { run } from './wasi-host.mjs';

const DESKTOP_COLUMNS = 80;
const PHONE_COLUMNS = 56;  // the dialogue's longest line is 54 characters
const LARGEST_FONT = 16;
const FONT = 'ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace';

const terminal = new Terminal({
  fontFamily: FONT,
  fontSize: LARGEST_FONT,
  scrollback: 1000,
  screenReaderMode: false,
});
const tty = new LineDiscipline(terminal);
terminal.onData((data) => {
  if (document.body.dataset.state === 'ended') {
    if (data === '\r') start();
    return;
  }
  tty.receive(data);
});

// The width of one character of the font, as a share of its size.
function characterWidth() {
  const probe = document.createElement('span');
  probe.style.cssText = `font: 100px ${FONT}; position: absolute;
                         visibility: hidden; white-space: pre`;
  probe.textContent = 'M'.repeat(10);
  document.body.append(probe);
  const width = probe.getBoundingClientRect().width / 1000;
  probe.remove();
  return width;
}

// 80 columns where they fit at a readable size, else as many as the longest
// line needs, at the largest font that shows them all.
function fit() {
  const box = document.getElementById('terminal');
  const width = box.clientWidth - 4;
  const share = characterWidth();
  const columns = width / (DESKTOP_COLUMNS * share) >= 11 ? DESKTOP_COLUMNS
                                                          : PHONE_COLUMNS;
  const size = Math.min(LARGEST_FONT,
                        Math.floor(10 * width / (columns * share)) / 10);
  terminal.options.fontSize = size;
  const rows = Math.max(24, Math.floor(window.innerHeight / (size * 1.2)) - 1);
  terminal.resize(columns, rows);
}

const moduleBytes = Uint8Array.from(
    atob(document.getElementById('module').textContent.trim()),
    (c) => c.charCodeAt(0));
const compiled = WebAssembly.compile(moduleBytes);

async function start() {
  terminal.reset();
  tty.reset();
  document.body.dataset.state = 'running';
  delete document.body.dataset.status;
  let status;
  try {
    status = await run(await compiled, tty);
  } catch (error) {
    terminal.write(`\r\nThe program failed: ${error}\r\n`);
    status = 70;
  }
  tty.end();
  terminal.write(`\r\n[The program has ended with status ${status}.` +
                 ' Press Enter to start it again.]\r\n');
  document.body.dataset.status = String(status);
  document.body.dataset.state = 'ended';
}

terminal.open(document.getElementById('terminal'));
fit();
window.addEventListener('resize', fit);
terminal.focus();
start();

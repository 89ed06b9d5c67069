// The page's line discipline without a browser: what the screen shows,
// what the program reads and the line left being edited, for each thing a
// user does. Under node --test.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { KEY_WAIT_PROMPT, LineDiscipline } from '../../web/line-discipline.mjs';
import { Interrupt } from '../../web/wasi-host.mjs';

const bytes = (text) => new TextEncoder().encode(text);

// A discipline at a recording screen.
function discipline() {
  const shown = {text: '', line: '', clears: 0};
  const tty = new LineDiscipline({
    output(text) { shown.text += text; },
    clear() { shown.text = ''; ++shown.clears; },
    setLine(text) { shown.line = text; },
  });
  return {tty, shown};
}

// Everything a program could read now, a read of `size` bytes at a time;
// "<end>" for a read of 0 bytes.
function readAll(tty, size = 64) {
  const reads = [];
  while (tty.readable()) {
    const got = new TextDecoder().decode(tty.read(size));
    reads.push(got === '' ? '<end>' : got);
  }
  return reads;
}

// [what the user does, the screen, what the program reads, the line left]
const CASES = [
  ['Enter: echoed with its line end, handed over with it',
   (tty) => { tty.edit('100'); tty.enter(); },
   '100\n', ['100\n'], ''],
  ['Enter on an empty line hands over the line end alone',
   (tty) => tty.enter(), '\n', ['\n'], ''],
  ['lines typed ahead are read one at a time, in order',
   (tty) => { tty.edit('1'); tty.enter(); tty.edit('2 3'); tty.enter(); },
   '1\n2 3\n', ['1\n', '2 3\n'], ''],
  ['Ctrl-D after text: the text without a line end',
   (tty) => { tty.edit('12'); tty.endOfInput(); }, '12', ['12'], ''],
  ['Ctrl-D on an empty line: the end of input',
   (tty) => tty.endOfInput(), '', ['<end>'], ''],
  ['Ctrl-U erases the line being edited',
   (tty) => { tty.edit('99'); tty.kill(); }, '', [], ''],
  ['a paste: each complete line typed ahead, in one echo; the rest stays',
   (tty) => { tty.edit('xy'); tty.paste('x', '1\r\n2\r3\n4', 'y'); },
   'x1\n2\n3\n', ['x1\n', '2\n', '3\n'], '4y'],
  ['a paste without a line end only edits',
   (tty) => tty.paste('1', '00', ''), '', [], '100'],
  ['multi-byte text stays whole across writes',
   (tty) => { const u = bytes('Ω'); tty.write(u.subarray(0, 1)); tty.write(u.subarray(1)); },
   'Ω', [], ''],
  ['ArrowUp and ArrowDown walk the lines handed over, then back to the line',
   (tty) => { tty.edit('1'); tty.enter(); tty.edit('2'); tty.enter();
              [-1, -1, -1, 1].forEach((step) => tty.recall(step)); tty.enter();
              tty.edit('3'); tty.recall(-1); tty.recall(1); },
   '1\n2\n2\n', ['1\n', '2\n', '2\n'], '3'],
  ['an offer not touched is not typed: Ctrl-D ends the input',
   (tty) => { tty.answers.set('P: ', '7'); tty.write(bytes('P: ')); tty.whenReadable();
              tty.offer(); tty.endOfInput(); }, 'P: ', ['<end>'], ''],
  ['after the run ends nothing typed reaches it',
   (tty) => { tty.end(); tty.edit('5'); tty.enter(); }, '', [], '5'],
];

for (const [name, act, screen, reads, line] of CASES) {
  test(name, () => {
    const {tty, shown} = discipline();
    act(tty);
    assert.equal(shown.text, screen);
    assert.deepEqual(readAll(tty), reads);
    assert.equal(shown.line === '' ? tty.line : shown.line, line);
  });
}

test('a read larger than what is ready leaves the rest for the next', () => {
  const {tty} = discipline();
  tty.edit('62500');
  tty.enter();
  assert.deepEqual(readAll(tty, 2), ['62', '50', '0\n']);
});

// [what was typed before the key wait, whether it waits]
const KEY_WAITS = [
  ['nothing: waits for a key', () => {}, true],
  ['a line typed ahead ends it at once, and is dropped',
   (tty) => { tty.edit('7'); tty.enter(); }, false],
  ['a line being edited ends it at once, and is dropped',
   (tty) => tty.edit('7'), false],
];

for (const [name, before, waits] of KEY_WAITS) {
  test(`the key wait: ${name}`, async () => {
    const {tty, shown} = discipline();
    before(tty);
    shown.text = '';
    let ended = false;
    const wait = tty.pause().then(() => { ended = true; });
    await null;
    assert.equal(ended, !waits);
    assert.equal(tty.waitingForKey, waits);
    if (waits) tty.enter();  // Enter is a key here, not a line
    await wait;
    assert.equal(shown.text, `${KEY_WAIT_PROMPT}\n`);
    assert.deepEqual(readAll(tty), []);
    assert.equal(tty.line, '');
  });
}

test('Ctrl-C interrupts a waiting read and every later one', async () => {
  const {tty, shown} = discipline();
  const waiting = tty.whenReadable();
  tty.edit('10');
  tty.interrupt();
  await assert.rejects(waiting, Interrupt);
  await assert.rejects(tty.whenReadable(), Interrupt);
  assert.equal(shown.text, '^C\n');
  assert.equal(tty.line, '');
});

test('Ctrl-C at the key wait is a key', async () => {
  const {tty} = discipline();
  const wait = tty.pause();
  tty.interrupt();
  await wait;
  assert.equal(tty.running, true);
});

test('a waiting read goes on when a line is entered', async () => {
  const {tty} = discipline();
  const waiting = tty.whenReadable();
  tty.edit('1500');
  tty.enter();
  await waiting;
  assert.deepEqual(readAll(tty), ['1500\n']);
});

// The page in real browsers (Debian's headless Chromium and Firefox ESR,
// driven by puppeteer-core), opened from disk: what a person sees and can
// do, the screen read from the page's DOM as assistive tools read it.
//   node browser_test.mjs PAGE.html EXPECTED_SCREEN WEB_DIR
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { argv, exit } from 'node:process';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const [page, expectedScreen, webDir] = argv.slice(2);
const puppeteer = createRequire(resolve(webDir, 'package.json'))('puppeteer-core');
const PROMPT = 'Press any key to continue . . .';
// The terminal test's screen, with this page's key-wait prompt on line 36.
const expected = readFileSync(expectedScreen, 'utf8').trimEnd().split('\n');
expected[35] = PROMPT;
const ANSWERS = ['100', '100000', '62500', '1000000', '1500'];

const ENGINES = [
  {browser: 'chrome', executablePath: '/usr/bin/chromium',
   args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
          '--disable-background-networking', '--disable-component-update',
          '--disable-sync']},
  {browser: 'firefox', executablePath: '/usr/bin/firefox-esr', args: []},
];

// The terminal's rows as shown, trailing blanks dropped, then trailing
// empty rows dropped.
async function screen(tab) {
  const rows = await tab.$$eval('.xterm-rows > div', (divs) =>
    divs.map((d) => d.textContent.replaceAll('\u00a0', ' ').trimEnd()));
  while (rows.length > 0 && rows.at(-1) === '') rows.pop();
  return rows;
}

async function waitFor(tab, text) {
  for (let i = 0; i < 200; ++i) {
    if ((await screen(tab)).join('\n').includes(text)) return;
    await new Promise((r) => setTimeout(r, 25));
  }
  throw new Error(`waited in vain for "${text}":\n${(await screen(tab)).join('\n')}`);
}

async function state(tab, wanted) {
  await tab.waitForFunction((s) => document.body.dataset.state === s,
                            {timeout: 5000}, wanted);
  return tab.evaluate(() => document.body.dataset.status);
}

async function type(tab, text) {
  await tab.keyboard.type(text);
  await tab.keyboard.press('Enter');
}

// A paste event on the terminal, its text given as the clipboard's (Firefox
// leaves a made-up event's clipboard empty).
async function paste(tab, text) {
  await tab.evaluate((t) => {
    const data = new DataTransfer();
    data.setData('text/plain', t);
    const event = new ClipboardEvent('paste', {bubbles: true, cancelable: true});
    Object.defineProperty(event, 'clipboardData', {value: data});
    document.querySelector('.xterm-helper-textarea').dispatchEvent(event);
  }, text);
}

async function workedExample(tab) {
  const labels = ['(mu):', 'Resistor (ohms):', 'Resistence (ohms):',
                  'Impedance (ohms):', 'Cathode Resistor (ohms):'];
  for (let i = 0; i < 5; ++i) {
    await waitFor(tab, labels[i]);
    await type(tab, ANSWERS[i]);
  }
  await waitFor(tab, PROMPT);
}

function sameScreen(got) {
  const lines = got.slice(0, 36);
  for (let i = 0; i < 36; ++i)
    if (lines[i] !== expected[i])
      throw new Error(`line ${i + 1}: "${lines[i]}", not "${expected[i]}"`);
}

const CASES = [
  ['the worked example typed, a key, Enter starts again', async (tab) => {
    await workedExample(tab);
    sameScreen(await screen(tab));
    await tab.keyboard.press('x');
    if (await state(tab, 'ended') !== '0') throw new Error('status not 0');
    await tab.keyboard.press('Enter');
    await state(tab, 'running');
    await waitFor(tab, '(mu):');
    if ((await screen(tab)).length !== 18) throw new Error('screen not fresh');
  }],
  ['Backspace edits an answer', async (tab) => {
    await waitFor(tab, '(mu):');
    await tab.keyboard.type('1x');
    await tab.keyboard.press('Backspace');
    await tab.keyboard.press('Backspace');
    await type(tab, '100');
    await waitFor(tab, 'Resistor (ohms):');
    if (!(await screen(tab)).includes('Type Amplification Factor (mu): 100'))
      throw new Error('the answer was not edited');
  }],
  // Typed ahead, the answers are echoed at once, before the later prompts.
  ['a paste of all five answers', async (tab) => {
    await waitFor(tab, '(mu):');
    await paste(tab, ANSWERS.join('\n') + '\n');
    await waitFor(tab, PROMPT);
    const got = (await screen(tab)).join('\n');
    if (!got.includes('(mu): 100\n100000\n62500\n1000000\n1500\n') ||
        !got.includes('Impedance (Z): 90909.1') ||
        !got.includes('Impedance (Z): 176277'))
      throw new Error('not the worked example');
  }],
  ['"abc" at the first prompt', async (tab) => {
    await waitFor(tab, '(mu):');
    await type(tab, 'abc');
    await waitFor(tab, PROMPT);
    const got = (await screen(tab)).join('\n');
    if (!got.includes('(mu): abc\nType Plate Resistor (ohms): Type Plate'))
      throw new Error('the later prompts did not follow at once');
    await tab.keyboard.press(' ');
    if (await state(tab, 'ended') !== '0') throw new Error('status not 0');
  }],
  ['Ctrl-D at a prompt', async (tab) => {
    await waitFor(tab, '(mu):');
    await type(tab, '100');
    await waitFor(tab, 'Resistor (ohms):');
    await tab.keyboard.down('Control');
    await tab.keyboard.press('d');
    await tab.keyboard.up('Control');
    await waitFor(tab, PROMPT);
    // The later prompts on one line (wrapped at the edge), then the results.
    const rows = (await screen(tab)).join('');
    if (!rows.includes("(mu): 100Type Plate Resistor (ohms): Type Plate's " +
        'Internal Resistence (ohms): Type Load Impedance (ohms): Type ' +
        'Cathode Resistor (ohms):Bypassed Cathode:'))
      throw new Error('the later prompts did not follow at once');
  }],
  ['Ctrl-C at a prompt ends the run with 130', async (tab) => {
    await waitFor(tab, '(mu):');
    await tab.keyboard.down('Control');
    await tab.keyboard.press('c');
    await tab.keyboard.up('Control');
    if (await state(tab, 'ended') !== '130') throw new Error('status not 130');
    await waitFor(tab, '(mu): ^C');
  }],
  ['a phone-sized screen: no sideways scrolling, no wrapped line',
   async (tab) => {
    await workedExample(tab);
    sameScreen(await screen(tab));
    const [scroll, view, right] = await tab.evaluate(() => [
      document.documentElement.scrollWidth, window.innerWidth,
      document.querySelector('.xterm-screen').getBoundingClientRect().right]);
    if (scroll > view || right > view)
      throw new Error(`wider than the screen: ${scroll}, ${right} > ${view}`);
  }, {width: 390, height: 844, isMobile: true, hasTouch: true}],
];

// CASE=TEXT runs only the cases whose names hold TEXT.
const cases = CASES.filter(([name]) => name.includes(process.env.CASE ?? ''));
let passed = 0;
let failed = 0;
const url = pathToFileURL(resolve(page)).href;
const only = process.env.ENGINE;
for (const engine of ENGINES.filter((e) => !only || e.browser === only)) {
  const browser = await puppeteer.launch({
    ...engine, headless: true,
    userDataDir: undefined,
  });
  try {
    const tab = await browser.newPage();
    const requests = [];
    tab.on('request', (r) => { if (r.url() !== url) requests.push(r.url()); });
    for (const [name, test, viewport] of cases) {
      await tab.setViewport(viewport ?? {width: 1024, height: 900});
      try {
        await tab.goto(url);
        await tab.focus('.xterm-helper-textarea');
        await test(tab);
        if (requests.length > 0)
          throw new Error(`network requests: ${requests.join(', ')}`);
        console.log(`ok: ${engine.browser}: ${name}`);
        ++passed;
      } catch (error) {
        console.log(`FAIL: ${engine.browser}: ${name}: ${error.message}`);
        ++failed;
      }
    }
  } finally {
    await browser.close();
  }
}
console.log(`${passed} passed, ${failed} failed`);
exit(failed === 0 ? 0 : 1);

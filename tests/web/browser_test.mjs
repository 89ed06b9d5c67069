// The page in real browsers, opened from disk: Debian's headless Chromium
// and Firefox ESR through puppeteer-core, and WebKitGTK through its
// WebKitWebDriver (under Xvfb) with selenium-webdriver. What a person sees
// and can do, the screen read from the page's DOM as assistive tools read
// it; phones are Chromium's with touch and the events their keyboards send.
//   node browser_test.mjs PAGE.html EXPECTED_SCREEN WEB_DIR [RELEASE_DIR]
// With RELEASE_DIR (the web release: site/ and nginx.conf) the served rows
// too: the folder served by Debian's nginx on 127.0.0.1 (nginx.mjs).
// ENGINE=chrome|firefox|webkit and CASE=TEXT run a part of it.
import { spawn } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { argv, env, exit } from 'node:process';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { serve } from './nginx.mjs';

const [page, expectedScreen, webDir, releaseDir] = argv.slice(2);
const need = createRequire(resolve(webDir, 'package.json'));
const puppeteer = need('puppeteer-core');
const axeSource = need('axe-core').source;
const PROMPT = 'Press any key to continue . . .';
// The terminal test's screen, with this page's key-wait prompt on line 36.
const expected = readFileSync(expectedScreen, 'utf8').trimEnd().split('\n');
expected[35] = PROMPT;
const ANSWERS = ['100', '100000', '62500', '1000000', '1500'];
const RESULTS = expected.slice(24, 27).concat(expected.slice(30, 33));
const LABELS = expected.slice(17, 22).map((line) => line.replace(/ \S+$/, ''));
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
// The web release's own code: its files, and how a release is made.
const webModule = (name) => import(pathToFileURL(resolve(webDir, name)).href);
const {stored, TOUCH_ICON} = await webModule('release-files.mjs');
const {releaseName, writeRelease} = await webModule('release.mjs');

const DESKTOP = {width: 1024, height: 900};
// Puppeteer's iPhone and Pixel profiles in short: a phone's width, touch.
const PHONE = {width: 390, height: 844, isMobile: true, hasTouch: true,
               deviceScaleFactor: 3};

// A browser driven by puppeteer-core: Chromium over CDP, Firefox over
// WebDriver BiDi.
class PuppeteerEngine {
  constructor(name, executablePath, args) {
    this.name = name;
    this.options = {browser: name, executablePath, args, headless: true};
  }
  async start() { this.browser = await puppeteer.launch(this.options); }
  async open(url, viewport) {
    if (this.tab) await this.tab.close();
    this.tab = await this.browser.newPage();
    this.requests = [];
    // A data: address (the icon) is the page's own bytes, not a request.
    this.tab.on('request', (r) => {
      if (r.url() !== url && !r.url().startsWith('data:')) this.requests.push(r.url());
    });
    await this.tab.setViewport(viewport);
    await this.tab.goto(url);
  }
  evaluate(fn, ...args) { return this.tab.evaluate(fn, ...args); }
  type(text) { return this.tab.keyboard.type(text); }
  press(key) { return this.tab.keyboard.press(key); }
  async ctrl(letter) {
    await this.tab.keyboard.down('Control');
    await this.tab.keyboard.press(letter);
    await this.tab.keyboard.up('Control');
  }
  cdp() { return this.tab.createCDPSession(); }
  reload() { return this.tab.reload(); }
  stop() { return this.browser.close(); }
}

// WebKitGTK's MiniBrowser behind WebKitWebDriver, which needs a display.
class WebDriverEngine {
  constructor() { this.name = 'webkit'; }
  /**
   * What the page has fetched, as the page itself records it, since
   * WebDriver shows no requests: not its own bytes (data:), nor, served,
   * its own origin's files.
   * @returns {Promise<string[]>}
   */
  fetched() {
    return this.evaluate(() => performance.getEntriesByType('resource')
        .map((entry) => entry.name)
        .filter((name) => !name.startsWith('data:') &&
                (location.protocol === 'file:' ||
                 new URL(name).origin !== location.origin)));
  }
  async start() {
    const {Builder, Key} = need('selenium-webdriver');
    this.Key = Key;
    const port = 4400 + (process.pid % 500);
    this.driver = spawn('WebKitWebDriver', [`--port=${port}`], {stdio: 'ignore'});
    const server = `http://127.0.0.1:${port}`;
    for (let i = 0; i < 100; ++i) {
      try {
        await fetch(`${server}/status`);
        break;
      } catch {
        await sleep(50);
      }
    }
    this.session = await new Builder().usingServer(server).withCapabilities({
      browserName: 'MiniBrowser',
      'webkitgtk:browserOptions': {
        binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
        args: ['--automation'],
      },
    }).build();
  }
  async open(url, viewport) {
    await this.session.manage().window().setRect(viewport);
    await this.session.get(url);
  }
  evaluate(fn, ...args) {
    return this.session.executeScript(`return (${fn}).apply(null, arguments)`,
                                      ...args);
  }
  type(text) { return this.session.actions().sendKeys(text).perform(); }
  press(key) {
    const named = {Enter: this.Key.ENTER, Backspace: this.Key.BACK_SPACE,
                   ArrowLeft: this.Key.ARROW_LEFT};
    return this.type(named[key] ?? key);
  }
  ctrl(letter) {
    return this.session.actions().keyDown(this.Key.CONTROL).sendKeys(letter)
        .keyUp(this.Key.CONTROL).perform();
  }
  reload() { return this.session.navigate().refresh(); }
  async stop() {
    try {
      await this.session?.quit();
    } finally {
      this.driver.kill();
    }
  }
}

// The screen's text since the last clear, a line per line, trailing blanks
// dropped, then trailing empty lines dropped.
async function screen(tab) {
  const rows = (await tab.evaluate(
      () => document.getElementById('screen').textContent)).split('\n')
      .map((line) => line.trimEnd());
  while (rows.length > 0 && rows.at(-1) === '') rows.pop();
  return rows;
}

// The screen's text as a selection of all of it copies it, in lines as
// `screen` gives them.
async function copied(tab) {
  const rows = (await tab.evaluate(() => {
    window.getSelection().selectAllChildren(document.getElementById('screen'));
    return window.getSelection().toString();
  })).split('\n').map((line) => line.trimEnd());
  while (rows.length > 0 && rows.at(-1) === '') rows.pop();
  return rows;
}

async function waitFor(tab, text, within = 5000) {
  for (const end = Date.now() + within; Date.now() < end;) {
    if ((await screen(tab)).join('\n').includes(text)) return;
    await sleep(25);
  }
  throw new Error(`waited in vain for "${text}":\n${(await screen(tab)).join('\n')}`);
}

async function state(tab, wanted) {
  for (let i = 0; i < 200; ++i) {
    const [now, status] = await tab.evaluate(
        () => [document.body.dataset.state, document.body.dataset.status]);
    if (now === wanted) return status;
    await sleep(25);
  }
  throw new Error(`the page's state did not become ${wanted}`);
}

// Each answer at its prompt, typed by `answer(tab, text)`, then Enter.
async function workedExample(tab, answer = (t, text) => t.type(text)) {
  for (let i = 0; i < 5; ++i) {
    await waitFor(tab, LABELS[i]);
    await answer(tab, ANSWERS[i]);
    await tab.press('Enter');
  }
  await waitFor(tab, PROMPT);
}

// The next run after the worked example, ended and started by `send`, only Rk
// typed (2200, by `type`): at most `most` keys and taps besides 2200's.
async function nextRun(tab, send, type, most) {
  await workedExample(tab);
  await tab.evaluate(() => ['keydown', 'pointerdown'].forEach((event) =>
    addEventListener(event, () => { window.sent = (window.sent ?? 0) + 1; }, true)));
  for (const now of ['ended', 'running']) await send(tab).then(() => state(tab, now));
  await workedExample(tab, (t, text) => text === ANSWERS[4] && type(t, '2200'));
  const got = await screen(tab);
  const other = expected.flatMap((line, i) => (got[i] === line ? [] : [i]));
  const sent = await tab.evaluate(() => window.sent) - 4;
  if (`${other}` !== '21,30,31,32' || got[21] !== `${LABELS[4]} 2200` || sent > most)
    throw new Error(`${sent} keys besides 2200, lines ${other}:\n${got.join('\n')}`);
}

function sameScreen(got) {
  for (let i = 0; i < 36; ++i)
    if (got[i] !== expected[i])
      throw new Error(`line ${i + 1}: "${got[i]}", not "${expected[i]}"`);
}

// A paste on the field, its text given as the clipboard's (Firefox leaves
// a made-up event's clipboard empty).
function paste(tab, text) {
  return tab.evaluate((t) => {
    const data = new DataTransfer();
    data.setData('text/plain', t);
    const event = new ClipboardEvent('paste', {bubbles: true, cancelable: true});
    Object.defineProperty(event, 'clipboardData', {value: data});
    document.getElementById('field').dispatchEvent(event);
  }, text);
}

// What an Android keyboard sends for each character: a keydown that says
// only 229, the text as an input, a keyup.
async function android(tab, text) {
  const cdp = await tab.cdp();
  for (const c of text) {
    const key = {key: 'Unidentified', code: '', windowsVirtualKeyCode: 229,
                 nativeVirtualKeyCode: 229};
    await cdp.send('Input.dispatchKeyEvent', {type: 'rawKeyDown', ...key});
    await cdp.send('Input.insertText', {text: c});
    await cdp.send('Input.dispatchKeyEvent', {type: 'keyUp', ...key});
    await sleep(100);
  }
  await cdp.detach();
}

// An IME: the answer composed digit by digit, then committed.
async function ime(tab, text) {
  const cdp = await tab.cdp();
  for (let i = 1; i <= text.length; ++i) {
    await cdp.send('Input.imeSetComposition', {
      text: text.slice(0, i), selectionStart: i, selectionEnd: i});
  }
  await cdp.send('Input.insertText', {text});
  await cdp.detach();
}

async function fieldInView(tab) {
  const [top, bottom, viewTop, viewBottom] = await tab.evaluate(() => {
    const box = document.getElementById('field').getBoundingClientRect();
    const view = window.visualViewport;
    return [box.top, box.bottom, view.offsetTop, view.offsetTop + view.height];
  });
  if (top < viewTop || bottom > viewBottom)
    throw new Error(`the field (${top}..${bottom}) is out of view ` +
                    `(${viewTop}..${viewBottom})`);
}

async function axe(tab) {
  const violations = await tab.evaluate(async (source) => {
    if (!window.axe) (0, eval)(source);  // DevTools' evaluation: no policy
    const result = await window.axe.run(document, {
      runOnly: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa']});
    return result.violations.map((v) => `${v.id}: ${v.help}`);
  }, axeSource);
  if (violations.length > 0) throw new Error(violations.join('; '));
}

// The served rows: the release's folder by nginx, each row at a port and
// so an origin (a store, a service worker) of its own.
const site = releaseDir && join(releaseDir, 'site');
const VERSION = site &&
  /<title>morvantic (\S+):/.exec(readFileSync(join(site, 'index.html'), 'utf8'))[1];
const RELEASE = site && await releaseName(site, VERSION);
// Ten for each run: the served rows of all engines, apart from another run's.
let port = 8100 + (process.pid % 100) * 10;

/**
 * A row's test on the release served (and a host's nginx `rules`): `test(tab,
 * server)` once the tab has opened the folder's address. Requests to the
 * server are the release's own; any other is left for the row's check.
 */
function served(test, rules) {
  return async (tab) => {
    const server = await serve(releaseDir, port++, rules);
    try {
      await tab.open(`${server.origin}/`, DESKTOP);
      await test(tab, server);
    } finally {
      await server.stop();
      if (tab.requests)
        tab.requests = tab.requests.filter((r) => !r.startsWith(`${server.origin}/`));
    }
  };
}

/** The page's stores: {name: [the paths it holds]}, once a worker controls it. */
function stores(tab) {
  return tab.evaluate(async () => {
    const all = {};
    for (const name of await caches.keys()) {
      const requests = await (await caches.open(name)).keys();
      all[name] = requests.map((r) => new URL(r.url).pathname).sort();
    }
    return navigator.serviceWorker.controller ? all : null;
  });
}

/** Waits until a worker controls the page and keeps `release`, alone. */
async function kept(tab, release, origin) {
  const wanted = JSON.stringify({
    [`morvantic ${release} ${origin}/`]: stored().map((f) => `/${f}`).sort()});
  for (let i = 0; i < 400; ++i) {
    if (JSON.stringify(await stores(tab)) === wanted) return;
    await sleep(25);
  }
  throw new Error(`stores ${JSON.stringify(await stores(tab))}, not ${wanted}`);
}

/** A PNG's width and height, as "WxH". */
function pngSize(bytes) {
  if (bytes.toString('latin1', 1, 4) !== 'PNG') return 'not a PNG';
  return `${bytes.readUInt32BE(16)}x${bytes.readUInt32BE(20)}`;
}

const ALL = ['chrome', 'firefox', 'webkit'];
const CHROME = ['chrome'];
const SERVED = releaseDir ? ALL : [];
const SERVED_CHROME = releaseDir ? CHROME : [];
// [name, engines, viewport, test]
const CASES = [
  // Copied, the screen is one text, each answer where it was typed.
  ['the worked example typed and copied, a key, Enter starts again', ALL,
   DESKTOP, async (tab) => {
     await workedExample(tab);
     sameScreen(await screen(tab));
     sameScreen(await copied(tab));
     await tab.evaluate(() => window.getSelection().removeAllRanges());
     await tab.type('x');
     if (await state(tab, 'ended') !== '0') throw new Error('status not 0');
     await tab.press('Enter');
     await state(tab, 'running');
     await waitFor(tab, LABELS[0]);
     if ((await screen(tab)).length !== 18) throw new Error('screen not fresh');
   }],
  // The browser edits the line; the program gets what the screen shows.
  ['ArrowLeft and Backspace edit an answer', ALL, DESKTOP, async (tab) => {
    await workedExample(tab, async (t, text) => {
      if (text !== ANSWERS[0]) return t.type(text);
      await t.type('1x00');
      await t.press('ArrowLeft');
      await t.press('ArrowLeft');
      await t.press('Backspace');
    });
    sameScreen(await screen(tab));
  }],
  // Whatever one Backspace leaves of "u" and a combining mark (Chromium
  // takes the mark alone, as a terminal erases one character), the program
  // reads what is shown.
  ['a combining mark, Backspace: the program reads what is shown', ALL,
   DESKTOP, async (tab) => {
     await waitFor(tab, LABELS[0]);
     await tab.type('u\u0308');
     await tab.press('Backspace');
     const left = await tab.evaluate(() => document.getElementById('field').value);
     await tab.type('100');
     await tab.press('Enter');
     await waitFor(tab, LABELS[1]);
     const [echo, next] = (await screen(tab)).slice(17);
     if (echo !== `${LABELS[0]} ${left}100`)
       throw new Error(`shown "${echo}" for the field's "${left}100"`);
     // 100 is read and the next prompt waits; after a "u" the read fails.
     if ((left === '') !== (next === LABELS[1]))
       throw new Error(`after "${left}100": "${next}"`);
   }],
  // Typed ahead, the answers are echoed at once, before the later prompts.
  ['a paste of all five answers', ALL, DESKTOP, async (tab) => {
    await waitFor(tab, LABELS[0]);
    await paste(tab, `${ANSWERS.join('\r\n')}\r\n`);
    await waitFor(tab, PROMPT);
    const got = (await screen(tab)).join('\n');
    if (!got.includes(`(mu): ${ANSWERS.join('\n')}\n`) ||
        !RESULTS.every((line) => got.includes(line)))
      throw new Error('not the worked example');
  }],
  ['"abc" at the first prompt, then a key', ALL, DESKTOP, async (tab) => {
    await waitFor(tab, LABELS[0]);
    await tab.type('abc');
    await tab.press('Enter');
    await waitFor(tab, PROMPT);
    if (!(await screen(tab)).includes(`${LABELS[0]} abc`) ||
        !(await screen(tab)).includes(LABELS.slice(1).join(' ')))
      throw new Error('the later prompts did not follow at once');
    await tab.type(' ');
    if (await state(tab, 'ended') !== '0') throw new Error('status not 0');
  }],
  ['Ctrl-D at a prompt', ALL, DESKTOP, async (tab) => {
    await waitFor(tab, LABELS[0]);
    await tab.type('100');
    await tab.press('Enter');
    await waitFor(tab, LABELS[1]);
    await tab.ctrl('d');
    await waitFor(tab, PROMPT);
    if (!(await screen(tab)).includes(LABELS.slice(1).join(' ')))
      throw new Error('the later prompts did not follow at once');
  }],
  ['Ctrl-C at a prompt ends the run with 130', ALL, DESKTOP, async (tab) => {
    await waitFor(tab, LABELS[0]);
    await tab.ctrl('c');
    if (await state(tab, 'ended') !== '130') throw new Error('status not 130');
    await waitFor(tab, '(mu): ^C');
  }],
  ['the policy refuses a fetch', ALL, DESKTOP, async (tab) => {
    await waitFor(tab, LABELS[0]);
    const got = await tab.evaluate(() => fetch('data:text/plain,x').then(
        () => 'allowed', () => 'refused'));
    if (got !== 'refused') throw new Error('a fetch was allowed');
  }],
  ['a phone: the screen fits, no sideways scrolling', ['chrome', 'firefox'],
   PHONE, async (tab) => {
     await workedExample(tab);
     sameScreen(await screen(tab));
     const [scroll, view] = await tab.evaluate(() => [
       document.documentElement.scrollWidth, window.innerWidth]);
     if (scroll > view) throw new Error(`wider than the screen: ${scroll} > ${view}`);
   }],
  ['Android keyboard: keydown 229, the text, keyup, three runs', CHROME, PHONE,
   async (tab) => {
     for (let run = 0; run < 3; ++run) {
       await workedExample(tab, android);
       sameScreen(await screen(tab));
       await android(tab, 'x');
       await state(tab, 'ended');
       await tab.press('Enter');
       await state(tab, 'running');
     }
   }],
  ['an IME composes each answer', CHROME, PHONE, async (tab) => {
    await workedExample(tab, ime);
    sameScreen(await screen(tab));
  }],
  ['a tap ends the key wait and starts a new run', CHROME, PHONE,
   async (tab) => {
     await paste(tab, `${ANSWERS.join('\n')}\n`);
     await waitFor(tab, PROMPT);
     await tab.tab.touchscreen.tap(100, 100);
     if (await state(tab, 'ended') !== '0') throw new Error('status not 0');
     await tab.tab.touchscreen.tap(100, 100);
     await state(tab, 'running');
   }],
  ['a keyboard leaves 264 px: the answered line stays in view', CHROME,
   {...PHONE, height: 264}, async (tab) => {
     await workedExample(tab, async (t, text) => {
       await fieldInView(t);
       await t.type(text);
     });
     await fieldInView(tab);
   }],
  ['a screen reader hears the title, the prompts, results and key wait',
   CHROME, DESKTOP, async (tab) => {
     await workedExample(tab);
     const cdp = await tab.cdp();
     const {nodes} = await cdp.send('Accessibility.getFullAXTree');
     await cdp.detach();
     const names = nodes.filter((n) => !n.ignored)
         .map((n) => String(n.name?.value ?? '')).join('\n');
     for (const line of [expected[2].trim(), ...LABELS, ...RESULTS, PROMPT])
       if (!names.includes(line)) throw new Error(`not heard: "${line}"`);
     const log = nodes.find((n) => n.role?.value === 'log');
     if (!log) throw new Error('no live log');
   }],
  ['axe-core: no WCAG 2.1 AA violation at a prompt and after the run', CHROME,
   DESKTOP, async (tab) => {
     await waitFor(tab, LABELS[0]);
     await axe(tab);
     await workedExample(tab);
     await tab.type('x');
     await state(tab, 'ended');
     await axe(tab);
   }],
  ['a browser without Uint8Array.fromBase64: the worked example', CHROME,
   DESKTOP, async (tab) => {
     await tab.tab.evaluateOnNewDocument(() => { delete Uint8Array.fromBase64; });
     await tab.tab.reload();
     await workedExample(tab);
     sameScreen(await screen(tab));
   }],
  ['a browser that lacks what the page needs says so, and the run ends',
   CHROME, DESKTOP, async (tab) => {
     await tab.tab.evaluateOnNewDocument(() => { delete window.DecompressionStream; });
     await tab.tab.reload();
     if (await state(tab, 'ended') !== '70') throw new Error('status not 70');
     await waitFor(tab, 'The program failed: this browser lacks DecompressionStream');
   }],
  ['the next run, Rk alone changed: 2200 and at most 12 keys', ALL, DESKTOP,
   (tab) => nextRun(tab, (t) => t.press('Enter'), (t, text) => t.type(text), 12)],
  ['a phone, the next run, Rk alone changed: 2200 and at most 8 taps or keys',
   CHROME, PHONE,
   (tab) => nextRun(tab, (t) => t.tab.touchscreen.tap(100, 100), android, 8)],
  ['a 1 MB paste ends the run, and the page answers again', CHROME,
   DESKTOP, async (tab) => {
     await waitFor(tab, LABELS[0]);
     const filler = '1234567 '.repeat(16).concat('\n').repeat(7700);
     await paste(tab, `${ANSWERS.join('\n')}\n${filler}`);
     await waitFor(tab, PROMPT, 10000);
     const got = (await screen(tab)).join('\n');
     if (!RESULTS.every((line) => got.includes(line)))
       throw new Error('not the worked example');
     if (await state(tab, 'ended') !== '0') throw new Error('status not 0');
     const start = Date.now();
     await tab.press('Enter');
     await waitFor(tab, LABELS[0]);
     if ((await screen(tab)).length !== 18) throw new Error('screen not fresh');
     console.log(`  answered again after ${Date.now() - start} ms`);
   }],
  ['served by nginx: the worked example; the server stopped, reloaded: ' +
   'the worked example offline', SERVED, DESKTOP, served(async (tab, server) => {
     await workedExample(tab);
     sameScreen(await screen(tab));
     await kept(tab, RELEASE, server.origin);
     await server.stop();
     await tab.reload();
     await workedExample(tab);
     sameScreen(await screen(tab));
   })],
  ['served by nginx: installable, its manifest and icons, the headers',
   SERVED_CHROME, DESKTOP, served(async (tab, server) => {
     await kept(tab, RELEASE, server.origin);
     const cdp = await tab.cdp();
     const {installabilityErrors} = await cdp.send('Page.getInstallabilityErrors');
     const {url, errors, data} = await cdp.send('Page.getAppManifest');
     await cdp.detach();
     if (installabilityErrors.length > 0)
       throw new Error(`not installable: ${JSON.stringify(installabilityErrors)}`);
     if (errors.length > 0 || !data)
       throw new Error(`the manifest: ${JSON.stringify(errors)}`);
     const touch = await tab.evaluate(
         () => document.querySelector('link[rel="apple-touch-icon"]')?.href);
     const icons = JSON.parse(data).icons.map((i) => [new URL(i.src, url).href, i.sizes])
         .concat([[touch, `${TOUCH_ICON[1]}x${TOUCH_ICON[1]}`]]);
     for (const [href, size] of icons) {
       const answer = await fetch(href);
       const got = pngSize(Buffer.from(await answer.arrayBuffer()));
       const type = answer.headers.get('content-type');
       if (answer.status !== 200 || type !== 'image/png' || got !== size)
         throw new Error(`${href}: ${answer.status} ${type} ${got}, not a ${size} PNG`);
     }
     // The example configuration: [path, header, what it holds].
     const policy = await tab.evaluate(() =>
       document.querySelector('meta[http-equiv="Content-Security-Policy"]').content);
     const HEADERS = [
       ['/', 'content-security-policy', `${policy}; frame-ancestors 'none'`],
       ['/', 'cache-control', 'no-cache'],
       ['/', 'x-content-type-options', 'nosniff'],
       ['/', 'content-encoding', 'gzip'],
       ['/', 'content-type', 'text/html; charset=utf-8'],
       [new URL(url).pathname, 'content-type', 'application/manifest+json; charset=utf-8'],
       ['/sw.js', 'cache-control', 'no-cache'],
       ['/sw.js', 'content-type', 'application/javascript; charset=utf-8'],
     ];
     for (const [path, header, wanted] of HEADERS) {
       const answer = await fetch(server.origin + path,
                                  {headers: {'accept-encoding': 'gzip'}});
       if (answer.headers.get(header) !== wanted)
         throw new Error(`${path}: ${header} "${answer.headers.get(header)}"`);
     }
   })],
  ['served by nginx: a second release (at first its page the old one: refused) ' +
   'takes over on the next load', SERVED, DESKTOP, served(async (tab, server) => {
     await waitFor(tab, LABELS[0]);
     await kept(tab, RELEASE, server.origin);
     const next = `${VERSION}.1`;
     const index = join(server.root, 'index.html');
     const old = readFileSync(index, 'utf8');
     const page = old.replaceAll(`morvantic ${VERSION}`, `morvantic ${next}`);
     const release = await writeRelease({page, version: next, icons: site,
       site: server.root, example: join(server.root, '..', 'next.conf')});
     // The old page under the new release, as a cache on the way may give.
     writeFileSync(index, old);
     const outcome = await tab.evaluate(async () => {
       const worker = (await (await navigator.serviceWorker.ready).update()).installing;
       while (worker?.state === 'installing') await new Promise((r) => setTimeout(r, 25));
       return worker?.state;
     });
     if (outcome !== 'redundant') throw new Error(`the old page kept: ${outcome}`);
     writeFileSync(index, page);
     const title = () => tab.evaluate(() => document.title);
     // Answered from the store first: the old release, while the new one
     // installs and takes over.
     await tab.reload();
     await waitFor(tab, LABELS[0]);
     if (!(await title()).startsWith(`morvantic ${VERSION}:`))
       throw new Error(`not from the store: ${await title()}`);
     await kept(tab, release, server.origin);
     await tab.reload();
     if (!(await title()).startsWith(`morvantic ${next}:`))
       throw new Error(`the next load is not the new release: ${await title()}`);
     await workedExample(tab);
     sameScreen(await screen(tab));
   })],
  ['served by a host that redirects /index.html to /: reloaded, visited ' +
   'again, its store lost, offline: the worked example', SERVED, DESKTOP,
   served(async (tab, server) => {
     if ((await fetch(`${server.origin}/index.html`, {redirect: 'manual'})).status !== 301)
       throw new Error('/index.html is not redirected');
     await kept(tab, RELEASE, server.origin);
     const lose = () => tab.evaluate(async () => {
       for (const name of await caches.keys()) await caches.delete(name);
     });
     for (const visit of [() => tab.reload(), () => tab.open(`${server.origin}/`, DESKTOP),
       () => lose().then(() => tab.reload()),
       () => kept(tab, RELEASE, server.origin).then(server.stop).then(() => tab.reload())]) {
       await visit();
       await workedExample(tab);
       sameScreen(await screen(tab));
     }
   }, 'if ($request_uri = /index.html) { return 301 /; }')],
];

const ENGINES = {
  chrome: () => new PuppeteerEngine('chrome', '/usr/bin/chromium', [
    '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update',
    '--disable-sync']),
  firefox: () => new PuppeteerEngine('firefox', '/usr/bin/firefox-esr', []),
  webkit: () => new WebDriverEngine(),
};

let passed = 0;
let failed = 0;
const url = pathToFileURL(resolve(page)).href;
for (const [name, makeEngine] of Object.entries(ENGINES)) {
  if (env.ENGINE && env.ENGINE !== name) continue;
  const cases = CASES.filter(([title, engines]) =>
    engines.includes(name) && title.includes(env.CASE ?? ''));
  if (cases.length === 0) continue;
  const engine = makeEngine();
  try {
    await engine.start();
    for (const [title, , viewport, test] of cases) {
      const started = Date.now();
      try {
        await engine.open(url, viewport);
        await test(engine);
        const requests = engine.requests ?? await engine.fetched();
        if (requests.length > 0)
          throw new Error(`network requests: ${requests.join(', ')}`);
        console.log(`ok: ${name}: ${title} (${Date.now() - started} ms)`);
        ++passed;
      } catch (error) {
        console.log(`FAIL: ${name}: ${title}: ${error.message}`);
        ++failed;
      }
    }
  } catch (error) {
    console.log(`FAIL: ${name}: could not start: ${error.message}`);
    ++failed;
  } finally {
    await engine.stop().catch(() => {});
  }
}
console.log(`${passed} passed, ${failed} failed`);
exit(failed === 0 && passed > 0 ? 0 : 1);

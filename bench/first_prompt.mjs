// Time from navigation to the page's first prompt, opened from disk, beside
// the floor: a page from disk that holds nothing but the prompt, seen the
// same way (its text in the screen's element). The median of nine loads each,
// each in a fresh tab: in headless Chromium as it is and with the processor
// throttled 4x (as on a slow phone), and in Firefox ESR. Beside each, the
// moment the prompt's text entered the document, as the page itself saw it
// (an observer put in before any of its scripts run): the time above is
// that of the bench's first look, which comes only after the page's
// DOMContentLoaded and a round trip to this process, so it can be no
// earlier than that, for either page.
//   node bench/first_prompt.mjs PAGE.html WEB_DIR
import { createRequire } from 'node:module';
import { resolve } from 'node:path';
import { argv } from 'node:process';
import { pathToFileURL } from 'node:url';
import { floorPage, prompted, watch } from './floor_page.mjs';

const [page, webDir] = argv.slice(2);
const puppeteer = createRequire(resolve(webDir, 'package.json'))('puppeteer-core');
const LOADS = 9;
const TARGET = 1.3;  // the page within 1.3 times the floor
const empty = floorPage();

const middle = (values) => values.sort((a, b) => a - b)[LOADS >> 1];

// The median times, in ms, at which `done` is seen to hold in `path`, and
// at which the prompt entered the document.
async function median(browser, path, done, throttle) {
  const times = [];
  const entered = [];
  for (let i = 0; i < LOADS; ++i) {
    const tab = await browser.newPage();
    if (throttle) {
      const cdp = await tab.createCDPSession();
      await cdp.send('Emulation.setCPUThrottlingRate', {rate: throttle});
    }
    await tab.evaluateOnNewDocument(watch);
    await tab.goto(pathToFileURL(resolve(path)).href, {waitUntil: 'domcontentloaded'});
    const at = await tab.waitForFunction(done, {polling: 'mutation'});
    times.push(await at.jsonValue());
    entered.push(await tab.evaluate(() => window.promptEntered));
    await tab.close();
  }
  return [middle(times), middle(entered)];
}

const engines = [
  ['Chromium', {browser: 'chrome', executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--no-first-run', '--disable-sync']},
   [0, 4]],
  ['Firefox ESR', {browser: 'firefox', executablePath: '/usr/bin/firefox-esr'},
   [0]],
];
for (const [name, options, throttles] of engines) {
  const browser = await puppeteer.launch({...options, headless: true});
  for (const throttle of throttles) {
    const [time, entered] = await median(browser, page, prompted, throttle);
    const [floor, floorEntered] = await median(browser, empty, prompted, throttle);
    const ratio = time / floor;
    console.log(`${name}${throttle ? `, CPU ${throttle}x slower` : ''}: ` +
                `first prompt ${time.toFixed(0)} ms, the prompt alone ` +
                `${floor.toFixed(0)} ms: ${ratio.toFixed(2)}x ` +
                `(target at most ${TARGET}x; median of ${LOADS}); in the ` +
                `document at ${entered.toFixed(0)} ms and ` +
                `${floorEntered.toFixed(0)} ms`);
  }
  await browser.close();
}

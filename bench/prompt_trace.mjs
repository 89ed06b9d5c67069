// What the time to the first prompt is spent on, by Chromium's own tracing:
// the page opened from disk, each load in a fresh tab, and the work of the
// tab's renderer (all its threads) until the prompt's text enters the
// document (as an observer in the page, put in before its scripts, sees
// it), summed by kind, beside the same for the floor (a page that holds the
// prompt's text alone). "The rest" is the renderer's own tasks (loading,
// messages, the frame). The median of five loads each. Then the page's own
// functions that take longest until the prompt, by V8's sampling profiler.
//   node bench/prompt_trace.mjs PAGE.html WEB_DIR
import { createRequire } from 'node:module';
import { resolve } from 'node:path';
import { argv } from 'node:process';
import { pathToFileURL } from 'node:url';
import { floorPage, prompted, watch } from './floor_page.mjs';

const [page, webDir] = argv.slice(2);
const puppeteer = createRequire(resolve(webDir, 'package.json'))('puppeteer-core');
const LOADS = 5;
const empty = floorPage();

/** The kind of work a trace event's name stands for, or undefined. */
function kind(name) {
  if (name === 'ParseHTML') return 'parse the HTML';
  if (name === 'SVGImage::DataChanged') return 'the icon (an SVG document)';
  if (name === 'DecompressionStream Inflate') return 'inflate the module';
  if (/Instantiate/.test(name) && /wasm/i.test(name)) return 'instantiate the module';
  if (/^(v8\.)?wasm\./.test(name)) return 'compile the module';
  if (/^V8\.Compile|^v8\.compile/.test(name)) return 'compile JavaScript';
  if (/^(v8\.evaluateModule|v8\.callFunction|FunctionCall|RunMicrotasks|EventDispatch|TimerFire|FireAnimationFrame)$/.test(name))
    return 'run JavaScript and the module';
  if (/^(UpdateLayoutTree|Layout|PrePaint|Layerize)$/.test(name)) return 'style and layout';
  if (/^(Paint|Commit)$/.test(name)) return 'paint';
  return undefined;
}

/**
 * One load of `path`: the prompt's time and the renderer's work until then
 * by kind, each event's own time (less the events inside it) counted for
 * its kind or, without one, for that of the event around it.
 */
async function traced(browser, path) {
  const tab = await browser.newPage();
  await tab.tracing.start({categories: [
    'devtools.timeline', 'v8', 'v8.execute', 'v8.wasm', 'blink', 'loading',
    'toplevel', 'disabled-by-default-v8.compile']});
  await tab.evaluateOnNewDocument(watch);
  await tab.goto(pathToFileURL(resolve(path)).href, {waitUntil: 'domcontentloaded'});
  await tab.waitForFunction(prompted, {polling: 'mutation'});
  const at = await tab.evaluate(() => window.promptEntered);
  const events = JSON.parse(Buffer.from(await tab.tracing.stop()).toString()).traceEvents;
  await tab.close();
  // The renderer: the process whose main thread parsed this page.
  const parse = events.find((e) => e.name === 'ParseHTML');
  const start = events.find((e) => e.name === 'navigationStart' &&
                            e.pid === parse.pid) ?? parse;
  const prompt = start.ts + at * 1000;
  const spent = {};
  const stacks = new Map();  // per thread: the events open at a time
  for (const e of events.filter((e) => e.pid === parse.pid && e.ph === 'X' &&
                                  e.ts >= start.ts && e.ts < prompt)
                        .sort((a, b) => a.ts - b.ts || b.dur - a.dur)) {
    const stack = stacks.get(e.tid) ?? [];
    stacks.set(e.tid, stack);
    while (stack.length && stack.at(-1).end <= e.ts) stack.pop();
    const end = Math.min(e.ts + (e.dur ?? 0), prompt);
    const what = kind(e.name) ?? stack.at(-1)?.what ?? 'the rest';
    const outer = stack.at(-1);
    if (outer) spent[outer.what] -= (end - e.ts) / 1000;
    spent[what] = (spent[what] ?? 0) + (end - e.ts) / 1000;
    stack.push({end, what});
  }
  return {at, spent};
}

/**
 * One load of `path` under V8's sampling profiler: the time of each of the
 * page's own functions (its inline script, minified; the module's
 * functions by index), less the functions it calls, in ms.
 */
async function profiled(browser, path) {
  const tab = await browser.newPage();
  const cdp = await tab.createCDPSession();
  await cdp.send('Profiler.enable');
  await cdp.send('Profiler.setSamplingInterval', {interval: 50});
  await cdp.send('Profiler.start');
  await tab.evaluateOnNewDocument(watch);
  await tab.goto(pathToFileURL(resolve(path)).href, {waitUntil: 'domcontentloaded'});
  await tab.waitForFunction(prompted, {polling: 'mutation'});
  const {profile} = await cdp.send('Profiler.stop');
  await tab.close();
  const frames = new Map(profile.nodes.map((n) => [n.id, n.callFrame]));
  const spent = {};
  profile.samples.forEach((id, k) => {
    const frame = frames.get(id);
    if (!/^(file|wasm):/.test(frame.url)) return;
    const name = `${frame.url.startsWith('wasm') ? 'module' : 'script'} ` +
        `${frame.functionName || '(top level)'} at ` +
        `${frame.lineNumber + 1}:${frame.columnNumber + 1}`;
    spent[name] = (spent[name] ?? 0) + (profile.timeDeltas[k + 1] ?? 0) / 1000;
  });
  return spent;
}

const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];

const browser = await puppeteer.launch({
  browser: 'chrome', executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
         '--disable-component-update', '--no-first-run', '--disable-sync']});
for (const [name, path] of [['the page', page], ['the prompt alone', empty]]) {
  const loads = [];
  for (let i = 0; i < LOADS; ++i) loads.push(await traced(browser, path));
  const kinds = [...new Set(loads.flatMap((l) => Object.keys(l.spent)))].sort();
  console.log(`${name}: the prompt in the document at ${median(loads.map((l) => l.at)).toFixed(0)} ms`);
  for (const what of kinds)
    console.log(`  ${what.padEnd(40)} ${median(loads.map((l) => l.spent[what] ?? 0)).toFixed(1).padStart(6)} ms`);
}
// The page's own functions that take longest, by the median of five loads.
const samples = [];
for (let i = 0; i < LOADS; ++i) samples.push(await profiled(browser, page));
const names = [...new Set(samples.flatMap((s) => Object.keys(s)))];
const times = names.map((n) => [n, median(samples.map((s) => s[n] ?? 0))]);
console.log("the page's own functions that take longest (sampled):");
for (const [name, ms] of times.sort((a, b) => b[1] - a[1]).slice(0, 6))
  console.log(`  ${name.padEnd(40)} ${ms.toFixed(1).padStart(6)} ms`);
await browser.close();

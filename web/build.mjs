// Builds the single self-contained page: the template with the module
// (base64), the page's code bundled with xterm.js and xterm's CSS, all
// minified and inlined. No file it needs is fetched at run time.
//   node build.mjs MODULE.wasm VERSION OUT.html

import { build, transform } from 'esbuild';
import { readFile, writeFile } from 'node:fs/promises';
import { argv } from 'node:process';

const [module, version, out] = argv.slice(2);
const here = new URL('.', import.meta.url);
const read = (path) => readFile(new URL(path, here), 'utf8');

const bundle = await build({
  entryPoints: [new URL('main.mjs', here).pathname],
  bundle: true,
  minify: true,
  format: 'esm',
  target: 'es2022',
  legalComments: 'inline',
  write: false,
});
const css = await transform(
    await read('node_modules/@xterm/xterm/css/xterm.css'),
    {loader: 'css', minify: true});
// Inside a <script> or <style> element only "</script" or "</style" would
// end it early.
const inline = (text, tag) =>
  text.replace(new RegExp(`</(${tag})`, 'gi'), '<\\/$1');

const wasm = (await readFile(module)).toString('base64');
const page = (await read('index.html'))
  .replace('@VERSION@', () => version)
  .replace('@XTERM_CSS@', () => inline(css.code, 'style'))
  .replace('@MODULE@', () => wasm)
  .replace('@SCRIPT@', () => inline(bundle.outputFiles[0].text, 'script'));
await writeFile(out, page);

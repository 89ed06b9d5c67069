/**
 * @file Builds the single self-contained page: the template with the
 * module (gzip, base64), the page's code and its style minified, the icon,
 * all inlined, and a Content-Security-Policy that allows exactly the
 * inlined script and style (by their hashes) and compiling WebAssembly, so
 * that the browser itself keeps the page from making any request.
 *   node build.mjs MODULE.wasm.gz VERSION ICON.svg OUT.html
 */

import { build, transform } from 'esbuild';
import { createHash } from 'node:crypto';
import { readFile, writeFile } from 'node:fs/promises';
import { argv } from 'node:process';
import { fileURLToPath } from 'node:url';

const [module, version, icon, out] = argv.slice(2);
const here = (name) => fileURLToPath(new URL(name, import.meta.url));
const read = (name) => readFile(here(name), 'utf8');

const bundle = await build({
  entryPoints: [here('main.mjs')],
  bundle: true,
  minify: true,
  format: 'esm',
  target: 'es2022',
  legalComments: 'inline',
  write: false,
});
const style = await transform(await read('style.css'),
                              {loader: 'css', minify: true});
// Inside a <script> or <style> element only "</script" or "</style" would
// end it early.
const inline = (text, tag) =>
  text.replace(new RegExp(`</(${tag})`, 'gi'), '<\\/$1');
const script = inline(bundle.outputFiles[0].text, 'script');
const css = inline(style.code, 'style');
const hash = (text) =>
  `'sha256-${createHash('sha256').update(text).digest('base64')}'`;
const policy = ["default-src 'none'",
                `script-src ${hash(script)} 'wasm-unsafe-eval'`,
                `style-src ${hash(css)}`,
                'img-src data:'].join('; ');

const wasm = (await readFile(module)).toString('base64');
const svg = (await readFile(icon)).toString('base64');
const page = (await read('index.html'))
  .replaceAll('@VERSION@', () => version)
  .replace('@POLICY@', () => policy)
  .replace('@ICON@', () => `data:image/svg+xml;base64,${svg}`)
  .replace('@STYLE@', () => css)
  .replace('@MODULE@', () => wasm)
  .replace('@SCRIPT@', () => script);
await writeFile(out, page);

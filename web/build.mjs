/**
 * @file Builds the single self-contained page: the template with the
 * module (gzip, base64), the page's code and its style minified, the icon,
 * all inlined, and a Content-Security-Policy that allows exactly the
 * inlined script and style (by their hashes) and compiling WebAssembly, so
 * that the browser itself keeps the page from making any request; served
 * over http(s), the page's manifest and service worker too. Then the web
 * release of that page (release.mjs), its icons from ICONS.
 *   node build.mjs MODULE.wasm.gz VERSION ICON.svg OUT.html ICONS SITE EXAMPLE
 */

import { build, transform } from 'esbuild';
import { createHash } from 'node:crypto';
import { readFile, writeFile } from 'node:fs/promises';
import { argv } from 'node:process';
import { fileURLToPath } from 'node:url';
import { writeRelease } from './release.mjs';

const [module, version, icon, out, icons, site, example] = argv.slice(2);
const here = (name) => fileURLToPath(new URL(name, import.meta.url));
const read = (name) => readFile(here(name), 'utf8');

// The page, and what it does only when served.
const bundle = await build({
  stdin: {contents: "import './main.mjs'; import './served.mjs';",
          resolveDir: here('.'), sourcefile: 'page.mjs'},
  bundle: true,
  minify: true,
  format: 'esm',
  target: 'es2022',
  legalComments: 'inline',
  write: false,
});
const style = await transform(await read('style.css'),
                              {loader: 'css', minify: true});
// Inside a <style> element only "</style" would end it early. Inside a
// <script>, "</script" would, and "<!--" followed by "<script" would keep
// the next "</script>" from ending it. Either can stand only in a string,
// a template, a regular expression or a comment; in the first three "<\/"
// means "</", and "\x3C" means "<" (as "\<" does, whose backslash goes).
const script = bundle.outputFiles[0].text
  .replace(/<(\/script)/gi, '<\\$1')
  .replace(/(\\*)<!--/g, (_, slashes) =>
    `${slashes.slice(slashes.length % 2)}\\x3C!--`);
const css = style.code.replace(/<(\/style)/gi, '<\\$1');
const hash = (text) =>
  `'sha256-${createHash('sha256').update(text).digest('base64')}'`;
const policy = ["default-src 'none'",
                `script-src ${hash(script)} 'wasm-unsafe-eval'`,
                `style-src ${hash(css)}`,
                // The icon; served, the manifest's icons, which Chromium
                // fetches under the page's img-src to find it installable.
                "img-src data: 'self'",
                "manifest-src 'self'",
                "worker-src 'self'",
                // Neither is covered by default-src: no <base> may move
                // the page's relative addresses, no form is sent anywhere.
                "base-uri 'none'",
                "form-action 'none'"].join('; ');

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
await writeRelease({page, version, icons, site, example});

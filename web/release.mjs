/**
 * @file Writes the web release: the folder that any static host serves as
 * it is (the page as its index, the web app manifest, the icons and the
 * service worker) and the example configuration for nginx beside it.
 */

import { transform } from 'esbuild';
import { createHash } from 'node:crypto';
import { copyFile, mkdir, readFile, writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { ICONS, MANIFEST, PAGE, TOUCH_ICON, WORKER, stored }
  from './release-files.mjs';

const here = (name) => fileURLToPath(new URL(name, import.meta.url));

/**
 * The screen's background and text colours, as style.css gives them to
 * html and body: the manifest's colours of the splash screen and bar.
 */
async function screenColours() {
  const css = await readFile(here('style.css'), 'utf8');
  const rule = /html, body \{([^}]*)\}/.exec(css)?.[1] ?? '';
  const colour = (property) =>
    new RegExp(`(?:^|[;\\s])${property}:\\s*(#[0-9a-fA-F]+)`).exec(rule)?.[1];
  const [background, text] = [colour('background'), colour('color')];
  if (!background || !text)
    throw new Error('style.css gives html, body no background and color');
  return {background, text};
}

/** The manifest, as JSON: the app's names, where it starts, its look. */
async function manifest(version) {
  const {background} = await screenColours();
  return `${JSON.stringify({
    name: 'morvantic: a triode stage calculator',
    short_name: 'morvantic',
    description: `morvantic ${version}: the voltage gain, the gain in dB ` +
      'and the load impedance of one common-cathode triode amplifier stage.',
    start_url: './',
    scope: './',
    display: 'standalone',
    background_color: background,
    theme_color: background,
    icons: ICONS.map(([src, size, purpose]) =>
      ({src, sizes: `${size}x${size}`, type: 'image/png', purpose})),
  }, null, 2)}\n`;
}

/**
 * Each file that the worker keeps from the folder `site`, with its digest
 * as the browser checks it: [[file, "sha256-BASE64"], ...].
 */
export async function digests(site) {
  return Promise.all(stored().map(async (file) => [file,
    `sha256-${createHash('sha256').update(await readFile(join(site, file)))
      .digest('base64')}`]));
}

/**
 * The release's name in the service worker's store: "VERSION DIGEST", the
 * digest that of the digests of every file the worker keeps from the
 * folder `site`, so that a change to any of them makes a new worker.
 */
export async function releaseName(site, version) {
  const digest = createHash('sha256');
  for (const [, integrity] of await digests(site)) digest.update(integrity);
  return `${version} ${digest.digest('hex').slice(0, 16)}`;
}

/**
 * Writes the release of `page` (the page's text) at `version` into the
 * folder `site`, its icons copied from the folder `icons`, and the example
 * nginx configuration to `example`. Returns the release's name.
 */
export async function writeRelease({page, version, icons, site, example}) {
  await mkdir(site, {recursive: true});
  await writeFile(join(site, PAGE), page);
  await writeFile(join(site, MANIFEST), await manifest(version));
  for (const [file] of [...ICONS, TOUCH_ICON])
    await copyFile(join(icons, file), join(site, file));
  const release = await releaseName(site, version);
  const worker = await transform(
    `const RELEASE = ${JSON.stringify({app: 'morvantic', release, index: PAGE,
                                       files: await digests(site)})};\n` +
      await readFile(here('service-worker.js'), 'utf8'),
    {loader: 'js', minify: true, target: 'es2020', legalComments: 'none'});
  await writeFile(join(site, WORKER), worker.code);
  // The page's own policy, which its <meta> holds, sent as a header too.
  const policy = /http-equiv="Content-Security-Policy" content="([^"]*)"/
    .exec(page)?.[1];
  if (!policy) throw new Error('the page has no Content-Security-Policy');
  // A file's name in a regular expression: its dots escaped.
  const pattern = (file) => file.replace(/[.]/g, '\\.');
  const config = (await readFile(here('nginx.conf.in'), 'utf8'))
    .replaceAll('@VERSION@', () => version)
    .replace('@POLICY@', () => policy)
    .replaceAll('@PAGE@', () => PAGE)
    .replaceAll('@PAGE_PATTERN@', () => pattern(PAGE))
    .replaceAll('@WORKER_PATTERN@', () => pattern(WORKER))
    .replaceAll('@MANIFEST@', () => MANIFEST.replace(/.*\./, ''));
  await writeFile(example, config);
  return release;
}

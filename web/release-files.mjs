/**
 * @file The web release's files, named once for its build, the page and
 * the tests: the folder that a static host serves.
 */

/** The page, the folder's index. */
export const PAGE = 'index.html';
/** The web app manifest. */
export const MANIFEST = 'manifest.webmanifest';
/** The service worker's script. */
export const WORKER = 'sw.js';
/** The icon an iPhone or iPad puts on its home screen (it reads no manifest's). */
export const TOUCH_ICON = ['apple-touch-icon.png', 180];
/** The manifest's icons: [file, size in pixels, purpose]. */
export const ICONS = [
  ['icon-192.png', 192, 'any'],
  ['icon-512.png', 512, 'any'],
  ['icon-maskable-512.png', 512, 'maskable'],
];
/** What the service worker keeps: every file of the folder but itself. */
export function stored() {
  return [PAGE, MANIFEST, ...ICONS.map(([file]) => file), TOUCH_ICON[0]];
}

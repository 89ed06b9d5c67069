/**
 * @file The page served over http(s): it names its manifest and its home
 * screen icon, and has its service worker keep the release for use offline.
 * Opened from disk it does none of this, so that it makes no request there
 * (and a file: page can have no service worker).
 */

import { MANIFEST, TOUCH_ICON, WORKER } from './release-files.mjs';

if (location.protocol === 'https:' || location.protocol === 'http:') {
  for (const [rel, href] of [['manifest', MANIFEST],
                             ['apple-touch-icon', TOUCH_ICON[0]]]) {
    const link = document.createElement('link');
    link.rel = rel;
    link.href = href;
    document.head.append(link);
  }
  // After the load, so that the first prompt does not wait for it. Without
  // it (a browser that has none, or plain http off this machine) the page
  // works as from disk, online only.
  addEventListener('load', () => {
    navigator.serviceWorker?.register(WORKER).catch(() => {});
  });
}

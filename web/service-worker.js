/**
 * @file The web release's service worker: it keeps the release's own files
 * in a store named by the release, answers from that store first (the
 * network only for what it does not hold), and deletes the stores of other
 * releases of the page at its scope when it takes over. The build puts
 * before it `const RELEASE = {app, release, files}`: the page's name, the
 * release's (its version and a digest of its files) and the files,
 * relative to the worker.
 *
 * It takes over as soon as it is installed, not once every tab of the old
 * release is closed: the page is one self-contained file, so a page of the
 * old release is never served a file of the new one, and the next load is
 * the new release's.
 */
/* global RELEASE */

const scope = self.registration.scope;
// The store's name holds the scope: one host may serve several copies.
const STORE = `${RELEASE.app} ${RELEASE.release} ${scope}`;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(STORE)
    // Past the browser's HTTP cache, which may still hold the old release.
    .then((store) => store.addAll(RELEASE.files.map(
        (file) => new Request(file, {cache: 'reload'}))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  const old = (name) => name !== STORE && name.endsWith(` ${scope}`) &&
                        name.startsWith(`${RELEASE.app} `);
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter(old).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  // The folder's own address is its index.
  const url = new URL(event.request.url);
  const key = url.origin + url.pathname === scope ? RELEASE.files[0]
                                                  : event.request;
  event.respondWith(caches.open(STORE)
    .then((store) => store.match(key, {ignoreSearch: true}))
    .then((stored) => stored ?? fetch(event.request)));
});

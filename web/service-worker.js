/**
 * @file The web release's service worker: it keeps the release's own files
 * in a store named by the release, answers from that store first (the
 * network only for what it does not hold), and deletes the stores of other
 * releases of the page at its scope when it takes over. The build puts
 * before it `const RELEASE = {app, release, index, files}`: the page's name,
 * the release's (its version and a digest of its files), the folder's
 * index, and each file (relative to the worker) with its digest as an
 * `integrity` value.
 *
 * Each file is kept only as the release has it, whatever the host does on
 * the way: the browser checks it against its digest (a cache or a deploy
 * half done that answers with another release's file fails the install,
 * which the next visit tries again), and it is kept as a plain answer,
 * not as the redirect that led to it (a host may answer index.html with a
 * redirect to the folder, and a browser loads no page from a redirected
 * answer). A store that the browser evicted, or that was deleted, is
 * filled again from the host when next needed.
 *
 * It takes over as soon as it is installed, not once every tab of the old
 * release is closed: the page is one self-contained file, so a page of the
 * old release is never served a file of the new one, and the next load is
 * the new release's.
 *
 * Written by hand rather than built from workbox-precaching, which does
 * these three things too: with the three packages it needs, it comes to
 * about 15 KB minified, which every visitor loads, for what takes under
 * fifty lines here; and the release would follow four packages' updates.
 */
/* global RELEASE */

const scope = self.registration.scope;
// The store's name holds the scope: one host may serve several copies.
const STORE = `${RELEASE.app} ${RELEASE.release} ${scope}`;
const FILES = new Map(RELEASE.files);

/**
 * The file `file` from the host, past the browser's HTTP cache (which may
 * still hold the old release), refused unless it matches its digest, as a
 * plain answer: its body, status and headers.
 * @param {string} file
 * @returns {Promise<Response>}
 */
async function get(file) {
  const answer = await fetch(new Request(file, {
    cache: 'reload', integrity: FILES.get(file)}));
  if (!answer.ok) throw new Error(`${file}: ${answer.status}`);
  const {status, statusText, headers} = answer;
  return new Response(await answer.blob(), {status, statusText, headers});
}

/**
 * Keeps in the store the file `file`, or with no argument each file of the
 * release that it lacks.
 * @param {string} [file]
 * @returns {Promise<void>}
 */
async function keep(file) {
  const store = await caches.open(STORE);
  for (const name of file ? [file] : FILES.keys())
    if (!(await store.match(name))) await store.put(name, await get(name));
}

self.addEventListener('install', (event) => {
  // All of them fetched and checked before the store is made: a file
  // refused leaves no store behind.
  const files = [...FILES.keys()];
  event.waitUntil(Promise.all(files.map(get))
    .then(async (answers) => {
      const store = await caches.open(STORE);
      await Promise.all(answers.map((answer, i) => store.put(files[i], answer)));
    })
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
  // The folder's own address is its index; what is not the release's is
  // the browser's to fetch.
  const url = new URL(event.request.url);
  const path = url.origin + url.pathname;
  const file = path === scope ? RELEASE.index : path.slice(scope.length);
  if (!path.startsWith(scope) || !FILES.has(file)) return;
  // Looked up without opening the store, which would make an empty one.
  const kept = () => caches.match(file, {cacheName: STORE});
  const stored = kept();
  // A store lost (evicted, deleted) is filled again: this file first, then
  // the rest. What cannot be fetched, or does not match the release, is
  // answered by the host as it is, unkept.
  const first = stored.then((answer) => answer ?? keep(file).then(kept));
  event.respondWith(first.catch(() => undefined)
    .then((answer) => answer ?? fetch(event.request)));
  event.waitUntil(stored.then((answer) => answer || first.then(() => keep()))
    .catch(() => {}));
});

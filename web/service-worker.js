// Keeps the whole site in one cache per build, so that the game loads and
// plays with no network. The build writes its name and its files in here, so
// a new build is a new worker: it fills a cache of its own beside the old
// one, takes over when the page has loaded all of the build it started with
// (files of two builds do not fit together), and then drops the older caches.
'use strict';

const family = `grumo ${self.registration.scope} `;
const build = family + '@GRUMO_BUILD@';
const files = '@GRUMO_FILES@'.split(' ');

self.addEventListener('install', (event) => {
  // Asked of the server, never taken stale from the browser's own cache.
  const fresh = files.map((file) => new Request(file, {cache: 'no-cache'}));
  event.waitUntil(caches.open(build).then((cache) => cache.addAll(fresh)));
});

self.addEventListener('message', (event) => event.data === 'take over' && self.skipWaiting());

self.addEventListener('activate', (event) => {
  const older = (name) => name.startsWith(family) && name !== build;
  event.waitUntil(caches.keys().then(
      (names) => Promise.all(names.filter(older).map((name) => caches.delete(name)))));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(build)
                        .then((cache) => cache.match(event.request, {ignoreSearch: true}))
                        .then((kept) => kept ?? fetch(event.request)));
});

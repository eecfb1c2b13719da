// Keeps the site working offline: on install it stores the page, the
// manifest and the icons; every request of the site is answered from that
// store, and the network only serves what is not in it. A new page comes
// with a new store name (made by the build from the page's digest), which
// replaces the old store when it takes over.

const kCache = '@CACHE_NAME@';
const kFiles = ['./', 'index.html', 'manifest.webmanifest', 'icon.svg', 'icon-192.png', 'icon-512.png'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n !== kCache).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(kCache).then((cache) =>
    cache.match(event.request, { ignoreSearch: true }).then((stored) => stored || fetch(event.request))));
});

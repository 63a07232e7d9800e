// The site's service worker: it keeps the site's files after the first visit, so that the site
// opens offline and can be installed as an app (with manifest.webmanifest). scripts/build-web
// writes in the site's files and a version drawn from their bytes, so a new version of the site
// is a new worker. A worker keeps its version's files in a cache of their own and answers every
// request for one of them from it, so a page never mixes two versions. A new worker fetches all
// its files before it takes over (cache.addAll keeps nothing unless every file came back whole,
// so a failure is never kept); it then replaces the old one at once and drops the old files, so
// the visit after the one that found the new version opens it. page.js registers the worker once
// the first page is shown, so that it never slows that page down.
"use strict";
var VERSION = "@VERSION@";
var FILES = "@FILES@".split(" ");
var PREFIX = "triangles " + self.registration.scope + " "; // the site's caches, not the origin's
var CACHE = PREFIX + VERSION;

self.addEventListener("install", function (event) {
  event.waitUntil(caches.open(CACHE).then(function (cache) {
    // Past the browser's own cache, which may still hold files of the old version.
    return cache.addAll(FILES.map(function (file) {
      return new Request(file, { cache: "no-cache" });
    }));
  }).then(function () {
    return self.skipWaiting();
  }, function (error) {
    return caches.delete(CACHE).then(function () {
      throw error;
    });
  }));
});

self.addEventListener("activate", function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) {
      return name.indexOf(PREFIX) === 0 && name !== CACHE;
    }).map(function (name) {
      return caches.delete(name);
    }));
  }).then(function () {
    return self.clients.claim();
  }));
});

// A file of the site from the cache (the folder itself is its index.html), anything else as the
// browser would fetch it.
self.addEventListener("fetch", function (event) {
  var url = new URL(event.request.url);
  if (event.request.method !== "GET" || url.origin !== location.origin) {
    return;
  }
  url.search = "";
  url.hash = "";
  if (url.pathname.slice(-1) === "/") {
    url.pathname += "index.html";
  }
  event.respondWith(caches.open(CACHE).then(function (cache) {
    return cache.match(url.href, { ignoreVary: true });
  }).then(function (kept) {
    return kept || fetch(event.request);
  }));
});

// The offline test: the site as an installable app that opens offline, in Debian's Chromium,
// headless. Its manifest is valid (Chromium's own reading of it) with icons that load at their
// sizes; after one visit the site opens with the server gone, all four pages pixel for pixel; a
// new version of the site replaces the old files on the next visit; a file that fails to load is
// never kept; the site opened from disk still says to host the folder, and the one-file page has
// no worker or manifest. Prints one line per check and "N passed, M failed".
// Usage: node tests/web_offline.mjs [BUILD_FOLDER]  (default build-web; playwright-core
// installed by `npm ci` in BUILD_FOLDER/test from tests/package.json)
import { cpSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import os from "node:os";
import path from "node:path";
import { pathToFileURL } from "node:url";
import { CHROMIUM, checker, closeServers, differingPixels, expect, serveSite, theBuild, timeLimit }
  from "./web_support.mjs";

const { build, site, oneFile, modules } = theBuild();
const { chromium } = modules("playwright-core");
const TEST_LIMIT_MS = 180000;
const WORKER_LIMIT_MS = 20000; // for the worker to have kept, or refused, the site's files

const limit = timeLimit(TEST_LIMIT_MS);
const results = checker();
const { check } = results;
const browser = await chromium.launch(CHROMIUM);

// A page of a context of its own (a laptop's window, one device pixel per CSS pixel), recording
// errors.
async function open(url) {
  const context = await browser.newContext({ viewport: { width: 1366, height: 650 } });
  const page = await context.newPage();
  page.errors = [];
  page.on("pageerror", (error) => page.errors.push(error.message));
  page.on("console", (message) => message.type() === "error" && page.errors.push(message.text()));
  await page.goto(url);
  return page;
}
const shown = (page, n) => page.waitForFunction((n) =>
  document.getElementById("description").textContent.startsWith(`Page ${n} of 4:`), n);

// The site's caches as the page sees them: each one's name and how many files it holds.
const kept = (page) => page.evaluate(async () => Promise.all((await caches.keys()).map(
  async (name) => [name, (await (await caches.open(name)).keys()).length])));
// Waits until `predicate` (run in the page, awaited) holds, or fails saying `what` did not happen.
async function until(page, what, predicate, argument) {
  const end = Date.now() + WORKER_LIMIT_MS;
  while (!(await page.evaluate(predicate, argument))) {
    expect(Date.now() < end, `${what} not within ${WORKER_LIMIT_MS / 1000} s`);
    await page.waitForTimeout(100);
  }
}
// Waits until the page is in the hands of a worker that has kept every file of the site.
const keptForOffline = (page, files) => until(page, "the site kept for offline use", async (files) => {
  const names = await caches.keys();
  return navigator.serviceWorker.controller !== null && names.length === 1 &&
    (await (await caches.open(names[0])).keys()).length === files;
}, files);
// How many files the worker keeps: every file of the site but the worker itself and the .gz files.
const siteFiles = (folder) => readdirSync(folder, { withFileTypes: true }).reduce((count, entry) =>
  count + (entry.isDirectory() ? siteFiles(path.join(folder, entry.name)) :
    /\.gz$|^service-worker\.js$/.test(entry.name) ? 0 : 1), 0);

await check("the manifest is valid to Chromium, for an app of its own window, with icons that load", async () => {
  const server = await serveSite(site);
  const page = await open(server.url);
  await shown(page, 1);
  const cdp = await page.context().newCDPSession(page);
  const { errors, data } = await cdp.send("Page.getAppManifest");
  expect(errors.length === 0, `manifest errors: ${JSON.stringify(errors)}`);
  const manifest = JSON.parse(data);
  expect(manifest.name && manifest.short_name && manifest.display === "standalone" &&
    manifest.start_url, `the manifest lacks a name, a short name, a start or standalone display`);
  for (const size of [192, 512]) {
    const icon = manifest.icons.find((entry) => entry.sizes === `${size}x${size}`);
    expect(icon && icon.type === "image/png", `no ${size}-pixel PNG icon`);
    const picture = await page.evaluate(async (src) => {
      const response = await fetch(src);
      const bitmap = await createImageBitmap(await response.blob());
      return [response.status, bitmap.width, bitmap.height];
    }, icon.src);
    expect(picture.join() === `200,${size},${size}`, `icon ${icon.src}: ${picture}`);
  }
  const svg = manifest.icons.find((entry) => entry.type === "image/svg+xml");
  expect(svg && await page.evaluate(async (src) => (await fetch(src)).ok, svg.src), "no SVG icon");
  const installable = await cdp.send("Page.getInstallabilityErrors");
  const reasons = installable.installabilityErrors.map((error) => error.errorId)
    .filter((id) => id !== "in-incognito"); // a test's context is one
  expect(reasons.length === 0, `not installable: ${reasons.join(", ")}`);
  expect(page.errors.length === 0, `errors: ${page.errors.join(" | ")}`);
  await page.context().close();
  await server.close();
});

await check("after one visit the site opens offline: four pages pixel for pixel, the licences", async () => {
  let server = await serveSite(site);
  const page = await open(server.url);
  await shown(page, 1);
  await keptForOffline(page, siteFiles(site));
  const port = server.port;
  await server.close();
  await page.reload();
  for (let n = 1; n <= 4; ++n) {
    await shown(page, n);
    const differing = await differingPixels(page, n);
    expect(differing === 0, `page ${n}: ${differing} pixels differ from docs/page-${n}.png`);
    await page.keyboard.press(n % 2 ? "Enter" : "x");
  }
  expect(await page.evaluate(async () => (await fetch("licenses/triangles/LICENSE.txt")).ok),
    "a licence text is not kept");
  expect(page.errors.length === 0, `errors: ${page.errors.join(" | ")}`);

  // A new version of the site (here: the same site with another line at its foot, and so another
  // worker): the visit that finds it keeps its files, the next one shows it, and the old files go.
  const next = mkdtempSync(path.join(os.tmpdir(), "triangles-next-"));
  cpSync(site, next, { recursive: true });
  for (const file of ["index.html", "service-worker.js"]) {
    rmSync(path.join(next, `${file}.gz`));
  }
  const index = readFileSync(path.join(next, "index.html"), "utf8");
  writeFileSync(path.join(next, "index.html"), index.replace("</footer>", "<p>Next.</p></footer>"));
  const worker = readFileSync(path.join(next, "service-worker.js"), "utf8");
  writeFileSync(path.join(next, "service-worker.js"),
    worker.replace(/var VERSION = "([^"]*)"/, 'var VERSION = "$1-next"'));
  server = await serveSite(next, port);
  await page.reload();
  await shown(page, 1);
  await until(page, "the new version kept, the old one dropped", async () => {
    const names = await caches.keys();
    return names.length === 1 && /-next$/.test(names[0]);
  });
  await page.reload();
  await shown(page, 1);
  expect(await page.locator("footer").textContent().then((text) => text.includes("Next.")),
    "the next visit did not show the new version");
  const stored = await kept(page);
  expect(stored.length === 1 && stored[0][1] === siteFiles(next), `kept: ${JSON.stringify(stored)}`);
  await page.context().close();
  await server.close();
  rmSync(next, { recursive: true });
});

await check("a file that fails to load is never kept; once it loads, the site is kept whole", async () => {
  const server = await serveSite(site);
  server.missing.add("/licenses/SDL/COPYING.txt");
  const page = await open(server.url);
  await shown(page, 1);
  const end = Date.now() + WORKER_LIMIT_MS;
  while (!server.requests.includes("/licenses/SDL/COPYING.txt")) {
    expect(Date.now() < end, "the worker never asked for the missing file");
    await page.waitForTimeout(100);
  }
  await until(page, "the worker given up on a site with a file missing", async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    return !registration || (!registration.installing && !registration.waiting && !registration.active);
  });
  expect((await kept(page)).length === 0, `kept: ${JSON.stringify(await kept(page))}`);
  server.missing.clear();
  await page.reload();
  await shown(page, 1);
  await keptForOffline(page, siteFiles(site));
  await page.context().close();
  await server.close();
});

await check("from disk the site still says to host the folder; the one-file page has no worker", async () => {
  const page = await open(pathToFileURL(path.join(site, "index.html")).href);
  await page.waitForFunction(() => document.getElementById("status").className === "failure");
  const line = await page.locator("#status").textContent();
  expect(/host the folder/.test(line), `said: "${line}"`);
  const unexpected = page.errors.filter((error) => /worker|manifest/i.test(error));
  expect(unexpected.length === 0, `errors: ${unexpected.join(" | ")}`);
  await page.context().close();
  const html = readFileSync(path.join(build, oneFile), "utf8");
  expect(!/<link rel="(manifest|preload)"|data-worker="/.test(html),
    "the one-file page links a manifest, preloads or names a worker");
});

await browser.close();
await closeServers();
limit.stop();
results.finish();

// The phone test: how soon the site's first page shows on a phone's profile in Debian's Chromium,
// headless: Lighthouse's mobile profile (a 412-pixel-wide touch screen; 150 ms round trip,
// 1.6 Mbit/s down and 750 kbit/s up, each times 0.9, through DevTools' network emulation; the
// processor 4 times slower; no cache), the site served as a host that serves its precompressed
// .gz files. The goal is 1 s; the test fails only at twice that, so that it catches a page made
// slow, not a slow machine. The processor is this machine's, 4 times slower (DevTools' throttling
// lets the page's main thread run one part of the time in 4), with no yardstick: a loop of script
// timed in the page measured how the browser compiled it (12 times faster in Chromium 150 than in
// 156), not the machine. The figure is the fastest of 5 loads, the one least disturbed by other
// work on the machine: a page made slow makes every load slow, a busy machine only some. Also:
// every file of the site has its .gz beside it, with the same bytes. Prints the figures (the same
// loads served uncompressed too, the bytes loaded, when each file arrived) and "N passed, M
// failed".
// Usage: node tests/web_phone.mjs [BUILD_FOLDER]  (default build-web; playwright-core installed
// by `npm ci` in BUILD_FOLDER/test from tests/package.json)
import { readFileSync, readdirSync } from "node:fs";
import path from "node:path";
import { gunzipSync } from "node:zlib";
import { CHROMIUM, checker, closeServers, expect, serveSite, theBuild, timeLimit }
  from "./web_support.mjs";

const { site, modules } = theBuild();
const { chromium } = modules("playwright-core");

const GOAL_MS = 1000; // the first page on a phone's profile, the fastest of LOADS
const LIMIT_MS = 2 * GOAL_MS; // well above the goal: a regression, not a slow machine
const LOADS = 5;
const TEST_LIMIT_MS = 300000;
// Lighthouse's mobile profile: its network as DevTools emulates it (throughput in bytes a second)
// and its processor slowdown; a phone's screen (Lighthouse's Moto G Power).
const KBIT = 1024 / 8;
const NETWORK = { offline: false, latency: 150, downloadThroughput: 1.6 * 1024 * KBIT * 0.9,
  uploadThroughput: 750 * KBIT * 0.9 };
const CPU_SLOWDOWN = 4; // the phone's processor against this machine's
const PHONE = { viewport: { width: 412, height: 823 }, deviceScaleFactor: 1.75, isMobile: true,
  hasTouch: true };

const limit = timeLimit(TEST_LIMIT_MS);
const results = checker();
const { check, figures } = results;
const server = await serveSite(site);
const browser = await chromium.launch(CHROMIUM);

// One load on the phone's profile: when the first page was shown (its text alternative set, just
// after the canvas was drawn), in ms after navigation, and what was loaded until then. The page
// tells the test through a binding of DevTools' own: a wait of playwright's would put its script
// into the page, whose compiling on the slowed processor would be timed with the page.
async function loadOnPhone(url) {
  const context = await browser.newContext(PHONE);
  const page = await context.newPage();
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  const cdp = await context.newCDPSession(page);
  await cdp.send("Runtime.enable");
  await cdp.send("Runtime.addBinding", { name: "firstPageShown" });
  const shown = new Promise((resolve) => cdp.on("Runtime.bindingCalled", (call) =>
    call.name === "firstPageShown" && resolve(Number(call.payload))));
  await page.addInitScript(() => {
    new MutationObserver((changes, observer) => {
      if (document.getElementById("description")?.textContent) {
        observer.disconnect();
        window.firstPageShown(String(performance.now()));
      }
    }).observe(document, { subtree: true, childList: true, characterData: true });
  });
  await cdp.send("Network.enable");
  await cdp.send("Network.setCacheDisabled", { cacheDisabled: true });
  await cdp.send("Network.emulateNetworkConditions", NETWORK);
  await cdp.send("Emulation.setCPUThrottlingRate", { rate: CPU_SLOWDOWN });
  await page.goto(url);
  const ms = await Promise.race([shown, new Promise((resolve) => setTimeout(resolve, 30000))]);
  expect(ms !== undefined, `no first page within 30 s: ${errors.join(" | ")}`);
  const load = await page.evaluate((firstPageAt) => {
    const navigation = performance.getEntriesByType("navigation")[0];
    const files = [navigation, ...performance.getEntriesByType("resource")]
      .filter((entry) => entry.responseEnd <= firstPageAt);
    return {
      transferred: files.reduce((sum, entry) => sum + entry.encodedBodySize, 0),
      decoded: files.reduce((sum, entry) => sum + entry.decodedBodySize, 0),
      timeline: files.map((entry) => `${entry.name.replace(/.*\//, "") || "page"} ` +
        `${Math.round(entry.startTime)}-${Math.round(entry.responseEnd)}`).join(", "),
    };
  }, ms);
  await context.close();
  expect(errors.length === 0, `errors: ${errors.join(" | ")}`);
  return { ms, ...load };
}

// The fastest of LOADS loads, the one least disturbed by other work on the machine, with the
// figures of all.
async function fastestLoad(url, what) {
  const loads = [];
  for (let n = 0; n < LOADS; ++n) {
    loads.push(await loadOnPhone(url));
  }
  loads.sort((a, b) => a.ms - b.ms);
  const [fastest, median] = [loads[0], loads[LOADS >> 1]];
  const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
  figures.push(`${what}: first page in ${Math.round(fastest.ms)} ms at the fastest, median ` +
    `${Math.round(median.ms)} ms (${loads.map((load) => Math.round(load.ms)).join(", ")}), ` +
    `${kb(fastest.transferred)} loaded (${kb(fastest.decoded)} uncompressed); the fastest load: ` +
    `${fastest.timeline}`);
  return fastest;
}

await check("every file of the site has its precompressed .gz beside it", async () => {
  const files = (folder) => readdirSync(folder, { withFileTypes: true }).flatMap((entry) =>
    entry.isDirectory() ? files(path.join(folder, entry.name)) : [path.join(folder, entry.name)]);
  const all = files(site);
  for (const file of all.filter((name) => !name.endsWith(".gz"))) {
    expect(all.includes(`${file}.gz`), `no ${path.relative(site, file)}.gz`);
    expect(gunzipSync(readFileSync(`${file}.gz`)).equals(readFileSync(file)),
      `${path.relative(site, file)}.gz does not hold the file's bytes`);
  }
});

await check(`served gzipped, the first page on a phone's profile within ${LIMIT_MS} ms ` +
  `(the fastest of ${LOADS}; the goal is ${GOAL_MS} ms)`, async () => {
  const fastest = await fastestLoad(server.url, "phone, gzipped");
  expect(fastest.ms <= LIMIT_MS, `the first page took ${Math.round(fastest.ms)} ms`);
});

await check("served uncompressed, the first page on a phone's profile (a figure)", async () => {
  await fastestLoad(`${server.url}plain/`, "phone, uncompressed");
});

await browser.close();
await closeServers();
limit.stop();
results.finish();

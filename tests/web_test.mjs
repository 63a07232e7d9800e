// The web test: the web build (scripts/build-web) in three engines, the same checks in each:
// Chromium (web_chromium.mjs), Firefox ESR (web_firefox.mjs) and WebKitGTK
// (web_webkit.mjs). Each runs the site served from 127.0.0.1 and the one-file page opened
// from file://. Each page must equal docs/page-N.png in every pixel after real key presses and a
// click; lone modifiers and clicks beside the canvas turn nothing; the page is idle while it
// waits; the canvas fits a phone's screen whole and a tap turns the page; the text alternative
// names each page's triangles; the end and a failure are said on the page; no page or console
// error. Where an engine cannot do a thing it is told to, its line says so and what was done
// instead. Prints one line per check, each engine's version and figures, and "N passed, M failed".
//
// An engine module exports start(home, spawned, modules): it starts the browser with its
// temporary files in `home`, adds every process it spawns itself to `spawned` (the test ends
// them), takes npm packages from `modules`, and resolves to
//   { name, version, cannotPress: {key: why}, isContentProcess(commandLine), open(url, screen),
//     stop() }
// where isContentProcess tells the browser's processes that run pages by their command line, and
// open(url, {width, height, scale, phone, initScript}) loads url in a fresh page of that size,
// device scale (and, for a phone, touch), initScript run before the page's own scripts (or as
// soon as the engine can reach the page, which the script notices), resolving to a page:
//   { evaluate(expression), press(key, held), click(x, y), tap(x, y), screenshot(), errors(),
//     notes, close() }
// with keys named by KeyboardEvent.key, points in CSS pixels of the viewport, the screenshot a
// PNG of the viewport, errors() what the page and its console reported, the engine's
// errorsFrom saying where they come from when that is not the console, and notes (if any) what
// the engine's driver could not do in opening the page, said on the line of the check.
// Usage: node tests/web_test.mjs [BUILD_FOLDER [ENGINE...]]  (default build-web and chromium
// firefox webkit; the npm packages installed by `npm ci` in BUILD_FOLDER/test from
// tests/package.json)
import { mkdtempSync, readFileSync, readdirSync, rmSync } from "node:fs";
import os from "node:os";
import path from "node:path";
import { setTimeout as sleep } from "node:timers/promises";
import { pathToFileURL } from "node:url";
import { checker, differingPixels, expect, run, serveSite, theBuild, timeLimit }
  from "./web_support.mjs";

const { build, site, oneFile, modules } = theBuild();
const ENGINES = ["chromium", "firefox", "webkit"];
const engines = process.argv.length > 3 ? process.argv.slice(3) : ENGINES;
const TRIANGLES_PER_PAGE = [9, 9, 9, 6];
const PERIMETER = 40;
const ENGINE_LIMIT_MS = 240000; // one engine's whole run, whatever hangs
const WAIT_LIMIT_MS = 20000; // for one thing to show on the page
const IDLE_GOAL_MS_PER_S = 20; // main-thread time while waiting
const IDLE_SECONDS = 8; // the longest it may take to get there after loading
const SETTLE_MS = 300; // for a page that would turn by mistake to have turned
const LOADS = 5; // timed loads of the site
const FIRST_PAGE_LIMIT_MS = 3000; // median; the goal is 1 s, this catches what is broken
// A common laptop's window (1366 x 768 less the browser's own bars): the page at its own size.
const DESKTOP = { width: 1366, height: 650, scale: 1 };
const PHONE = { width: 390, height: 844, scale: 3, phone: true };
const MODIFIERS = ["Shift", "Control", "Alt", "Meta", "CapsLock"];

// Each check's lines begin with the engine's name; the pages a check opened are closed when it
// ends, however it ends.
const results = checker();
const { check } = results;
let opened = [];
results.cleanup = async () => {
  await Promise.all(opened.map((page) => page.close().catch(() => {})));
  opened = [];
};

// The site, served as a host that serves precompressed files does; /missing-font/ and
// /broken-font/ serve it without the font or with a file that is no font in its place.
const server = await serveSite(site);
const siteUrl = server.url;

// The processes an engine spawned itself, each leading a process group of its own: ended with
// their groups (what they started in turn) when the engine is done, or the test ends early.
let spawned = [];
let home = null;
function endSpawned() {
  for (const child of spawned) {
    try {
      process.kill(-child.pid, "SIGKILL");
    } catch {
      // already gone
    }
  }
  spawned = [];
  if (home) {
    rmSync(home, { recursive: true, force: true });
    home = null;
  }
}
process.on("exit", endSpawned);
for (const [signal, status] of [["SIGINT", 130], ["SIGTERM", 143], ["SIGHUP", 129]]) {
  process.on(signal, () => process.exit(status));
}

// Run before the page's own scripts: when the first page was described (performance.now()).
// Where it runs only once the page has loaded, a page already described is noted as late.
const WATCH_FIRST_PAGE = `(() => {
  const described = () => document.getElementById("description")?.textContent;
  if (described()) {
    window.firstPageAt = performance.now();
    window.firstPageLate = true;
    return;
  }
  new MutationObserver((changes, observer) => {
    if (described()) {
      window.firstPageAt = performance.now();
      observer.disconnect();
    }
  }).observe(document, { subtree: true, childList: true, characterData: true });
})()`;

async function waitFor(page, fn, ...args) {
  for (const start = Date.now(); ; await sleep(50)) {
    const value = await run(page, fn, ...args);
    if (value) {
      return value;
    }
    expect(Date.now() - start < WAIT_LIMIT_MS, `waited ${WAIT_LIMIT_MS / 1000} s for ${fn}`);
  }
}
const description = (page) => run(page, () => document.getElementById("description").textContent);
const shown = (page, n) => waitFor(page, (n) =>
  document.getElementById("description").textContent.startsWith(`Page ${n} of 4:`), n);
const canvasBox = (page) => run(page, () => {
  const box = document.getElementById("pages").getBoundingClientRect();
  return { x: box.x, y: box.y, width: box.width, height: box.height };
});

async function expectPage(page, n) {
  await shown(page, n);
  const differing = await differingPixels(page, n);
  expect(differing === 0, `page ${n}: ${differing} pixels differ from docs/page-${n}.png`);
}

// Every label of the text alternative is a triangle with perimeter 40, as many as the page has.
function namedTriangles(text, n) {
  const labels = [...text.matchAll(/\((\d+) (\d+) (\d+)\)/g)].map((m) => m.slice(1).map(Number));
  expect(labels.length === TRIANGLES_PER_PAGE[n - 1], `page ${n} names ${labels.length}: ${text}`);
  for (const [a, b, c] of labels) {
    expect(a >= b && b >= c && a < b + c && a + b + c === PERIMETER, `(${a} ${b} ${c}) on page ${n}`);
  }
  return labels.map((sides) => sides.join(" "));
}

// CPU time of the main threads of the engine's page processes (its processes below this one),
// in nanoseconds, by process id.
function mainThreadTimes(isContentProcess) {
  const parents = new Map();
  const commandLines = new Map();
  for (const pid of readdirSync("/proc").filter((name) => /^\d+$/.test(name))) {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, "utf8");
      parents.set(pid, stat.slice(stat.lastIndexOf(")") + 2).split(" ")[1]);
      commandLines.set(pid, readFileSync(`/proc/${pid}/cmdline`, "utf8").replace(/\0/g, " "));
    } catch {
      // ended meanwhile
    }
  }
  const ours = (pid) => {
    for (let up = parents.get(pid); up; up = parents.get(up)) {
      if (up === String(process.pid)) {
        return true;
      }
    }
    return false;
  };
  const times = new Map();
  for (const [pid, commandLine] of commandLines) {
    if (isContentProcess(commandLine) && ours(pid)) {
      try {
        const ns = Number(readFileSync(`/proc/${pid}/task/${pid}/schedstat`, "utf8").split(" ")[0]);
        times.set(pid, { ns });
      } catch {
        // ended meanwhile
      }
    }
  }
  return times;
}
// The page's own process: the one of the engine's page processes whose main thread ran most
// while the page ran a busy loop of a fifth of a second (on a busy machine, a share of that).
async function pageProcess(browser, page) {
  const before = mainThreadTimes(browser.isContentProcess);
  await run(page, (ms) => {
    for (const start = performance.now(); performance.now() - start < ms;) {
      // busy
    }
  }, 200);
  let found = { pid: null, ns: 0 };
  for (const [pid, { ns }] of mainThreadTimes(browser.isContentProcess)) {
    if (before.has(pid) && ns - before.get(pid).ns > found.ns) {
      found = { pid, ns: ns - before.get(pid).ns };
    }
  }
  expect(found.ns > 10e6, `found no process of the engine's that ran the page (of ${before.size})`);
  return found.pid;
}

// Milliseconds a second that the page's main thread runs while it waits, second by second until
// one stays under the goal: a browser does work of its own for some seconds after loading a
// program (WebKitGTK 15-20 ms a second for three seconds), while a page that worked as it waits
// would be busy in every second.
async function mainThreadMsPerSecond(browser, page) {
  const pid = await pageProcess(browser, page);
  const time = () => [process.hrtime.bigint(), mainThreadTimes(browser.isContentProcess).get(pid)];
  const seconds = [];
  while (seconds.length < IDLE_SECONDS && !(seconds.at(-1) < IDLE_GOAL_MS_PER_S)) {
    const [start, before] = time();
    await sleep(1000);
    const [end, after] = time();
    expect(before && after, `the page's process ${pid} ended`);
    seconds.push((after.ns - before.ns) / 1e6 / (Number(end - start) / 1e9));
  }
  return { quiet: seconds.at(-1), seconds, pid };
}

// Presses the lone modifiers: each must reach the page as itself, and none may turn the page.
// A key the engine cannot send is dispatched by a script instead, and the line says so.
async function pressModifiers(browser, page, note) {
  await run(page, () => {
    window.keysSeen = [];
    addEventListener("keydown", (event) => window.keysSeen.push(`${event.key} ${event.code}`), true);
  });
  for (const key of MODIFIERS) {
    if (browser.cannotPress[key]) {
      note(`${key} dispatched by a script: ${browser.cannotPress[key]}`);
      await run(page, (key) => ["keydown", "keyup"].forEach((type) => document.body.dispatchEvent(
        new KeyboardEvent(type, { key, code: key, bubbles: true }))), key);
    } else {
      await page.press(key);
    }
  }
  const seen = await run(page, () => window.keysSeen);
  MODIFIERS.forEach((key, i) => {
    expect(seen[i], `${key} never reached the page (it saw: ${seen.join(", ")})`);
    if (seen[i].split(" ")[0] !== key) {
      note(`${key} reached the page as ${seen[i]}`);
    }
  });
}

async function expectNoErrors(browser, page, note) {
  const errors = await page.errors();
  if (browser.errorsFrom) {
    note(`errors as recorded by ${browser.errorsFrom}`);
  }
  expect(errors.length === 0, `errors: ${errors.join(" | ")}`);
  expect(await run(page, () => document.getElementById("status").className !== "failure"),
    `the page says: ${await run(page, () => document.getElementById("status").textContent)}`);
}

async function expectEnd(page) {
  await page.press(" ");
  await waitFor(page, () => /run has ended/.test(document.getElementById("status").textContent));
  expect(await run(page, () => [...document.querySelectorAll("#status a")]
    .filter((link) => link.textContent === "Start again").length === 1), "no way to start again");
}

async function checks(browser) {
  const open = async (url, screen = DESKTOP) => {
    const page = await browser.open(url, { ...screen, initScript: WATCH_FIRST_PAGE });
    opened.push(page);
    (page.notes || []).forEach(results.note);
    return page;
  };
  const close = async (page) => {
    opened = opened.filter((other) => other !== page);
    await page.close();
  };

  await check("the site: four pages pixel for pixel after keys and a click, the text alternative, the end", async (note) => {
    const page = await open(siteUrl);
    const named = new Set();
    await expectPage(page, 1);
    namedTriangles(await description(page), 1).forEach((label) => named.add(label));
    await pressModifiers(browser, page, note);
    const box = await canvasBox(page);
    await page.click(box.x + box.width + 50, box.y + 10); // beside the canvas
    await page.click(box.x + 10, box.y + box.height + 15); // on the line below it
    await sleep(SETTLE_MS);
    expect((await description(page)).startsWith("Page 1 of 4:"), "a lone modifier or a click beside the canvas turned the page");
    await expectPage(page, 1);
    const idle = await mainThreadMsPerSecond(browser, page);
    const each = idle.seconds.map((ms) => ms.toFixed(1)).join(", ");
    results.figures.push(`main-thread time while waiting: ${idle.quiet.toFixed(1)} ms a second` +
      (idle.seconds.length > 1 ? ` (second by second: ${each})` : ""));
    expect(idle.quiet < IDLE_GOAL_MS_PER_S, `busy while waiting in each of ${IDLE_SECONDS} ` +
      `seconds: ${each} ms (process ${idle.pid})`);
    const turns = [() => page.press("a"), () => page.click(box.x + box.width / 2, box.y + box.height / 2),
      () => page.press("B", ["Shift"])];
    for (let n = 2; n <= 4; ++n) {
      await turns[n - 2]();
      await expectPage(page, n);
      namedTriangles(await description(page), n).forEach((label) => named.add(label));
    }
    expect(named.size === 33, `the pages named ${named.size} different triangles`);
    await expectEnd(page);
    await expectNoErrors(browser, page, note);
    await close(page);
  });

  await check("the one-file page from file://: four pages pixel for pixel, the end", async (note) => {
    expect(oneFile, `no triangles-*-web.html in ${build}`);
    const page = await open(pathToFileURL(path.join(build, oneFile)).href);
    for (let n = 1; n <= 4; ++n) {
      await expectPage(page, n);
      await page.press(n % 2 ? "Enter" : "x");
    }
    await waitFor(page, () => /run has ended/.test(document.getElementById("status").textContent));
    await expectNoErrors(browser, page, note);
    await close(page);
  });

  await check("on a phone the canvas fits whole, unsmoothed, and a tap turns the page", async (note) => {
    const page = await open(siteUrl, PHONE);
    await shown(page, 1);
    const screen = await run(page, () => ({ width: innerWidth, height: innerHeight,
      scale: devicePixelRatio, touchPoints: navigator.maxTouchPoints }));
    if (screen.width !== PHONE.width || screen.height !== PHONE.height) {
      note(`the window could be no smaller than ${screen.width} x ${screen.height}`);
    }
    if (screen.touchPoints === 0) {
      note("the page sees no touch screen");
    }
    expect(screen.scale === PHONE.scale, `the device pixel ratio is ${screen.scale}`);
    const fits = await run(page, () => {
      const box = document.getElementById("pages").getBoundingClientRect();
      return box.left >= 0 && box.top >= 0 && box.right <= innerWidth && box.bottom <= innerHeight &&
        Math.abs(box.width * 3 - box.height * 4) < 4 &&
        getComputedStyle(document.getElementById("pages")).imageRendering === "pixelated";
    });
    expect(fits, "the canvas does not fit the screen whole, or is smoothed on a dense screen");
    await run(page, () => {
      window.pointersSeen = [];
      document.getElementById("pages").addEventListener("pointerdown",
        (event) => window.pointersSeen.push(event.pointerType));
    });
    const box = await canvasBox(page);
    await page.tap(box.x + box.width / 2, box.y + box.height / 2);
    await shown(page, 2);
    const pointers = await run(page, () => window.pointersSeen);
    if (pointers.join() !== "touch") {
      note(`the tap reached the page as a pointer of type ${pointers.join(", ") || "none"}`);
    }
    await expectNoErrors(browser, page, note);
    await close(page);
  });

  await check("a missing or broken font is said on the page in one line", async () => {
    for (const [variant, said] of [["missing-font", /^Couldn't load font \S+times\.ttf: 404 /],
      ["broken-font", /^Couldn't load font \/times\.ttf: not a usable TrueType font/]]) {
      const page = await open(`${siteUrl}${variant}/`);
      await waitFor(page, () => document.getElementById("status").className === "failure");
      const line = await run(page, () => document.getElementById("status").textContent);
      expect(said.test(line), `${variant}: "${line}"`);
      await close(page);
    }
  });

  await check(`the first page after navigation, ${LOADS} loads`, async (note) => {
    const times = [];
    let late = 0;
    for (let load = 0; load < LOADS; ++load) {
      const page = await open(siteUrl);
      await shown(page, 1);
      const [at, wasLate] = await run(page, () => [window.firstPageAt, window.firstPageLate]);
      times.push(at);
      late += wasLate ? 1 : 0;
      await close(page);
    }
    if (late > 0) {
      note(`in ${late} of ${LOADS} loads the first page was up before the test could watch: ` +
        "their time is when it looked");
    }
    times.sort((a, b) => a - b);
    const median = times[LOADS >> 1];
    results.figures.push(`first page after navigation: median ${Math.round(median)} ms ` +
      `(${times.map(Math.round).join(", ")})`);
    expect(median < FIRST_PAGE_LIMIT_MS, `the first page took ${Math.round(median)} ms`);
  });
}

// One engine from start to stop; a missing or broken engine is a failure, never a skip.
async function test(name) {
  const started = Date.now();
  const [passed, failed] = [results.passed, results.failed];
  results.prefix = `${name}: `;
  results.figures = [];
  home = mkdtempSync(path.join(os.tmpdir(), `triangles-${name}-`));
  const limit = timeLimit(ENGINE_LIMIT_MS, name);
  let browser = null;
  try {
    const { start } = await import(`./web_${name}.mjs`);
    browser = await start(home, spawned, modules);
  } catch (error) {
    results.fail(`${name}: ${error.message.split("\n")[0]}`);
  }
  if (browser) {
    results.prefix = `${browser.name}: `;
    console.log(`# ${browser.name} ${browser.version}`);
    await checks(browser);
    await Promise.race([browser.stop().catch(() => {}), sleep(10000, null, { ref: false })]);
  }
  endSpawned();
  limit.stop();
  results.figures.forEach((figure) => console.log(`# ${results.prefix}${figure}`));
  console.log(`# ${results.prefix}${results.passed - passed} passed, ${results.failed - failed} ` +
    `failed, in ${((Date.now() - started) / 1000).toFixed(1)} s`);
}

for (const name of engines) {
  if (ENGINES.includes(name)) {
    await test(name);
  } else {
    results.fail(`Couldn't test ${name}: the engines are ${ENGINES.join(", ")}`);
  }
}
await server.close();
results.prefix = "";
results.figures = [];
results.finish();

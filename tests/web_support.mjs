// What the web tests share, so that each test file holds only its checks: the build under test
// (its site, its one-file page, the npm packages installed beside it), a time limit for a whole
// test, the runner of checks, Chromium as every test starts it, the site served over HTTP as a
// host that serves precompressed files does (a request that accepts gzip gets FILE.gz where the
// site has one, marked Content-Encoding: gzip; any other gets FILE itself), and the comparison of
// a page with docs/page-N.png.
import { createServer } from "node:http";
import { readFileSync, readdirSync } from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import { fileURLToPath } from "node:url";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "..");

// The build folder the command line names (build-web by default): its site, its one-file page
// (or undefined), and `modules`, which loads the npm packages installed in its test folder.
export function theBuild() {
  const build = path.resolve(process.argv[2] || path.join(root, "build-web"));
  return { build, site: path.join(build, "site"),
    oneFile: readdirSync(build).find((name) => /^triangles-.*-web\.html$/.test(name)),
    modules: createRequire(path.join(build, "test", "package.json")) };
}

// Ends the test with a failure line unless it has finished (stop()) within `ms`.
export function timeLimit(ms, what = "the test") {
  const timer = setTimeout(() => {
    console.log(`not ok - ${what} did not finish within ${ms / 1000} s`);
    process.exit(1);
  }, ms);
  return { stop: () => clearTimeout(timer) };
}

// The runner: one line per check, "ok - NAME" or "not ok - NAME: why", each with the notes its
// body made through the function it is given, or later through note() (what could not be done as
// asked, and what was done instead), and begun with `prefix` (an engine's name, say). `cleanup`,
// if set, runs after every check, however it ended. finish() prints the `figures` and
// "N passed, M failed", and sets the exit status.
export function checker() {
  const results = { passed: 0, failed: 0, figures: [], prefix: "", cleanup: null,
    note: () => {} };
  results.check = async (name, body) => {
    const notes = [];
    const noted = () => (notes.length ? ` (${notes.join("; ")})` : "");
    results.note = (note) => notes.includes(note) || notes.push(note);
    try {
      await body(results.note);
      results.passed += 1;
      console.log(`ok - ${results.prefix}${name}${noted()}`);
    } catch (error) {
      results.failed += 1;
      console.log(`not ok - ${results.prefix}${name}${noted()}: ${error.message.split("\n")[0]}`);
    }
    await results.cleanup?.();
  };
  results.fail = (what) => {
    results.failed += 1;
    console.log(`not ok - ${what}`);
  };
  results.finish = () => {
    results.figures.forEach((figure) => console.log(`# ${figure}`));
    console.log(`${results.passed} passed, ${results.failed} failed`);
    process.exitCode = results.failed === 0 ? 0 : 1;
  };
  return results;
}

export function expect(condition, what) {
  if (!condition) {
    throw new Error(what);
  }
}

// Runs `fn` in the page with `args` (each passed as JSON); what it returns, awaited.
export const run = (page, fn, ...args) => page.evaluate(`(${fn})(...${JSON.stringify(args)})`);

// Chromium as the web tests start it (playwright's launch options): headless, sandboxed unless
// run as root, without the background traffic that would share the network with the page.
export const CHROMIUM = {
  executablePath: "/usr/bin/chromium",
  chromiumSandbox: process.getuid() !== 0,
  args: ["--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
    "--disable-component-update", "--disable-sync"],
};

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
  ".css": "text/css", ".svg": "image/svg+xml", ".png": "image/png", ".ttf": "font/ttf",
  ".txt": "text/plain", ".webmanifest": "application/manifest+json" };

function read(file) {
  try {
    return readFileSync(file);
  } catch {
    return null;
  }
}

// Serves `folder` (changeable later through served.folder) on 127.0.0.1 until close(), on `port`
// (any free one by default). A path under /plain/ is the same file never compressed; under
// /missing-font/ or /broken-font/, the site without its font or with a file that is no font in
// its place; `missing` names files to answer 404 for.
const open = new Set();
export async function serveSite(folder, port = 0) {
  const served = { folder, missing: new Set(), requests: [] };
  const server = createServer((request, response) => {
    let name = decodeURIComponent(new URL(request.url, "http://x").pathname);
    const variant = /^\/(plain|missing-font|broken-font)\//.exec(name)?.[1];
    name = variant ? name.slice(variant.length + 1) : name;
    if (name.endsWith("/")) {
      name += "index.html";
    }
    if (name === "/times.ttf" && variant?.endsWith("-font")) {
      name = variant === "broken-font" ? "/page.css" : "/no-such-file";
    }
    served.requests.push(name);
    const file = path.join(served.folder, path.normalize(name));
    const headers = { "Content-Type": TYPES[path.extname(name)] || "application/octet-stream",
      "Cache-Control": "no-cache", Vary: "Accept-Encoding" };
    let body = null;
    if (!served.missing.has(name)) {
      if (variant !== "plain" && /\bgzip\b/.test(request.headers["accept-encoding"] || "")) {
        body = read(`${file}.gz`);
        if (body) {
          headers["Content-Encoding"] = "gzip";
        }
      }
      body = body || read(file);
    }
    if (!body) {
      response.writeHead(404, { "Content-Type": "text/plain" });
      response.end("not found");
      return;
    }
    response.writeHead(200, headers);
    response.end(body);
  });
  server.keepAliveTimeout = 1000;
  await new Promise((resolve) => server.listen(port, "127.0.0.1", resolve));
  served.port = server.address().port;
  served.url = `http://127.0.0.1:${server.address().port}/`;
  served.close = () => new Promise((resolve) => {
    open.delete(served);
    server.close(() => resolve());
    server.closeAllConnections();
  });
  open.add(served);
  return served;
}
// Closes every server still open (those a failed check left), so that the test can end.
export const closeServers = () => Promise.all([...open].map((served) => served.close()));

// How many pixels of the canvas, as a screenshot of the page's viewport shows it, differ from
// docs/page-N.png (both decoded by the browser itself); `page` has evaluate(expression) and
// screenshot(), a PNG of the viewport, as playwright's pages and the web test's engines do. The
// screenshot waits for two frames to be drawn: a driver may otherwise take the picture of a frame
// drawn before the page turned.
const expectedPages = [1, 2, 3, 4].map((n) =>
  readFileSync(path.join(root, "docs", `page-${n}.png`)).toString("base64"));
export async function differingPixels(page, n) {
  await run(page, () => new Promise((resolve) =>
    requestAnimationFrame(() => requestAnimationFrame(resolve))));
  const picture = (await page.screenshot()).toString("base64");
  return run(page, async (got, want) => {
    const decode = async (png) =>
      createImageBitmap(await (await fetch(`data:image/png;base64,${png}`)).blob());
    const pixels = (bitmap, x, y, width, height) => {
      const canvas = new OffscreenCanvas(width, height);
      const context = canvas.getContext("2d");
      context.drawImage(bitmap, -x, -y);
      return context.getImageData(0, 0, width, height).data;
    };
    const [shot, page] = [await decode(got), await decode(want)];
    const box = document.getElementById("pages").getBoundingClientRect();
    const scale = devicePixelRatio;
    if (box.width * scale !== page.width || box.height * scale !== page.height) {
      return `a ${box.width * scale}x${box.height * scale} canvas`;
    }
    const a = pixels(shot, box.x * scale, box.y * scale, page.width, page.height);
    const b = pixels(page, 0, 0, page.width, page.height);
    let differing = 0;
    for (let i = 0; i < a.length; i += 4) {
      differing += a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2] ? 1 : 0;
    }
    return differing;
  }, picture, expectedPages[n - 1]);
}

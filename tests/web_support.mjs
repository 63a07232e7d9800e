// What the web tests share: the site served over HTTP as a host that serves
// precompressed files does (a request that accepts gzip gets FILE.gz where the site has one,
// marked Content-Encoding: gzip; any other gets FILE itself), Debian's Chromium, headless, their
// checks and figures, and the comparison of the canvas with docs/page-N.png.
import { createServer } from "node:http";
import { readFileSync } from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
  ".css": "text/css", ".svg": "image/svg+xml", ".png": "image/png", ".ttf": "font/ttf",
  ".txt": "text/plain", ".webmanifest": "application/manifest+json" };

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
    const plain = variant === "plain";
    served.requests.push(name);
    const file = path.join(served.folder, path.normalize(name));
    const headers = { "Content-Type": TYPES[path.extname(name)] || "application/octet-stream",
      "Cache-Control": "no-cache", Vary: "Accept-Encoding" };
    let body = null;
    if (!served.missing.has(name)) {
      if (!plain && /\bgzip\b/.test(request.headers["accept-encoding"] || "")) {
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

function read(file) {
  try {
    return readFileSync(file);
  } catch {
    return null;
  }
}

// Chromium as the web test starts it: headless, sandboxed unless run as root, without the
// background traffic that would share the network with the page.
export const CHROMIUM = {
  executablePath: "/usr/bin/chromium",
  chromiumSandbox: process.getuid() !== 0,
  args: ["--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
    "--disable-component-update", "--disable-sync"],
};

// One line per check, "N passed, M failed" at the end.
export function checker() {
  const results = { passed: 0, failed: 0, figures: [] };
  results.check = async (name, body) => {
    try {
      await body();
      results.passed += 1;
      console.log(`ok - ${name}`);
    } catch (error) {
      results.failed += 1;
      console.log(`not ok - ${name}: ${error.message.split("\n")[0]}`);
    }
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

// How many pixels of the canvas differ from docs/page-N.png (decoded by the browser itself; the
// canvas shot at one device pixel per CSS pixel, as the test's pages are).
const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "..");
export const expectedPages = [1, 2, 3, 4].map((n) =>
  readFileSync(path.join(root, "docs", `page-${n}.png`)).toString("base64"));
export async function differingPixels(page, n) {
  const picture = (await page.locator("canvas").screenshot()).toString("base64");
  return page.evaluate(async ([got, want]) => {
    const decode = async (png) => {
      const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${png}`)).blob());
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const context = canvas.getContext("2d");
      context.drawImage(bitmap, 0, 0);
      return context.getImageData(0, 0, bitmap.width, bitmap.height);
    };
    const [a, b] = [await decode(got), await decode(want)];
    if (a.width !== b.width || a.height !== b.height) {
      return `a ${a.width}x${a.height} picture`;
    }
    let differing = 0;
    for (let i = 0; i < a.data.length; i += 4) {
      differing += a.data[i] !== b.data[i] || a.data[i + 1] !== b.data[i + 1] ||
        a.data[i + 2] !== b.data[i + 2] ? 1 : 0;
    }
    return differing;
  }, [picture, expectedPages[n - 1]]);
}

// WebKitGTK for the web test (web_test.mjs): Debian's MiniBrowser driven by
// WebKitWebDriver over W3C WebDriver, with a small client on node's fetch. MiniBrowser has no
// headless mode, so it runs in an Xvfb of its own; a device scale needs a driver of its own too,
// as GTK takes it from GDK_SCALE when the browser starts. Every page is a fresh session, a
// fresh MiniBrowser, as a fresh context is in the other engines. What this driver cannot do:
// send Caps Lock (WebDriver has no key for it), touch (a touch pointer arrives as a mouse), run a
// script before the page's own, and report console messages (automation sessions are private,
// and WebKit prints no console of a private session): a script put into the page as soon as its
// document is there records the errors from then on.
import { spawn } from "node:child_process";
import { mkdirSync } from "node:fs";
import { createServer } from "node:net";
import path from "node:path";
import { setTimeout as sleep } from "node:timers/promises";

const DRIVER = "/usr/bin/WebKitWebDriver";
const START_LIMIT_MS = 20000;
const COMMAND_LIMIT_MS = 40000; // a script may take 30 s, the driver's own limit
const SAID_KEPT = 2000;
const said = { text: "" }; // the end of what the drivers and browsers wrote
// The last lines the drivers or browsers wrote, for a failure's message.
const lastSaid = () => said.text.trim().split("\n").slice(-3).join(" | ") || "nothing";
// What Xvfb, the drivers, MiniBrowser and WebKit's processes write is read as it comes (a pipe
// left full would stop them), its end kept.
const keepSaid = (stream) => stream.on("data", (data) => {
  said.text = (said.text + data).slice(-SAID_KEPT);
});
// WebDriver's codes for the named keys the test presses (WebDriver has none for Caps Lock).
const KEYS = { Shift: "\uE008", Control: "\uE009", Alt: "\uE00A", Meta: "\uE03D", Enter: "\uE007",
  " ": "\uE00D" };

// What the page's scripts report from the moment it is installed: uncaught errors, failed
// resources, rejected promises and console.error.
const RECORDER = `(() => {
  if (window.recordedErrors) return;
  const errors = window.recordedErrors = [];
  addEventListener("error", (event) => errors.push(event.message ||
    \`\${event.target.tagName} \${event.target.src || event.target.href} failed\`), true);
  addEventListener("unhandledrejection", (event) => errors.push(String(event.reason)));
  const consoleError = console.error;
  console.error = (...args) => { errors.push(args.join(" ")); consoleError.apply(console, args); };
})()`;

const freePort = () => new Promise((resolve, reject) => {
  const server = createServer().listen(0, "127.0.0.1", () => {
    const { port } = server.address();
    server.close(() => resolve(port));
  }).on("error", reject);
});

// An X server of the test's own: Xvfb picks a free display and names it once it is ready.
function startXvfb(spawned) {
  const xvfb = spawn("Xvfb", ["-displayfd", "3", "-nolisten", "tcp", "-screen", "0",
    "1920x2700x24"], { stdio: ["ignore", "ignore", "pipe", "pipe"], detached: true });
  spawned.push(xvfb);
  keepSaid(xvfb.stderr);
  return new Promise((resolve, reject) => {
    let number = "";
    xvfb.stdio[3].on("data", (data) => {
      number += data;
      if (number.includes("\n")) {
        resolve(`:${number.trim()}`);
      }
    });
    xvfb.on("error", (error) => reject(new Error(`Couldn't start Xvfb: ${error.message}`)));
    xvfb.on("exit", (status) => reject(new Error(`Couldn't start Xvfb: it exited with ${status}`)));
  });
}

// One WebKitWebDriver, for sessions at one device scale.
async function startDriver(spawned, display, scale, home) {
  const port = await freePort();
  const env = { ...process.env, DISPLAY: display, GDK_BACKEND: "x11", GDK_SCALE: String(scale),
    NO_AT_BRIDGE: "1", HOME: home, TMPDIR: home, XDG_CACHE_HOME: path.join(home, "cache"),
    XDG_CONFIG_HOME: path.join(home, "config"), XDG_DATA_HOME: path.join(home, "data") };
  const driver = spawn(DRIVER, [`--port=${port}`], { env, stdio: ["ignore", "pipe", "pipe"],
    detached: true });
  spawned.push(driver);
  keepSaid(driver.stdout);
  keepSaid(driver.stderr);
  let failure = null;
  driver.on("error", (error) => { failure = `${DRIVER}: ${error.message}`; });
  driver.on("exit", (status) => { failure = `${DRIVER} exited with ${status}`; });
  const url = `http://127.0.0.1:${port}`;
  for (const start = Date.now(); Date.now() - start < START_LIMIT_MS; await sleep(50)) {
    if (failure) {
      throw new Error(`Couldn't start WebKitGTK: ${failure}`);
    }
    try {
      if ((await (await fetch(`${url}/status`)).json()).value.ready) {
        return url;
      }
    } catch {
      // not listening yet
    }
  }
  throw new Error(`Couldn't start WebKitGTK: ${DRIVER} did not answer within ${START_LIMIT_MS} ms`);
}

async function command(url, method, body) {
  const response = await fetch(url, { method, headers: { "Content-Type": "application/json" },
    body: body === undefined ? undefined : JSON.stringify(body),
    signal: AbortSignal.timeout(COMMAND_LIMIT_MS) }).catch((error) => {
    throw new Error(`WebDriver ${method} ${new URL(url).pathname}: ${error.message} ` +
      `(WebKit last said: ${lastSaid()})`);
  });
  const { value } = await response.json();
  if (value && value.error) {
    throw new Error(`WebDriver ${method} ${new URL(url).pathname}: ${value.error}: ` +
      `${value.message} (WebKit last said: ${lastSaid()})`);
  }
  return value;
}

export async function start(home, spawned) {
  mkdirSync(home, { recursive: true });
  const display = await startXvfb(spawned);
  const drivers = new Map(); // device scale -> the driver's address
  const driverFor = async (scale) => {
    if (!drivers.has(scale)) {
      drivers.set(scale, startDriver(spawned, display, scale, home));
    }
    return drivers.get(scale);
  };
  // The version, from a first session (MiniBrowser is what the driver starts).
  const first = await command(`${await driverFor(1)}/session`, "POST", { capabilities: {} });
  await command(`${await driverFor(1)}/session/${first.sessionId}`, "DELETE");
  const sessions = new Set();

  async function open(url, screen) {
    const created = await command(`${await driverFor(screen.scale)}/session`, "POST",
      { capabilities: { alwaysMatch: { pageLoadStrategy: "none" } } });
    const base = `${await driverFor(screen.scale)}/session/${created.sessionId}`;
    const call = (method, where, body) => command(`${base}${where}`, method, body);
    sessions.add(call);
    const evaluate = async (expression) => {
      const result = await call("POST", "/execute/async", { args: [], script: `
        const done = arguments[arguments.length - 1];
        Promise.resolve().then(() => (${expression})).then((value) => done({ value }),
          (error) => done({ error: String(error && error.stack || error) }));` });
      if (result.error) {
        throw new Error(result.error);
      }
      return result.value;
    };
    // The window is its toolbar and the page below it; its width has a floor, the toolbar's.
    const toolbar = await evaluate("outerHeight - innerHeight");
    await call("POST", "/window/rect", { width: screen.width, height: screen.height + toolbar });
    // The recorder and the script to run first go in as soon as the page's document is there:
    // navigating returns at once (page load strategy "none"), and the test asks until it is.
    await call("POST", "/url", { url });
    const install = `location.href === ${JSON.stringify(url)} &&
      [${RECORDER}, ${screen.initScript || "0"}]`;
    for (const start = Date.now(); !(await evaluate(install).catch(() => false)); await sleep(5)) {
      if (Date.now() - start > START_LIMIT_MS) {
        throw new Error(`Couldn't load ${url} within ${START_LIMIT_MS} ms`);
      }
    }
    const actions = (list) => call("POST", "/actions", { actions: list });
    const pointer = (type, x, y) => actions([{ type: "pointer", id: type,
      parameters: { pointerType: type }, actions: [
        { type: "pointerMove", x: Math.round(x), y: Math.round(y), origin: "viewport" },
        { type: "pointerDown", button: 0 }, { type: "pointerUp", button: 0 }] }]);
    return {
      evaluate,
      async press(key, held = []) {
        const keys = [...held, key].map((name) => KEYS[name] || name);
        await actions([{ type: "key", id: "keyboard", actions: [
          ...keys.map((value) => ({ type: "keyDown", value })),
          ...keys.reverse().map((value) => ({ type: "keyUp", value }))] }]);
      },
      click: (x, y) => pointer("mouse", x, y),
      tap: (x, y) => pointer("touch", x, y),
      screenshot: async () => Buffer.from(await call("GET", "/screenshot"), "base64"),
      errors: () => evaluate("window.recordedErrors || ['the error recorder is gone']"),
      async close() {
        sessions.delete(call);
        await call("DELETE", "");
      },
    };
  }

  return {
    name: "WebKitGTK",
    version: `${first.capabilities.browserVersion} (${first.capabilities.browserName})`,
    cannotPress: { CapsLock: "WebDriver has no key for Caps Lock" },
    errorsFrom: "a script put into the page once its document is there " +
      "(WebKitWebDriver reports no console)",
    isContentProcess: (commandLine) => /^\S*\/WebKitWebProcess /.test(commandLine),
    open,
    async stop() {
      await Promise.all([...sessions].map((call) => call("DELETE", "").catch(() => {})));
    },
  };
}

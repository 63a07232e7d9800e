// Firefox ESR for the web test (web_test.mjs): Debian's firefox-esr, headless, with its
// own default settings, driven by puppeteer-core over WebDriver BiDi. Firefox is started here,
// not by puppeteer, whose launch sets preferences of its own (file:// origins among them); the
// profile only tells the remote agent to leave the settings alone. Each page gets a user
// context of its own (its own cookies and cache), as a fresh context in the other engines.
// WebDriver has no key for Caps Lock. What the test asks of WebDriver BiDi beyond the basics is
// looked up in the running Firefox (Debian 12's release has ESR 140, its security suite ESR 153):
// where a command is missing, what can be done without it is done, and the check's line says so.
import { spawn } from "node:child_process";
import { mkdirSync, writeFileSync } from "node:fs";
import path from "node:path";

const FIREFOX = "/usr/bin/firefox-esr";
const START_LIMIT_MS = 30000;

// Starts Firefox and waits for the line that gives the address of its WebDriver BiDi server.
function startFirefox(home, spawned) {
  const profile = path.join(home, "profile");
  mkdirSync(profile, { recursive: true });
  writeFileSync(path.join(profile, "user.js"), 'user_pref("remote.prefs.recommended", false);\n');
  const firefox = spawn(FIREFOX, ["--headless", "--no-remote", "--profile", profile,
    "--remote-debugging-port=0"], { env: { ...process.env, HOME: home, TMPDIR: home },
    stdio: ["ignore", "pipe", "pipe"], detached: true });
  spawned.push(firefox);
  return new Promise((resolve, reject) => {
    let said = "";
    const listen = (data) => {
      said = (said + data).slice(-4000);
      const address = /WebDriver BiDi listening on (ws:\/\/\S+)/.exec(said);
      if (address) {
        firefox.stdout.removeAllListeners("data");
        firefox.stderr.removeAllListeners("data");
        firefox.stdout.resume();
        firefox.stderr.resume();
        resolve(address[1]);
      }
    };
    firefox.stdout.on("data", listen);
    firefox.stderr.on("data", listen);
    const fail = (why) => reject(new Error(`Couldn't start Firefox ESR: ${why}`));
    firefox.on("error", (error) => fail(error.message));
    firefox.on("exit", (status) => fail(`it exited with ${status}`));
    setTimeout(() => fail(`no WebDriver BiDi address within ${START_LIMIT_MS} ms`), START_LIMIT_MS)
      .unref();
  });
}

// Whether this Firefox's WebDriver BiDi has `method`: one it lacks answers "unknown command"
// whatever the parameters, one it has refuses the empty ones given here.
async function offers(browser, method) {
  try {
    await browser.connection.send(method, {});
  } catch (error) {
    return !/unknown command/.test(error.message);
  }
  return true;
}

export async function start(home, spawned, modules) {
  const puppeteer = modules("puppeteer-core");
  const address = await startFirefox(home, spawned);
  const browser = await puppeteer.connect({ browserWSEndpoint: `${address}/session`,
    protocol: "webDriverBiDi" });
  // Firefox opens its first-run tabs; closing them keeps their pages from running beside ours.
  await Promise.all((await browser.pages()).map((page) => page.close().catch(() => {})));
  const version = (await browser.version()).replace(/^firefox\//, "");
  const orientation = await offers(browser, "emulation.setScreenOrientationOverride");

  async function open(url, screen) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    const errors = [];
    page.on("pageerror", (error) => errors.push(error.message));
    page.on("console", (message) => message.type() === "error" && errors.push(message.text()));
    const notes = [];
    if (orientation) {
      await page.setViewport({ width: screen.width, height: screen.height,
        deviceScaleFactor: screen.scale });
    } else {
      // Puppeteer's setViewport sends the orientation with it: the viewport goes alone.
      await page.mainFrame().browsingContext.setViewport({
        viewport: { width: screen.width, height: screen.height }, devicePixelRatio: screen.scale });
      notes.push(`Firefox ESR ${version} has no emulation.setScreenOrientationOverride: ` +
        "the orientation is left as it is");
    }
    if (screen.initScript) {
      await page.evaluateOnNewDocument(screen.initScript);
    }
    await page.goto(url);
    return {
      evaluate: (expression) => page.evaluate(expression),
      async press(key, held = []) {
        for (const name of held) {
          await page.keyboard.down(name);
        }
        await page.keyboard.press(key);
        for (const name of [...held].reverse()) {
          await page.keyboard.up(name);
        }
      },
      click: (x, y) => page.mouse.click(x, y),
      // A tap in one sequence of actions: puppeteer's sends the finger down and up in two
      // commands, and on a busy machine the time between them can make it a long press, which
      // no click follows.
      tap: (x, y) => page.mainFrame().browsingContext.performActions([{ type: "pointer",
        id: "finger", parameters: { pointerType: "touch" }, actions: [
          { type: "pointerMove", x: Math.round(x), y: Math.round(y), origin: "viewport" },
          { type: "pointerDown", button: 0 }, { type: "pointerUp", button: 0 }] }]),
      screenshot: async () => Buffer.from(await page.screenshot()),
      errors: async () => errors,
      notes,
      close: () => context.close(),
    };
  }

  return {
    name: "Firefox ESR",
    version,
    cannotPress: { CapsLock: "WebDriver BiDi has no key for Caps Lock" },
    isContentProcess: (commandLine) => commandLine.includes(" -isForBrowser "),
    open,
    stop: () => browser.close(),
  };
}

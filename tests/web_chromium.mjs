// Chromium for the web test (web_test.mjs): Debian's chromium, headless, driven by
// playwright-core over the Chrome DevTools Protocol, started as every web test starts it
// (web_support.mjs). Each page gets a context of its own (its own cookies and cache), with the
// screen it asks for: a phone's is a mobile one with touch.
import { CHROMIUM } from "./web_support.mjs";

export async function start(home, spawned, modules) {
  const { chromium } = modules("playwright-core");
  const browser = await chromium.launch({ ...CHROMIUM, env: { ...process.env, TMPDIR: home } })
    .catch((error) => {
      throw new Error(`Couldn't start Chromium: ${error.message.split("\n")[0]}`);
    });

  async function open(url, screen) {
    const context = await browser.newContext({
      viewport: { width: screen.width, height: screen.height }, deviceScaleFactor: screen.scale,
      isMobile: !!screen.phone, hasTouch: !!screen.phone });
    const page = await context.newPage();
    const errors = [];
    page.on("pageerror", (error) => errors.push(error.message));
    page.on("console", (message) => message.type() === "error" && errors.push(message.text()));
    if (screen.initScript) {
      await page.addInitScript(screen.initScript);
    }
    await page.goto(url);
    return {
      evaluate: (expression) => page.evaluate(expression),
      // Playwright names the space bar; it takes held keys joined by "+".
      press: (key, held = []) =>
        page.keyboard.press([...held, key === " " ? "Space" : key].join("+")),
      click: (x, y) => page.mouse.click(x, y),
      tap: (x, y) => page.touchscreen.tap(x, y),
      screenshot: () => page.screenshot(),
      errors: async () => errors,
      close: () => context.close(),
    };
  }

  return {
    name: "Chromium",
    version: browser.version(),
    cannotPress: {},
    // Renderers of web pages, not of the browser's own user interface.
    isContentProcess: (commandLine) => / --type=renderer /.test(commandLine) &&
      !/ --(top-chrome-webui|extension-process) /.test(commandLine),
    open,
    stop: () => browser.close(),
  };
}

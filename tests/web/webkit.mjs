// WebKitGTK, Safari's engine, for the web page's tests: Debian's WebKitWebDriver starts GNOME Web in its automation
// mode on a virtual screen and a session bus of their own (tools/screen.sh, dbus-run-session), and selenium-webdriver
// drives it through WebDriver classic. The browser and its pages answer the part of puppeteer's Browser and Page
// that the tests use, so that a test is written once for every engine.
//
// What WebDriver classic lacks, done otherwise: a script of the test's that runs before the page's own comes from
// the tests' server, which names it at the head of each page it sends (withPreload, preloadScript); that script
// records the page's console lines and uncaught errors, which each command then brings back. An alert is found
// when a command meets it, then read and accepted. The browser's own console lines (a refused or failed load)
// reach no script, and are not seen here.
import {spawn} from 'node:child_process';
import net from 'node:net';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {By, Key, WebDriver} from 'selenium-webdriver';
import {Executor, HttpClient} from 'selenium-webdriver/http/index.js';

const screen = path.join(path.dirname(fileURLToPath(import.meta.url)), '../../tools/screen.sh');
const pause = (milliseconds) => new Promise((resolve) => setTimeout(resolve, milliseconds));

// What every page runs first: its console lines and its uncaught errors, kept for the next command to take.
const recorder = `(function () {
  var log = (window.quillmarkTestLog = []);
  ['log', 'info', 'warn', 'error', 'debug'].forEach(function (type) {
    var write = console[type];
    console[type] = function () {
      log.push({type: type, text: Array.prototype.map.call(arguments, String).join(' ')});
      return write.apply(console, arguments);
    };
  });
  addEventListener('error', function (event) {
    log.push({error: event.message});
  });
  addEventListener('unhandledrejection', function (event) {
    log.push({error: String(event.reason && event.reason.message || event.reason)});
  });
})();
`;

// The page now being opened: the server's next page is its.
let opening = null;

// A page as the server sends it to WebKit: the tests' script named first in its head, a file of the site's own
// so that a strict host's policy allows it.
export function withPreload(html) {
  return html.replace(/<head>/i, '$&\n<script src="/quillmark-test-preload.js"></script>');
}

export function preloadScript() {
  return recorder + (opening ? opening.preloads.join('\n') : '');
}

// The keys puppeteer names, as WebDriver's.
const keys = {Control: Key.CONTROL, Shift: Key.SHIFT, Tab: Key.TAB, Enter: Key.ENTER, Backspace: Key.BACK_SPACE};
const keyOf = (name) => keys[name] || name;

class Element {
  constructor(page, element) {
    this.page = page;
    this.element = element;
  }

  click() {
    return this.page.command(() => this.element.click());
  }

  focus() {
    return this.evaluate((element) => element.focus());
  }

  async press(key) {
    await this.focus();
    await this.page.keyboard.press(key);
  }

  boundingBox() {
    return this.evaluate((element) => {
      const rect = element.getBoundingClientRect();
      return {x: rect.x, y: rect.y, width: rect.width, height: rect.height};
    });
  }

  evaluate(call, ...rest) {
    return this.page.evaluate(call, this, ...rest);
  }
}

class Page {
  constructor(browser, handle) {
    this.browser = browser;
    this.driver = browser.driver;
    this.handle = handle;
    this.preloads = [];
    this.listeners = {console: [], pageerror: [], dialog: []};
    this.keyboard = {
      down: (key) => this.act((actions) => actions.keyDown(keyOf(key))),
      up: (key) => this.act((actions) => actions.keyUp(keyOf(key))),
      press: (key) => this.act((actions) => actions.keyDown(keyOf(key)).keyUp(keyOf(key))),
      type: (text) => this.act((actions) => actions.sendKeys(text)),
    };
    this.mouse = {
      move: (x, y, {steps = 1} = {}) => this.act((actions) => actions.move({x: Math.round(x), y: Math.round(y),
        duration: steps * 16})),
      down: () => this.act((actions) => actions.press()),
      up: () => this.act((actions) => actions.release()),
    };
  }

  on(event, listener) {
    this.listeners[event].push(listener);
  }

  // A command of WebDriver's on this page, in front of the others. An alert is the page's dialog, told to its
  // listeners and accepted: met by the command, which is then tried again, or found while the command waits (a
  // script that runs into one never answers).
  async command(call) {
    if (this.browser.current !== this.handle) {
      await this.driver.switchTo().window(this.handle);
      this.browser.current = this.handle;
    }
    for (;;) {
      const pending = Promise.resolve(call());
      pending.catch(() => {});
      let alerted = false;
      while (!alerted && !(await Promise.race([pending.then(() => true, () => true), pause(1000).then(() => false)])))
        alerted = await this.acceptAlert();
      if (alerted)
        continue; // the command that ran into it is given up
      try {
        return await pending;
      } catch (error) {
        if (error.name !== 'UnexpectedAlertOpenError')
          throw error;
        await this.acceptAlert();
      }
    }
  }

  async acceptAlert() {
    let message;
    try {
      const alert = this.driver.switchTo().alert();
      message = await alert.getText();
      await alert.accept();
    } catch (error) {
      return false; // none
    }
    for (const listener of this.listeners.dialog)
      await listener({type: () => 'alert', message: () => message, accept: async () => {}});
    return true;
  }

  act(build) {
    return this.command(() => build(this.driver.actions({async: true})).perform());
  }

  // Runs a function in the page and resolves to its value, bringing the page's console lines and errors back.
  // Elements go as arguments of their own, an array of them regrouped in the page: WebKit's driver reads no
  // element inside an array.
  async evaluate(call, ...rest) {
    const shape = rest.map((arg) => (Array.isArray(arg) && arg.some((item) => item instanceof Element) ? arg.length
      : -1));
    const args = rest.flatMap((arg, i) => (shape[i] < 0 ? [arg instanceof Element ? arg.element : arg]
      : arg.map((item) => item.element)));
    const script = `var flat = [].slice.call(arguments, 1);
      var args = arguments[0].map(function (n) { return n < 0 ? flat.shift() : flat.splice(0, n); });
      var take = function () { return window.quillmarkTestLog ? window.quillmarkTestLog.splice(0) : []; };
      return new Promise(function (resolve) { resolve((${call}).apply(null, args)); }).then(function (value) {
        return {value: value, log: take()};
      }, function (error) { return {thrown: String(error && error.stack || error), log: take()}; });`;
    for (;;) {
      const result = await this.command(() => this.driver.executeScript(script, shape, ...args));
      // No result: an alert came while the script ran, which the next command meets.
      if (!result)
        continue;
      this.tell(result.log);
      if (result.thrown !== undefined)
        throw new Error(`in the page: ${result.thrown}`);
      return result.value;
    }
  }

  tell(log) {
    for (const entry of log || []) {
      if (entry.error !== undefined)
        this.listeners.pageerror.forEach((listener) => listener(new Error(entry.error)));
      else
        this.listeners.console.forEach((listener) => listener({type: () => entry.type, text: () => entry.text}));
    }
  }

  // What the page logged since the last command.
  async flush() {
    try {
      await this.evaluate(() => 0);
    } catch (error) {
      // A page between two documents has nothing to say.
    }
  }

  evaluateOnNewDocument(call) {
    this.preloads.push(`(${call})();`);
  }

  async waitForFunction(call, {timeout = 30000} = {}) {
    const until = Date.now() + timeout;
    for (;;) {
      const value = await this.evaluate(call);
      if (value)
        return value;
      if (Date.now() > until)
        throw new Error(`waited ${timeout} ms for ${call}`);
      await pause(20);
    }
  }

  async goto(address) {
    await this.flush();
    opening = this;
    // Loaded when this returns: WebKit's driver runs no script in a page that is still loading (it never answers).
    await this.command(() => this.driver.get(address));
  }

  title() {
    return this.command(() => this.driver.getTitle());
  }

  // Its window's size such that its page is width by height; GNOME Web's own bars take the rest.
  async setViewport({width, height}) {
    let [innerWidth, innerHeight] = [0, 0];
    for (let tries = 0; tries < 3 && (innerWidth !== width || innerHeight !== height); ++tries) {
      const rect = await this.command(() => this.driver.manage().window().getRect());
      await this.command(() => this.driver.manage().window().setRect({width: rect.width + width - (innerWidth || rect
        .width), height: rect.height + height - (innerHeight || rect.height)}));
      [innerWidth, innerHeight] = await this.evaluate(() => [innerWidth, innerHeight]);
    }
  }

  async bringToFront() {
    this.browser.current = null;
    await this.command(() => 0);
  }

  // Elements by CSS, by XPath ('xpath/...'), or by role and name as screen readers find them ('::-p-aria(...)'),
  // the name's white space folded as they hear it, read through WebDriver's computed role and label.
  async $$(selector) {
    const aria = selector.match(/^::-p-aria\(\[name="(.*)"\]\[role="(.*)"\]\)$/);
    const found = await this.command(() => this.driver.findElements(selector.startsWith('xpath/')
      ? By.xpath(selector.slice(6)) : By.css(aria ? '.quillmark-form > *' : selector)));
    const elements = found.map((element) => new Element(this, element));
    if (!aria)
      return elements;
    const fold = (text) => text.replace(/\s+/g, ' ').trim();
    const named = [];
    for (const element of elements) {
      // An element outside the accessibility tree (hidden, an option of a list) has no role to read.
      const role = await this.command(() => element.element.getAriaRole()).catch(() => null);
      if (role === aria[2] && fold(await this.command(() => element.element.getAccessibleName())) === fold(aria[1]))
        named.push(element);
    }
    return named;
  }

  async $(selector) {
    return (await this.$$(selector))[0] || null;
  }

  async $eval(selector, call, ...rest) {
    const element = await this.$(selector);
    if (!element)
      throw new Error(`no element ${selector}`);
    return this.evaluate(call, element, ...rest);
  }

  async $$eval(selector, call, ...rest) {
    return this.evaluate(call, await this.$$(selector), ...rest);
  }

  // The page's pixels in clip, as a PNG: WebDriver takes the whole view, the page cuts the part out.
  async screenshot({clip}) {
    const whole = await this.command(() => this.driver.takeScreenshot());
    const part = await this.evaluate(async (png, {x, y, width, height}) => {
      const image = await createImageBitmap(new Blob([Uint8Array.from(atob(png), (c) => c.charCodeAt(0))],
        {type: 'image/png'}));
      const canvas = new OffscreenCanvas(width, height);
      canvas.getContext('2d').drawImage(image, -x, -y);
      const bytes = new Uint8Array(await (await canvas.convertToBlob({type: 'image/png'})).arrayBuffer());
      return btoa(Array.from(bytes, (byte) => String.fromCharCode(byte)).join(''));
    }, whole, clip);
    return Buffer.from(part, 'base64');
  }

  async pdf() {
    return Buffer.from(await this.command(() => this.driver.printPage()), 'base64');
  }

  // Its window stays, blank, for the next page: WebDriver ends the session with its last window.
  async close() {
    await this.flush();
    opening = null;
    this.preloads = [];
    await this.command(() => this.driver.get('about:blank'));
    this.browser.spare.push(this.handle);
    // A pop-up that a page opened itself (one no script of the test's stopped) goes with it.
    for (const handle of await this.driver.getAllWindowHandles())
      if (!this.browser.handles.includes(handle)) {
        await this.driver.switchTo().window(handle);
        await this.driver.close();
        await this.driver.switchTo().window(this.handle);
      }
  }
}

class Browser {
  constructor(driver, server) {
    this.driver = driver;
    this.server = server;
    this.current = null;
    this.handles = []; // the pages'
    this.spare = [];
  }

  async newPage() {
    let handle = this.spare.pop();
    if (!handle) {
      handle = this.current ? await this.driver.switchTo().newWindow('window')
        .then(() => this.driver.getWindowHandle()) : await this.driver.getWindowHandle();
      this.current = handle;
      this.handles.push(handle);
    }
    return new Page(this, handle);
  }

  async close() {
    await this.driver.quit().catch(() => {});
    // The driver, its browser, their bus and their screen, all in the group the helper started.
    const ended = new Promise((resolve) => this.server.once('exit', resolve));
    process.kill(-this.server.pid, 'SIGTERM');
    await ended;
  }
}

function freePort() {
  return new Promise((resolve) => {
    const probe = net.createServer().listen(0, '127.0.0.1', () => {
      const {port} = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

export async function launchWebKit() {
  const port = await freePort();
  // The first two for a virtual screen, where GNOME Web's page was seen to die without them (with them, WebDriver's
  // screenshot never returns); the third as root, as Chromium's --no-sandbox.
  const env = {...process.env, QUILLMARK_SCREEN_SIZE: '1920x1200', NO_AT_BRIDGE: '1', WEBKIT_DISABLE_DMABUF_RENDERER: '1',
    WEBKIT_DISABLE_COMPOSITING_MODE: '1'};
  if (process.getuid() === 0)
    env.WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS = '1';
  const server = spawn('sh', [screen, 'dbus-run-session', '--', 'WebKitWebDriver', `--port=${port}`],
    {env, stdio: 'ignore', detached: true});
  // Ended with this process, however it ends.
  const end = () => {
    try {
      process.kill(-server.pid, 'SIGTERM');
    } catch (error) {
      // ended already
    }
  };
  process.on('exit', end);
  for (const signal of ['SIGINT', 'SIGTERM'])
    process.on(signal, () => process.exit(1));
  const address = `http://127.0.0.1:${port}`;
  for (const until = Date.now() + 30000; !(await fetch(`${address}/status`).then(() => true, () => false));) {
    if (Date.now() > until || server.exitCode !== null)
      throw new Error(`WebKitWebDriver: no answer at ${address}/status within 30 s`);
    await pause(50);
  }
  const executor = new Executor(new HttpClient(address));
  // A page to open at once: GNOME Web 43 asked for a browsing context before its first window is there fails an
  // assertion and ends, one start in two without it, one in four with it. Another start is then tried.
  const capabilities = {'webkitgtk:browserOptions': {binary: '/usr/bin/epiphany', args: ['--automation-mode',
    'about:blank']}, pageLoadStrategy: 'normal', unhandledPromptBehavior: 'ignore', timeouts: {script: 300000}};
  for (let tries = 1; ; ++tries) {
    try {
      const driver = await WebDriver.createSession(executor, capabilities);
      await driver.getSession();
      return new Browser(driver, server);
    } catch (error) {
      if (tries === 10)
        throw error;
    }
  }
}

// The bridge's Chromium: Debian's chromium, headless, driven through
// playwright-core and the DevTools protocol. Beside what every engine does
// (bridge.js), it emulates devices (a display's density, a phone's screen,
// touch), sends touches, slows the CPU, profiles the page and minimizes
// the window.
'use strict';
const path = require('path');

module.exports = function chromiumEngine({ modules, executable, watch }) {
  const { chromium } = require(path.join(modules, 'playwright-core'));
  let browser, context, page, cdp, dsf = 0;
  // How pages are shown: the display's density (the browser runs at it), and
  // where set, the page's size in CSS pixels, a phone's viewport rules and touch.
  let device = { dsf: 1 };

  // The page's size, as a window or a phone's screen of that size would give
  // it. The density stays the browser's own: DevTools' emulated density lays
  // a page out in CSS pixels and draws a picture of a fractional CSS size a
  // display pixel short, which no real display does.
  const setMetrics = () => {
    if (!device.width) return cdp.send('Emulation.clearDeviceMetricsOverride');
    return cdp.send('Emulation.setDeviceMetricsOverride', { width: device.width, height: device.height,
      deviceScaleFactor: 0, mobile: !!device.mobile });
  };

  const watchPage = p => {
    p.on('pageerror', e => watch(`uncaught: ${e.message}`));
    p.on('console', m => { if (m.type() === 'error') watch(`console: ${m.text()} (${m.location().url})`); });
    p.on('requestfailed', r => watch(`failed: ${r.url()} ${r.failure() && r.failure().errorText}`));
  };

  const usePage = async p => {
    page = p;
    cdp = await context.newCDPSession(page);
  };

  // A display of another density needs a browser started at it. Headless,
  // full screen keeps the window's size: a page of 1200x947 shows the
  // picture at 3x with black on every side.
  const launch = async density => {
    if (browser && dsf === density) return;
    if (browser) await browser.close();
    browser = await chromium.launch({ executablePath: executable,
      args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
             '--disable-sync', '--no-first-run', '--window-size=1200,947', `--force-device-scale-factor=${density}`] });
    dsf = density;
    context = null;
  };

  // Fingers on the page's controls, each named by its control's accessible
  // name, through the DevTools protocol's touch events: a finger goes down,
  // moves or comes up on its own (an event with that finger alone), and the
  // others stay where they are.
  const fingers = new Map();  // name: { x, y, id }
  let fingerIds = 0;
  const centreOf = async name => {
    const box = await page.getByRole('button', { name, exact: true }).boundingBox();
    if (!box) throw new Error(`no control named ${name} on the page`);
    return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
  };
  const sendFinger = async (type, finger) => {
    await cdp.send('Input.dispatchTouchEvent', { type, touchPoints: [finger] });
    return '';
  };

  // Minimized, the page really loses the focus: Playwright otherwise tells it
  // it always has it.
  const windowState = async state => {
    await cdp.send('Emulation.setFocusEmulationEnabled', { enabled: state === 'normal' });
    const { windowId } = await cdp.send('Browser.getWindowForTarget');
    await cdp.send('Browser.setWindowBounds', { windowId, bounds: { windowState: state } });
    return '';
  };

  const engine = {
    name: 'chromium',
    // A fresh profile (empty storage) and its first tab on url; optionally a
    // device: {"dsf":3,"width":390,"height":844,"mobile":true,"touch":true}.
    open: async (url, wanted) => {
      if (context) await context.close();
      fingers.clear();
      await launch(wanted.dsf || 1);
      device = Object.assign({ dsf: 1 }, wanted);
      // No viewport of Playwright's: full screen then fills the page's own size.
      context = await browser.newContext({ viewport: null, hasTouch: !!device.touch });
      return engine.newTab(url);
    },
    newTab: async url => {
      const p = await context.newPage();
      watchPage(p);
      await usePage(p);
      await setMetrics();
      await page.goto(url);
    },
    tab: async n => {
      const p = context.pages()[n];
      if (!p) throw new Error(`no tab ${n}`);
      await usePage(p);
      await page.bringToFront();
    },
    goto: url => page.goto(url),
    reload: () => page.reload(),
    // The tab closed as a player closes it: unload handlers run. With them
    // to run, close() returns before the tab is gone.
    closeTab: async () => {
      const closed = page.waitForEvent('close');
      await page.close({ runBeforeUnload: true });
      await closed;
    },
    evaluate: expression => page.evaluate(expression),
    keyDown: code => page.keyboard.down(code),
    keyUp: code => page.keyboard.up(code),
    click: selector => page.click(selector),
    // The viewport in display pixels, once a frame with everything done so
    // far has been drawn.
    screenshot: async () => {
      await page.evaluate(() => new Promise(drawn => requestAnimationFrame(() => requestAnimationFrame(drawn))));
      const { data } = await cdp.send('Page.captureScreenshot', { format: 'png', optimizeForSpeed: true });
      return Buffer.from(data, 'base64');
    },
    blur: () => windowState('minimized'),
    focus: () => windowState('normal'),
    quit: () => browser && browser.close(),
    commands: {
      // The page resized, as a window is or a phone turned: "W H".
      size: async wh => {
        [device.width, device.height] = wh.split(' ').map(Number);
        await setMetrics();
      },
      // A finger down on the control named, "Fire" say; lifted; slid from one
      // control to another ("slide Left Up") without being lifted.
      touch: async name => {
        if (fingers.has(name)) throw new Error(`a finger is on ${name} already`);
        const finger = Object.assign({ id: fingerIds++ }, await centreOf(name));
        fingers.set(name, finger);
        return sendFinger('touchStart', finger);
      },
      lift: async name => {
        const finger = fingers.get(name);
        if (!finger) throw new Error(`no finger on ${name}`);
        fingers.delete(name);
        return sendFinger('touchEnd', finger);
      },
      slide: async names => {
        const [from, to] = names.split(' '), finger = fingers.get(from);
        if (!finger) throw new Error(`no finger on ${from}`);
        fingers.delete(from);
        fingers.set(to, Object.assign(finger, await centreOf(to)));
        return sendFinger('touchMove', finger);
      },
      // The page's network slowed, as a phone's is: "LATENCY_MS DOWN_KBITS"
      // (the round trip added to each request, the bandwidth down and up);
      // "0 0": none.
      network: async args => {
        const [latency, kbits] = args.split(' ').map(Number), rate = kbits ? kbits * 1000 / 8 : -1;
        await cdp.send('Network.enable');
        await cdp.send('Network.emulateNetworkConditions',
                       { offline: false, latency, downloadThroughput: rate, uploadThroughput: rate });
      },
      // The page's CPU slowed down rate times (DevTools' throttling; 1: none).
      throttle: rate => cdp.send('Emulation.setCPUThrottlingRate', { rate: Number(rate) }),
      // DevTools' sampling profiler on the page's thread: "profile start", then
      // "profile stop" gives each function's own time, "ms<TAB>name<TAB>file"
      // a line (file: "wasm", the script's file name, or "" for the browser's
      // own and the scripts put into the page).
      profile: async what => {
        if (what === 'start') {
          await cdp.send('Profiler.enable');
          await cdp.send('Profiler.setSamplingInterval', { interval: 200 });
          await cdp.send('Profiler.start');
          return '';
        }
        const { profile } = await cdp.send('Profiler.stop');
        const nodes = new Map(profile.nodes.map(n => [n.id, n])), own = new Map();
        profile.samples.forEach((id, i) => {
          const frame = nodes.get(id).callFrame;
          const file = /^wasm:|\.wasm$/.test(frame.url) ? 'wasm' : frame.url.split('/').pop().split('?')[0];
          const key = `${frame.functionName || '(anonymous)'}\t${file}`;
          own.set(key, (own.get(key) || 0) + profile.timeDeltas[i] / 1000);
        });
        return [...own].map(([key, ms]) => `${ms.toFixed(3)}\t${key}`).join('\n');
      },
    },
  };
  return engine;
};

// The browser end of the web tests: serves the game's folder over HTTP on
// 127.0.0.1 under a sub-folder path (as a site would host it), drives
// Debian's Chromium headless through playwright-core, and answers the C++
// tests one line per command on stdin/stdout:
//   "ok [words...]" or "fail <why>"; text and pixels travel as base64.
//   node bridge.js MODULES_DIR GAME_DIR URL_PATH CHROMIUM
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const readline = require('readline');

const [modules, firstRoot, urlPath, chromiumPath] = process.argv.slice(2);
let root = path.resolve(firstRoot);  // the game's folder served (see the command root)
const { chromium } = require(path.join(modules, 'playwright-core'));

// .wasm must come as application/wasm, or the page falls back to a slower load.
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.data': 'application/octet-stream', '.png': 'image/png', '.txt': 'text/plain',
                '.webmanifest': 'application/manifest+json' };

// What the server says of caching, as ordinary hosts do (never no-store):
// Last-Modified alone (Python's http.server, nginx and Apache by default),
// or with it "Cache-Control: max-age=3600" or "no-cache". A request with
// If-Modified-Since gets 304 when the file is no newer.
const cachings = { 'last-modified': null, 'max-age': 'max-age=3600', 'no-cache': 'no-cache' };
let caching = 'last-modified';

function serve(req, res) {
  const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
  // A blank page of the site's own, where a test lays the storage out before the game starts.
  if (name === '/') {
    res.writeHead(200, { 'Content-Type': 'text/html' });
    res.end('<!doctype html><title>blank</title><link rel="icon" href="data:,">');  // no favicon.ico asked for
    return;
  }
  let file = name.startsWith(urlPath) ? name.slice(urlPath.length) : null;
  if (file === '') file = 'index.html';
  const full = file === null ? null : path.join(root, file);
  if (!full || !full.startsWith(root + path.sep) || !fs.existsSync(full) || fs.statSync(full).isDirectory()) {
    res.writeHead(404);
    res.end();
    return;
  }
  const modified = new Date(Math.floor(fs.statSync(full).mtimeMs / 1000) * 1000);
  const headers = { 'Content-Type': types[path.extname(full)] || 'application/octet-stream',
                    'Last-Modified': modified.toUTCString() };
  if (cachings[caching]) headers['Cache-Control'] = cachings[caching];
  const since = Date.parse(req.headers['if-modified-since'] || '');
  if (since >= modified.getTime()) {
    res.writeHead(304, headers);
    res.end();
    return;
  }
  res.writeHead(200, headers);
  fs.createReadStream(full).pipe(res);
}

// Pixels travel as "WIDTH HEIGHT CHANNELS BASE64" (RGB or RGBA rows).
// Chromium's screenshots come as PNG: 8-bit RGB or RGBA, not interlaced.
function pngPixels(png) {
  let at = 8, width = 0, height = 0, channels = 0;
  const idat = [];
  for (let len; at < png.length; at += 12 + len) {
    len = png.readUInt32BE(at);
    const type = png.toString('latin1', at + 4, at + 8), data = png.subarray(at + 8, at + 8 + len);
    if (type === 'IDAT') idat.push(data);
    if (type !== 'IHDR') continue;
    [width, height, channels] = [data.readUInt32BE(0), data.readUInt32BE(4), { 2: 3, 6: 4 }[data[9]]];
    if (data[8] !== 8 || data[12] !== 0 || !channels) throw new Error('unexpected PNG layout');
  }
  const raw = zlib.inflateSync(Buffer.concat(idat)), stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0, o = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    for (let i = 0; i < stride; i++, o++) {
      const a = i >= channels ? rows[o - channels] : 0, b = y > 0 ? rows[o - stride] : 0;
      const c = y > 0 && i >= channels ? rows[o - stride - channels] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const pred = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      rows[o] = (raw[y * (stride + 1) + 1 + i] + pred) & 255;
    }
  }
  return `${width} ${height} ${channels} ${rows.toString('base64')}`;
}

// A picture the page noted (canvas_log.js): the one on the canvas (the last
// put, or the one held there), or one of those kept. The game runs on the
// page's thread, so this must be short: whole slices of bytes at a time, no
// work per pixel.
function notedPicture(which) {
  const log = window.kvCanvasLog, d = which < 0 ? log.held || log.picture : log.kept[which];
  if (!d) throw new Error(which < 0 ? 'no picture put on the canvas yet' : `no kept picture ${which}`);
  let s = '';
  for (let i = 0; i < d.length; i += 32768) s += String.fromCharCode.apply(null, d.subarray(i, i + 32768));
  return `${log.width} ${log.height} 4 ${btoa(s)}`;
}

let browser, context, page, cdp, base;
// How pages are shown: the display's density (the browser runs at it), and
// where set, the page's size in CSS pixels, a phone's viewport rules and touch.
let device = { dsf: 1 };
const troubles = [];  // uncaught errors, console errors, failed requests, all pages
const initScripts = [];

function watch(p) {
  p.on('pageerror', e => troubles.push(`uncaught: ${e.message}`));
  p.on('console', m => { if (m.type() === 'error') troubles.push(`console: ${m.text()} (${m.location().url})`); });
  p.on('requestfailed', r => troubles.push(`failed: ${r.url()} ${r.failure() && r.failure().errorText}`));
  p.on('response', r => { if (r.status() >= 400) troubles.push(`HTTP ${r.status()}: ${r.url()}`); });
}

// The page's size, as a window or a phone's screen of that size would give
// it. The density stays the browser's own: DevTools' emulated density lays
// a page out in CSS pixels and draws a picture of a fractional CSS size a
// display pixel short, which no real display does.
async function setMetrics() {
  if (!device.width) return cdp.send('Emulation.clearDeviceMetricsOverride');
  return cdp.send('Emulation.setDeviceMetricsOverride', { width: device.width, height: device.height,
    deviceScaleFactor: 0, mobile: !!device.mobile });
}

// A new tab of the same browser profile: the game, or the site's blank page.
async function newPage(what) {
  page = await context.newPage();
  watch(page);
  cdp = await context.newCDPSession(page);
  await setMetrics();
  await page.goto(what === 'blank' ? new URL('/', base).href : base);
  return '';
}

// A display of another density needs a browser started at it.
async function launch(dsf) {
  if (browser && device.dsf === dsf) return;
  if (browser) await browser.close();
  // Headless, full screen keeps the window's size: a page of 1200x947 shows
  // the picture at 3x with black on every side.
  browser = await chromium.launch({ executablePath: chromiumPath,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run', '--window-size=1200,947', `--force-device-scale-factor=${dsf}`] });
  context = null;
}

// Minimized, the page really loses the focus: Playwright otherwise tells it
// it always has it.
async function windowState(state) {
  await cdp.send('Emulation.setFocusEmulationEnabled', { enabled: state === 'normal' });
  const { windowId } = await cdp.send('Browser.getWindowForTarget');
  await cdp.send('Browser.setWindowBounds', { windowId, bounds: { windowState: state } });
  return '';
}

const b64 = s => Buffer.from(String(s), 'latin1').toString('base64');

// Fingers on the page's controls, each named by its control's accessible
// name, through the DevTools protocol's touch events: a finger goes down,
// moves or comes up on its own (an event with that finger alone), and the
// others stay where they are.
const fingers = new Map();  // name: { x, y, id }
let fingerIds = 0;

async function centreOf(name) {
  const box = await page.getByRole('button', { name, exact: true }).boundingBox();
  if (!box) throw new Error(`no control named ${name} on the page`);
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}

async function sendFinger(type, finger) {
  await cdp.send('Input.dispatchTouchEvent', { type, touchPoints: [finger] });
  return '';
}

const commands = {
  // A fresh profile (empty storage) and its first tab, on the blank page;
  // optionally a device as JSON: {"dsf":3,"width":390,"height":844,"mobile":true,"touch":true}.
  open: async json => {
    const wanted = Object.assign({ dsf: 1 }, json ? JSON.parse(json) : {});
    if (context) await context.close();
    fingers.clear();
    root = path.resolve(firstRoot);
    caching = 'last-modified';
    await launch(wanted.dsf);
    device = wanted;
    // No viewport of Playwright's: full screen then fills the page's own size.
    context = await browser.newContext({ viewport: null, hasTouch: !!device.touch });
    await context.addInitScript({ path: path.join(__dirname, 'canvas_log.js') });
    await context.addInitScript({ path: path.join(__dirname, 'standin_pad.js') });
    for (const js of initScripts) await context.addInitScript(js);
    return newPage('blank');
  },
  // The page resized, as a window is or a phone turned: "W H".
  size: async wh => {
    [device.width, device.height] = wh.split(' ').map(Number);
    await setMetrics();
    return '';
  },
  newtab: newPage,
  // Back to tab N of the profile (0: its first), as the player switches tabs.
  tab: async n => {
    page = context.pages()[Number(n)];
    if (!page) throw new Error(`no tab ${n}`);
    cdp = await context.newCDPSession(page);
    await page.bringToFront();
    return '';
  },
  play: async () => { await page.goto(base); return ''; },
  reload: async () => { await page.reload(); return ''; },
  // The tab closed as a player closes it: unload handlers run.
  close: async () => {
    // With unload handlers to run, close() returns before the tab is gone.
    const closed = page.waitForEvent('close');
    await page.close({ runBeforeUnload: true });
    await closed;
    return '';
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
  down: async code => { await page.keyboard.down(code); return ''; },
  up: async code => { await page.keyboard.up(code); return ''; },
  click: async selector => { await page.click(selector); return ''; },
  // The last picture put on the canvas, or kept picture N.
  grab: () => page.evaluate(notedPicture, -1),
  kept: n => page.evaluate(notedPicture, Number(n)),
  // The page as the display shows it, in the display's own pixels, once a
  // frame with everything done so far has been drawn.
  shot: async () => {
    await page.evaluate(() => new Promise(drawn => requestAnimationFrame(() => requestAnimationFrame(drawn))));
    const { data } = await cdp.send('Page.captureScreenshot', { format: 'png', optimizeForSpeed: true });
    return pngPixels(Buffer.from(data, 'base64'));
  },
  eval: async js => b64(await page.evaluate(js)),
  // Another folder served in the game's place, as a new zip put there.
  root: async folder => { root = path.resolve(folder); return ''; },
  // How the server speaks of caching from now on (see cachings).
  caching: async how => {
    if (!(how in cachings)) throw new Error(`no caching ${how}`);
    caching = how;
    return '';
  },
  // The network gone, or back.
  offline: async on => { await context.setOffline(on === 'on'); return ''; },
  // The page hidden, as when the player leaves for another app, or shown
  // again. Headless Chromium never hides a page itself, so the page is told
  // as the browser tells it: its visibility, then the event.
  hide: () => page.evaluate(() => {
    for (const [name, value] of [['hidden', true], ['visibilityState', 'hidden']])
      Object.defineProperty(document, name, { configurable: true, get: () => value });
    document.dispatchEvent(new Event('visibilitychange'));
    return '';
  }),
  show: () => page.evaluate(() => {
    delete document.hidden;
    delete document.visibilityState;
    document.dispatchEvent(new Event('visibilitychange'));
    return '';
  }),
  // The page's CPU slowed down rate times (DevTools' throttling; 1: none).
  throttle: async rate => { await cdp.send('Emulation.setCPUThrottlingRate', { rate: Number(rate) }); return ''; },
  // A script run in every page of every profile from now on, before the
  // page's own (the bench's).
  initscript: async js => {
    initScripts.push(js);
    if (context) await context.addInitScript(js);
    return '';
  },
  // DevTools' sampling profiler on the page's thread: "profile start", then
  // "profile stop" gives each function's own time, "ms<TAB>name<TAB>file"
  // a line (file: "wasm", the script's file name, or "" for the browser's
  // own and the scripts put into the page), base64.
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
      const file = /^wasm:|\.wasm$/.test(frame.url) ? 'wasm' : frame.url.split('/').pop();
      const key = `${frame.functionName || '(anonymous)'}\t${file}`;
      own.set(key, (own.get(key) || 0) + profile.timeDeltas[i] / 1000);
    });
    return b64([...own].map(([key, ms]) => `${ms.toFixed(3)}\t${key}`).join('\n'));
  },
  minimize: () => windowState('minimized'),
  restore: () => windowState('normal'),
  troubles: async () => b64(troubles.splice(0).join('\n')),
  quit: async () => { await browser.close(); server.close(); setImmediate(() => process.exit(0)); return ''; },
};

const server = http.createServer(serve);
server.listen(0, '127.0.0.1', async () => {
  base = `http://127.0.0.1:${server.address().port}${urlPath}`;
  await launch(1);
  process.stdout.write(`ok ${base}\n`);
  // One command at a time, in order: each answer before the next is read.
  const lines = readline.createInterface({ input: process.stdin });
  let queue = Promise.resolve();
  lines.on('line', line => {
    queue = queue.then(async () => {
      const space = line.indexOf(' ');
      const name = space < 0 ? line : line.slice(0, space), arg = space < 0 ? '' : line.slice(space + 1);
      try {
        if (!commands[name]) throw new Error(`unknown command ${name}`);
        process.stdout.write(`ok ${await commands[name](arg)}\n`);
      } catch (e) {
        process.stdout.write(`fail ${String(e.message).split('\n')[0]}\n`);
      }
    });
  });
  lines.on('close', () => queue.then(() => commands.quit()));
});

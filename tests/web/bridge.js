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

const [modules, root, urlPath, chromiumPath] = process.argv.slice(2);
const { chromium } = require(path.join(modules, 'playwright-core'));

// .wasm must come as application/wasm, or the page falls back to a slower load.
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.data': 'application/octet-stream', '.png': 'image/png', '.txt': 'text/plain' };

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
  if (!full || !full.startsWith(root) || !fs.existsSync(full) || fs.statSync(full).isDirectory()) {
    res.writeHead(404);
    res.end();
    return;
  }
  res.writeHead(200, { 'Content-Type': types[path.extname(full)] || 'application/octet-stream',
                       'Cache-Control': 'no-store' });
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

// The canvas's own pixels, its backing store at whatever size the game set.
// The game runs on the page's thread, so a grab must be short: whole slices
// of bytes at a time, no work per pixel.
function grabCanvas() {
  const c = document.getElementById('canvas');
  const d = c.getContext('2d', { willReadFrequently: true }).getImageData(0, 0, c.width, c.height).data;
  let s = '';
  for (let i = 0; i < d.length; i += 32768) s += String.fromCharCode.apply(null, d.subarray(i, i + 32768));
  return `${c.width} ${c.height} 4 ${btoa(s)}`;
}

let browser, context, page, base;
const troubles = [];  // uncaught errors, console errors, failed requests, all pages

function watch(p) {
  p.on('pageerror', e => troubles.push(`uncaught: ${e.message}`));
  p.on('console', m => { if (m.type() === 'error') troubles.push(`console: ${m.text()} (${m.location().url})`); });
  p.on('requestfailed', r => troubles.push(`failed: ${r.url()} ${r.failure() && r.failure().errorText}`));
  p.on('response', r => { if (r.status() >= 400) troubles.push(`HTTP ${r.status()}: ${r.url()}`); });
}

// A new tab of the same browser profile: the game, or the site's blank page.
async function newPage(what) {
  page = await context.newPage();
  watch(page);
  await page.goto(what === 'blank' ? new URL('/', base).href : base);
  return '';
}

// Minimized, the page really loses the focus: Playwright otherwise tells it
// it always has it.
async function windowState(state) {
  const cdp = await context.newCDPSession(page);
  await cdp.send('Emulation.setFocusEmulationEnabled', { enabled: state === 'normal' });
  const { windowId } = await cdp.send('Browser.getWindowForTarget');
  await cdp.send('Browser.setWindowBounds', { windowId, bounds: { windowState: state } });
  await cdp.detach();
  return '';
}

const b64 = s => Buffer.from(String(s), 'latin1').toString('base64');

const commands = {
  // A fresh profile (empty storage) and its first tab, on the blank page.
  open: async () => {
    if (context) await context.close();
    // No emulated viewport: full screen then fills the browser's own window.
    context = await browser.newContext({ viewport: null });
    return newPage('blank');
  },
  newtab: newPage,
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
  down: async code => { await page.keyboard.down(code); return ''; },
  up: async code => { await page.keyboard.up(code); return ''; },
  click: async selector => { await page.click(selector); return ''; },
  grab: () => page.evaluate(grabCanvas),
  shot: async () => pngPixels(await page.screenshot()),
  eval: async js => b64(await page.evaluate(js)),
  minimize: () => windowState('minimized'),
  restore: () => windowState('normal'),
  troubles: async () => b64(troubles.splice(0).join('\n')),
  quit: async () => { await browser.close(); server.close(); setImmediate(() => process.exit(0)); return ''; },
};

const server = http.createServer(serve);
server.listen(0, '127.0.0.1', async () => {
  base = `http://127.0.0.1:${server.address().port}${urlPath}`;
  // Headless, full screen keeps the window's size: a page of 1200x860 shows
  // the picture at 3x with black on every side.
  browser = await chromium.launch({ executablePath: chromiumPath,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run', '--window-size=1200,947'] });
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

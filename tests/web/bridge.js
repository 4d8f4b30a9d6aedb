// The browser end of the web tests: serves the game's folder over HTTP on
// 127.0.0.1 under a sub-folder path (as a site would host it, caching as
// ordinary hosts do), puts the tests' probe into every page it serves,
// drives one of three browser engines (engine_*.js: Chromium, Firefox,
// WebKit) and answers the C++ tests one line per command on stdin/stdout:
//   "ok [words...]" or "fail <why>"; text and pixels travel as base64.
//   node bridge.js MODULES_DIR GAME_DIR URL_PATH CHROMIUM FIREFOX WEBKITWEBDRIVER MINIBROWSER
// An engine's program given as "" is not on the machine: choosing that
// engine fails, saying so.
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const readline = require('readline');

const [modules, firstRoot, urlPath, chromiumPath, firefoxPath, webkitDriver, miniBrowser] = process.argv.slice(2);
let root = path.resolve(firstRoot);  // the game's folder served (see the command root)

// .wasm must come as application/wasm, or the page falls back to a slower load.
const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.data': 'application/octet-stream', '.png': 'image/png', '.txt': 'text/plain',
                '.webmanifest': 'application/manifest+json' };

// What the server says of caching, as ordinary hosts do (never no-store):
// Last-Modified alone (Python's http.server, nginx and Apache by default),
// or with it "Cache-Control: max-age=3600" or "no-cache". A request with
// If-Modified-Since gets 304 when the file is no newer.
const cachings = { 'last-modified': null, 'max-age': 'max-age=3600', 'no-cache': 'no-cache' };
let caching = 'last-modified';
let gzip = false;  // bodies sent gzipped to a browser that takes it, as a host may (the bench's)

// The probe, put at the top of every page served, before the page's own
// scripts, in every engine: the notes of the canvas's pictures, the
// stand-in pads, the troubles' report, and the bench's scripts.
const probeFiles = ['canvas_log.js', 'standin_pad.js', 'troubles.js'].map(f => path.join(__dirname, f));
const initScripts = [];
const probe = () => [...probeFiles.map(f => fs.readFileSync(f, 'utf8')), ...initScripts]
  .map(js => `<script>${js}</script>\n`).join('');

const troubles = [];  // uncaught errors, console errors, failed requests, all pages

function serve(req, res) {
  const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
  if (req.method === 'POST' && name === '/troubles') {
    let said = '';
    req.on('data', d => { said += d; });
    req.on('end', () => { troubles.push(said); res.writeHead(204).end(); });
    return;
  }
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
    troubles.push(`HTTP 404: ${req.url}`);
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
  let body = fs.readFileSync(full);
  if (path.extname(full) === '.html') body = Buffer.from(String(body).replace('<head>', `<head>\n${probe()}`));
  if (gzip && /\bgzip\b/.test(req.headers['accept-encoding'] || '')) {
    body = zlib.gzipSync(body);
    Object.assign(headers, { 'Content-Encoding': 'gzip', Vary: 'Accept-Encoding' });
  }
  res.writeHead(200, headers);
  res.end(body);
}

// Pixels travel as "WIDTH HEIGHT CHANNELS BASE64" (RGB or RGBA rows).
// The engines' screenshots come as PNG: 8-bit RGB or RGBA, not interlaced.
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

const watch = trouble => troubles.push(trouble);
const engines = {
  chromium: () => chromiumPath && require('./engine_chromium')({ modules, executable: chromiumPath, watch }),
  firefox: () => firefoxPath && require('./engine_firefox')({ modules, executable: firefoxPath, watch }),
  webkit: () => webkitDriver && miniBrowser &&
                require('./engine_webkit')({ driver: webkitDriver, executable: miniBrowser }),
};
const installed = { chromium: 'chromium', firefox: 'firefox-esr', webkit: 'webkit2gtk-driver' };
let engine;

const server = http.createServer(serve);
let base, port = 0;
const listen = () => new Promise(up => server.listen(port, '127.0.0.1', up));

const b64 = s => Buffer.from(String(s), 'latin1').toString('base64');

const commands = {
  // The engine the next "open" starts ("chromium", "firefox", "webkit").
  engine: async name => {
    if (!engines[name]) throw new Error(`no engine ${name}`);
    if (engine && engine.name === name) return '';
    const next = engines[name]();
    if (!next) throw new Error(`${name} is not on this machine (tools/kv test installs ${installed[name]})`);
    if (engine) await engine.quit();
    engine = next;
    return '';
  },
  // A fresh profile (empty storage) and its first tab, on the blank page;
  // optionally a device as JSON (Chromium alone: see engine_chromium.js).
  open: async json => {
    root = path.resolve(firstRoot);
    caching = 'last-modified';
    gzip = false;
    if (!server.listening) await listen();
    await engine.open(new URL('/', base).href, json ? JSON.parse(json) : {});
    return '';
  },
  // Another tab of the same profile: the game, or the site's blank page.
  newtab: async what => { await engine.newTab(what === 'blank' ? new URL('/', base).href : base); return ''; },
  // Back to tab N of the profile (0: its first), as the player switches tabs.
  tab: async n => { await engine.tab(Number(n)); return ''; },
  play: async () => { await engine.goto(base); return ''; },
  // Another page of the folder served (the bench's bare page).
  visit: async name => { await engine.goto(new URL(name, base).href); return ''; },
  reload: async () => { await engine.reload(); return ''; },
  // The tab closed as a player closes it: unload handlers run.
  close: async () => { await engine.closeTab(); return ''; },
  down: async code => { await engine.keyDown(code); return ''; },
  up: async code => { await engine.keyUp(code); return ''; },
  click: async selector => { await engine.click(selector); return ''; },
  // The last picture put on the canvas, or kept picture N.
  grab: () => engine.evaluate(`(${notedPicture})(-1)`),
  kept: n => engine.evaluate(`(${notedPicture})(${Number(n)})`),
  // The page as the display shows it, in the display's own pixels, once a
  // frame with everything done so far has been drawn.
  shot: async () => pngPixels(await engine.screenshot()),
  eval: async js => b64(await engine.evaluate(js)),
  // The page loses the focus (the window minimized, another tab chosen), or has it back.
  blur: async () => { await engine.blur(); return ''; },
  focus: async () => { await engine.focus(); return ''; },
  // Another folder served in the game's place, as a new zip put there.
  root: async folder => { root = path.resolve(folder); return ''; },
  // Bodies gzipped from now on ("on"), or sent as they are ("off").
  gzip: async on => { gzip = on === 'on'; return ''; },
  // How the server speaks of caching from now on (see cachings).
  caching: async how => {
    if (!(how in cachings)) throw new Error(`no caching ${how}`);
    caching = how;
    return '';
  },
  // The server stopped, every connection to it cut, as a phone with no
  // network meets it; or started again at the same address.
  offline: async on => {
    if (on === 'on') {
      server.closeAllConnections();
      await new Promise(closed => server.close(closed));
    } else if (!server.listening) {
      await listen();
    }
    return '';
  },
  // The page hidden, as when the player leaves for another app, or shown
  // again. A headless browser never hides a page itself, so the page is told
  // as the browser tells it: its visibility, then the event.
  hide: () => engine.evaluate(`(() => {
    for (const [name, value] of [['hidden', true], ['visibilityState', 'hidden']])
      Object.defineProperty(document, name, { configurable: true, get: () => value });
    document.dispatchEvent(new Event('visibilitychange'));
    return '';
  })()`),
  show: () => engine.evaluate(`(() => {
    delete document.hidden;
    delete document.visibilityState;
    document.dispatchEvent(new Event('visibilitychange'));
    return '';
  })()`),
  // A script put into every page served from now on, before the page's own (the bench's).
  initscript: async js => { initScripts.push(js); return ''; },
  troubles: async () => b64(troubles.splice(0).join('\n')),
  quit: async () => {
    if (engine) await engine.quit();
    server.closeAllConnections();
    server.close();
    setImmediate(() => process.exit(0));
    return '';
  },
};

listen().then(async () => {
  port = server.address().port;
  base = `http://127.0.0.1:${port}${urlPath}`;
  await commands.engine('chromium');
  process.stdout.write(`ok ${base}\n`);
  // One command at a time, in order: each answer before the next is read.
  const lines = readline.createInterface({ input: process.stdin });
  let queue = Promise.resolve();
  lines.on('line', line => {
    queue = queue.then(async () => {
      const space = line.indexOf(' ');
      const name = space < 0 ? line : line.slice(0, space), arg = space < 0 ? '' : line.slice(space + 1);
      try {
        let answer;
        if (commands[name]) {
          answer = await commands[name](arg);
        } else if (engine && engine.commands[name]) {
          const said = await engine.commands[name](arg);
          answer = said ? b64(said) : '';
        } else {
          throw new Error(`no command ${name} in ${engine ? engine.name : 'the bridge'}`);
        }
        process.stdout.write(`ok ${answer}\n`);
      } catch (e) {
        process.stdout.write(`fail ${String(e.message).split('\n')[0]}\n`);
      }
    });
  });
  lines.on('close', () => queue.then(() => commands.quit()));
});

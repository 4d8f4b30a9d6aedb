// The bridge's WebKit, Safari's engine: Debian's WebKitGTK MiniBrowser,
// started by WebKitWebDriver in an Xvfb of the bridge's own and driven by
// classic WebDriver over HTTP. Each fresh profile is a new session (an
// ephemeral MiniBrowser). Compositing is off: with no GPU under Xvfb it
// would draw every frame through a software GL, which no iPhone does.
// Its driver takes no touch actions, and classic WebDriver runs no script
// before the page's own: the test server puts the probe into the page.
'use strict';
const { spawn } = require('child_process');
const net = require('net');
const { keyValue } = require('./webdriver_keys');

const freePort = () => new Promise((found, failed) => {
  const probe = net.createServer().once('error', failed);
  probe.listen(0, '127.0.0.1', () => {
    const { port } = probe.address();
    probe.close(() => found(port));
  });
});

// An Xvfb on a display number it picks itself.
const startXvfb = () => new Promise((started, failed) => {
  const x = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                  { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  x.once('error', failed);
  x.stdio[3].once('data', d => started({ process: x, display: `:${String(d).trim()}` }));
});

module.exports = function webkitEngine({ driver, executable }) {
  let xvfb, driverProcess, base, session = null, handles = [];

  const wd = async (method, where, body) => {
    const r = await fetch(base + where, { method, headers: { 'Content-Type': 'application/json' },
                                          body: body === undefined ? undefined : JSON.stringify(body) });
    const { value } = await r.json();
    if (value && value.error) throw new Error(`${value.error}: ${value.message}`);
    return value;
  };
  const inSession = (method, where, body) => wd(method, `/session/${session}${where}`, body);

  const start = async () => {
    if (driverProcess) return;
    xvfb = await startXvfb();
    const port = await freePort();
    driverProcess = spawn(driver, [`--port=${port}`], {
      stdio: 'ignore', env: Object.assign({}, process.env, { DISPLAY: xvfb.display, WEBKIT_DISABLE_COMPOSITING_MODE: '1' }),
    });
    base = `http://127.0.0.1:${port}`;
    for (let tries = 0; ; tries++) {
      try {
        await wd('GET', '/status');
        return;
      } catch (e) {
        if (tries > 100) throw new Error(`WebKitWebDriver did not answer: ${e.message}`);
        await new Promise(later => setTimeout(later, 100));
      }
    }
  };

  const keys = (type, code) => inSession('POST', '/actions', {
    actions: [{ type: 'key', id: 'keyboard', actions: [{ type, value: keyValue(code) }] }],
  });

  const engine = {
    name: 'webkit',
    open: async (url, device) => {
      if (Object.keys(device).length) throw new Error('devices are emulated in Chromium alone');
      await start();
      if (session) await wd('DELETE', `/session/${session}`);
      session = null;
      const made = await wd('POST', '/session', { capabilities: { alwaysMatch: {
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': { binary: executable, args: ['--automation'] },
      } } });
      session = made.sessionId;
      handles = [await inSession('GET', '/window')];
      await inSession('POST', '/window/rect', { width: 1200, height: 947 });
      await engine.goto(url);
    },
    newTab: async url => {
      const { handle } = await inSession('POST', '/window/new', { type: 'tab' });
      handles.push(handle);
      await inSession('POST', '/window', { handle });
      await engine.goto(url);
    },
    tab: async n => {
      if (!handles[n]) throw new Error(`no tab ${n}`);
      await inSession('POST', '/window', { handle: handles[n] });
    },
    goto: url => inSession('POST', '/url', { url }),
    reload: () => inSession('POST', '/refresh', {}),
    closeTab: async () => {
      const handle = await inSession('GET', '/window');
      await inSession('DELETE', '/window');
      handles = handles.filter(h => h !== handle);
      if (handles.length) await inSession('POST', '/window', { handle: handles[0] });
    },
    evaluate: async expression => {
      const value = await inSession('POST', '/execute/async', {
        script: 'const done = arguments[arguments.length - 1];' +
                'Promise.resolve((0, eval)(arguments[0])).then(done, e => done({ kvFailed: String(e) }));',
        args: [expression],
      });
      if (value && value.kvFailed) throw new Error(value.kvFailed);
      return value;
    },
    keyDown: code => keys('keyDown', code),
    keyUp: code => keys('keyUp', code),
    click: async selector => {
      const found = await inSession('POST', '/element', { using: 'css selector', value: selector });
      await inSession('POST', `/element/${Object.values(found)[0]}/click`, {});
    },
    screenshot: async () => {
      await engine.evaluate('new Promise(drawn => requestAnimationFrame(() => requestAnimationFrame(drawn)))');
      return Buffer.from(await inSession('GET', '/screenshot'), 'base64');
    },
    // A click beside the picture takes the focus from the game's canvas, and
    // one on the picture gives it back. (Minimized, the page is hidden too,
    // and WebKit may not draw it again within a second.)
    blur: () => engine.click('h1'),
    focus: () => engine.click('#canvas'),
    quit: async () => {
      if (session) await wd('DELETE', `/session/${session}`).catch(() => {});
      if (driverProcess) driverProcess.kill();
      if (xvfb) xvfb.process.kill();
    },
    commands: {},
  };
  return engine;
};

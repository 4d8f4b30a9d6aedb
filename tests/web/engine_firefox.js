// The bridge's Firefox: Debian's firefox-esr, headless, driven over
// WebDriver BiDi through puppeteer-core. A fresh profile is a new user
// context.
'use strict';
const path = require('path');
const { keyValue } = require('./webdriver_keys');

module.exports = function firefoxEngine({ modules, executable, watch }) {
  const puppeteer = require(path.join(modules, 'puppeteer-core'));
  let browser, context, page;

  const watchPage = p => {
    p.on('pageerror', e => watch(`uncaught: ${e.message}`));
    p.on('console', m => { if (m.type() === 'error') watch(`console: ${m.text()}`); });
  };

  const engine = {
    name: 'firefox',
    open: async (url, device) => {
      if (Object.keys(device).length) throw new Error('devices are emulated in Chromium alone');
      if (!browser) {
        browser = await puppeteer.launch({ browser: 'firefox', executablePath: executable, headless: true,
                                           defaultViewport: { width: 1200, height: 947 } });
      }
      if (context) await context.close();
      context = await browser.createBrowserContext();
      return engine.newTab(url);
    },
    newTab: async url => {
      page = await context.newPage();
      watchPage(page);
      await page.goto(url);
    },
    tab: async n => {
      const p = (await context.pages())[n];
      if (!p) throw new Error(`no tab ${n}`);
      page = p;
      await page.bringToFront();
    },
    goto: url => page.goto(url),
    reload: () => page.reload(),
    closeTab: () => page.close({ runBeforeUnload: true }),
    evaluate: expression => page.evaluate(expression),
    keyDown: code => page.keyboard.down(keyValue(code)),
    keyUp: code => page.keyboard.up(keyValue(code)),
    click: selector => page.click(selector),
    screenshot: async () => {
      await page.evaluate(() => new Promise(drawn => requestAnimationFrame(() => requestAnimationFrame(drawn))));
      return Buffer.from(await page.screenshot({ type: 'png' }));
    },
    // A click beside the picture takes the focus from the game's canvas, and
    // one on the picture gives it back. (Another tab would hide the page,
    // which Firefox then wakes once a second.)
    blur: () => page.click('h1'),
    focus: () => page.click('#canvas'),
    quit: () => browser && browser.close(),
    commands: {},
  };
  return engine;
};

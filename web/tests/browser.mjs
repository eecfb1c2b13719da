// The two browser engines the page is tested in, driven the same way by
// puppeteer-core: the system's Chromium over its DevTools protocol, the
// system's Firefox over WebDriver BiDi. Nothing is downloaded. A page is
// opened at a phone's size with touch, offline: every request beyond the
// page itself is refused and remembered.
//
// Environment: IRWAV_CHROMIUM (default /usr/bin/chromium), IRWAV_FIREFOX
// (default /usr/bin/firefox-esr). Firefox plays sound only where a sound
// server runs (scripts/stages/40-web.sh starts one with a null sink).

import puppeteer from 'puppeteer-core';

export const kEngines = ['chromium', 'firefox'];

/// A phone: its size, and that it has touch.
export const kPhone = { width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true };

/// Starts `engine` ('chromium' or 'firefox') headless; browser.engine
/// names it.
export async function launch(engine) {
  const browser = await start(engine);
  browser.engine = engine;
  return browser;
}

function start(engine) {
  if (engine === 'firefox') {
    return puppeteer.launch({
      browser: 'firefox',
      executablePath: process.env.IRWAV_FIREFOX || '/usr/bin/firefox-esr',
      headless: true,
      extraPrefsFirefox: {
        // As Chromium's --autoplay-policy below: sound may start before a tap.
        'media.autoplay.default': 0,
        'media.autoplay.block-webaudio': false,
        // The light theme, as the pages of the Chromium run are opened.
        'layout.css.prefers-color-scheme.content-override': 1,
      },
    });
  }
  return puppeteer.launch({
    browser: 'chrome',
    executablePath: process.env.IRWAV_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required'],
  });
}

/// Whether `browser` can show a page in the dark theme (Firefox takes the
/// theme from a preference set at launch).
export function canEmulateTheme(browser) {
  return browser.engine === 'chromium';
}

/// A new page in a context of its own (its own storage) at `viewport`
/// (default the phone's), offline: requests other than for `allowedUrl`,
/// data: and blob: are refused and kept in page.foreign. `init(arg)` runs
/// in the page before its own scripts. Errors on the page go to
/// page.errors.
export async function newPage(browser, { viewport, colorScheme, init, initArg, allowedUrl, online } = {}) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.foreign = [];
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') page.errors.push(message.text());
  });
  await page.setViewport(Object.assign({}, kPhone, viewport));
  if (colorScheme && canEmulateTheme(browser))
    await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: colorScheme }]);
  if (!online) {
    await page.setRequestInterception(true);
    page.on('request', (request) => {
      const url = request.url();
      if (url === allowedUrl || url.startsWith('data:') || url.startsWith('blob:')) return request.continue();
      page.foreign.push(url);
      return request.abort();
    });
  }
  if (init) await page.evaluateOnNewDocument(init, initArg);
  return page;
}

/// Closes a page from newPage() with its context.
export function closePage(page) {
  return page.browserContext().close();
}

/// Types `text` into the field `selector`, replacing what it held.
export async function fill(page, selector, text) {
  await page.locator(selector).fill(text);
}

/// The text of the first element `selector` matches.
export function textOf(page, selector) {
  return page.$eval(selector, (e) => e.textContent);
}

/// An attribute of the first element `selector` matches.
export function attributeOf(page, selector, name) {
  return page.$eval(selector, (e, n) => e.getAttribute(n), name);
}

/// How many elements `selector` matches.
export async function countOf(page, selector) {
  return (await page.$$(selector)).length;
}

/// Whether the first element `selector` matches is shown.
export function isShown(page, selector) {
  return page.$eval(selector, (e) => e.offsetParent !== null || getComputedStyle(e).position === 'fixed');
}

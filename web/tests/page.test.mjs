// Drives irwav.html and the site in a headless browser (the system's
// Chromium or Firefox, see browser.mjs), at a phone's size with touch, and
// compares what they play and save with the native programs' files.
//
// node page.test.mjs ENGINE PAGE SITE REFERENCE_DIR SCREENSHOT_DIR
//   ENGINE          chromium or firefox
//   PAGE            the built irwav.html
//   SITE            the built site/ directory
//   REFERENCE_DIR   the native programs' files (see scripts/stages/40-web.sh)
//   SCREENSHOT_DIR  where the three views go, light and dark

import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { createServer } from 'node:http';
import { existsSync, readFileSync, readdirSync } from 'node:fs';
import { extname, join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { kEngines, launch, canEmulateTheme, newPage, closePage, fill, textOf, attributeOf, countOf, isShown } from './browser.mjs';

const [engine, pagePath, siteDir, referenceDir, screenshotDir] = process.argv.slice(2);
assert.ok(kEngines.includes(engine), 'the engine: one of ' + kEngines.join(', '));
const pageUrl = pathToFileURL(resolve(pagePath)).href;
const failures = [];

async function check(name, body) {
  try {
    await body();
    console.log('ok    ' + engine + ': ' + name);
  } catch (error) {
    failures.push(name);
    console.log('FAIL  ' + engine + ': ' + name + '\n' + String(error.stack || error).replace(/^/gm, '      '));
  }
}

function reference(name) {
  return readFileSync(join(referenceDir, name));
}

/// The WAV that the page's `expression` (with `irwav` in scope; a promise
/// of a Uint8Array) gives, fetched as base64.
async function pageWav(page, expression) {
  const base64 = await page.evaluate(async (expr) => {
    const wav = await new Function('irwav', 'return ' + expr)(window.irwav);
    let text = '';
    for (let i = 0; i < wav.length; i += 0x8000) text += String.fromCharCode.apply(null, wav.subarray(i, i + 0x8000));
    return btoa(text);
  }, expression);
  return Buffer.from(base64, 'base64');
}

/// The message of the Error that the page's `expression` rejects with.
function pageRefusal(page, expression) {
  return page.evaluate((expr) => Promise.resolve()
    .then(() => new Function('irwav', 'return ' + expr)(window.irwav))
    .then(() => 'no error', (e) => e.message), expression);
}

function assertSameBytes(actual, expected, what) {
  assert.equal(actual.length, expected.length, what + ': size');
  const at = actual.findIndex((byte, i) => byte !== expected[i]);
  assert.equal(at, -1, what + ': first differing byte at offset ' + at);
}

/// Before the page runs: AudioContexts at `rate` (0: the browser's own),
/// every buffer a source plays kept in window.playedBuffers, and a screen
/// wake lock that counts in window.awake the locks held.
function audioProbe(rate) {
  window.playedBuffers = [];
  window.awake = 0;
  Object.defineProperty(navigator, 'wakeLock', {
    value: {
      request: () => {
        ++window.awake;
        return Promise.resolve({ release: () => --window.awake });
      },
    },
  });
  const Original = window.AudioContext;
  if (rate) {
    window.AudioContext = class extends Original {
      constructor(options) {
        super(Object.assign({}, options, { sampleRate: rate }));
      }
    };
  }
  const startSource = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...args) {
    const b = this.buffer;
    window.playedBuffers.push({ rate: b.sampleRate, channels: [b.getChannelData(0).slice(), b.getChannelData(1).slice()] });
    return startSource.apply(this, args);
  };
}

const browser = await launch(engine);

/// A new phone-sized page of irwav.html (options: viewport, colorScheme;
/// `rate` that of its AudioContexts, 0 the browser's own), offline.
async function openPage(options, rate) {
  const page = await newPage(browser, Object.assign({ allowedUrl: pageUrl, init: audioProbe, initArg: rate || 0 }, options));
  await page.goto(pageUrl);
  await page.waitForSelector('html[data-ready]', { timeout: 15000 });
  return page;
}

/// The samples of the last buffer the page played, compared with those of
/// a WAV file: the number of samples that differ.
async function lastPlayedDiffers(page, wav) {
  const played = await page.evaluate(() => {
    const b = window.playedBuffers[window.playedBuffers.length - 1];
    return b && { rate: b.rate, left: Array.from(b.channels[0]), right: Array.from(b.channels[1]) };
  });
  assert.ok(played, 'something was played');
  assert.equal(played.rate, wav.readUInt32LE(24), 'the buffer\'s rate is the file\'s');
  const frames = wav.readUInt32LE(40) / 4;
  assert.equal(played.left.length, frames, 'frames played');
  let differ = 0;
  for (let i = 0; i < frames; ++i) {
    if (played.left[i] !== wav.readInt16LE(44 + 4 * i) / 32768) ++differ;
    if (played.right[i] !== wav.readInt16LE(46 + 4 * i) / 32768) ++differ;
  }
  return differ;
}

async function horizontalOverflow(page) {
  return page.evaluate(() => {
    const wide = document.documentElement.scrollWidth - document.documentElement.clientWidth;
    const clipped = Array.from(document.querySelectorAll('.code-name'))
      .filter((e) => e.offsetParent !== null && e.scrollWidth > e.clientWidth + 1 && getComputedStyle(e).display !== 'inline')
      .map((e) => e.textContent);
    const cut = Array.from(document.querySelectorAll('.code-name')).filter((e) => {
      if (e.offsetParent === null) return false;
      const box = e.getBoundingClientRect();
      return box.right > document.documentElement.clientWidth + 1 || box.left < -1;
    }).map((e) => e.textContent);
    return { wide, clipped: clipped.concat(cut) };
  });
}

/// Picks `brand` in Find my TV.
async function pickBrand(page, brand) {
  await page.tap('#tab-find');
  await fill(page, '#brand', brand);
  await page.tap(`#brand-matches button[data-brand="${brand}"]`);
  await page.waitForSelector('#find-step:not([hidden])');
}

try {
  const page = await openPage({});
  const codes = await page.evaluate(() => window.irwav.codes());

  await check('loads from file:// with the network blocked, and asks for the brand', async () => {
    assert.deepEqual(page.foreign, [], 'requests beyond the page');
    assert.deepEqual(page.errors, [], 'errors on the page');
    // The trap itself: a request of the page's is seen and refused.
    await page.evaluate(() => fetch('http://irwav.invalid/probe').catch(() => null));
    assert.deepEqual(page.foreign, ['http://irwav.invalid/probe'], 'the refused request is seen');
    page.foreign.length = 0;
    assert.ok(codes.length >= 54, 'codes listed: ' + codes.length);
    assert.equal(await isShown(page, '#brand'), true, 'with no TV yet, Find my TV asks for the brand');
  });

  await check('every table code at 48 kHz is byte for byte the file irwav writes', async () => {
    const files = readdirSync(referenceDir).filter((f) => /^ *\d+_.*\.wav$/.test(f));
    assert.ok(files.length >= 48, 'reference files: ' + files.length);
    for (const file of files) {
      const name = file.trim().replace(/^\d+_/, '').replace(/\.wav$/, '');
      assertSameBytes(await pageWav(page, `irwav.wav(${JSON.stringify(name)}, 48000)`), reference(file), file);
    }
  });

  await check('sequences and a code above 48 kHz are byte for byte irwav-play --output', async () => {
    assertSameBytes(await pageWav(page, `irwav.wav('rca', 96000)`), reference('rca-96k.wav'), 'rca at 96 kHz');
    assert.match(await pageRefusal(page, `irwav.wav('rca', 48000)`), /too high/, 'rca at 48 kHz is refused');
    assertSameBytes(await pageWav(page, `irwav.brand('sony', 48000, 500)`), reference('sequence-sony.wav'), 'sony');
    assertSameBytes(await pageWav(page, `irwav.sequence('sony')`), reference('sony-48000.wav'), 'one code alone');
    // Every brand's file is large (and at 192 kHz made by a worker):
    // compare digests rather than bytes.
    for (const [expression, file] of [[`irwav.brand('all')`, 'sequence-all.wav'], [`irwav.brand('all', 192000)`, 'sequence-all-192k.wav']]) {
      const digest = await page.evaluate(async (expr) => {
        const wav = await new Function('irwav', 'return ' + expr)(window.irwav);
        const hash = await crypto.subtle.digest('SHA-256', wav);
        return Array.from(new Uint8Array(hash), (b) => b.toString(16).padStart(2, '0')).join('');
      }, expression);
      assert.equal(digest, createHash('sha256').update(reference(file)).digest('hex'), file);
    }
  });

  const keyFiles = readdirSync(referenceDir).filter((f) => /^key .*\.wav$/.test(f));
  if (!keyFiles.length) console.log('skip  the keys\' files: this build\'s irwav-play has no key table');
  else await check('a key\'s file, tapped or held, is byte for byte irwav-play --code FAMILY:KEY [--hold MS]', async () => {
    for (const file of keyFiles) {
      // "key FAMILY KEY [HOLD].wav", as 40-web.sh names them.
      const parts = file.replace(/\.wav$/, '').split(' ');
      const expression = `irwav.key(${JSON.stringify(parts[1])}, ${JSON.stringify(parts[2])}, 48000, ${parts[3] || 0})`;
      assertSameBytes(await pageWav(page, expression), reference(file), file);
    }
  });

  await check('the page\'s limits: refused in plain words before rendering, the tab stays free', async () => {
    assert.match(await pageRefusal(page, `irwav.brand('all', 48000, 60000)`), /page can hold 200 MB/);
    const started = Date.now();
    assert.match(await pageRefusal(page, `irwav.pronto('0000 FFFF 0001 0000 FFFF FFFF', 192000)`), /carrier is outside what a TV receives/);
    assert.ok(Date.now() - started < 2000, 'refused at once');
    assert.match(await pageRefusal(page, 'irwav.sequence([])'), /at least one code/);
    // While a large file is made (by a worker), the page's own timers run.
    const longest = await page.evaluate(async () => {
      let last = performance.now();
      let longest = 0;
      const timer = setInterval(() => {
        const now = performance.now();
        longest = Math.max(longest, now - last);
        last = now;
      }, 20);
      await window.irwav.brand('all', 192000);
      clearInterval(timer);
      return Math.max(longest, performance.now() - last);
    });
    assert.ok(longest < 500, 'the page stood still for ' + Math.round(longest) + ' ms');
  });

  await check('a bad Pronto code says so in plain words, with the player\'s own message', async () => {
    const expected = readFileSync(join(referenceDir, 'error-pronto.txt'), 'utf8').trim().replace(/^irwav-play: /, '');
    await page.tap('#tab-tvs');
    await page.tap('#own summary');
    await fill(page, '#pronto', readFileSync(join(referenceDir, 'bad-pronto.txt'), 'utf8').trim());
    await page.tap('#pronto-play');
    await page.waitForSelector('#message.error');
    assert.match(await textOf(page, '#message .message-text'), /Pronto code cannot be played/);
    assert.equal(await textOf(page, '#message .player-message'), expected);
    assert.equal(await page.evaluate(() => window.playedBuffers.length), 0, 'nothing played');
  });

  await check('the guided search: a brand, No, No, Yes gives the remote, and My TVs keeps it', async () => {
    // A brand whose third code is one of a family, as the test taps it.
    const byBrand = new Map();
    for (const c of codes) byBrand.set(c.brand, (byBrand.get(c.brand) || []).concat([c]));
    const brand = Array.from(byBrand.keys()).find((b) => byBrand.get(b).length >= 3 && byBrand.get(b)[2].family);
    assert.ok(brand, 'a brand with three codes');
    const third = byBrand.get(brand)[2];
    await pickBrand(page, brand);
    assert.match(await textOf(page, '#step-title'), new RegExp('^Code 1 of ' + byBrand.get(brand).length + ': did the TV react\\?$'));
    await page.tap('#step-buttons .no');
    await page.tap('#step-buttons .no');
    assert.match(await textOf(page, '#step-title'), /^Code 3 of /);
    await page.tap('#step-buttons .yes');
    await page.waitForSelector('#remote-tv:not([hidden])');
    assert.equal((await textOf(page, '#remote-code')).trim(), third.name, 'the remote is for the third code');
    assert.ok(await countOf(page, '#remote-keys .key-power') === 1, 'a power key');
    await fill(page, '#remote-name-input', 'Living room');
    await page.tap('#remote-rename-form button[type=submit]');
    const before = await page.evaluate(() => window.playedBuffers.length);
    await page.tap('#remote-keys .key-power');
    assert.equal(await page.evaluate(() => window.playedBuffers.length), before + 1, 'the power key plays');
    assert.ok(await countOf(page, '#remote-keys .key-power.sent') === 1, 'and shows it was sent');
    await page.reload();
    await page.waitForSelector('html[data-ready]');
    assert.equal(await textOf(page, '#remote-name'), 'Living room', 'the remote opens first after a reload');
    await page.tap('#tab-tvs');
    assert.equal(await attributeOf(page, '#tv-list .tv', 'data-tv'), 'Living room');
    assert.match(await textOf(page, '#tv-list .tv'), new RegExp(third.name.replace(/[.]/g, '\\.')));
  });

  await check('a brand nobody knows offers Play everything', async () => {
    await page.tap('#tab-find');
    await fill(page, '#brand', 'nosuchbrandxyz');
    assert.equal(await textOf(page, '#brand-matches button'), 'Play everything');
  });

  await check('the sweep: on Stop, the codes of the last seconds are offered again, newest last', async () => {
    await page.tap('#tab-find');
    await page.tap('#brand-unknown');
    await page.waitForFunction(() => /^Code [3-9] of/.test(document.getElementById('sweep-now').textContent), { timeout: 15000 });
    const playing = await textOf(page, '#sweep-now');
    assert.equal(await page.evaluate(() => window.awake), 1, 'the screen is kept on while it plays');
    await page.tap('#sweep-stop');
    await page.waitForSelector('#find-step:not([hidden])');
    assert.match(await textOf(page, '#step-title'), /^Just played, 1 of [1-9]\d*: did the TV react\?$/);
    const of = Number(/of (\d+)/.exec(await textOf(page, '#step-title'))[1]);
    for (let i = 1; i < of; ++i) await page.tap('#step-buttons .no');
    assert.equal(playing.replace(/^Code \d+ of \d+: /, ''), (await textOf(page, '#step-code')).trim(),
      'the last one offered is the code that was playing');
    await page.tap('#find-cancel');
    assert.equal(await page.evaluate(() => window.awake), 0, 'and may sleep once the search ends');
  });

  for (const rate of [44100, 48000, 96000]) {
    await check(`at an AudioContext of ${rate} Hz, what plays is irwav-play --rate ${rate}, sample for sample`, async () => {
      const at = await openPage({}, rate);
      try {
        await pickBrand(at, 'sony');
        assert.equal(await lastPlayedDiffers(at, reference(`sony-${rate}.wav`)), 0, 'samples that differ');
        if (rate === 44100) {
          // hitachi4's carrier is too high for 44.1 kHz: marked, not played.
          await at.tap('#tab-tvs');
          await at.tap('#codes summary');
          const row = '#list .code[data-name="hitachi4"]';
          assert.match(await textOf(at, row + ' .why'), /too high for this phone's sound \(44\.1 kHz\): it needs 48 kHz/);
          assert.equal(await at.$eval(row + ' button.play', (b) => b.disabled), true);
        }
      } finally {
        await closePage(at);
      }
    });
  }

  await check('at 200 % zoom and with a 32 px font, nothing sticks out sideways and no code name is cut', async () => {
    const zoomed = [
      ['200 % zoom', { viewport: { width: 195, height: 422 } }, ''],
      ['32 px font', {}, 'html { font-size: 200% !important; }'],
      ['320 px', { viewport: { width: 320, height: 640 } }, ''],
    ];
    for (const [what, options, style] of zoomed) {
      const at = await openPage(options);
      try {
        if (style) await at.addStyleTag({ content: style });
        await pickBrand(at, 'samsung');
        for (const view of ['find', 'tvs']) {
          await at.tap('#tab-' + view);
          if (view === 'tvs') await at.tap('#codes summary');
          const result = await horizontalOverflow(at);
          assert.equal(result.wide, 0, what + ', ' + view + ': sideways by ' + result.wide + ' px');
          assert.deepEqual(result.clipped, [], what + ', ' + view + ': names cut off');
        }
        const small = await at.evaluate(() => Array.from(document.querySelectorAll('button'))
          .filter((b) => b.offsetParent !== null && b.getBoundingClientRect().height < 47.5).map((b) => b.textContent));
        assert.deepEqual(small, [], what + ': buttons lower than 48 px');
      } finally {
        await closePage(at);
      }
    }
  });

  // Chromium's, light and dark, are the README's pictures; Firefox's, in
  // its light theme, are there to compare with them.
  const schemes = canEmulateTheme(browser) ? ['light', 'dark'] : ['light'];
  const shot = (view, scheme) => join(screenshotDir, (engine === 'chromium' ? '' : engine + '-') + `${view}-${scheme}.png`);
  await check('screenshots of the three views, ' + schemes.join(' and '), async () => {
    for (const scheme of schemes) {
      const at = await openPage({ colorScheme: scheme });
      try {
        await at.screenshot({ path: shot('find', scheme) });
        await pickBrand(at, 'samsung');
        await at.tap('#step-buttons .yes');
        await at.waitForSelector('#remote-tv:not([hidden])');
        await at.tap('#remote-rename-form button[type=submit]');
        await at.tap('#message .close');
        await at.screenshot({ path: shot('remote', scheme) });
        await at.tap('#tab-tvs');
        await at.screenshot({ path: shot('tvs', scheme) });
      } finally {
        await closePage(at);
      }
    }
  });

  await check('the site from an HTTP server: the service worker controls it, and offline it still loads and plays', async () => {
    const types = { '.html': 'text/html', '.js': 'text/javascript', '.png': 'image/png', '.svg': 'image/svg+xml', '.webmanifest': 'application/manifest+json' };
    const server = createServer((request, response) => {
      const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/$/, '/index.html');
      const file = resolve(siteDir, '.' + name);
      if (!file.startsWith(resolve(siteDir)) || !existsSync(file)) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream' });
      response.end(readFileSync(file));
    });
    await new Promise((done) => server.listen(0, '127.0.0.1', done));
    const site = await newPage(browser, { online: true, init: audioProbe, initArg: 0 });
    try {
      await site.goto(`http://127.0.0.1:${server.address().port}/`);
      await site.waitForSelector('html[data-ready]');
      const manifest = await site.evaluate(() => document.querySelector('link[rel=manifest]').href);
      assert.match(manifest, /manifest\.webmanifest$/);
      await site.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 15000 });
      // The network cut: the server gone, every request to it refused.
      server.close();
      server.closeAllConnections();
      await site.reload();
      await site.waitForSelector('html[data-ready]', { timeout: 15000 });
      await pickBrand(site, 'sony');
      assert.equal(await lastPlayedDiffers(site, reference(`sony-${await site.evaluate(() => window.playedBuffers[0].rate)}.wav`)), 0);
    } finally {
      await closePage(site);
      server.close();
    }
  });
} finally {
  await browser.close();
}

if (failures.length) {
  console.log(failures.length + ' check(s) failed');
  process.exit(1);
}

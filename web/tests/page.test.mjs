// Drives irwav.html in the system's headless Chromium and compares what it
// produces with the native programs' files.
//
// node page.test.mjs PAGE REFERENCE_DIR SCREENSHOT
//   PAGE           the built irwav.html
//   REFERENCE_DIR  the native build's files: irwav's WAV files, and
//                  rca-96k.wav, sequence-sony.wav, sequence-all.wav,
//                  bad-pronto.txt and error-pronto.txt from irwav-play
//                  (see scripts/stages/40-web.sh)
//   SCREENSHOT     where to write a phone-sized screenshot of the page
// Environment: IRWAV_CHROMIUM (default /usr/bin/chromium).

import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { readFileSync, readdirSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const [pagePath, referenceDir, screenshotPath] = process.argv.slice(2);
const pageUrl = pathToFileURL(resolve(pagePath)).href;
const failures = [];

async function check(name, body) {
  try {
    await body();
    console.log('ok    ' + name);
  } catch (error) {
    failures.push(name);
    console.log('FAIL  ' + name + '\n' + String(error.stack || error).replace(/^/gm, '      '));
  }
}

function reference(name) {
  return readFileSync(join(referenceDir, name));
}

/// The WAV that the page's `expression` (evaluated with `irwav` in scope)
/// returns, fetched as base64.
async function pageWav(page, expression) {
  const base64 = await page.evaluate((expr) => {
    const wav = new Function('irwav', 'return ' + expr)(window.irwav);
    let text = '';
    for (let i = 0; i < wav.length; i += 0x8000)
      text += String.fromCharCode.apply(null, wav.subarray(i, i + 0x8000));
    return btoa(text);
  }, expression);
  return Buffer.from(base64, 'base64');
}

function assertSameBytes(actual, expected, what) {
  assert.equal(actual.length, expected.length, what + ': size');
  const at = actual.findIndex((byte, i) => byte !== expected[i]);
  assert.equal(at, -1, what + ': first differing byte at offset ' + at);
}

const browser = await chromium.launch({
  executablePath: process.env.IRWAV_CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox'],
});
try {
  // Offline, and every request that is not for the page itself is refused
  // and remembered: the page must need nothing but its own file.
  const context = await browser.newContext({
    offline: true,
    viewport: { width: 390, height: 844 },
    deviceScaleFactor: 2,
    isMobile: true,
    hasTouch: true,
    colorScheme: 'light',
  });
  const foreign = [];
  await context.route('**/*', (route) => {
    const url = route.request().url();
    if (url === pageUrl || url.startsWith('data:')) return route.continue();
    foreign.push(url);
    return route.abort();
  });
  const page = await context.newPage();
  const pageErrors = [];
  page.on('pageerror', (error) => pageErrors.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') pageErrors.push(message.text());
  });

  await check('loads from file:// with the network blocked', async () => {
    await page.goto(pageUrl);
    await page.waitForSelector('html[data-ready]', { timeout: 15000 });
    assert.deepEqual(foreign, [], 'requests beyond the page');
    assert.deepEqual(pageErrors, [], 'errors on the page');
    const rows = await page.locator('.code').count();
    const codes = await page.evaluate(() => window.irwav.codes());
    assert.ok(codes.length >= 54, 'codes listed: ' + codes.length);
    assert.equal(rows, codes.length, 'one row per code');
  });

  await check('screenshot', async () => {
    await page.screenshot({ path: screenshotPath });
  });

  const codes = await page.evaluate(() => window.irwav.codes());

  await check('every table code at 48 kHz is byte for byte the file irwav writes', async () => {
    const files = readdirSync(referenceDir).filter((f) => /^ *\d+_.*\.wav$/.test(f));
    assert.ok(files.length >= 48, 'reference files: ' + files.length);
    for (const name of ['sony', 'toshiba']) {
      assert.ok(files.some((f) => f.trim().endsWith('_' + name + '.wav')), 'a reference for ' + name);
    }
    for (const file of files) {
      const name = file.trim().replace(/^\d+_/, '').replace(/\.wav$/, '');
      assertSameBytes(await pageWav(page, `irwav.wav(${JSON.stringify(name)}, 48000)`), reference(file), file);
    }
  });

  await check('a code too high for 48 kHz is byte for byte irwav-play --rate 96000 --output', async () => {
    const rca = codes.find((c) => c.name === 'rca');
    assert.ok(rca.carrier > 48000 * 10 / 11, 'rca needs more than 48 kHz');
    assertSameBytes(await pageWav(page, `irwav.wav('rca', 96000)`), reference('rca-96k.wav'), 'rca at 96 kHz');
    const message = await page.evaluate(() => {
      try { window.irwav.wav('rca', 48000); } catch (e) { return e.message; }
      return 'no error';
    });
    assert.match(message, /rca/, 'rca at 48 kHz is refused with its name');
  });

  await check('a brand\'s and every brand\'s sequence are byte for byte irwav-play --brand --output', async () => {
    assertSameBytes(await pageWav(page, `irwav.brand('sony', 48000, 500)`),
      reference('sequence-sony.wav'), 'sony\'s codes');
    // Every brand's file is large: compare digests rather than bytes.
    const digest = await page.evaluate(async () => {
      const hash = await crypto.subtle.digest('SHA-256', window.irwav.brand('all'));
      return Array.from(new Uint8Array(hash), (b) => b.toString(16).padStart(2, '0')).join('');
    });
    assert.equal(digest, createHash('sha256').update(reference('sequence-all.wav')).digest('hex'),
      'every brand\'s codes');
  });

  await check('played through Web Audio, the samples are the WAV data', async () => {
    const result = await page.evaluate(async () => {
      const wav = window.irwav.wav('sony', 48000);
      const view = new DataView(wav.buffer, wav.byteOffset, wav.byteLength);
      const frames = view.getUint32(40, true) / 4;
      const context = new OfflineAudioContext(2, frames, 48000);
      window.irwav.start(context, wav);
      const rendered = await context.startRendering();
      let mismatches = 0, first = -1, loud = 0;
      for (let c = 0; c < 2; ++c) {
        const samples = rendered.getChannelData(c);
        for (let i = 0; i < frames; ++i) {
          const expected = view.getInt16(44 + 4 * i + 2 * c, true) / 32768;
          if (samples[i] !== expected) {
            if (first < 0) first = i;
            ++mismatches;
          }
          if (expected !== 0) ++loud;
        }
      }
      return { frames, length: rendered.length, mismatches, first, loud };
    });
    assert.equal(result.length, result.frames, 'rendered length');
    assert.ok(result.loud > 1000, 'the bursts are there: ' + result.loud + ' samples not silent');
    assert.equal(result.mismatches, 0, 'samples that differ, the first at frame ' + result.first);
  });

  await check('a bad Pronto code shows the command line\'s message and plays nothing', async () => {
    const expected = readFileSync(join(referenceDir, 'error-pronto.txt'), 'utf8')
      .trim().replace(/^irwav-play: /, '');
    const bad = readFileSync(join(referenceDir, 'bad-pronto.txt'), 'utf8').trim();
    await page.click('#own summary');
    await page.fill('#pronto', bad);
    await page.click('#pronto-play');
    await page.waitForSelector('#message.error', { timeout: 5000 });
    assert.equal(await page.textContent('#message'), expected);
    assert.equal(await page.isDisabled('#stop'), true, 'nothing is playing');
    const thrown = await page.evaluate((text) => {
      try { window.irwav.pronto(text); } catch (e) { return e.message; }
      return 'no error';
    }, bad);
    assert.equal(thrown, expected, 'irwav.pronto throws the same message');
  });

} finally {
  await browser.close();
}

if (failures.length) {
  console.log(failures.length + ' check(s) failed');
  process.exit(1);
}

// Drives irwav.html and the site in a headless browser (the system's
// Chromium or Firefox, see browser.mjs), at a phone's size with touch, and
// compares what they play and save with the native programs' files.
//
// node page.test.mjs ENGINE PAGE SITE REFERENCE_DIR SCREENSHOT_DIR PLAYER
//   ENGINE          chromium or firefox
//   PAGE            the built irwav.html
//   SITE            the built site/ directory
//   REFERENCE_DIR   the native programs' files (see scripts/stages/40-web.sh)
//   SCREENSHOT_DIR  where the views go, light and dark
//   PLAYER          the native irwav-play, for the room's codes

import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { createServer } from 'node:http';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { kEngines, launch, canEmulateTheme, newPage, closePage, fill, textOf, attributeOf, countOf, isShown } from './browser.mjs';

const [engine, pagePath, siteDir, referenceDir, screenshotDir, nativePlayer] = process.argv.slice(2);
const scratch = mkdtempSync(join(tmpdir(), 'irwav-page-'));
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
    window.playedBuffers.push({
      rate: b.sampleRate, channels: [b.getChannelData(0).slice(), b.getChannelData(1).slice()],
      when: args[0] || this.context.currentTime, duration: b.duration,
    });
    return startSource.apply(this, args);
  };
}

const browser = await launch(engine);

/// A new phone-sized page of irwav.html (options: viewport, colorScheme;
/// `rate` that of its AudioContexts, 0 the browser's own), offline. `stored`,
/// when given, is put into the page's local storage before it first runs.
async function openPage(options, rate, stored) {
  const page = await newPage(browser, Object.assign({ allowedUrl: pageUrl, init: audioProbe, initArg: rate || 0 }, options));
  if (stored) {
    await page.evaluateOnNewDocument((items) => {
      if (sessionStorage.getItem('seeded')) return;
      sessionStorage.setItem('seeded', '1');
      for (const key of Object.keys(items)) localStorage.setItem(key, items[key]);
    }, stored);
  }
  await page.goto(pageUrl);
  await page.waitForSelector('html[data-ready]', { timeout: 15000 });
  return page;
}

/// The samples of the last buffer the page played (or of buffer `index`),
/// compared with those of a WAV file: the number of samples that differ.
async function lastPlayedDiffers(page, wav, index) {
  const played = await page.evaluate((at) => {
    const b = window.playedBuffers[at === undefined ? window.playedBuffers.length - 1 : at];
    return b && { rate: b.rate, left: Array.from(b.channels[0]), right: Array.from(b.channels[1]) };
  }, index);
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

/// Chooses what to control in Find: 'tv', 'audio', 'projector' or 'box'.
async function chooseKind(page, kind) {
  await page.tap('#tab-find');
  await page.tap(`#kind-choices button[data-kind="${kind}"]`);
}

/// Picks `brand` of `kind` (default TVs) in Find.
async function pickBrand(page, brand, kind) {
  await chooseKind(page, kind || 'tv');
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
    assert.deepEqual(await page.$$eval('#kind-choices button', (b) => b.map((e) => e.textContent)),
      ['TV', 'Soundbar or receiver', 'Projector', 'Box'], 'with no device yet, Find asks what to control');
    await chooseKind(page, 'tv');
    assert.equal(await isShown(page, '#brand'), true, 'then the brand');
  });

  // Not a check: how long the page takes from its navigation to being
  // ready, for the record (median of five loads from file://).
  {
    const times = [];
    for (let i = 0; i < 5; ++i) {
      await page.reload();
      await page.waitForSelector('html[data-ready]', { timeout: 15000 });
      times.push(await page.evaluate(() => performance.getEntriesByName('irwav-ready')[0].startTime));
    }
    times.sort((a, b) => a - b);
    console.log('info  ' + engine + ': the page (' + statSync(pagePath).size + ' bytes) is ready ' + Math.round(times[2]) +
      ' ms after its navigation starts (median of 5 loads; ' + times.map(Math.round).join(', ') + ' ms)');
  }

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
    await page.tap('#tab-devices');
    await page.tap('#own summary');
    await fill(page, '#pronto', readFileSync(join(referenceDir, 'bad-pronto.txt'), 'utf8').trim());
    await page.tap('#pronto-play');
    await page.waitForSelector('#message.error');
    assert.match(await textOf(page, '#message .message-text'), /Pronto code cannot be played/);
    assert.equal(await textOf(page, '#message .player-message'), expected);
    assert.equal(await page.evaluate(() => window.playedBuffers.length), 0, 'nothing played');
  });

  await check('the guided search: a brand, No, No, Yes gives the remote, and My devices keeps it', async () => {
    // A TV brand whose third code is one of a family, as the test taps it.
    const byBrand = new Map();
    for (const c of codes.filter((c) => c.kind === 'tv' && c.brand)) byBrand.set(c.brand, (byBrand.get(c.brand) || []).concat([c]));
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
    await page.tap('#tab-devices');
    assert.equal(await attributeOf(page, '#device-list .device', 'data-device'), 'Living room');
    assert.match(await textOf(page, '#device-list .device'), new RegExp(third.name.replace(/[.]/g, '\\.')));
  });

  await check('a brand nobody knows offers Play everything', async () => {
    await chooseKind(page, 'tv');
    await fill(page, '#brand', 'nosuchbrandxyz');
    assert.equal(await textOf(page, '#brand-matches button'), 'Play everything');
  });

  await check('the sweep: on Stop, the codes of the last seconds are offered again, newest last', async () => {
    await chooseKind(page, 'tv');
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
          await at.tap('#tab-devices');
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

  // The native player's WAV of `args` at 48 kHz, to compare with what the
  // page plays.
  const native = (args) => {
    const file = join(scratch, 'native.wav');
    execFileSync(nativePlayer, ['--rate', '48000', '--output', file].concat(args), { stdio: 'ignore' });
    return readFileSync(file);
  };

  /// Taps No in the guided search until the code offered is `name`, then Yes.
  async function yesTo(at, name) {
    for (let i = 0; i < 50 && (await textOf(at, '#step-code')).trim() !== name; ++i) await at.tap('#step-buttons .no');
    assert.equal((await textOf(at, '#step-code')).trim(), name, 'the search offers ' + name);
    await at.tap('#step-buttons .yes');
    await at.waitForSelector('#remote-tv:not([hidden])');
    await at.tap('#remote-rename-form button[type=submit]');
  }

  await check('the room: the old page\'s TVs kept, a soundbar and a projector found into the room, its keys, and All off in turn', async () => {
    const oldTvs = JSON.stringify([{ id: 'old-1', name: 'Bedroom TV', brand: 'samsung', code: 'samsung', family: 'necx2:7.7', openedAt: 1000 }]);
    const at = await openPage({}, 48000, { 'irwav.tvs': oldTvs });
    try {
      assert.equal(await textOf(at, '#remote-name'), 'Bedroom TV', 'the old page\'s TV opens first');
      assert.equal(await textOf(at, '#remote-room'), 'Living room');
      const all = await at.evaluate(() => window.irwav.codes());
      const keysOf = (code) => at.evaluate((f, k) => window.irwav.keys(f, k), code.family, code.kind);
      // A soundbar whose family has volume, mute and a discrete off code,
      // and a projector whose sources say it asks for a second press.
      let soundbar = null;
      for (const c of all.filter((c) => c.kind === 'audio' && c.brand && c.family)) {
        const keys = await keysOf(c);
        if (['volume_up', 'mute', 'power_off'].every((k) => keys.includes(k))) {
          soundbar = c;
          break;
        }
      }
      assert.ok(soundbar, 'a soundbar code with volume, mute and off');
      let projector = null;
      for (const c of all.filter((c) => c.kind === 'projector' && c.brand && c.confirm === 'documented')) {
        if ((await keysOf(c)).includes('power_off')) {
          projector = c;
          break;
        }
      }
      assert.ok(projector, 'a projector code whose second press is documented');

      await pickBrand(at, soundbar.brand, 'audio');
      assert.match(await textOf(at, '#step-title'), /did the soundbar or receiver react\?$/);
      await yesTo(at, soundbar.name);
      assert.equal(await countOf(at, '#remote-keys .key-volume_up'), 1, 'the soundbar\'s volume');
      assert.equal(await countOf(at, '#remote-keys .key-channel_up'), 0, 'no channel key a soundbar has not');
      const soundbarName = await textOf(at, '#remote-name');
      assert.equal(await textOf(at, '#remote-room'), 'Living room', 'it joins the room in use');

      await pickBrand(at, projector.brand, 'projector');
      await yesTo(at, projector.name);
      const projectorName = await textOf(at, '#remote-name');
      const before = await at.evaluate(() => window.playedBuffers.length);
      await at.tap('#remote-keys .key-power_off');
      await at.waitForSelector('#remote-confirm:not([hidden])');
      assert.equal(await textOf(at, '#remote-confirm-again'), 'Press again to switch off');
      assert.match(await textOf(at, '#remote-confirm-note'), /asks to confirm/, 'where the data documents it, it says so');
      await at.tap('#remote-confirm-again');
      const powerOff = native(['--kind', 'projector', '--code', projector.family + ':power_off']);
      assert.equal(await at.evaluate(() => window.playedBuffers.length), before + 2, 'pressed twice');
      assert.equal(await lastPlayedDiffers(at, powerOff, before), 0, 'the projector\'s off code');
      assert.equal(await lastPlayedDiffers(at, powerOff, before + 1), 0, 'and again');

      await at.tap('#tab-devices');
      assert.deepEqual(await at.$$eval('#device-list .room', (r) => r.map((e) => e.dataset.room)), ['Living room']);
      assert.deepEqual(await at.$$eval('#device-list .device', (d) => d.map((e) => e.dataset.device)),
        ['Bedroom TV', soundbarName, projectorName], 'the room\'s devices, in the order they came');
      await at.tap('#device-list .room-open');
      const owner = (key) => attributeOf(at, '#room-keys .key-' + key, 'data-device');
      assert.equal(await owner('volume_up'), soundbarName, 'volume from the soundbar');
      assert.equal(await owner('mute'), soundbarName, 'mute from the soundbar');
      assert.equal(await owner('channel_up'), 'Bedroom TV', 'channel from the TV');
      assert.equal(await owner('input'), 'Bedroom TV', 'input from the TV');
      await at.tap('#room-keys .key-mute');
      assert.equal(await lastPlayedDiffers(at, native(['--kind', 'audio', '--code', soundbar.family + ':mute'])), 0, 'the soundbar\'s mute');

      const first = await at.evaluate(() => window.playedBuffers.length);
      await at.tap('#room-all-off');
      await at.waitForFunction(() => /^Every device/.test(document.getElementById('room-status').textContent), { timeout: 30000 });
      const expected = [
        native(['--kind', 'tv', '--code', 'necx2:7.7:power_off']),
        native(['--kind', 'audio', '--code', soundbar.family + ':power_off']),
        powerOff, powerOff,
      ];
      const played = await at.evaluate((from) => window.playedBuffers.slice(from).map((b) => ({ when: b.when, duration: b.duration })), first);
      assert.equal(played.length, expected.length, 'one off code a device, the projector\'s twice');
      for (let i = 0; i < expected.length; ++i) {
        assert.equal(await lastPlayedDiffers(at, expected[i], first + i), 0, 'press ' + (i + 1));
        if (i) {
          const gap = played[i].when - played[i - 1].when - played[i - 1].duration;
          assert.ok(Math.abs(gap - 1.5) < 0.01, 'press ' + (i + 1) + ' follows after a gap of 1.5 s, not ' + gap);
        }
      }

      await at.reload();
      await at.waitForSelector('html[data-ready]');
      await at.tap('#tab-devices');
      assert.equal(await countOf(at, '#device-list .device'), 3, 'the devices after a reload');
      assert.equal(await at.evaluate(() => localStorage.getItem('irwav.tvs')), oldTvs, 'the old page\'s entry is left as it was');
    } finally {
      await closePage(at);
    }
  });

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
        await at.tap('#step-buttons .yes');
        await at.waitForSelector('#remote-tv:not([hidden])');
        await at.tap('#remote-rename-form button[type=submit]');
        const small = [];
        for (const view of ['remote', 'find', 'devices', 'room']) {
          if (view === 'room') await at.tap('#device-list .room-open');
          else await at.tap('#tab-' + view);
          if (view === 'devices') await at.tap('#codes summary');
          const result = await horizontalOverflow(at);
          assert.equal(result.wide, 0, what + ', ' + view + ': sideways by ' + result.wide + ' px');
          assert.deepEqual(result.clipped, [], what + ', ' + view + ': names cut off');
          small.push(...await at.evaluate(() => Array.from(document.querySelectorAll('button'))
            .filter((b) => b.offsetParent !== null && b.getBoundingClientRect().height < 47.5).map((b) => b.textContent)));
        }
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
  await check('screenshots of the views, ' + schemes.join(' and '), async () => {
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
        await at.tap('#tab-devices');
        await at.screenshot({ path: shot('devices', scheme) });
        await at.tap('#device-list .room-open');
        await at.screenshot({ path: shot('room', scheme) });
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
  rmSync(scratch, { recursive: true, force: true });
}

if (failures.length) {
  console.log(failures.length + ' check(s) failed');
  process.exit(1);
}

// The page: lists the codes, plays and saves the WAV files that the
// renderer (compiled to WebAssembly above) writes, and offers the same
// functions to the browser's console as window.irwav.

(function () {
  'use strict';

  const kFileRate = 48000;
  const kHighRate = 96000;

  // ---- The renderer ------------------------------------------------------

  let features = null;
  let codeList = [];

  function cString(text) {
    const size = lengthBytesUTF8(text) + 1;
    const pointer = _malloc(size);
    stringToUTF8(text, pointer, size);
    return pointer;
  }

  /// Writes the WAV file that `irwav-play --output` writes for the player's
  /// options `args` (an array of "--name=VALUE" strings) followed by the
  /// listed codes `entries`, and returns it; throws an Error with the
  /// player's message when the player refuses.
  function render(args, entries) {
    // One argument a line: blanks and line breaks inside a value (a pasted
    // Pronto code) are all the same to the player's parsers.
    const argText = args.map((a) => String(a).replace(/\s+/g, ' ').trim()).join('\n');
    const argPointer = cString(argText);
    const indexPointer = cString((entries || []).map((e) => e.index).join('\n'));
    let status;
    try {
      status = _irwavRender(argPointer, indexPointer);
    } finally {
      _free(argPointer);
      _free(indexPointer);
    }
    if (status !== 0) throw new Error(UTF8ToString(_irwavError()));
    const data = _irwavWavData();
    return HEAPU8.slice(data, data + _irwavWavSize());
  }

  /// The codes that the last render wrote, with the second each starts at,
  /// from the player's report ("Writing NAME - freq = F Hz, at T s").
  function lastTimeline() {
    const timeline = [];
    for (const line of UTF8ToString(_irwavReport()).split('\n')) {
      const match = /^Writing (.+) - freq = \d+ Hz, at ([\d.]+) s$/.exec(line);
      if (match) timeline.push({ name: match[1], at: Number(match[2]) });
    }
    return timeline;
  }

  /// The player's options for a sample rate and a gap; either may be left
  /// out (undefined or null) for the player's default.
  function options(rate, gapMs) {
    const args = [];
    if (rate !== undefined && rate !== null) args.push('--rate=' + rate);
    if (gapMs !== undefined && gapMs !== null) args.push('--gap=' + gapMs);
    return args;
  }

  function findEntry(nameOrIndex) {
    if (typeof nameOrIndex === 'number') {
      const entry = codeList[nameOrIndex];
      if (entry) return entry;
    } else {
      const wanted = String(nameOrIndex).toLowerCase();
      const entry = codeList.find((e) => e.name.toLowerCase() === wanted) ||
        (/^\d+$/.test(wanted) ? codeList[Number(wanted)] : undefined);
      if (entry) return entry;
    }
    throw new Error('no code named "' + nameOrIndex + '"');
  }

  /// The rate a code plays at: 48 kHz, or 96 kHz when its carrier is too
  /// high for 48 kHz and the renderer offers 96 kHz.
  function ownRate(entry) {
    if (entry.carrier <= features.maxCarrier[kFileRate] || !features.maxCarrier[kHighRate])
      return kFileRate;
    return kHighRate;
  }

  function wavOf(entries, rate, gapMs) {
    return render(options(rate, gapMs), entries);
  }

  // ---- Audio -------------------------------------------------------------

  let audio = null;
  let playing = null;

  function audioContext() {
    if (!audio) {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) throw new Error('this browser cannot play audio (no Web Audio)');
      audio = new Context();
    }
    return audio;
  }

  /// The samples of a WAV file of the renderer's as an AudioBuffer at the
  /// file's own rate: each 16-bit sample divided by 32768, nothing else.
  function audioBufferOf(context, wav) {
    const view = new DataView(wav.buffer, wav.byteOffset, wav.byteLength);
    const channels = view.getUint16(22, true);
    const rate = view.getUint32(24, true);
    const frames = view.getUint32(40, true) / (2 * channels);
    const buffer = context.createBuffer(channels, frames, rate);
    for (let c = 0; c < channels; ++c) {
      const samples = buffer.getChannelData(c);
      for (let i = 0, at = 44 + 2 * c; i < frames; ++i, at += 2 * channels)
        samples[i] = view.getInt16(at, true) / 32768;
    }
    return buffer;
  }

  /// Plays `wav` on `context` straight into its destination (gain 1, no
  /// effects) and returns the source node.
  function start(context, wav) {
    const source = context.createBufferSource();
    source.buffer = audioBufferOf(context, wav);
    source.connect(context.destination);
    source.start();
    return source;
  }

  /// The code of a sequence that is playing now, or was when it stopped.
  function currentCode(was) {
    const elapsed = was.context.currentTime - was.startedAt;
    let current = null;
    for (const entry of was.timeline) {
      if (entry.at <= elapsed) current = entry;
    }
    return current;
  }

  function stop() {
    if (!playing) return;
    const was = playing;
    playing = null;
    was.source.onended = null;
    try { was.source.stop(); } catch (e) { /* already ended */ }
    finished(was);
    // Stopped the moment the TV reacted: the code it reacted to is the one
    // that was playing.
    const current = currentCode(was);
    if (current && was.timeline.length > 1) $('now').textContent = 'Stopped during ' + current.name;
  }

  function finished(was) {
    clearInterval(was.timer);
    if (was.row) was.row.classList.remove('playing');
    $('stop').disabled = true;
    $('now').textContent = 'Ready';
  }

  /// Plays `wav`; `timeline` (from lastTimeline) names the code playing as
  /// a sequence goes on.
  function play(wav, label, row, timeline) {
    stop();
    const context = audioContext();
    if (context.resume) context.resume();
    const source = start(context, wav);
    const now = { source, label, row, context, startedAt: context.currentTime, timeline: timeline || [] };
    playing = now;
    if (row) row.classList.add('playing');
    $('stop').disabled = false;
    $('now').textContent = 'Playing ' + label;
    if (now.timeline.length > 1) {
      now.timer = setInterval(() => {
        const current = currentCode(now);
        if (current) $('now').textContent = label + ': ' + current.name;
      }, 100);
    }
    source.onended = () => {
      if (playing !== now) return;
      playing = null;
      finished(now);
    };
  }

  // ---- Saving ------------------------------------------------------------

  function save(wav, fileName) {
    const url = URL.createObjectURL(new Blob([wav], { type: 'audio/wav' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = fileName;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  // ---- The page ----------------------------------------------------------

  function $(id) { return document.getElementById(id); }

  function say(text, kind) {
    const box = $('message');
    box.className = text ? kind : '';
    box.textContent = text;
  }

  /// Runs `action`, showing its Error's message on the page instead of
  /// playing or saving anything.
  function guarded(action) {
    return () => {
      say('');
      try {
        action();
      } catch (error) {
        stop();
        say(error.message, 'error');
      }
    };
  }

  function canPlayHigh() {
    return features.maxCarrier[kHighRate] && audio && audio.sampleRate >= kHighRate;
  }

  /// The rate for a sequence of `entries`: 96 kHz when one of them needs it
  /// and the phone's audio runs at 96 kHz, otherwise 48 kHz (passing over
  /// the codes that need more).
  function sequenceRate(entries) {
    return entries.some((e) => ownRate(e) !== kFileRate) && canPlayHigh() ? kHighRate : kFileRate;
  }

  function gapMs() {
    const value = $('gap').value.trim();
    return value === '' ? features.defaultGapMs : value;
  }

  function button(text, onClick, primary) {
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = text;
    if (primary) b.className = 'primary';
    b.addEventListener('click', guarded(onClick));
    return b;
  }

  function fileNameOf(name, rate) {
    return name.replace(/[^A-Za-z0-9.-]+/g, '_') + (rate === kFileRate ? '' : '-' + rate / 1000 + 'k') + '.wav';
  }

  function codeRow(entry) {
    const row = document.createElement('div');
    row.className = 'code';
    row.dataset.name = entry.name;
    const what = document.createElement('div');
    what.className = 'what';
    const name = document.createElement('span');
    name.className = 'name';
    // Under its brand's heading a library code goes by its protocol and
    // fields alone.
    name.textContent = entry.name.startsWith(entry.brand + ' ') ? entry.name.slice(entry.brand.length + 1) : entry.name;
    what.appendChild(name);
    const rate = ownRate(entry);
    if (entry.carrier > features.maxCarrier[kFileRate]) {
      const badge = document.createElement('span');
      badge.className = 'badge';
      badge.textContent = features.maxCarrier[kHighRate] ? '96 kHz' : 'too high';
      badge.title = 'Carrier too high for 48 kHz audio';
      what.appendChild(badge);
    }
    const carrier = document.createElement('span');
    carrier.className = 'carrier';
    carrier.textContent = (entry.carrier / 1000).toFixed(1) + ' kHz carrier' +
      (entry.carrier > features.maxCarrier[kFileRate] ? ' · needs 96 kHz audio' : '');
    what.appendChild(carrier);
    row.appendChild(what);
    const playButton = button('Play', () => play(wavOf([entry], rate), entry.name, row), true);
    playButton.setAttribute('aria-label', 'Play ' + entry.name);
    playButton.classList.add('play');
    if (rate !== kFileRate) playButton.dataset.high = '1';
    const saveButton = button('Save', () => save(wavOf([entry], rate), fileNameOf(entry.name, rate)));
    saveButton.setAttribute('aria-label', 'Save ' + entry.name + ' as WAV');
    saveButton.disabled = rate !== kFileRate && !features.maxCarrier[kHighRate];
    row.append(playButton, saveButton);
    return row;
  }

  function brandSection(brand, entries) {
    const section = document.createElement('div');
    section.className = 'brand';
    section.dataset.brand = brand;
    const head = document.createElement('div');
    head.className = 'brand-head';
    const title = document.createElement('h3');
    title.textContent = brand;
    head.appendChild(title);
    if (entries.length > 1) {
      head.append(
        button('Play all', () => playBrand(brand, entries)),
        button('Save all', () => saveBrand(brand, entries)));
    }
    section.appendChild(head);
    for (const entry of entries) section.appendChild(codeRow(entry));
    return section;
  }

  /// What `irwav-play --brand NAME --output` writes: every code of the
  /// brand (`entries`, "all": every brand), the gap between two.
  function brandWav(brand, entries) {
    return render(options(sequenceRate(entries), gapMs()).concat(['--brand=' + brand]));
  }

  function playBrand(brand, entries) {
    const rate = sequenceRate(entries);
    play(brandWav(brand, entries), brand === 'all' ? 'Everything' : brand, null, lastTimeline());
    const skipped = entries.filter((e) => e.carrier > features.maxCarrier[rate]);
    if (skipped.length)
      say('Passed over at ' + rate / 1000 + ' kHz: ' + skipped.map((e) => e.name).join(', '), 'info');
  }

  function saveBrand(brand, entries) {
    save(brandWav(brand, entries), fileNameOf('irwav-' + brand, sequenceRate(entries)));
  }

  function updatePlayable() {
    const high = canPlayHigh();
    for (const b of document.querySelectorAll('button.play[data-high]')) b.disabled = !high;
  }

  function showList() {
    const brands = new Map();
    for (const entry of codeList) {
      if (!brands.has(entry.brand)) brands.set(entry.brand, []);
      brands.get(entry.brand).push(entry);
    }
    const list = $('list');
    // (No destructuring here: the build's JavaScript minifier mangles it.)
    brands.forEach((entries, brand) => list.appendChild(brandSection(brand, entries)));
    $('search').addEventListener('input', () => {
      const wanted = $('search').value.trim().toLowerCase();
      for (const section of list.children) {
        section.hidden = wanted !== '' && !section.dataset.brand.toLowerCase().includes(wanted) &&
          !Array.from(section.querySelectorAll('.code'))
            .some((row) => row.dataset.name.toLowerCase().includes(wanted));
      }
    });
    $('play-all').addEventListener('click', guarded(() => playBrand('all', codeList)));
    $('save-all').addEventListener('click', guarded(() => saveBrand('all', codeList)));
  }

  function ownCodeControls() {
    // A code of the user's goes at 48 kHz, or at 96 kHz when its carrier
    // needs that and the phone (for playing) or the renderer (for saving)
    // runs at 96 kHz.
    const atOwnRate = (make, highOk) => {
      try {
        return make(kFileRate);
      } catch (error) {
        if (highOk && /--rate 96000 plays it/.test(error.message)) return make(kHighRate);
        throw error;
      }
    };
    const prontoWav = (highOk) => atOwnRate((rate) => window.irwav.pronto($('pronto').value, rate), highOk);
    $('pronto-play').addEventListener('click', guarded(() =>
      play(prontoWav(canPlayHigh()), 'your Pronto code', null)));
    $('pronto-save').addEventListener('click', guarded(() => save(prontoWav(true), 'pronto.wav')));
    for (const name of features.protocols) {
      const option = document.createElement('option');
      option.value = option.textContent = name;
      $('protocol').appendChild(option);
    }
    // PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION, the form the player takes.
    const typedCode = () => {
      const sub = $('subdevice').value.trim();
      return $('protocol').value + ':' + $('device').value.trim() + (sub === '' ? '' : '.' + sub) + ':' +
        $('function').value.trim();
    };
    const typedWav = (highOk) => atOwnRate((rate) => window.irwav.code(typedCode(), rate), highOk);
    $('fields-play').addEventListener('click', guarded(() => play(typedWav(canPlayHigh()), typedCode(), null)));
    $('fields-save').addEventListener('click', guarded(() => save(typedWav(true), fileNameOf(typedCode(), kFileRate))));
  }

  // ---- The scripting surface ----------------------------------------------

  window.irwav = {
    /// The codes the page lists: index, name, brand, carrier in Hz.
    codes() {
      return codeList.map((e) => ({ index: e.index, name: e.name, brand: e.brand, carrier: e.carrier }));
    },
    /// The WAV file of one code (a name or an index of codes()) at `rate`
    /// (default: 48000), as the desktop programs write it.
    wav(nameOrIndex, rate) {
      return wavOf([findEntry(nameOrIndex)], rate);
    },
    /// The WAV file of a Pronto code at `rate` (default: 48000).
    pronto(text, rate) {
      return render(options(rate).concat(['--pronto=' + text]));
    },
    /// The WAV file of a code given as PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION.
    code(text, rate) {
      return render(options(rate).concat(['--code=' + text]));
    },
    /// One WAV file of several codes (names or indices of codes()) in order,
    /// `gapMs` of silence apart, as the player's --output writes it.
    sequence(namesOrIndices, rate, gapMs) {
      return wavOf(namesOrIndices.map(findEntry), rate, gapMs);
    },
    /// What `irwav-play --brand NAME --output` writes ("all": every brand).
    brand(name, rate, gapMs) {
      return render(options(rate, gapMs).concat(['--brand=' + name]));
    },
    /// Plays `wav` on an audio context the way the page plays every code.
    start,
    stop,
  };

  function init() {
    features = JSON.parse(UTF8ToString(_irwavFeatures()));
    codeList = JSON.parse(UTF8ToString(_irwavCodes()));
    $('gap').placeholder = String(features.defaultGapMs);
    $('gap').value = String(features.defaultGapMs);
    try {
      audioContext();
    } catch (error) {
      say(error.message, 'error');
    }
    $('rate-note').textContent = audio
      ? 'This phone\'s audio runs at ' + audio.sampleRate / 1000 + ' kHz' +
        (canPlayHigh() ? ': every code plays.' : ': the codes marked 96 kHz cannot play here.')
      : '';
    showList();
    updatePlayable();
    ownCodeControls();
    $('stop').addEventListener('click', stop);
    $('message').addEventListener('click', () => say(''));
    $('now').textContent = 'Ready';
    document.documentElement.dataset.ready = '1';
  }

  if (runtimeInitialized) init();
  else Module.onRuntimeInitialized = init;
})();

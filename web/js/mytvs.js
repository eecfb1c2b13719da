// "My TVs": the TVs found so far, to open, rename or forget; and for
// those who want them, every power code in a list (play, save, play a
// brand's or every code) and "Your own code" (Pronto, or a protocol's
// fields with a function number or key name).

import { $, element, button, codeName, say, guarded } from './dom.js';
import { allCodes, codeWav, matchBrands, brandTitle } from './library.js';
import { playRate, playWav, playList, whyNotPlayable, stop } from './audio.js';
import { render } from './worker.js';
import { kFileRate } from './renderer.js';
import { allTvs, openTv, removeTv } from './store.js';

let onOpen = null;
let gapMs = () => null;
let offered = null;

/// The gap of a list in ms: the field's, or the player's own for a brand
/// or for every code (`all`).
function listGap(all) {
  const gap = gapMs();
  if (gap !== null) return gap;
  return all ? offered.sweepGapMs : offered.defaultGapMs;
}

/// The field's gap as the player's option: none when the field is empty.
function gapArgs() {
  const gap = gapMs();
  return gap === null ? [] : ['--gap=' + gap];
}

/// The rate Save writes: 48 kHz unless the user picks another.
function saveRate() {
  return Number($('save-rate').value);
}

function fileNameOf(name, rate) {
  return name.replace(/[^A-Za-z0-9.-]+/g, '_') + (rate === kFileRate ? '' : '-' + rate / 1000 + 'k') + '.wav';
}

/// Offers `wav` for download as `fileName`.
export function download(wav, fileName) {
  const url = URL.createObjectURL(new Blob([wav], { type: 'audio/wav' }));
  const link = document.createElement('a');
  link.href = url;
  link.download = fileName;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

function saveRequest(args, indices, fileName) {
  say('Making the sound file…', 'info');
  return render(['--rate=' + saveRate()].concat(args), indices).then((result) => {
    say('');
    download(result.wav, fileName);
  });
}

/// Shows the TVs, the last opened first.
export function showTvs() {
  const list = $('tv-list');
  list.replaceChildren();
  const tvs = allTvs();
  $('tvs-none').hidden = tvs.length > 0;
  for (const tv of tvs) {
    const row = element('div', 'tv');
    const what = element('div', 'what');
    what.appendChild(element('span', 'tv-name', tv.name));
    what.appendChild(codeName(tv.code, 'code-name small'));
    row.appendChild(what);
    row.appendChild(button('Open', () => onOpen(openTv(tv.id) || tv), 'primary'));
    row.appendChild(button('Forget', () => {
      removeTv(tv.id);
      showTvs();
    }));
    row.dataset.tv = tv.name;
    list.appendChild(row);
  }
}

function playOne(entry) {
  const why = whyNotPlayable(entry.carrier);
  if (why) throw new Error(why);
  playWav(codeWav(entry, playRate()));
}

function codeRow(entry) {
  const row = element('div', 'code');
  row.dataset.name = entry.name;
  const what = element('div', 'what');
  what.appendChild(codeName(entry.name));
  const why = whyNotPlayable(entry.carrier);
  what.appendChild(element('span', 'carrier', (entry.carrier / 1000).toFixed(1) + ' kHz carrier'));
  if (why) {
    row.classList.add('unplayable');
    what.appendChild(element('span', 'why', why));
  }
  row.appendChild(what);
  const play = button('Play', () => playOne(entry), 'primary play');
  play.setAttribute('aria-label', 'Play ' + entry.name);
  play.disabled = Boolean(why);
  const save = button('Save', () => saveRequest([], [entry.index], fileNameOf(entry.name, saveRate())));
  save.setAttribute('aria-label', 'Save ' + entry.name + ' as WAV');
  row.append(play, save);
  return row;
}

/// Plays the `entries` one after another, marking the row that plays; `all`
/// when they are every code.
function playRows(entries, all) {
  const rate = playRate();
  const rows = new Map();
  for (const row of document.querySelectorAll('#list .code')) rows.set(row.dataset.name, row);
  const mark = (entry) => {
    for (const row of document.querySelectorAll('#list .code.playing')) row.classList.remove('playing');
    const row = entry && rows.get(entry.name);
    if (row) {
      row.classList.add('playing');
      row.scrollIntoView({ block: 'nearest' });
    }
    $('now').replaceChildren();
    if (entry) $('now').append(element('span', '', 'Playing '), codeName(entry.name));
  };
  $('stop').disabled = false;
  playList(entries, listGap(all), (e) => (whyNotPlayable(e.carrier) ? null : codeWav(e, rate)), mark, () => {
    mark(null);
    $('stop').disabled = true;
  });
}

function brandSection(brand, entries) {
  const section = element('div', 'brand');
  section.dataset.brand = brand;
  const head = element('div', 'brand-head');
  head.appendChild(element('h3', '', brandTitle(brand)));
  if (entries.length > 1) {
    head.append(
      button('Play all', () => playRows(entries)),
      button('Save all', () => saveRequest(gapArgs().concat(['--brand=' + brand]), [], fileNameOf('irwav-' + brand, saveRate()))));
  }
  section.appendChild(head);
  for (const entry of entries) section.appendChild(codeRow(entry));
  return section;
}

function showList() {
  const byBrand = new Map();
  for (const entry of allCodes()) {
    if (!byBrand.has(entry.brand)) byBrand.set(entry.brand, []);
    byBrand.get(entry.brand).push(entry);
  }
  const list = $('list');
  byBrand.forEach((entries, brand) => list.appendChild(brandSection(brand, entries)));
  $('search').addEventListener('input', () => {
    const text = $('search').value;
    const wanted = new Set(matchBrands(text));
    const needle = text.trim().toLowerCase();
    let shown = 0;
    for (const section of list.children) {
      section.hidden = needle !== '' && !wanted.has(section.dataset.brand) &&
        !Array.from(section.querySelectorAll('.code')).some((row) => row.dataset.name.toLowerCase().includes(needle));
      if (!section.hidden) ++shown;
    }
    $('search-none').hidden = shown > 0;
  });
  $('search-none-play').addEventListener('click', guarded(() => playRows(sweepEntries(), true)));
  $('play-all').addEventListener('click', guarded(() => playRows(sweepEntries(), true)));
  $('save-all').addEventListener('click', guarded(() =>
    saveRequest(gapArgs().concat(['--brand=all']), [], fileNameOf('irwav-all', saveRate()))));
  $('stop').addEventListener('click', () => {
    stop();
    $('stop').disabled = true;
    for (const row of document.querySelectorAll('#list .code.playing')) row.classList.remove('playing');
    $('now').textContent = 'Stopped';
  });
}

let sweepEntries = () => [];

function ownCode() {
  const pronto = () => ['--pronto=' + $('pronto').value];
  const typed = () => {
    const sub = $('subdevice').value.trim();
    return ['--code=' + $('protocol').value + ':' + $('device').value.trim() + (sub === '' ? '' : '.' + sub) +
      ':' + $('function').value.trim()];
  };
  const playOwn = (args) => {
    const result = render(['--rate=' + playRate()].concat(args), []);
    return result.then((r) => playWav(r.wav));
  };
  $('pronto-play').addEventListener('click', guarded(() => playOwn(pronto())));
  $('pronto-save').addEventListener('click', guarded(() => saveRequest(pronto(), [], 'pronto.wav')));
  $('fields-play').addEventListener('click', guarded(() => playOwn(typed())));
  $('fields-save').addEventListener('click', guarded(() =>
    saveRequest(typed(), [], fileNameOf(typed()[0].slice(7), saveRate()))));
}

/// Sets the view up: `open(tv)` shows a TV's remote; `gap()` gives the gap
/// field's in ms (null: empty); `sweep()` the codes of "Play everything" in
/// order; `features` what the renderer offers (its gaps, the protocol
/// names a typed code may use, the rates Save may write at).
export function setUpMyTvs(open, gap, sweep, features) {
  onOpen = open;
  offered = features;
  const protocols = features.protocols;
  for (const rate of features.rates) {
    const option = document.createElement('option');
    option.value = String(rate);
    option.textContent = rate / 1000 + ' kHz' + (rate === kFileRate ? ' (as the desktop programs)' : '');
    option.selected = rate === kFileRate;
    $('save-rate').appendChild(option);
  }
  gapMs = gap;
  sweepEntries = sweep;
  for (const name of protocols) {
    const option = document.createElement('option');
    option.value = option.textContent = name;
    $('protocol').appendChild(option);
  }
  showList();
  ownCode();
  showTvs();
}

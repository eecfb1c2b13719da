// "My devices": the devices found so far, room by room, to open or
// forget, and each room's screen; and for those who want them, every power
// code of a kind in a list (play, save, play a brand's or every code) and
// "Your own code" (Pronto, or a protocol's fields with a function number
// or key name).

import { $, element, button, codeName, say, guarded } from './dom.js';
import { allCodes, codeWav, matchBrands, brandTitle, kindOf, kindsWithCodes } from './library.js';
import { playRate, playWav, playList, whyNotPlayable, stop } from './audio.js';
import { render } from './worker.js';
import { kFileRate } from './renderer.js';
import { rooms, openDevice, removeDevice } from './store.js';

let onOpen = null;
let onOpenRoom = null;
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

/// Shows the devices room by room, the room last used first.
export function showDevices() {
  const list = $('device-list');
  list.replaceChildren();
  const all = rooms();
  $('devices-none').hidden = all.length > 0;
  for (const shownRoom of all) {
    const room = shownRoom.room;
    const section = element('div', 'room');
    section.dataset.room = room;
    const head = element('div', 'room-head');
    head.appendChild(element('h3', '', room));
    head.appendChild(button('Room', () => onOpenRoom(room), 'primary room-open'));
    section.appendChild(head);
    for (const device of shownRoom.devices) {
      const row = element('div', 'device');
      const what = element('div', 'what');
      what.appendChild(element('span', 'device-name', device.name));
      what.appendChild(element('span', 'device-kind', kindOf(device.kind).label));
      what.appendChild(codeName(device.code, 'code-name small'));
      row.appendChild(what);
      row.appendChild(button('Open', () => onOpen(openDevice(device.id) || device), 'primary'));
      row.appendChild(button('Forget', () => {
        removeDevice(device.id);
        showDevices();
      }));
      row.dataset.device = device.name;
      section.appendChild(row);
    }
    list.appendChild(section);
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
      button('Save all', () => saveRequest(gapArgs().concat(['--kind=' + listKind, '--brand=' + brand]), [],
        fileNameOf('irwav-' + brand + (listKind === 'tv' ? '' : '-' + listKind), saveRate()))));
  }
  section.appendChild(head);
  for (const entry of entries) section.appendChild(codeRow(entry));
  return section;
}

// The kind whose codes the list shows.
let listKind = 'tv';

/// Lists the codes of `kind`, brand by brand.
function listCodesOf(kind) {
  stop();
  listKind = kind;
  const byBrand = new Map();
  for (const entry of allCodes()) {
    if (entry.kind !== kind || !entry.brand) continue;
    if (!byBrand.has(entry.brand)) byBrand.set(entry.brand, []);
    byBrand.get(entry.brand).push(entry);
  }
  const list = $('list');
  list.replaceChildren();
  byBrand.forEach((entries, brand) => list.appendChild(brandSection(brand, entries)));
  $('search').value = '';
  $('search-none').hidden = true;
}

function showList() {
  for (const k of kindsWithCodes()) {
    const option = document.createElement('option');
    option.value = k.kind;
    option.textContent = k.label;
    $('codes-kind').appendChild(option);
  }
  $('codes-kind').addEventListener('change', () => listCodesOf($('codes-kind').value));
  listCodesOf('tv');
  const list = $('list');
  $('search').addEventListener('input', () => {
    const text = $('search').value;
    const wanted = new Set(matchBrands(text, listKind));
    const needle = text.trim().toLowerCase();
    let shown = 0;
    for (const section of list.children) {
      section.hidden = needle !== '' && !wanted.has(section.dataset.brand) &&
        !Array.from(section.querySelectorAll('.code')).some((row) => row.dataset.name.toLowerCase().includes(needle));
      if (!section.hidden) ++shown;
    }
    $('search-none').hidden = shown > 0;
  });
  $('search-none-play').addEventListener('click', guarded(() => playRows(sweepEntries(listKind), true)));
  $('play-all').addEventListener('click', guarded(() => playRows(sweepEntries(listKind), true)));
  $('save-all').addEventListener('click', guarded(() =>
    saveRequest(gapArgs().concat(['--kind=' + listKind, '--brand=all']), [],
      fileNameOf('irwav-all' + (listKind === 'tv' ? '' : '-' + listKind), saveRate()))));
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

/// Sets the view up: `open(device)` shows a device's remote, `openRoom(room)`
/// a room's screen; `gap()` gives the gap field's in ms (null: empty);
/// `sweep(kind)` the codes of "Play everything" in order; `features` what
/// the renderer offers (its gaps, the protocol names a typed code may use,
/// the rates Save may write at).
export function setUpDevices(open, openRoom, gap, sweep, features) {
  onOpen = open;
  onOpenRoom = openRoom;
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
  showDevices();
}

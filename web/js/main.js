// The page: three views (Find, The remote, My devices) and a room's
// screen over one renderer and one sound; window.irwav for the browser's
// console; and, run as a worker, the renderer for large files.

import { $, say, guarded } from './dom.js';
import { features, renderHere, timelineOf, familyKeys } from './renderer.js';
import { inWorker, serveRenders, render } from './worker.js';
import { loadLibrary, allCodes, findEntry, sweepCodes, brandTitle, kindOf } from './library.js';
import { startAudio, rateNote, start, stop } from './audio.js';
import { currentDevice, addDevice } from './store.js';
import { setUpFind, reset } from './find.js';
import { showRemote, setUpRemote } from './remote.js';
import { setUpDevices, showDevices } from './devices.js';
import { setUpRoom, showRoom } from './room.js';

let offered = null;

/// The gap field's value in ms, null when it is empty (the player's own
/// gap then: that of a brand, or the shorter one of "Play everything");
/// throws in plain words when it is not a number of seconds the player
/// takes.
function gapMs() {
  const text = $('gap').value.trim().replace(',', '.');
  if (text === '') return null;
  const seconds = Number(text);
  const max = offered.maxGapMs / 1000;
  if (!/^\d*\.?\d*$/.test(text) || !(seconds >= 0 && seconds <= max))
    throw new Error('The gap must be between 0 and ' + max + ' seconds.');
  return Math.round(seconds * 1000);
}

function showView(name) {
  for (const view of ['find', 'remote', 'devices', 'room']) {
    $('view-' + view).hidden = view !== name;
    if (view !== 'room') $('tab-' + view).setAttribute('aria-selected', String(view === name));
  }
  say('');
  if (name !== 'find') reset();
  if (name === 'devices') showDevices();
  window.scrollTo(0, 0);
}

function openRemote(device) {
  showRemote(device);
  showView('remote');
}

function openRoom(room) {
  showView('room');
  showRoom(room);
}

function found(entry, brand, kind) {
  const title = kindOf(kind).title;
  const device = addDevice({
    kind, name: brand ? brandTitle(brand) + ' ' + title : title, brand, code: entry.name, family: entry.family,
  });
  openRemote(device);
  say('Found it: this is your ' + kindOf(kind).noun.replace(/^the /, '') + '\'s remote. ' +
    'Give it a name and a room if you like.', 'info');
  $('remote-rename').click();
}

function wavOf(args, indices) {
  return render(args, indices).then((result) => result.wav);
}

function rateArgs(rate, gap) {
  const args = [];
  if (rate !== undefined && rate !== null) args.push('--rate=' + rate);
  if (gap !== undefined && gap !== null) args.push('--gap=' + gap);
  return args;
}

/// The functions of the page for the browser's console. Each WAV file
/// comes as a promise of a Uint8Array, exactly the file `irwav-play
/// --output` writes; a refusal rejects it with an Error.
function scriptingSurface() {
  return {
    codes() {
      return allCodes().map((e) => ({
        index: e.index, kind: e.kind, name: e.name, brand: e.brand, carrier: e.carrier, family: e.family, confirm: e.confirm,
      }));
    },
    wav(nameOrIndex, rate) {
      return new Promise((resolve) => resolve([findEntry(nameOrIndex).index]))
        .then((indices) => wavOf(rateArgs(rate), indices));
    },
    pronto(text, rate) {
      return wavOf(rateArgs(rate).concat(['--pronto=' + text]), []);
    },
    code(text, rate) {
      return wavOf(rateArgs(rate).concat(['--code=' + text]), []);
    },
    key(family, key, rate, holdMs, kind) {
      const args = rateArgs(rate).concat(['--kind=' + (kind || 'tv'), '--code=' + family + ':' + key]);
      if (holdMs) args.push('--hold=' + holdMs);
      return wavOf(args, []);
    },
    /// One file of several codes (names or indices of codes(), or one
    /// alone) in order, `gap` ms apart.
    sequence(namesOrIndices, rate, gap) {
      return new Promise((resolve) => {
        const list = Array.isArray(namesOrIndices) ? namesOrIndices : [namesOrIndices];
        if (!list.length || namesOrIndices === undefined) throw new Error('irwav.sequence needs at least one code');
        resolve(list.map((n) => findEntry(n).index));
      }).then((indices) => wavOf(rateArgs(rate, gap), indices));
    },
    /// The keys of a family ("necx2:7.7") of a device of `kind` (default
    /// TVs) that its remote offers.
    keys(family, kind) {
      return familyKeys(family, kind || 'tv').map((k) => k.key);
    },
    brand(name, rate, gap, kind) {
      return wavOf(rateArgs(rate, gap).concat(['--kind=' + (kind || 'tv'), '--brand=' + name]), []);
    },
    /// The codes a file of the same arguments starts, with their times.
    timeline(args, indices) {
      return timelineOf(renderHere(args, indices || []).report);
    },
    start,
    stop,
  };
}

function offline() {
  if (!document.querySelector('meta[name="irwav-site"][content="1"]')) return;
  if (!('serviceWorker' in navigator) || !/^https?:$/.test(location.protocol)) return;
  navigator.serviceWorker.register('sw.js').catch(() => {
    // Without it the page still works while online.
  });
}

function init() {
  if (inWorker()) {
    serveRenders();
    return;
  }
  offered = features();
  loadLibrary();
  $('gap').placeholder = offered.defaultGapMs / 1000 + ' (a brand), ' + offered.sweepGapMs / 1000 + ' (everything)';
  startAudio(offered);
  $('rate-note').textContent = rateNote();
  window.irwav = scriptingSurface();
  setUpFind(found, () => offered.sweepGapMs);
  setUpRemote(showDevices);
  setUpDevices(openRemote, openRoom, gapMs, sweepCodes, offered);
  setUpRoom(openRemote);
  for (const view of ['find', 'remote', 'devices']) $('tab-' + view).addEventListener('click', guarded(() => showView(view)));
  // Find, tapped again, starts over: what to control.
  $('tab-find').addEventListener('click', reset);
  $('remote-find').addEventListener('click', () => showView('find'));
  $('remote-room-open').addEventListener('click', guarded(() => openRoom($('remote-room').textContent)));
  const device = currentDevice();
  if (device) openRemote(device);
  else showView('find');
  offline();
  // How long the page took to be ready, for whoever measures it.
  if (performance.mark) performance.mark('irwav-ready');
  document.documentElement.dataset.ready = '1';
}

if (runtimeInitialized) init();
else Module.onRuntimeInitialized = init;

// "The remote": the keys of the TV's code family in the usual layout,
// only those the data has. A tap sends a key; holding volume or channel
// sends the key held (its repeat frames) until it is let go. Every key
// shows for a moment that it was sent.

import { $, element, codeName, flash, say, showError, guarded } from './dom.js';
import { familyKeys } from './renderer.js';
import { findEntry, codeWav, keyWav } from './library.js';
import { playRate, playWav, stop, wake, whyNotPlayable } from './audio.js';
import { renameTv } from './store.js';

/// How long a key must be held before it counts as held, in ms.
const kHoldAfterMs = 400;

/// The longest a held key sends, in ms (it stops when let go).
const kHoldMs = 5000;

/// The remote's rows: each a class and its keys, in the usual order.
const kLayout = [
  ['power-row', ['power', 'power_on', 'power_off']],
  ['rockers', ['volume_up', 'volume_down', 'mute', 'input', 'channel_up', 'channel_down']],
  ['nav', ['menu', 'home', 'back', 'exit', 'info', 'guide']],
  ['pad', ['up', 'left', 'ok', 'right', 'down']],
  ['digits', ['digit_1', 'digit_2', 'digit_3', 'digit_4', 'digit_5', 'digit_6', 'digit_7', 'digit_8',
    'digit_9', 'prev_channel', 'digit_0', 'enter']],
  ['colours', ['red', 'green', 'yellow', 'blue']],
  ['media', ['rewind', 'play', 'pause', 'play_pause', 'stop', 'fast_forward', 'skip_prev', 'skip_next',
    'record']],
];

const kLabels = {
  power: 'Power', power_on: 'On', power_off: 'Off', volume_up: 'Vol +', volume_down: 'Vol −',
  channel_up: 'Ch +', channel_down: 'Ch −', mute: 'Mute', input: 'Input', menu: 'Menu', home: 'Home',
  back: 'Back', exit: 'Exit', info: 'Info', guide: 'Guide', up: '▲', down: '▼', left: '◀', right: '▶',
  ok: 'OK', prev_channel: 'Prev', enter: 'Enter', red: 'Red', green: 'Green', yellow: 'Yellow',
  blue: 'Blue', rewind: '◀◀', play: 'Play', pause: 'Pause', play_pause: 'Play/Pause', stop: 'Stop',
  fast_forward: '▶▶', skip_prev: '|◀', skip_next: '▶|', record: 'Rec',
};

/// The keys that send their repeat frames while held.
const kHeldKeys = ['volume_up', 'volume_down', 'channel_up', 'channel_down'];

function labelOf(key) {
  if (kLabels[key]) return kLabels[key];
  if (/^digit_\d$/.test(key)) return key.slice(6);
  return key.replace(/_/g, ' ').replace(/^./, (c) => c.toUpperCase());
}

function spoken(key) {
  return key.replace(/_/g, ' ');
}

let tv = null;

function sendKey(key, holdMs) {
  const rate = playRate();
  if (key === 'power' || !tv.family) {
    const entry = findEntry(tv.code);
    const why = whyNotPlayable(entry.carrier);
    if (why) throw new Error(why);
    playWav(codeWav(entry, rate));
    return;
  }
  playWav(keyWav(tv.family, key, rate, holdMs));
}

function keyButton(key) {
  const b = element('button', 'key key-' + key, labelOf(key));
  b.type = 'button';
  b.dataset.key = key;
  b.setAttribute('aria-label', spoken(key));
  const send = (holdMs) => {
    sendKey(key, holdMs);
    flash(b);
  };
  if (!kHeldKeys.includes(key)) {
    b.addEventListener('click', guarded(() => send(0)));
    return b;
  }
  // A tap sends the key once; a key held sends it held until let go.
  let timer = null;
  let held = false;
  let byPointer = false;
  b.addEventListener('pointerdown', (event) => {
    byPointer = true;
    held = false;
    wake();
    if (b.setPointerCapture) b.setPointerCapture(event.pointerId);
    timer = setTimeout(guarded(() => {
      timer = null;
      held = true;
      b.classList.add('held');
      send(kHoldMs);
    }), kHoldAfterMs);
  });
  const release = () => {
    if (timer) {
      clearTimeout(timer);
      timer = null;
      guarded(() => send(0))();
    } else if (held) {
      held = false;
      b.classList.remove('held');
      stop();
    }
  };
  b.addEventListener('pointerup', release);
  b.addEventListener('pointercancel', release);
  b.addEventListener('contextmenu', (event) => event.preventDefault());
  // A key pressed from the keyboard sends it once.
  b.addEventListener('click', guarded(() => {
    if (byPointer) {
      byPointer = false;
      return;
    }
    send(0);
  }));
  return b;
}

/// Shows the remote of `shownTv` ({id, name, code, family}), or says how
/// to find a TV when there is none.
export function showRemote(shownTv) {
  tv = shownTv;
  const pad = $('remote-keys');
  pad.replaceChildren();
  $('remote-none').hidden = Boolean(tv);
  $('remote-tv').hidden = !tv;
  if (!tv) return;
  $('remote-name').textContent = tv.name;
  $('remote-code').replaceChildren(codeName(tv.code));
  let keys = tv.family ? familyKeys(tv.family).map((k) => k.key) : [];
  if (!keys.includes('power')) keys = ['power'].concat(keys);
  const placed = new Set();
  for (const row of kLayout) {
    const there = row[1].filter((k) => keys.includes(k));
    if (!there.length) continue;
    const group = element('div', 'keys ' + row[0]);
    for (const key of there) {
      group.appendChild(keyButton(key));
      placed.add(key);
    }
    pad.appendChild(group);
  }
  const others = keys.filter((k) => !placed.has(k));
  if (others.length) {
    const group = element('div', 'keys extras');
    for (const key of others) group.appendChild(keyButton(key));
    pad.appendChild(group);
  }
  $('remote-only-power').hidden = keys.length > 1;
  $('remote-only-power').textContent = 'For this TV\'s code (' + (tv.family || tv.code) +
    ') only the power key is known.';
}

/// Sets the view up: rename asks for a new name.
export function setUpRemote(onRenamed) {
  $('remote-rename').addEventListener('click', () => {
    if (!tv) return;
    const name = $('remote-name-input');
    name.value = tv.name;
    $('remote-rename-form').hidden = false;
    name.focus();
  });
  $('remote-rename-form').addEventListener('submit', (event) => {
    event.preventDefault();
    const name = $('remote-name-input').value.trim();
    if (!name) {
      say('Give the TV a name, such as "Living room".', 'error');
      return;
    }
    try {
      tv = renameTv(tv.id, name) || tv;
    } catch (error) {
      showError(error);
    }
    $('remote-rename-form').hidden = true;
    $('remote-name').textContent = tv.name;
    onRenamed();
  });
}

// "The remote": the keys of the device's code family in the layout of
// its kind's remotes, only those the data has. A tap sends a key; holding volume or channel
// sends the key held (its repeat frames) until it is let go. Every key
// shows for a moment that it was sent.

import { $, element, codeName, flash, say, showError, guarded } from './dom.js';
import { familyKeys } from './renderer.js';
import { findEntry, codeWav, keyWav, kindOf } from './library.js';
import { playRate, playWav, stop, wake, whyNotPlayable } from './audio.js';
import { updateDevice, rooms } from './store.js';

/// How long a key must be held before it counts as held, in ms.
const kHoldAfterMs = 400;

/// The longest a held key sends, in ms (it stops when let go).
const kHoldMs = 5000;

/// The TV's rows: each a class and its keys, in the usual order.
const kTvLayout = [
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

/// Each kind's rows, as its remotes lay them out; keys of none of them
/// follow at the end.
const kLayouts = {
  tv: kTvLayout,
  audio: [
    ['power-row', ['power', 'power_on', 'power_off']],
    ['rockers', ['volume_up', 'volume_down', 'mute', 'input']],
    ['inputs', ['input_hdmi1', 'input_hdmi2', 'input_arc', 'input_optical', 'input_bluetooth', 'input_aux',
      'input_usb', 'input_tuner', 'input_cd', 'input_dvd', 'input_sat', 'input_video1', 'input_video2',
      'input_tape', 'input_phono']],
    ['modes', ['sound_mode', 'surround', 'stereo', 'direct', 'dialogue', 'night', 'loudness', 'bass_up',
      'bass_down', 'treble_up', 'treble_down']],
    ['nav', ['menu', 'back', 'display', 'dimmer', 'sleep']],
    ['pad', ['up', 'left', 'ok', 'right', 'down']],
    ['media', ['prev', 'rewind', 'play', 'pause', 'play_pause', 'stop', 'fast_forward', 'next', 'preset_down',
      'preset_up']],
  ],
  projector: [
    ['power-row', ['power', 'power_on', 'power_off']],
    ['nav', ['input', 'input_hdmi1', 'input_hdmi2', 'input_vga', 'menu', 'back', 'exit', 'auto']],
    ['pad', ['up', 'left', 'ok', 'right', 'down']],
    ['picture', ['blank', 'freeze', 'aspect', 'eco', 'keystone_up', 'keystone_down', 'zoom_in', 'zoom_out']],
    ['rockers', ['volume_up', 'volume_down', 'mute']],
  ],
  box: kTvLayout,
};

const kLabels = {
  power: 'Power', power_on: 'On', power_off: 'Off', volume_up: 'Vol +', volume_down: 'Vol −',
  channel_up: 'Ch +', channel_down: 'Ch −', mute: 'Mute', input: 'Input', menu: 'Menu', home: 'Home',
  back: 'Back', exit: 'Exit', info: 'Info', guide: 'Guide', up: '▲', down: '▼', left: '◀', right: '▶',
  ok: 'OK', prev_channel: 'Prev', enter: 'Enter', red: 'Red', green: 'Green', yellow: 'Yellow',
  blue: 'Blue', rewind: '◀◀', play: 'Play', pause: 'Pause', play_pause: 'Play/Pause', stop: 'Stop',
  fast_forward: '▶▶', skip_prev: '|◀', skip_next: '▶|', prev: '|◀', next: '▶|', record: 'Rec',
  input_hdmi1: 'HDMI 1', input_hdmi2: 'HDMI 2', input_arc: 'ARC', input_optical: 'Optical',
  input_bluetooth: 'Bluetooth', input_aux: 'AUX', input_usb: 'USB', input_tuner: 'Tuner', input_cd: 'CD',
  input_dvd: 'DVD', input_sat: 'SAT', input_video1: 'Video 1', input_video2: 'Video 2', input_tape: 'Tape',
  input_phono: 'Phono', input_vga: 'VGA', sound_mode: 'Sound mode', bass_up: 'Bass +', bass_down: 'Bass −',
  treble_up: 'Treble +', treble_down: 'Treble −', keystone_up: 'Keystone ▲', keystone_down: 'Keystone ▼',
  zoom_in: 'Zoom +', zoom_out: 'Zoom −', preset_up: 'Preset +', preset_down: 'Preset −', tv_radio: 'TV/Radio',
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

/// How long "Press again to switch off" is offered after a projector's
/// power-off, in ms.
const kConfirmOfferMs = 10000;

let device = null;
let confirmTimer = null;

/// The WAV file of `key` of `shown` (a device of the store) at the
/// current rate: its power key is the code that was found for it.
export function deviceKeyWav(shown, key, holdMs) {
  const rate = playRate();
  if (key === 'power' || !shown.family) {
    const entry = findEntry(shown.code, shown.kind);
    const why = whyNotPlayable(entry.carrier);
    if (why) throw new Error(why);
    return codeWav(entry, rate);
  }
  return keyWav(shown.family, key, rate, holdMs, shown.kind);
}

/// The keys of `shown`'s family that its kind's table has; always power.
export function deviceKeys(shown) {
  const keys = shown.family ? familyKeys(shown.family, shown.kind).map((k) => k.key) : [];
  return keys.includes('power') ? keys : ['power'].concat(keys);
}

/// Whether a second press confirms `shown`'s power-off: "documented",
/// "offered" or "".
export function deviceConfirm(shown) {
  try {
    return findEntry(shown.code, shown.kind).confirm || '';
  } catch (e) {
    return '';
  }
}

function hideConfirm() {
  clearTimeout(confirmTimer);
  confirmTimer = null;
  $('remote-confirm').hidden = true;
}

/// After a projector's power-off: offers the press that confirms it.
function offerConfirm(key) {
  const confirm = deviceConfirm(device);
  if (!confirm || (key !== 'power' && key !== 'power_off')) return;
  const again = $('remote-confirm-again');
  again.dataset.key = key;
  $('remote-confirm-note').textContent = confirm === 'documented'
    ? 'This projector asks to confirm switching off: press the same key again within a few seconds.'
    : 'If the projector asks to confirm switching off, press again.';
  $('remote-confirm').hidden = false;
  clearTimeout(confirmTimer);
  confirmTimer = setTimeout(hideConfirm, kConfirmOfferMs);
}

function sendKey(key, holdMs) {
  playWav(deviceKeyWav(device, key, holdMs));
  offerConfirm(key);
}

/// A key's button: a tap calls `sendKey(key, 0)`; volume or channel held
/// calls it with the time it may be held, and stops the sound when let go.
function keyButton(key, sendKey) {
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

/// A pad of `keys` laid out as `kind`'s remotes lay them out, each key
/// sending with `send(key, holdMs)`.
export function keyPad(keys, kind, send) {
  const pad = element('div', 'pad-of-' + kind);
  const placed = new Set();
  for (const row of kLayouts[kind] || kTvLayout) {
    const there = row[1].filter((k) => keys.includes(k));
    if (!there.length) continue;
    const group = element('div', 'keys ' + row[0]);
    for (const key of there) {
      group.appendChild(keyButton(key, send));
      placed.add(key);
    }
    pad.appendChild(group);
  }
  const others = keys.filter((k) => !placed.has(k));
  if (others.length) {
    const group = element('div', 'keys extras');
    for (const key of others) group.appendChild(keyButton(key, send));
    pad.appendChild(group);
  }
  return pad;
}

/// Shows the remote of `shown` (a device of the store), or says how to
/// find one when there is none.
export function showRemote(shown) {
  device = shown;
  hideConfirm();
  const pad = $('remote-keys');
  pad.replaceChildren();
  $('remote-none').hidden = Boolean(device);
  $('remote-tv').hidden = !device;
  if (!device) return;
  $('remote-name').textContent = device.name;
  $('remote-room').textContent = device.room;
  $('remote-code').replaceChildren(codeName(device.code));
  const keys = deviceKeys(device);
  pad.appendChild(keyPad(keys, device.kind, (key, holdMs) => sendKey(key, holdMs)));
  $('remote-only-power').hidden = keys.length > 1;
  $('remote-only-power').textContent = 'For this ' + kindOf(device.kind).noun.replace(/^the /, '') +
    '\'s code (' + (device.family || device.code) + ') only the power key is known.';
}

/// Sets the view up: rename asks for a new name and room; `onChanged()` is
/// called when they change.
export function setUpRemote(onChanged) {
  $('remote-confirm-again').addEventListener('click', guarded(() => {
    const key = $('remote-confirm-again').dataset.key;
    hideConfirm();
    playWav(deviceKeyWav(device, key, 0));
    flash($('remote-confirm-again'));
  }));
  $('remote-rename').addEventListener('click', () => {
    if (!device) return;
    const name = $('remote-name-input');
    name.value = device.name;
    $('remote-room-input').value = device.room;
    const known = $('rooms-known');
    known.replaceChildren();
    for (const r of rooms()) {
      const option = document.createElement('option');
      option.value = r.room;
      known.appendChild(option);
    }
    $('remote-rename-form').hidden = false;
    name.focus();
  });
  $('remote-rename-form').addEventListener('submit', (event) => {
    event.preventDefault();
    const name = $('remote-name-input').value.trim();
    const room = $('remote-room-input').value.trim();
    if (!name || !room) {
      say('Give it a name, such as "TV", and a room, such as "Living room".', 'error');
      return;
    }
    try {
      device = updateDevice(device.id, { name, room }) || device;
    } catch (error) {
      showError(error);
    }
    $('remote-rename-form').hidden = true;
    $('remote-name').textContent = device.name;
    $('remote-room').textContent = device.room;
    onChanged();
  });
}

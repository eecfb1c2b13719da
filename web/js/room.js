// A room's screen: its devices, the keys used most (the TV's channel and
// input, the volume and mute of the room's soundbar or receiver, else the
// TV's), and "All off" / "All on", which send each device's power in turn
// with a gap: its discrete off or on code where its family has one, else
// its power key, and for a projector that asks for it the second press
// that confirms switching off.

import { $, element, button, guarded } from './dom.js';
import { kindOf } from './library.js';
import { playWav, playList, stop } from './audio.js';
import { rooms } from './store.js';
import { keyPad, deviceKeys, deviceKeyWav, deviceConfirm } from './remote.js';

/// The gap between two presses of All off / All on, in ms: time for a
/// device to take one code before the next, and the wait a projector wants
/// before the press that confirms switching off.
const kRoomGapMs = 1500;

/// For each key the room screen offers, the kinds whose device sends it,
/// the first the room has with that key.
const kRoomKeys = [
  ['channel_up', ['tv', 'box']],
  ['channel_down', ['tv', 'box']],
  ['input', ['tv', 'projector']],
  ['volume_up', ['audio', 'tv', 'box', 'projector']],
  ['volume_down', ['audio', 'tv', 'box', 'projector']],
  ['mute', ['audio', 'tv', 'box', 'projector']],
];

let onOpen = null;
let shown = null;

/// The presses that switch `device` on (`on`) or off, in order:
/// {device, key, what}.
export function powerPresses(device, on) {
  const keys = deviceKeys(device);
  const discrete = on ? 'power_on' : 'power_off';
  const key = keys.includes(discrete) ? discrete : 'power';
  const presses = [{ device, key }];
  if (!on && deviceConfirm(device)) presses.push({ device, key, again: true });
  return presses;
}

/// The room's devices that send each of the keys used most: a Map from
/// key to device.
export function roomKeyOwners(devices) {
  const owners = new Map();
  for (const row of kRoomKeys) {
    const key = row[0];
    for (const kind of row[1]) {
      const owner = devices.find((d) => d.kind === kind && deviceKeys(d).includes(key));
      if (owner) {
        owners.set(key, owner);
        break;
      }
    }
  }
  return owners;
}

function switchAll(on) {
  const presses = [];
  for (const device of shown.devices) presses.push.apply(presses, powerPresses(device, on));
  const status = $('room-status');
  const skipped = [];
  playList(presses, kRoomGapMs, (press) => {
    try {
      return deviceKeyWav(press.device, press.key, 0);
    } catch (error) {
      skipped.push(press.device.name + ': ' + error.message);
      return null;
    }
  }, (press) => {
    status.textContent = (on ? 'Switching on: ' : 'Switching off: ') + press.device.name +
      (press.again ? ' (pressed again)' : '');
  }, () => {
    status.textContent = (on ? 'Every device of the room was sent its on code.' : 'Every device of the room was sent its off code.') +
      (skipped.length ? ' Not sent: ' + skipped.join('; ') : '');
  });
}

/// Shows the screen of the room named `room`.
export function showRoom(room) {
  stop();
  shown = rooms().find((r) => r.room === room) || { room, devices: [] };
  $('room-name').textContent = shown.room;
  $('room-status').textContent = '';
  const list = $('room-devices');
  list.replaceChildren();
  for (const device of shown.devices) {
    const row = element('div', 'device');
    const what = element('div', 'what');
    what.appendChild(element('span', 'device-name', device.name));
    what.appendChild(element('span', 'device-kind', kindOf(device.kind).label));
    row.appendChild(what);
    row.appendChild(button('Remote', () => onOpen(device)));
    row.dataset.device = device.name;
    list.appendChild(row);
  }
  const owners = roomKeyOwners(shown.devices);
  const keys = Array.from(owners.keys());
  const pad = $('room-keys');
  pad.replaceChildren();
  if (keys.length) {
    pad.appendChild(keyPad(keys, 'tv', (key, holdMs) => playWav(deviceKeyWav(owners.get(key), key, holdMs))));
  }
  for (const b of pad.querySelectorAll('.key')) b.dataset.device = owners.get(b.dataset.key).name;
}

/// Sets the screen up: `open(device)` opens a device's remote.
export function setUpRoom(open) {
  onOpen = open;
  $('room-all-off').addEventListener('click', guarded(() => switchAll(false)));
  $('room-all-on').addEventListener('click', guarded(() => switchAll(true)));
}

// The devices found so far, kept in the browser's local storage (which
// works from file:// too): each its kind, a name, the room it is in, the
// brand it was found under and the code that switched it, the code's
// family for its remote, and when it was last opened.
//
// The page once kept TVs only, under kOldStorageKey: those are taken over
// as TVs the first time, and the old entry is left as it was.

const kStorageKey = 'irwav.devices';
const kOldStorageKey = 'irwav.tvs';

/// The room a device goes into when none is given and none is in use.
export const kDefaultRoom = 'Living room';

function parsed(key) {
  try {
    const list = JSON.parse(localStorage.getItem(key) || 'null');
    return Array.isArray(list) ? list.filter((d) => d && typeof d.code === 'string') : null;
  } catch (e) {
    return null;
  }
}

/// The old page's TVs as devices: each keeps its name, brand, code,
/// family and when it was opened, and goes into kDefaultRoom.
function migrated(tvs) {
  return tvs.map((tv, i) => ({
    id: typeof tv.id === 'string' ? tv.id : 'tv-' + i,
    kind: 'tv',
    name: typeof tv.name === 'string' && tv.name ? tv.name : 'TV',
    room: kDefaultRoom,
    brand: typeof tv.brand === 'string' ? tv.brand : '',
    code: tv.code,
    family: typeof tv.family === 'string' ? tv.family : '',
    openedAt: Number(tv.openedAt) || 0,
  }));
}

function read() {
  const devices = parsed(kStorageKey);
  if (devices) return devices.map((d) => Object.assign({ kind: 'tv', room: kDefaultRoom, family: '' }, d));
  const tvs = parsed(kOldStorageKey);
  if (!tvs) return [];
  const taken = migrated(tvs);
  write(taken);
  return taken;
}

function write(devices) {
  try {
    localStorage.setItem(kStorageKey, JSON.stringify(devices));
    return true;
  } catch (e) {
    // Storage full or turned off: the devices last for this visit only.
    return false;
  }
}

/// Every device, the last one opened first.
export function allDevices() {
  return read().sort((a, b) => (b.openedAt || 0) - (a.openedAt || 0));
}

/// The device last opened, or null.
export function currentDevice() {
  const devices = allDevices();
  return devices.length ? devices[0] : null;
}

/// The rooms, the one last used first: [{room, devices}], each room's
/// devices in the order they were added.
export function rooms() {
  const byRoom = new Map();
  for (const device of allDevices()) {
    if (!byRoom.has(device.room)) byRoom.set(device.room, []);
  }
  for (const device of read()) byRoom.get(device.room).push(device);
  return Array.from(byRoom, (entry) => ({ room: entry[0], devices: entry[1] }));
}

/// Keeps a new device {kind, name, brand, code, family, room} and opens
/// it; it goes into the room last used when it names none. Returns it.
export function addDevice(device) {
  const devices = read();
  const last = currentDevice();
  const kept = {
    id: String(Date.now()) + '-' + Math.floor(Math.random() * 1e6),
    kind: device.kind || 'tv',
    name: device.name,
    room: device.room || (last ? last.room : kDefaultRoom),
    brand: device.brand,
    code: device.code,
    family: device.family || '',
    openedAt: Date.now(),
  };
  devices.push(kept);
  write(devices);
  return kept;
}

/// Changes the device `id`: `changes` holds the fields to set.
export function updateDevice(id, changes) {
  const devices = read();
  const device = devices.find((d) => d.id === id);
  if (!device) return null;
  Object.assign(device, changes);
  write(devices);
  return device;
}

/// Marks the device `id` as opened now, so it (and its room) comes first.
export function openDevice(id) {
  return updateDevice(id, { openedAt: Date.now() });
}

/// Forgets the device `id`.
export function removeDevice(id) {
  write(read().filter((d) => d.id !== id));
}

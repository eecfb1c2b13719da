// The TVs found so far, kept in the browser's local storage (which works
// from file:// too): each a name, the brand it was found under and the
// code that switched it, the code's family for its remote, and when it
// was last opened.

const kStorageKey = 'irwav.tvs';

function read() {
  try {
    const tvs = JSON.parse(localStorage.getItem(kStorageKey) || '[]');
    return Array.isArray(tvs) ? tvs.filter((tv) => tv && typeof tv.code === 'string') : [];
  } catch (e) {
    return [];
  }
}

function write(tvs) {
  try {
    localStorage.setItem(kStorageKey, JSON.stringify(tvs));
    return true;
  } catch (e) {
    // Storage full or turned off: the TVs last for this visit only.
    return false;
  }
}

/// Every TV, the last one opened first.
export function allTvs() {
  return read().sort((a, b) => (b.openedAt || 0) - (a.openedAt || 0));
}

/// The TV last opened, or null.
export function currentTv() {
  const tvs = allTvs();
  return tvs.length ? tvs[0] : null;
}

/// Keeps a new TV {name, brand, code, family} and opens it; returns it.
export function addTv(tv) {
  const tvs = read();
  const kept = {
    id: String(Date.now()) + '-' + Math.floor(Math.random() * 1e6),
    name: tv.name,
    brand: tv.brand,
    code: tv.code,
    family: tv.family || '',
    openedAt: Date.now(),
  };
  tvs.push(kept);
  write(tvs);
  return kept;
}

/// Changes the TV `id`: `changes` holds the fields to set.
function update(id, changes) {
  const tvs = read();
  const tv = tvs.find((t) => t.id === id);
  if (!tv) return null;
  Object.assign(tv, changes);
  write(tvs);
  return tv;
}

/// Marks the TV `id` as opened now, so it comes first.
export function openTv(id) {
  return update(id, { openedAt: Date.now() });
}

/// Renames the TV `id`.
export function renameTv(id, name) {
  return update(id, { name });
}

/// Forgets the TV `id`.
export function removeTv(id) {
  write(read().filter((t) => t.id !== id));
}

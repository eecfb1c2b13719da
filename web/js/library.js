// The codes the renderer knows, by kind of device and brand, in the order
// each kind's sweep plays them, and each code's family
// (PROTOCOL:DEVICE[.SUBDEVICE]) for its remote; and the WAV file of one
// code or key, rendered on this thread.

import { codes, brands, sweepOrder, renderHere, plan, checkSize } from './renderer.js';

/// The kinds of device, in the order the page offers them: the renderer's
/// word, the chooser's label, and how a question names one.
export const kKinds = [
  { kind: 'tv', label: 'TV', noun: 'the TV', title: 'TV' },
  { kind: 'audio', label: 'Soundbar or receiver', noun: 'the soundbar or receiver', title: 'Soundbar' },
  { kind: 'projector', label: 'Projector', noun: 'the projector', title: 'Projector' },
  { kind: 'box', label: 'Box', noun: 'the box', title: 'Box' },
];

let listed = [];
const sweeps = new Map();
const brandLists = new Map();

/// Reads the renderer's lists; called once the renderer runs. Each kind's
/// sweep is read when it is first asked for.
export function loadLibrary() {
  listed = codes();
  for (const k of kKinds) brandLists.set(k.kind, []);
  for (const b of brands()) if (brandLists.has(b.kind)) brandLists.get(b.kind).push(b.name);
  brandLists.forEach((list) => list.sort());
}

/// The kind `kind` ({kind, label, noun, title}); TVs for an unknown word.
export function kindOf(kind) {
  return kKinds.find((k) => k.kind === kind) || kKinds[0];
}

/// The kinds of which the library has codes: only those are offered.
export function kindsWithCodes() {
  return kKinds.filter((k) => listed.some((e) => e.kind === k.kind));
}

/// Every listed code: {index, kind, name, brand, carrier, family, confirm}.
export function allCodes() {
  return listed;
}

/// The brands whose names contain `text` (any case), those that start
/// with it first, among those of `kind`.
export function matchBrands(text, kind) {
  const wanted = text.trim().toLowerCase().replace(/[^a-z0-9]/g, '');
  if (!wanted) return [];
  const list = brandLists.get(kind || 'tv') || [];
  const starts = list.filter((b) => b.startsWith(wanted));
  return starts.concat(list.filter((b) => !b.startsWith(wanted) && b.includes(wanted)));
}

/// The codes of `brand` for a device of `kind`, the most likely first.
export function codesOfBrand(brand, kind) {
  const wanted = kind || 'tv';
  return listed.filter((e) => e.kind === wanted && e.brand === brand);
}

/// Every code of `kind` in the order that reaches the most devices soonest.
export function sweepCodes(kind) {
  const wanted = kind || 'tv';
  if (!sweeps.has(wanted))
    sweeps.set(wanted, sweepOrder(wanted).filter((s) => s.index >= 0).map((s) => listed[s.index]));
  return sweeps.get(wanted);
}

/// The listed code named `name` (any case), one of `kind` where given, or
/// given by its index.
export function findEntry(nameOrIndex, kind) {
  if (typeof nameOrIndex === 'number' && listed[nameOrIndex]) return listed[nameOrIndex];
  const wanted = String(nameOrIndex).toLowerCase();
  const named = (e) => e.name.toLowerCase() === wanted;
  const entry = (kind && listed.find((e) => e.kind === kind && named(e))) || listed.find(named) ||
    (/^\d+$/.test(wanted) ? listed[Number(wanted)] : undefined);
  if (!entry) throw new Error('no code named "' + nameOrIndex + '"');
  return entry;
}

/// A brand as a heading shows it.
export function brandTitle(brand) {
  return brand.charAt(0).toUpperCase() + brand.slice(1);
}

function renderSmall(args, indices) {
  checkSize(plan(args, indices));
  return renderHere(args, indices).wav;
}

/// The WAV file of one listed code at `rate`.
export function codeWav(entry, rate) {
  return renderSmall(['--rate=' + rate], [entry.index]);
}

/// The WAV file of `key` of code family `family` of a device of `kind` at
/// `rate`, held for `holdMs` when that is given.
export function keyWav(family, key, rate, holdMs, kind) {
  const args = ['--rate=' + rate, '--kind=' + (kind || 'tv'), '--code=' + family + ':' + key];
  if (holdMs) args.push('--hold=' + holdMs);
  return renderSmall(args, []);
}

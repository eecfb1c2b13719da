// The codes the renderer knows, by brand, in the order the sweep plays
// them, and each code's family (PROTOCOL:DEVICE[.SUBDEVICE]) for its
// remote; and the WAV file of one code or key, rendered on this thread.

import { codes, brands, sweepOrder, renderHere, plan, checkSize } from './renderer.js';

let listed = [];
let sweep = [];
let brandList = [];

/// Reads the renderer's lists; called once the renderer runs.
export function loadLibrary() {
  listed = codes();
  sweep = sweepOrder().filter((s) => s.index >= 0).map((s) => listed[s.index]);
  brandList = brands().map((b) => b.name).sort();
}

/// Every listed code: {index, name, brand, carrier, family}.
export function allCodes() {
  return listed;
}

/// Every brand of the library (some have no code), in alphabetical order.
export function allBrands() {
  return brandList;
}

/// The brands whose names contain `text` (any case), those that start
/// with it first.
export function matchBrands(text) {
  const wanted = text.trim().toLowerCase().replace(/[^a-z0-9]/g, '');
  if (!wanted) return [];
  const starts = brandList.filter((b) => b.startsWith(wanted));
  return starts.concat(brandList.filter((b) => !b.startsWith(wanted) && b.includes(wanted)));
}

/// The codes of `brand`, the most likely first.
export function codesOfBrand(brand) {
  return listed.filter((e) => e.brand === brand);
}

/// Every code in the order that reaches the most TVs soonest.
export function sweepCodes() {
  return sweep;
}

/// The listed code named `name` (any case), or given by its index.
export function findEntry(nameOrIndex) {
  if (typeof nameOrIndex === 'number' && listed[nameOrIndex]) return listed[nameOrIndex];
  const wanted = String(nameOrIndex).toLowerCase();
  const entry = listed.find((e) => e.name.toLowerCase() === wanted) ||
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

/// The WAV file of `key` of code family `family` at `rate`, held for
/// `holdMs` when that is given.
export function keyWav(family, key, rate, holdMs) {
  const args = ['--rate=' + rate, '--code=' + family + ':' + key];
  if (holdMs) args.push('--hold=' + holdMs);
  return renderSmall(args, []);
}

// "Find": what to control (a TV, a soundbar or receiver, a projector, a
// box), then the guided search. With a brand, its codes one at a time, the
// most likely first, each asking "did the TV react?"; without one, the
// sweep of every code of that kind, and on Stop the codes of the last
// seconds offered again one by one. "Yes" makes the code the device's.

import { $, element, button, codeName, showError } from './dom.js';
import { matchBrands, codesOfBrand, sweepCodes, codeWav, brandTitle, kindOf, kindsWithCodes } from './library.js';
import { playRate, playWav, playList, stop, whyNotPlayable, keepAwake, letSleep } from './audio.js';

/// How far back, in seconds, the codes played before a Stop are offered
/// again: the time a person takes to see the TV react and tap.
const kRecentSeconds = 6;

/// The most brands offered as the user types.
const kMaxMatches = 8;

let onFound = null;
let gapMs = () => 500;

// The search in hand: its codes, where it is, and its kind ('brand',
// 'sweep' or 'recent'), and for the codes offered again, where the sweep
// stopped.
let search = null;

// What is being looked for: one of kKinds.
let device = kindOf('tv');

function show(panel) {
  for (const id of ['find-kind', 'find-start', 'find-step', 'find-sweep']) $(id).hidden = id !== panel;
}

/// Starts looking for a device of `kind`: asks for its brand.
export function chooseKind(kind) {
  device = kindOf(kind);
  $('brand-label').textContent = device.noun.replace(/^the /, 'The ') + '\'s brand';
  $('find-start-title').textContent = 'Find ' + device.noun.replace(/^the /, 'your ');
  $('brand').value = '';
  $('brand-matches').replaceChildren();
  show('find-start');
}

function playEntry(entry) {
  const why = whyNotPlayable(entry.carrier);
  $('step-note').textContent = why ? 'This code cannot play here. ' + why : '';
  if (!why) playWav(codeWav(entry, playRate()));
}

function showStep() {
  const entry = search.codes[search.at];
  const of = search.codes.length;
  const question = ': did ' + device.noun + ' react?';
  const title = search.kind === 'recent'
    ? 'Just played, ' + (search.at + 1) + ' of ' + of + question
    : 'Code ' + (search.at + 1) + ' of ' + of + question;
  $('step-title').textContent = title;
  $('step-code').replaceChildren(codeName(entry.name));
  $('step-buttons').hidden = false;
  $('step-end').hidden = true;
  show('find-step');
  playEntry(entry);
}

function showEnd() {
  stop();
  letSleep();
  $('step-buttons').hidden = true;
  $('step-code').replaceChildren();
  $('step-note').textContent = '';
  const end = $('step-end');
  end.replaceChildren();
  if (search.kind === 'recent') {
    $('step-title').textContent = search.codes.length ? 'None of the codes that had just played.'
      : 'Every code has played.';
    const from = search.resumeAt;
    if (from < sweepCodes(device.kind).length)
      end.appendChild(button('Carry on with every code', () => startSweep(from), 'primary'));
  } else {
    $('step-title').textContent = 'None of the ' + search.codes.length + ' codes of ' +
      brandTitle(search.brand) + '.';
    end.appendChild(button('Try every code', () => startSweep(0), 'primary'));
  }
  end.appendChild(button('Start again', reset));
  show('find-step');
}

function next() {
  if (search.at + 1 >= search.codes.length) {
    showEnd();
    return;
  }
  ++search.at;
  showStep();
}

function yes() {
  stop();
  const entry = search.codes[search.at];
  const brand = search.brand || entry.brand;
  reset();
  onFound(entry, brand, device.kind);
}

/// Starts the guided search through `brand`'s codes.
export function startBrand(brand) {
  const codes = codesOfBrand(brand, device.kind);
  if (!codes.length) {
    const list = $('brand-matches');
    list.replaceChildren(element('p', 'hint', 'No power code of ' + brandTitle(brand) +
      ' is documented, but one of the others may well switch it:'));
    list.appendChild(button('Play everything', () => startSweep(0), 'primary'));
    return;
  }
  search = { kind: 'brand', brand, codes, at: 0 };
  keepAwake();
  showStep();
}

/// Plays every code of the kind from sweep position `from` on.
export function startSweep(from) {
  const codes = sweepCodes(device.kind).slice(from);
  const total = sweepCodes(device.kind).length;
  search = { kind: 'sweep', codes, at: 0 };
  $('sweep-now').replaceChildren(element('span', '', 'Starting…'));
  show('find-sweep');
  const rate = playRate();
  playList(codes, gapMs(), (entry) => (whyNotPlayable(entry.carrier) ? null : codeWav(entry, rate)),
    (entry, i) => {
      search.at = i;
      const line = element('span', '', 'Code ' + (from + i + 1) + ' of ' + total + ': ');
      $('sweep-now').replaceChildren(line, codeName(entry.name));
    },
    () => {
      $('sweep-now').replaceChildren(element('span', '', 'Every code has played.'));
      search = { kind: 'recent', codes: [], at: 0, resumeAt: total };
      showEnd();
    });
}

function stopSweep() {
  const recent = stop(kRecentSeconds);
  const resumeAt = sweepCodes(device.kind).length - search.codes.length + search.at + 1;
  if (!recent.length) {
    reset();
    return;
  }
  search = { kind: 'recent', codes: recent, at: 0, resumeAt };
  keepAwake();
  showStep();
}

/// Back to the start: what to control.
export function reset() {
  stop();
  letSleep();
  search = null;
  show('find-kind');
}

function showMatches() {
  const text = $('brand').value;
  const list = $('brand-matches');
  list.replaceChildren();
  if (!text.trim()) return;
  const matches = matchBrands(text, device.kind);
  if (!matches.length) {
    list.appendChild(element('p', 'hint', 'No brand called "' + text.trim() + '" is known.'));
    list.appendChild(button('Play everything', () => startSweep(0), 'primary'));
    return;
  }
  for (const brand of matches.slice(0, kMaxMatches)) {
    const b = button(brandTitle(brand), () => startBrand(brand), 'brand-choice');
    b.dataset.brand = brand;
    list.appendChild(b);
  }
}

/// Sets the view up: `found(entry, brand, kind)` is called when the user
/// says Yes; `gap()` gives the gap between two codes of the sweep in ms.
/// Only the kinds the library has codes of are offered.
export function setUpFind(found, gap) {
  onFound = found;
  gapMs = gap;
  for (const k of kindsWithCodes()) {
    const b = button(k.label, () => chooseKind(k.kind), 'kind-choice');
    b.dataset.kind = k.kind;
    $('kind-choices').appendChild(b);
  }
  $('find-other-kind').addEventListener('click', reset);
  $('brand').addEventListener('input', showMatches);
  $('brand-unknown').addEventListener('click', () => {
    try {
      startSweep(0);
    } catch (error) {
      showError(error);
    }
  });
  $('step-buttons').append(
    button('Yes', yes, 'primary yes'),
    button('No, next', next, 'no'),
    button('Again', () => playEntry(search.codes[search.at]), 'again'));
  $('sweep-stop').addEventListener('click', stopSweep);
  $('find-cancel').addEventListener('click', reset);
  show('find-kind');
}

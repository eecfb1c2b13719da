// "Find my TV": the guided search. With a brand, its codes one at a time,
// the most likely first, each asking "did the TV react?"; without one,
// the sweep of every code, and on Stop the codes of the last seconds
// offered again one by one. "Yes" makes the code the TV's.

import { $, element, button, codeName, showError } from './dom.js';
import { matchBrands, codesOfBrand, sweepCodes, codeWav, brandTitle } from './library.js';
import { playRate, playWav, playList, stop, whyNotPlayable, keepAwake, letSleep } from './audio.js';

/// How far back, in seconds, the codes played before a Stop are offered
/// again: the time a person takes to see the TV react and tap.
const kRecentSeconds = 6;

/// The most brands offered as the user types.
const kMaxMatches = 8;

let onFound = null;
let gapMs = () => 500;

// The search in hand: its codes, where it is, and its kind ('brand' or
// 'recent'), and for the codes offered again, where the sweep stopped.
let search = null;

function show(panel) {
  for (const id of ['find-start', 'find-step', 'find-sweep']) $(id).hidden = id !== panel;
}

function playEntry(entry) {
  const why = whyNotPlayable(entry.carrier);
  $('step-note').textContent = why ? 'This code cannot play here. ' + why : '';
  if (!why) playWav(codeWav(entry, playRate()));
}

function showStep() {
  const entry = search.codes[search.at];
  const of = search.codes.length;
  const title = search.kind === 'recent'
    ? 'Just played, ' + (search.at + 1) + ' of ' + of + ': did the TV react?'
    : 'Code ' + (search.at + 1) + ' of ' + of + ': did the TV react?';
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
    if (from < sweepCodes().length)
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
  onFound(entry, brand);
}

/// Starts the guided search through `brand`'s codes.
export function startBrand(brand) {
  const codes = codesOfBrand(brand);
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

/// Plays every code from sweep position `from` on.
export function startSweep(from) {
  const codes = sweepCodes().slice(from);
  const total = sweepCodes().length;
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
  const resumeAt = sweepCodes().length - search.codes.length + search.at + 1;
  if (!recent.length) {
    reset();
    return;
  }
  search = { kind: 'recent', codes: recent, at: 0, resumeAt };
  keepAwake();
  showStep();
}

/// Back to the start: the brand question.
export function reset() {
  stop();
  letSleep();
  search = null;
  show('find-start');
}

function showMatches() {
  const text = $('brand').value;
  const list = $('brand-matches');
  list.replaceChildren();
  if (!text.trim()) return;
  const matches = matchBrands(text);
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

/// Sets the view up: `found(entry, brand)` is called when the user says
/// Yes; `gap()` gives the gap between two codes of the sweep in ms.
export function setUpFind(found, gap) {
  onFound = found;
  gapMs = gap;
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
  show('find-start');
}

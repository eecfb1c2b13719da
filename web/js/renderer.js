// The renderer compiled to WebAssembly (src/web/web_api.cc): the codes it
// knows, and WAV files written exactly as `irwav-play --output` writes
// them. Every request is sized before it is rendered: the page holds at
// most kPageLimitBytes, and renders on this thread only what is small.

import { userError, megabytes } from './words.js';

/// The largest WAV file the page makes: larger ones are refused before
/// anything is rendered.
export const kPageLimitBytes = 200e6;

/// The largest file rendered on the page's own thread; larger ones are
/// rendered by a worker, whose memory goes when it ends.
export const kMainThreadBytes = 16e6;

/// The rate of the files the desktop programs write.
export const kFileRate = 48000;

function cString(text) {
  const size = lengthBytesUTF8(text) + 1;
  const pointer = _malloc(size);
  stringToUTF8(text, pointer, size);
  return pointer;
}

/// Calls `call(argPointer, indexPointer)` with the player's options `args`
/// (an array of "--name=VALUE" strings, one a line) and the listed codes
/// `indices`, freeing both strings afterwards.
function withRequest(args, indices, call) {
  // Blanks and line breaks inside a value (a pasted Pronto code) are all
  // the same to the player's parsers.
  const argText = args.map((a) => String(a).replace(/\s+/g, ' ').trim()).join('\n');
  const argPointer = cString(argText);
  const indexPointer = cString((indices || []).join('\n'));
  try {
    return call(argPointer, indexPointer);
  } finally {
    _free(argPointer);
    _free(indexPointer);
  }
}

/// What the player offers: defaultGapMs, maxGapMs, sweepGapMs, rates,
/// maxCarrier (by rate), protocols.
export function features() {
  return JSON.parse(UTF8ToString(_irwavFeatures()));
}

/// Every listed code: index, kind, name, brand ("" for a code only the
/// kind's sweep plays), carrier, family ("" if none), confirm ("documented",
/// "offered" or "": whether a second press confirms its power-off).
export function codes() {
  return JSON.parse(UTF8ToString(_irwavCodes()));
}

/// Every brand of the library: {kind, name, codes}, codes the number it
/// has.
export function brands() {
  return JSON.parse(UTF8ToString(_irwavBrands()));
}

/// The sweep of a device of `kind` ("tv", "audio", "projector", "box"), in
/// the order it plays: {name, index, carrier, remotes, documented}, index
/// that of the code in codes().
export function sweepOrder(kind) {
  const power = cString('toggle');
  const kindName = cString(kind || 'tv');
  try {
    return JSON.parse(UTF8ToString(_irwavSweep(power, kindName)));
  } finally {
    _free(power);
    _free(kindName);
  }
}

/// The keys of a code family ("nec1:4") of a device of `kind` that the
/// remote offers: an array of {key, ...} in the key table's order; empty
/// for a family the kind's table does not have.
export function familyKeys(family, kind) {
  const name = cString(family);
  const kindName = cString(kind || 'tv');
  try {
    const json = _irwavKeys(name, kindName);
    return json ? JSON.parse(UTF8ToString(json)) : [];
  } finally {
    _free(name);
    _free(kindName);
  }
}

/// The size in bytes of the WAV file that render(args, indices) would
/// write; throws the player's refusal.
export function plan(args, indices) {
  const bytes = withRequest(args, indices, _irwavPlan);
  if (bytes < 0) throw userError(UTF8ToString(_irwavError()));
  return bytes;
}

/// Throws, in plain words, when a file of `bytes` is more than the page
/// can hold.
export function checkSize(bytes) {
  if (bytes > kPageLimitBytes) {
    throw new Error('This would make a ' + megabytes(bytes) + ' sound file; the page can hold ' +
      megabytes(kPageLimitBytes) + ' at most. Play fewer codes or make the gap shorter.');
  }
}

/// Renders on this thread: returns {wav, report}, the WAV file and the
/// player's report; throws the player's refusal in user words.
export function renderHere(args, indices) {
  const status = withRequest(args, indices, _irwavRender);
  if (status !== 0) throw userError(UTF8ToString(_irwavError()));
  const data = _irwavWavData();
  const wav = HEAPU8.slice(data, data + _irwavWavSize());
  const report = UTF8ToString(_irwavReport());
  _irwavRelease();
  return { wav, report };
}

/// The codes a render's report says it wrote, with the second each starts
/// at ("Writing NAME - freq = F Hz, at T s").
export function timelineOf(report) {
  const timeline = [];
  for (const line of report.split('\n')) {
    const match = /^Writing (.+) - freq = \d+ Hz, at ([\d.]+) s$/.exec(line);
    if (match) timeline.push({ name: match[1], at: Number(match[2]) });
  }
  return timeline;
}

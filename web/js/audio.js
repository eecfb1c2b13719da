// The sound: one AudioContext, every code rendered at the context's own
// rate so that nothing is resampled on its way to the jack; one code at a
// time, or a list of codes one after another with a gap; and the screen
// kept awake while a list plays.

import { kFileRate } from './renderer.js';
import { kHz } from './words.js';

let context = null;
let offered = null;  // features(): the rates the renderer takes
let note = '';
let playing = null;  // what plays now: {sources, stop}
let wakeLock = null;

/// Sets up the sound for the renderer's `features`. The context runs at
/// the device's own rate when the renderer takes that rate; otherwise at
/// 48 kHz, which the browser then converts (said in rateNote()).
export function startAudio(features) {
  offered = features;
  const Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) {
    note = 'This browser cannot play sound (it has no Web Audio).';
    return;
  }
  context = new Context();
  if (!offered.rates.includes(context.sampleRate)) {
    const own = context.sampleRate;
    if (context.close) context.close();
    context = new Context({ sampleRate: kFileRate });
    note = 'This phone\'s sound runs at ' + own / 1000 + ' kHz, a rate irwav does not make: ' +
      'the browser converts the sound, which may weaken it.';
  } else {
    note = 'This phone\'s sound runs at ' + context.sampleRate / 1000 + ' kHz; every code plays at that rate.';
  }
}

/// The rate every code plays at; 0 when there is no sound.
export function playRate() {
  return context ? context.sampleRate : 0;
}

/// What the page says about this phone's sound.
export function rateNote() {
  return note;
}

/// Why a code of carrier `carrierHz` cannot play here, in user words; ''
/// when it can.
export function whyNotPlayable(carrierHz) {
  if (!context) return note;
  if (carrierHz === 0) return 'This code has no carrier, so an IR emitter cannot send it.';
  if (carrierHz <= offered.maxCarrier[context.sampleRate]) return '';
  const rate = offered.rates.find((r) => carrierHz <= offered.maxCarrier[r]);
  return 'Its carrier, ' + kHz(carrierHz) + ', is too high for this phone\'s sound (' +
    context.sampleRate / 1000 + ' kHz)' + (rate ? ': it needs ' + rate / 1000 + ' kHz.' : '.');
}

/// The samples of one of the renderer's WAV files as an AudioBuffer at the
/// file's own rate: each 16-bit sample divided by 32768, nothing else.
export function audioBufferOf(target, wav) {
  const view = new DataView(wav.buffer, wav.byteOffset, wav.byteLength);
  const channels = view.getUint16(22, true);
  const rate = view.getUint32(24, true);
  const frames = view.getUint32(40, true) / (2 * channels);
  const buffer = target.createBuffer(channels, frames, rate);
  for (let c = 0; c < channels; ++c) {
    const samples = buffer.getChannelData(c);
    for (let i = 0, at = 44 + 2 * c; i < frames; ++i, at += 2 * channels) samples[i] = view.getInt16(at, true) / 32768;
  }
  return buffer;
}

/// Plays `wav` on `target` straight into its destination (gain 1, no
/// effects), at time `when` (0: now); returns the source node.
export function start(target, wav, when) {
  const source = target.createBufferSource();
  source.buffer = audioBufferOf(target, wav);
  source.connect(target.destination);
  source.start(when || 0);
  return source;
}

/// Keeps the screen on (where the browser can) until letSleep(): while a
/// search or a list plays, so the phone does not sleep halfway.
export function keepAwake() {
  if (wakeLock || !navigator.wakeLock) return;
  wakeLock = 'asking';
  navigator.wakeLock.request('screen').then((lock) => {
    if (wakeLock === 'asking') wakeLock = lock;
    else lock.release();
  }, () => {
    wakeLock = null;
  });
}

/// Lets the screen sleep again.
export function letSleep() {
  if (wakeLock && wakeLock !== 'asking') wakeLock.release();
  wakeLock = null;
}

/// Wakes the sound up (a tap's handler must call it: browsers start sound
/// only in answer to a tap).
export function wake() {
  if (context && context.resume) context.resume();
}

/// Stops what is playing. Returns, for a list, the codes that played in
/// the last `recentSeconds` seconds (the one playing included), the
/// newest last; otherwise [].
export function stop(recentSeconds) {
  if (!playing) return [];
  const was = playing;
  playing = null;
  return was.stop(recentSeconds || 0);
}

/// Whether something is playing.
export function isPlaying() {
  return playing !== null;
}

/// Plays one WAV file; `onEnd` is called when it has played out (not when
/// stopped).
export function playWav(wav, onEnd) {
  stop();
  wake();
  const source = start(context, wav);
  const now = {
    stop() {
      source.onended = null;
      try {
        source.stop();
      } catch (e) {
        // It had ended already.
      }
      return [];
    },
  };
  playing = now;
  source.onended = () => {
    if (playing !== now) return;
    playing = null;
    if (onEnd) onEnd();
  };
}

/// How far ahead a list is rendered and scheduled, in seconds.
const kLookAheadSeconds = 2;

/// Plays the codes `items` one after another, `gapMs` of silence between
/// two, each rendered just before it is due by `renderItem(item)` (its WAV
/// file at playRate(), or null to pass it over). `onCode(item, i)` is
/// called as code i starts, `onEnd()` when the last has played out (not
/// when stopped). The screen is kept awake meanwhile.
export function playList(items, gapMs, renderItem, onCode, onEnd) {
  stop();
  wake();
  keepAwake();
  const played = [];  // {item, index, at, end} in context time
  const sources = [];
  let next = 0;
  let due = context.currentTime + 0.05;
  let announced = -1;
  const tick = () => {
    const now = context.currentTime;
    while (next < items.length && due < now + kLookAheadSeconds) {
      const item = items[next];
      const wav = renderItem(item);
      if (wav) {
        if (played.length) due += gapMs / 1000;
        const source = start(context, wav, due);
        sources.push(source);
        played.push({ item, index: next, at: due, end: due + source.buffer.duration });
        due += source.buffer.duration;
      }
      ++next;
    }
    for (let i = announced + 1; i < played.length && played[i].at <= now; ++i) {
      announced = i;
      onCode(played[i].item, played[i].index);
    }
    if (next >= items.length && (played.length === 0 || now >= played[played.length - 1].end)) {
      finish();
      if (onEnd) onEnd();
    }
  };
  const timer = setInterval(tick, 100);
  const finish = () => {
    clearInterval(timer);
    letSleep();
    if (playing === now) playing = null;
  };
  const now = {
    stop(recentSeconds) {
      const at = context.currentTime;
      for (const source of sources) {
        try {
          source.stop();
        } catch (e) {
          // It had ended already.
        }
      }
      finish();
      return played.filter((p) => p.at <= at && p.end >= at - recentSeconds).map((p) => p.item);
    },
  };
  playing = now;
  tick();
}

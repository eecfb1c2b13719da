#ifndef IRWAV_APP_PLAY_SIZE_H_
#define IRWAV_APP_PLAY_SIZE_H_

#include <cstdint>
#include <string>

#include "app/player.h"
#include "output/wave_sink.h"

/// The sample bytes that playing the codes of `options` into `sink`, in its
/// format, puts out, known from the timings before anything renders: each
/// code in forEachCode's order whose carrier the rate renders (as canRender
/// with maxCarrierFor decides), options.repeat times, as renderCode writes
/// it, and between two presses the silence gapBetween gives.
uint64_t playedDataBytes(const PlayerOptions& options, const WaveSink& sink);

/// The sample frames of `gapMs` of silence at `sampleRate`.
uint32_t gapFrames(uint32_t sampleRate, uint32_t gapMs);

/// Whether `dataBytes` of samples fit one WAV file; false, with the reason
/// and both sizes in *error, when they do not.
bool fitsWavFile(uint64_t dataBytes, std::string* error);

#endif  // IRWAV_APP_PLAY_SIZE_H_

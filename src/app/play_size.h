#ifndef IRWAV_APP_PLAY_SIZE_H_
#define IRWAV_APP_PLAY_SIZE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "app/play_item.h"

/// The sample bytes that playing `codes` in the format of `sampleRate` and
/// `frameBytes` puts out, known from the timings before anything renders:
/// every code whose carrier the rate renders (as canRender with
/// maxCarrierFor(sampleRate) decides), as renderCode writes it, and
/// `gapFrames` of silence between two of them.
uint64_t playedDataBytes(const std::vector<PlayItem>& codes, uint32_t sampleRate,
                         uint32_t frameBytes, uint32_t gapFrames);

/// Whether `dataBytes` of samples fit one WAV file; false, with the reason
/// and both sizes in *error, when they do not.
bool fitsWavFile(uint64_t dataBytes, std::string* error);

#endif  // IRWAV_APP_PLAY_SIZE_H_

#include "app/play_size.h"

#include <algorithm>

#include "app/batch_driver.h"
#include "output/wav_header.h"
#include "synth/renderer.h"

uint32_t gapBetween(const PlayerOptions& options, const PlayItem& previous, const PlayItem& next) {
  if (!options.familyGaps || codeFamily(previous) == codeFamily(next)) return options.gapMs;
  return std::min(options.gapMs, kSweepFamilyChangeGapMs);
}

uint64_t playedDataBytes(const PlayerOptions& options, const WaveSink& sink) {
  const uint32_t maxCarrierHz = maxCarrierFor(sink.sampleRate);
  uint64_t frames = 0;
  const PlayItem* previous = nullptr;
  forEachCode(options.codes, options.runs, [&](const PlayItem& item, bool) {
    const IrCode code = item.code();
    if (!canRender(code.carrierHz, maxCarrierHz)) return true;
    frames += renderedFrameCount(code, sink.sampleRate) * options.repeat;
    if (previous) frames += gapFrames(sink.sampleRate, gapBetween(options, *previous, item));
    frames += static_cast<uint64_t>(options.repeat - 1) * gapFrames(sink.sampleRate, options.gapMs);
    previous = &item;
    return true;
  });
  return frames * sink.bytesPerSample * sink.channels;
}

uint32_t gapFrames(uint32_t sampleRate, uint32_t gapMs) {
  return static_cast<uint32_t>(static_cast<uint64_t>(sampleRate) * gapMs / 1000);
}

bool fitsWavFile(uint64_t dataBytes, std::string* error) {
  if (dataBytes <= kMaxWavDataBytes) return true;
  *error = "more sample data than a WAV file can hold (" + std::to_string(dataBytes) +
           " bytes; a WAV file holds at most " + std::to_string(kMaxWavDataBytes) + ")";
  return false;
}

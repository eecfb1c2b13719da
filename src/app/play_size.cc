#include "app/play_size.h"

#include "app/batch_driver.h"
#include "output/wav_header.h"
#include "synth/renderer.h"

uint64_t playedDataBytes(const PlayerOptions& options, const WaveSink& sink, uint32_t gapFrames) {
  const uint32_t maxCarrierHz = maxCarrierFor(sink.sampleRate);
  uint64_t frames = 0;
  uint64_t presses = 0;
  forEachCode(options.codes, options.runs, [&](const PlayItem& item, bool) {
    const IrCode code = item.code();
    if (!canRender(code.carrierHz, maxCarrierHz)) return true;
    frames += renderedFrameCount(code, sink.sampleRate) * options.repeat;
    presses += options.repeat;
    return true;
  });
  if (presses > 1) frames += (presses - 1) * gapFrames;
  return frames * sink.bytesPerSample * sink.channels;
}

bool fitsWavFile(uint64_t dataBytes, std::string* error) {
  if (dataBytes <= kMaxWavDataBytes) return true;
  *error = "more sample data than a WAV file can hold (" + std::to_string(dataBytes) +
           " bytes; a WAV file holds at most " + std::to_string(kMaxWavDataBytes) + ")";
  return false;
}

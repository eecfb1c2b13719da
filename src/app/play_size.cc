#include "app/play_size.h"

#include "app/batch_driver.h"
#include "output/wav_header.h"
#include "synth/renderer.h"

uint64_t playedDataBytes(const std::vector<PlayItem>& codes, uint32_t sampleRate,
                         uint32_t frameBytes, uint32_t gapFrames) {
  const uint32_t maxCarrierHz = maxCarrierFor(sampleRate);
  uint64_t frames = 0;
  bool first = true;
  for (const PlayItem& item : codes) {
    const IrCode code = item.code();
    if (!canRender(code.carrierHz, maxCarrierHz)) continue;
    if (!first) frames += gapFrames;
    first = false;
    frames += renderedFrameCount(code, sampleRate);
  }
  return frames * frameBytes;
}

bool fitsWavFile(uint64_t dataBytes, std::string* error) {
  if (dataBytes <= kMaxWavDataBytes) return true;
  *error = "more sample data than a WAV file can hold (" + std::to_string(dataBytes) +
           " bytes; a WAV file holds at most " + std::to_string(kMaxWavDataBytes) + ")";
  return false;
}

#ifndef IRWAV_OUTPUT_WAV_HEADER_H_
#define IRWAV_OUTPUT_WAV_HEADER_H_

#include <cstddef>
#include <cstdint>

/// Bytes of the canonical RIFF/WAVE header in front of the sample data.
constexpr size_t kWavHeaderBytes = 44;

/// The most sample bytes a WAV file can declare: riffSize must still fit.
constexpr uint32_t kMaxWavDataBytes = UINT32_MAX - (kWavHeaderBytes - 8);

/// The stored fields of a PCM WAV header. The form type "WAVE" is not a
/// field: it is written from a constant between riffSize and fmtId.
struct WavHeader {
  char riffId[4];
  uint32_t riffSize;  ///< data size + 36
  char fmtId[4];
  uint32_t fmtSize;  ///< 16
  uint16_t formatTag;
  uint16_t formatChannels;
  uint32_t formatSampleRate;
  uint32_t avgBytesPerSec;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
  char dataId[4];
  uint32_t dataSize;
};

/// The header as it goes to disk, in the order and sizes of its writes.
struct WavHeaderBytes {
  uint8_t bytes[kWavHeaderBytes];
};

/// Lengths of the six header writes: RIFF id and size, "WAVE", fmt id and
/// size, the 14-byte format record, bits per sample, data id and size.
constexpr size_t kWavHeaderWrites[6] = {8, 4, 8, 14, 2, 8};

/// Lays `header` out little-endian, as the 44 bytes at the start of a file.
WavHeaderBytes encodeWavHeader(const WavHeader& header);

#endif  // IRWAV_OUTPUT_WAV_HEADER_H_

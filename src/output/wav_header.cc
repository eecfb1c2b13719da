#include "output/wav_header.h"

#include <cstring>

namespace {

/// Appends little-endian values and raw ids to a byte array.
struct ByteWriter {
  uint8_t* p;

  void id(const char (&text)[4]) {
    std::memcpy(p, text, 4);
    p += 4;
  }
  void u16(uint16_t v) {
    *p++ = static_cast<uint8_t>(v);
    *p++ = static_cast<uint8_t>(v >> 8);
  }
  void u32(uint32_t v) {
    u16(static_cast<uint16_t>(v));
    u16(static_cast<uint16_t>(v >> 16));
  }
};

}  // namespace

WavHeaderBytes encodeWavHeader(const WavHeader& h) {
  static const char kWaveId[4] = {'W', 'A', 'V', 'E'};
  WavHeaderBytes out;
  ByteWriter w{out.bytes};
  w.id(h.riffId);
  w.u32(h.riffSize);
  w.id(kWaveId);
  w.id(h.fmtId);
  w.u32(h.fmtSize);
  w.u16(h.formatTag);
  w.u16(h.formatChannels);
  w.u32(h.formatSampleRate);
  w.u32(h.avgBytesPerSec);
  w.u16(h.blockAlign);
  w.u16(h.bitsPerSample);
  w.id(h.dataId);
  w.u32(h.dataSize);
  return out;
}

// Fuzzes the renderer and the sink together: each input is an arbitrary code
// (any carrier, any timing values, any length, a terminator or none) in an
// arbitrary format, rendered once into a sink writing a file, through a file
// system that may fail one call, and once into a sink playing live, on a
// scripted device that may fail, report late or never report a block done.
//
// Input layout (little-endian; missing bytes read as 0):
//   byte 0   bit 0: 1 byte per sample (else 2); bit 1: 1 channel (else 2);
//            bit 2: try to change the format while the sink is open;
//            bit 3: the device cannot be opened
//   byte 1   file fault: high nibble the call (0 create, 1 write, 2 rewind,
//            3 close, other: none), low nibble which one of them (1-15)
//   byte 2   bits 0-2: the nth prepare fails; bits 3-5: the nth write fails
//   byte 3   bits 0-2: the nth written block never finishes; bits 3-7: every
//            block is reported that many quarter seconds late
//   bytes 4-7  carrier frequency in Hz
//   then     up to kMaxTimings timing values of 4 bytes each
//
// Bounding the work: the renderer writes as many frames as the code asks
// for, up to billions for extreme values, and this harness does not change
// that. It passes over (rejects) an input only when an upper bound on its
// frames, worked out from the values before rendering, exceeds kMaxFrames,
// and it caps the list at kMaxTimings values. Everything inside the
// renderer and the sink runs unchanged.
//
// Besides the sanitizers' findings, it stops on: a misused file or device
// (see FaultyFileSystem and ScriptedAudioOutput), a failure not reported by
// close or reported twice, a file left behind after a failure, a finished
// file whose header does not match its size, and a clean playback whose
// bytes differ from the file's.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "faulty_file_system.h"
#include "output/wave_sink.h"
#include "scripted_audio_output.h"
#include "synth/renderer.h"

namespace {

constexpr size_t kMaxTimings = 128;
constexpr double kMaxFrames = 150000;

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "render_fuzzer: %s\n", what);
  std::abort();
}

/// Reads input bytes as little-endian words, zeros past the end.
struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;

  uint8_t byte() { return at < size ? data[at++] : 0; }
  uint32_t word() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t{byte()} << (8 * i);
    return v;
  }
};

/// An upper bound on the frames renderCode writes for `code`, counting every
/// value as if no terminator came before it. A burst of h half-cycles takes
/// at most h / 2 + 1 cycles of at most sampleRate / halfCarrierHz + 2 frames
/// each (one frame each when the phase does not advance).
double frameBound(const IrCode& code) {
  const double rate = 48000;
  const double half = code.carrierHz >> 1;
  const double framesPerCycle = half > 0 ? rate / half + 2 : 1;
  double frames = rate * kTrailingGapUs / 1e6 + 1;
  for (size_t i = 0; i < code.timingCount; ++i) {
    const double us = code.timings[i] * (i % 2 == 0 ? 10.0 : -10.0);
    if (us > 0) {
      const double halfCycles = std::min(half * us / 500000, 4294967295.0);
      frames += (halfCycles / 2 + 1) * framesPerCycle;
    } else {
      frames += -us * rate / 1e6 + 1;
    }
  }
  return frames;
}

/// Renders `code` into a sink writing a file and checks what is left.
/// Returns the sample bytes of a file that was written completely (never
/// empty: every code closes with silence), or nothing.
std::vector<uint8_t> renderToFile(const IrCode& code, uint32_t bytes, uint32_t channels,
                                  bool changeFormat, uint8_t fault) {
  FaultyFileSystem files;
  if ((fault >> 4) < FaultyFileSystem::kOpCount)
    files.failNth(static_cast<FaultyFileSystem::Op>(fault >> 4), fault & 15);
  WaveSink sink(&files, nullptr);
  check(sink.setFormat(bytes, channels), "a valid format was refused");
  const int opened = sink.open(L"fuzz.wav");
  if (changeFormat) check(!sink.setFormat(3 - bytes, 3 - channels), "an open sink changed format");
  renderCode(&code, sink);
  const int closed = sink.close();
  check(sink.close() == 0, "a second close reported something");
  check(files.violations.empty(), "the sink misused its file");
  check(!files.anyOpen(), "a file was left open");
  check(opened == 0 || closed != 0, "a failed open was not reported by close");
  check((closed != 0) == (files.injected != 0),
        "close did not report exactly the injected failure");
  if (closed != 0) {
    check(!sink.errorText.empty(), "a failure without a reason");
    check(files.files.count(L"fuzz.wav") == 0, "a failed file was left behind");
    return {};
  }
  const std::vector<uint8_t>& file = files.files[L"fuzz.wav"].bytes;
  check(file.size() >= kWavHeaderBytes, "a finished file without its header");
  uint32_t riffSize = 0;
  uint32_t dataSize = 0;
  for (int i = 3; i >= 0; --i) {
    riffSize = (riffSize << 8) | file[4 + i];
    dataSize = (dataSize << 8) | file[40 + i];
  }
  check(dataSize == file.size() - kWavHeaderBytes, "the data size does not match the file");
  check(riffSize == file.size() - 8, "the RIFF size does not match the file");
  check(dataSize % (bytes * channels) == 0, "a file of partial frames");
  return std::vector<uint8_t>(file.begin() + kWavHeaderBytes, file.end());
}

/// Plays `code` on a scripted device and checks what is left; a clean
/// playback must have played exactly `expected` when that is known.
void renderLive(const IrCode& code, uint32_t bytes, uint32_t channels, uint8_t flags,
                uint8_t faults, uint8_t stalls, const std::vector<uint8_t>* expected) {
  ScriptedAudioOutput device;
  device.failOpen = (flags & 8) != 0;
  device.failPrepareAt = faults & 7;
  device.failWriteAt = (faults >> 3) & 7;
  device.neverDoneAt = stalls & 7;
  device.lateUs = static_cast<uint64_t>(stalls >> 3) * 250000;
  FaultyFileSystem unused;
  WaveSink sink(&unused, &device);
  check(sink.setFormat(bytes, channels), "a valid format was refused");
  sink.open(nullptr);
  renderCode(&code, sink);
  const int closed = sink.close();
  check(sink.close() == 0, "a second close reported something");
  check(device.violations.empty(), "the sink misused the device");
  check(!device.isOpen, "the device was left open");
  check(device.prepared == 0, "a block was left prepared");
  check(unused.files.empty(), "live playback touched the file system");
  if (closed != 0) {
    check(!sink.errorText.empty(), "a failure without a reason");
    return;
  }
  check(sink.totalBytes == device.played.size(), "totalBytes differs from what was played");
  if (expected) check(device.played == *expected, "playback differs from the file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  const uint8_t flags = in.byte();
  const uint8_t fileFault = in.byte();
  const uint8_t deviceFaults = in.byte();
  const uint8_t stalls = in.byte();
  const uint32_t carrierHz = in.word();
  std::vector<int32_t> timings;
  while (in.at + 4 <= size && timings.size() < kMaxTimings)
    timings.push_back(static_cast<int32_t>(in.word()));

  // Exactly the values read, so that reading past them is caught.
  const IrCode code{carrierHz, timings.data(), timings.size()};
  if (frameBound(code) > kMaxFrames) return -1;

  const uint32_t bytes = (flags & 1) ? 1 : 2;
  const uint32_t channels = (flags & 2) ? 1 : 2;
  const std::vector<uint8_t> samples =
      renderToFile(code, bytes, channels, (flags & 4) != 0, fileFault);
  // A file written completely is what a clean playback must play.
  renderLive(code, bytes, channels, flags, deviceFaults, stalls,
             samples.empty() ? nullptr : &samples);
  return 0;
}

// Measures the converter against the floors it cannot go below:
//
// - RenderTable: renderCode over every renderable built-in code into a sink
//   whose file takes the bytes and keeps none, in frames per second;
// - BareSineLoop: the same sine calls and the same sample stores into a
//   buffer of the sink's size, with nothing else (checked to produce the
//   very same bytes), so RenderTable / BareSineLoop is the renderer's
//   overhead over the work it must do;
// - WholeRun: runBatch writing all its files into a temporary directory;
// - WriteFloor/0: writing the same bytes to the same number of files there,
//   one write per file, so WholeRun / (RenderTable + WriteFloor/0) is what
//   the run costs beyond rendering and the disk;
// - WriteFloor/1: the same bytes in the sink's pattern of calls (header in
//   six writes, data a buffer at a time, rewind, header again), which shows
//   how much of that is the file procedure's calls;
// - BrandAllOutput/RATE: irwav-play --brand all --output at 48000 and 192000
//   Hz, every brand's codes and the gaps between them into one file that
//   keeps nothing, in frames per second;
// - BrandAllBareLoop/RATE: the bare loop over the very same sequence (checked
//   to produce the very same bytes), the floor BrandAllOutput is held to.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "app/batch_driver.h"
#include "app/play_size.h"
#include "app/player.h"
#include "discarding_file_system.h"
#include "library/ir_codes.h"
#include "memory_file_system.h"
#include "output/wave_sink.h"
#include "synth/renderer.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kSampleRate = 48000;

/// Whether the batch run renders code `index`.
bool isRendered(size_t index) {
  return canRender(kIrCodes[index]->carrierHz, maxCarrierFor(kSampleRate));
}

/// Opens `sink`, renders every renderable code into it and closes it.
void renderTable(WaveSink& sink) {
  sink.open(L"table.wav");
  for (size_t i = 0; i < kIrCodeCount; ++i)
    if (isRendered(i)) renderCode(kIrCodes[i], sink);
  sink.close();
}

/// The sample bytes of the whole table, as the renderer writes them.
std::vector<uint8_t> rendererBytes() {
  MemoryFileSystem files;
  WaveSink sink(&files, nullptr);
  renderTable(sink);
  const std::vector<uint8_t>& file = files.files[L"table.wav"].bytes;
  return std::vector<uint8_t>(file.begin() + static_cast<long>(kWavHeaderBytes), file.end());
}

/// One stretch of a code: a burst of `count` half-cycles or `count` silent
/// frames.
struct Segment {
  bool burst;
  uint32_t count;
};

/// What the bare loop plays for one code, worked out before timing starts.
struct Script {
  double phaseStep;
  std::vector<Segment> segments;
};

/// The bursts and gaps of code `code` at `rate` frames per second.
Script scriptOf(const IrCode& code, uint32_t rate = kSampleRate) {
  const uint32_t half = code.carrierHz >> 1;
  Script script{static_cast<double>(half) * kTwoPi / rate, {}};
  auto slot = [&](int64_t us) {
    if (us > 0) script.segments.push_back({true, static_cast<uint32_t>(half * us / 500000)});
    if (us < 0 && -us * rate / 1000000 > 0)
      script.segments.push_back({false, static_cast<uint32_t>(-us * rate / 1000000)});
  };
  size_t i = 0;
  for (; i + 1 < code.timingCount && code.timings[i + 1] != 0; i += 2) {
    slot(int64_t{code.timings[i]} * kTimingUnitUs);
    slot(-int64_t{code.timings[i + 1]} * kTimingUnitUs);
  }
  if (i < code.timingCount) slot(int64_t{code.timings[i]} * kTimingUnitUs);
  slot(-int64_t{kTrailingGapUs});
  return script;
}

std::vector<Script> tableScripts() {
  std::vector<Script> scripts;
  for (size_t i = 0; i < kIrCodeCount; ++i)
    if (isRendered(i)) scripts.push_back(scriptOf(*kIrCodes[i]));
  return scripts;
}

int16_t toSample(double value) { return static_cast<int16_t>(value * kAmplitude); }

/// Plays `script` into `out` at byte `pos`, wrapping with `mask`, and returns
/// the new position: the sine calls and stores of the renderer, nothing more.
size_t bareRender(const Script& script, uint8_t* out, size_t pos, size_t mask) {
  for (const Segment& s : script.segments) {
    if (!s.burst) {
      // One fill per stretch, split only where the ring wraps.
      for (size_t bytes = size_t{s.count} * 4; bytes > 0;) {
        const size_t at = pos & mask;
        const size_t n = std::min(bytes - 1, mask - at) + 1;
        std::memset(out + at, 0, n);
        pos += n;
        bytes -= n;
      }
      continue;
    }
    double phase = 0;
    uint32_t i = 0;
    do {
      const double limit = i + 1 == s.count ? kPi : kTwoPi;
      do {
        const int16_t frame[2] = {toSample(std::sin(phase)), toSample(std::sin(phase + kPi))};
        std::memcpy(out + (pos & mask), frame, 4);
        pos += 4;
        phase += script.phaseStep;
      } while (phase < limit);
      phase -= kTwoPi;
      i += 2;
    } while (i < s.count);
  }
  return pos;
}

void BM_RenderTable(benchmark::State& state) {
  DiscardingFileSystem files;
  WaveSink sink(&files, nullptr);
  for (auto _ : state) renderTable(sink);
  const uint64_t frames = (files.bytesWritten / state.iterations() - 2 * kWavHeaderBytes) / 4;
  state.SetItemsProcessed(static_cast<int64_t>(frames * state.iterations()));
  state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_RenderTable)->Unit(benchmark::kMillisecond);

/// Times the bare loop over `scripts` into a ring of the sink's size, once
/// it has been checked to produce `expected`, the bytes it stands in for:
/// otherwise the comparison would mean nothing.
void runBareLoop(benchmark::State& state, const std::vector<Script>& scripts,
                 const std::vector<uint8_t>& expected) {
  std::vector<uint8_t> all(expected.size() + 4);
  size_t end = 0;
  for (const Script& s : scripts) end = bareRender(s, all.data(), end, SIZE_MAX);
  all.resize(end);
  if (all != expected) {
    state.SkipWithError("the bare loop does not produce the bytes it stands in for");
    return;
  }

  std::vector<uint8_t> ring(kBufferBytes);
  for (auto _ : state) {
    size_t pos = 0;
    for (const Script& s : scripts) pos = bareRender(s, ring.data(), pos, kBufferBytes - 1);
    benchmark::DoNotOptimize(ring.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(end / 4 * state.iterations()));
}

void BM_BareSineLoop(benchmark::State& state) {
  runBareLoop(state, tableScripts(), rendererBytes());
}
BENCHMARK(BM_BareSineLoop)->Unit(benchmark::kMillisecond);

/// A scratch directory that the process works in while it exists.
class ScratchDirectory {
 public:
  ScratchDirectory() : previous_(fs::current_path()) {
    path_ = fs::temp_directory_path() / ("irwav-bench-" + std::to_string(std::rand()));
    fs::create_directories(path_);
    fs::current_path(path_);
  }
  ~ScratchDirectory() {
    fs::current_path(previous_);
    fs::remove_all(path_);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

 private:
  fs::path previous_;
  fs::path path_;
};

void BM_WholeRun(benchmark::State& state) {
  ScratchDirectory scratch;
  std::ostream discard(nullptr);
  for (auto _ : state) {
    if (runBatch(discard, discard) != 0) state.SkipWithError("the run failed");
  }
}
BENCHMARK(BM_WholeRun)->Unit(benchmark::kMillisecond);

void BM_WriteFloor(benchmark::State& state) {
  ScratchDirectory scratch;
  std::ostream discard(nullptr);
  runBatch(discard, discard);
  struct File {
    std::wstring name;
    std::vector<char> bytes;
  };
  std::vector<File> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
    std::ifstream in(entry.path(), std::ios::binary);
    files.push_back({entry.path().filename().wstring(),
                     std::vector<char>(std::istreambuf_iterator<char>(in), {})});
  }
  FileSystem& system = systemFileSystem();
  const bool pattern = state.range(0) != 0;
  for (auto _ : state) {
    for (const File& f : files) {
      const FileHandle h = system.create(f.name.c_str(), nullptr);
      bool written = h != kInvalidFile;
      if (!pattern) {
        written = written && system.write(h, f.bytes.data(), f.bytes.size(), nullptr);
      } else {
        // The sink's calls: the header in its six writes, the data a buffer
        // at a time, then back to the start for the header again.
        const char* header = f.bytes.data();
        for (size_t size : kWavHeaderWrites) {
          written = written && system.write(h, header, size, nullptr);
          header += size;
        }
        for (size_t at = kWavHeaderBytes; at < f.bytes.size(); at += kBufferBytes) {
          const size_t size = std::min<size_t>(kBufferBytes, f.bytes.size() - at);
          written = written && system.write(h, f.bytes.data() + at, size, nullptr);
        }
        written = written && system.rewind(h, nullptr);
        header = f.bytes.data();
        for (size_t size : kWavHeaderWrites) {
          written = written && system.write(h, header, size, nullptr);
          header += size;
        }
      }
      if (h == kInvalidFile || !system.close(h, nullptr) || !written)
        state.SkipWithError("cannot write the floor's files");
    }
  }
  state.counters["files"] = static_cast<double>(files.size());
}
// 0: one write per file, the floor; 1: the sink's pattern of calls.
BENCHMARK(BM_WriteFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

/// What --brand all --output FILE --rate `rate` asks of the player.
PlayerOptions brandAllOptions(uint32_t rate) {
  PlayerOptions options;
  std::string error;
  parsePlayerArgs({"--brand", "all", "--output", "all.wav", "--rate", std::to_string(rate)},
                  &options, &error);
  return options;
}

/// Runs the player on `options` into a sink on `files`.
void writeBrandAll(const PlayerOptions& options, FileSystem* files) {
  WaveSink sink(files, nullptr);
  sink.setFormat(2, 2, options.sampleRate);
  std::ostream discard(nullptr);
  playCodes(options, sink, discard, discard, nullptr);
}

void BM_BrandAllOutput(benchmark::State& state) {
  const PlayerOptions options = brandAllOptions(static_cast<uint32_t>(state.range(0)));
  if (options.codes.empty()) state.SkipWithError("--brand all names no code");
  DiscardingFileSystem files;
  for (auto _ : state) writeBrandAll(options, &files);
  const uint64_t frames = (files.bytesWritten / state.iterations() - 2 * kWavHeaderBytes) / 4;
  state.SetItemsProcessed(static_cast<int64_t>(frames * state.iterations()));
  state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_BrandAllOutput)->Arg(48000)->Arg(192000)->Unit(benchmark::kMillisecond);

void BM_BrandAllBareLoop(benchmark::State& state) {
  const uint32_t rate = static_cast<uint32_t>(state.range(0));
  const PlayerOptions options = brandAllOptions(rate);
  // The codes that render at this rate, with the gap between two of them.
  std::vector<Script> scripts;
  const PlayItem* previous = nullptr;
  for (const PlayItem& item : options.codes) {
    const IrCode code = item.code();
    if (!canRender(code.carrierHz, maxCarrierFor(rate))) continue;
    if (previous != nullptr)
      scripts.push_back({0, {{false, gapFrames(rate, gapBetween(options, *previous, item))}}});
    scripts.push_back(scriptOf(code, rate));
    previous = &item;
  }
  MemoryFileSystem files;
  writeBrandAll(options, &files);
  const std::vector<uint8_t>& file = files.files[L"all.wav"].bytes;
  runBareLoop(state, scripts, std::vector<uint8_t>(file.begin() + kWavHeaderBytes, file.end()));
}
BENCHMARK(BM_BrandAllBareLoop)->Arg(48000)->Arg(192000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

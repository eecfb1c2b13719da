// Fails each file and device call a sink makes, one at a time, and checks
// that the failure is reported exactly once, that nothing left behind claims
// to be a WAV, that the sink stops using what failed, and that it never
// waits without end for a device.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "faulty_file_system.h"
#include "output/wave_sink.h"
#include "scripted_audio_output.h"
#include "synth/renderer.h"

namespace {

/// Bursts and gaps of 90 ms each, ending on a burst: about 23000 frames with
/// the closing silence, so the default format needs two full buffers and a
/// partial one, and live playback six blocks.
const int32_t kTimings[] = {9000, 9000, 9000, 9000, 9000, 0};
const IrCode kCode{38000, kTimings, sizeof kTimings / sizeof kTimings[0]};

const char* const kOpNames[] = {"create", "write", "rewind", "close"};

struct FileRun {
  int openResult;
  int closeResult;
  int secondCloseResult;
  std::string errorText;
};

/// Opens, renders kCode and closes a sink on `fs`, then closes it again.
FileRun renderToFile(FaultyFileSystem& fs, uint32_t bytesPerSample = 2, uint32_t channels = 2) {
  WaveSink sink(&fs, nullptr);
  EXPECT_TRUE(sink.setFormat(bytesPerSample, channels));
  FileRun run;
  run.openResult = sink.open(L"code.wav");
  renderCode(&kCode, sink);
  run.closeResult = sink.close();
  run.errorText = sink.errorText;
  run.secondCloseResult = sink.close();
  return run;
}

TEST(WaveSinkFileFaults, EveryFailingCallIsReportedOnceAndLeavesNoWave) {
  for (const auto& format : {std::pair<uint32_t, uint32_t>{2, 2}, {1, 1}}) {
    FaultyFileSystem clean;
    const FileRun good = renderToFile(clean, format.first, format.second);
    ASSERT_EQ(good.closeResult, 0);
    ASSERT_TRUE(clean.violations.empty());
    const std::vector<uint8_t> reference = clean.files[L"code.wav"].bytes;
    ASSERT_GT(reference.size(), 44 + 2 * kBufferBytes / (4 / (format.first * format.second)));

    for (int op = 0; op < FaultyFileSystem::kOpCount; ++op) {
      // One more than the clean run made: that run must succeed again.
      for (size_t n = 1; n <= clean.calls[op] + 1; ++n) {
        SCOPED_TRACE(std::string(kOpNames[op]) + " #" + std::to_string(n) + ", " +
                     std::to_string(format.first) + " bytes, " + std::to_string(format.second) +
                     " channels");
        FaultyFileSystem fs;
        fs.failNth(static_cast<FaultyFileSystem::Op>(op), n);
        const FileRun run = renderToFile(fs, format.first, format.second);
        EXPECT_TRUE(fs.violations.empty()) << fs.violations.front();
        EXPECT_FALSE(fs.anyOpen());
        EXPECT_EQ(run.secondCloseResult, 0);
        if (fs.injected == 0) {
          EXPECT_EQ(run.openResult, 0);
          EXPECT_EQ(run.closeResult, 0);
          EXPECT_EQ(fs.files[L"code.wav"].bytes, reference);
          continue;
        }
        EXPECT_EQ(run.closeResult, -1);
        EXPECT_EQ(run.errorText, std::string("injected ") + kOpNames[op] + " failure");
        EXPECT_EQ(fs.files.count(L"code.wav"), 0u) << "a failed file was left behind";
        // Failures while the header is first written show at open already.
        const bool duringOpen = op == FaultyFileSystem::kCreate ||
                                (op == FaultyFileSystem::kRewind && n == 1) ||
                                (op == FaultyFileSystem::kWrite && n <= 6);
        EXPECT_EQ(run.openResult, duringOpen ? -1 : 0);
        // A file that was created is disposed of once; one never created is not.
        EXPECT_EQ(fs.discards, op == FaultyFileSystem::kCreate ? 0u : 1u);
        // The file is left alone after the failing call, but for its disposal.
        EXPECT_EQ(fs.callsAfterFailure, 0u);
      }
    }
  }
}

TEST(WaveSinkFileFaults, AFailureDoesNotCarryIntoTheNextFile) {
  FaultyFileSystem fs;
  fs.failNth(FaultyFileSystem::kWrite, 7);  // the first data write, after six for the header
  WaveSink sink(&fs, nullptr);
  ASSERT_EQ(sink.open(L"a.wav"), 0);
  renderCode(&kCode, sink);
  EXPECT_EQ(sink.close(), -1);
  ASSERT_EQ(sink.open(L"b.wav"), 0);
  EXPECT_EQ(sink.errorText, "");
  renderCode(&kCode, sink);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(fs.files.count(L"a.wav"), 0u);
  EXPECT_GT(fs.files[L"b.wav"].bytes.size(), 44 + 2 * kBufferBytes);
  EXPECT_TRUE(fs.violations.empty());
}

struct LiveRun {
  int openResult;
  int closeResult;
  int secondCloseResult;
  std::string errorText;
  uint32_t totalBytes;
};

/// Plays kCode on a sink in live mode against `device`.
LiveRun renderLive(ScriptedAudioOutput& device) {
  MemoryFileSystem unused;
  WaveSink sink(&unused, &device);
  LiveRun run;
  run.openResult = sink.open(nullptr);
  renderCode(&kCode, sink);
  run.closeResult = sink.close();
  run.errorText = sink.errorText;
  run.totalBytes = sink.totalBytes;
  run.secondCloseResult = sink.close();
  EXPECT_TRUE(unused.files.empty());
  return run;
}

/// The bytes kCode renders to in the default format.
std::vector<uint8_t> referenceSamples() {
  FaultyFileSystem fs;
  renderToFile(fs);
  const std::vector<uint8_t>& file = fs.files[L"code.wav"].bytes;
  return std::vector<uint8_t>(file.begin() + 44, file.end());
}

/// Checks what every live run must leave: no misuse, the device closed with
/// nothing prepared, and a second close that does nothing.
void expectDeviceReleased(const ScriptedAudioOutput& device, const LiveRun& run) {
  EXPECT_TRUE(device.violations.empty()) << device.violations.front();
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(device.prepared, 0);
  EXPECT_EQ(run.secondCloseResult, 0);
}

TEST(WaveSinkLiveFaults, PlaysEveryBlockInOrderWhenNothingFails) {
  for (uint64_t lateUs : {uint64_t{0}, uint64_t{900000}}) {
    ScriptedAudioOutput device;
    device.lateUs = lateUs;  // late, but well within the sink's patience
    const LiveRun run = renderLive(device);
    expectDeviceReleased(device, run);
    EXPECT_EQ(run.openResult, 0);
    EXPECT_EQ(run.closeResult, 0);
    const std::vector<uint8_t> reference = referenceSamples();
    EXPECT_EQ(device.played, reference);
    EXPECT_EQ(run.totalBytes, reference.size());
    // 16384-byte blocks: five full ones and the rest.
    EXPECT_EQ(device.writes, 6u);
  }
}

TEST(WaveSinkLiveFaults, ADeviceThatCannotBeOpenedTakesFramesAndIsReportedOnce) {
  ScriptedAudioOutput device;
  device.failOpen = true;
  const LiveRun run = renderLive(device);
  expectDeviceReleased(device, run);
  EXPECT_EQ(run.openResult, -1);
  EXPECT_EQ(run.closeResult, -1);
  EXPECT_EQ(run.errorText, "injected open failure");
  EXPECT_EQ(device.prepares + device.writes + device.sleeps, 0u);
}

TEST(WaveSinkLiveFaults, AFailedPrepareOrWriteStopsSubmissionAndIsReportedOnce) {
  for (uint64_t n = 1; n <= 6; ++n) {
    for (bool failWrite : {false, true}) {
      SCOPED_TRACE((failWrite ? "write #" : "prepare #") + std::to_string(n));
      ScriptedAudioOutput device;
      (failWrite ? device.failWriteAt : device.failPrepareAt) = n;
      const LiveRun run = renderLive(device);
      expectDeviceReleased(device, run);
      EXPECT_EQ(run.openResult, 0);
      EXPECT_EQ(run.closeResult, -1);
      EXPECT_EQ(run.errorText, failWrite ? "injected write failure" : "injected prepare failure");
      // Only the blocks before the failure were handed over, and they played.
      EXPECT_EQ(device.writes, failWrite ? n : n - 1);
      EXPECT_EQ(run.totalBytes, (n - 1) * kDeviceBlockBytes);
      const std::vector<uint8_t> reference = referenceSamples();
      EXPECT_EQ(device.played,
                std::vector<uint8_t>(reference.begin(), reference.begin() + run.totalBytes));
    }
  }
}

TEST(WaveSinkLiveFaults, ABlockThatNeverFinishesIsGivenUpWithoutHanging) {
  for (uint64_t n = 1; n <= 6; ++n) {
    SCOPED_TRACE("stuck write #" + std::to_string(n));
    ScriptedAudioOutput device;
    device.neverDoneAt = n;
    const LiveRun run = renderLive(device);
    expectDeviceReleased(device, run);
    EXPECT_EQ(run.closeResult, -1);
    EXPECT_EQ(run.errorText, "the audio device stopped playing");
    EXPECT_EQ(device.resets, 1u);
    // The stall is noticed after kDeviceStallMs of waiting, not much later.
    EXPECT_LE(device.nowUs, (kDeviceStallMs + 1000) * 1000ull);
    // The block after the stuck one was still queued before the wait began.
    EXPECT_EQ(device.writes, std::min<uint64_t>(n + 1, 6));
  }
}

}  // namespace

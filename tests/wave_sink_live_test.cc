// The sink in live mode against a device that plays in virtual time.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <vector>

#include "output/wave_sink.h"
#include "scripted_audio_output.h"
#include "synth/renderer.h"

namespace {

constexpr uint32_t kBlockFrames = kDeviceBlockBytes / 4;

/// A sink on a fake device, and the frames written into it.
struct LiveRun {
  ScriptedAudioOutput device;
  WaveSink sink{nullptr, &device};
  uint32_t nextFrame = 0;
  std::vector<uint8_t> sent;  ///< every frame written, in order

  /// Writes `count` frames that all differ (a running counter), flushing at
  /// each block end as the renderer does.
  void putFrames(uint32_t count) {
    for (uint32_t i = 0; i < count; ++i, ++nextFrame) {
      ASSERT_GE(sink.cursor, sink.buffer.get());
      ASSERT_LE(sink.cursor + 4, sink.buffer.get() + kBufferBytes);
      for (int b = 0; b < 4; ++b) {
        const uint8_t byte = static_cast<uint8_t>(nextFrame >> (8 * b));
        *sink.cursor++ = byte;
        sent.push_back(byte);
      }
      if (sink.cursor >= sink.blockEnd) sink.flush();
    }
  }
};

struct LiveSinkTest : ::testing::Test, LiveRun {};

TEST_F(LiveSinkTest, OpensTheNamedDeviceInTheSinkFormat) {
  sink.deviceName = "hw:1,0";
  ASSERT_EQ(sink.open(nullptr), 0);
  EXPECT_EQ(device.openedName, "hw:1,0");
  EXPECT_EQ(device.openedFormat.formatTag, 1);
  EXPECT_EQ(device.openedFormat.channels, 2);
  EXPECT_EQ(device.openedFormat.samplesPerSec, 48000u);
  EXPECT_EQ(device.openedFormat.avgBytesPerSec, 192000u);
  EXPECT_EQ(device.openedFormat.blockAlign, 4);
  EXPECT_EQ(device.openedFormat.bitsPerSample, 16);
  EXPECT_EQ(sink.blockEnd - sink.blockStart, static_cast<long>(kDeviceBlockBytes));
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(device.closes, 1u);
  EXPECT_EQ(device.writes, 0u);

  // Reopening works the same, in another format.
  ASSERT_TRUE(sink.setFormat(1, 1));
  ASSERT_EQ(sink.open(nullptr), 0);
  EXPECT_EQ(device.openedFormat.bitsPerSample, 8);
  EXPECT_EQ(device.openedFormat.blockAlign, 1);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(device.closes, 2u);
  EXPECT_TRUE(device.violations.empty()) << device.violations.front();
}

TEST_F(LiveSinkTest, OpeningAnOpenSinkDrainsAndClosesTheDeviceFirst) {
  ASSERT_EQ(sink.open(nullptr), 0);
  putFrames(kBlockFrames + 10);
  ASSERT_EQ(sink.open(nullptr), 0);
  EXPECT_EQ(device.played, sent);
  EXPECT_EQ(device.closes, 1u);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(device.opens, 2u);
  EXPECT_TRUE(device.violations.empty()) << device.violations.front();
}

TEST_F(LiveSinkTest, LessThanABlockWaitsForCloseAndPlaysBeforeTheDeviceCloses) {
  ASSERT_EQ(sink.open(nullptr), 0);
  putFrames(100);
  EXPECT_EQ(device.writes, 0u);
  EXPECT_EQ(sink.totalBytes, 0u);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(device.lengths, std::vector<uint32_t>{400});
  EXPECT_EQ(device.played, sent);
  EXPECT_EQ(sink.totalBytes, 400u);
  // Close polled until the device was done (2 ms later), sleeping once.
  EXPECT_EQ(device.nowUs, kDevicePollMs * 1000);
  EXPECT_EQ(device.closes, 1u);
  EXPECT_EQ(sink.buffer, nullptr);
}

TEST(LiveSinkBlocksTest, GoOutAsTheyFillAndAreReusedOnlyWhenDone) {
  struct Case {
    uint32_t frames;
    std::vector<uint32_t> lengths;
  };
  const Case cases[] = {
      {kBlockFrames, {16384}},
      {kBlockFrames + 1, {16384, 4}},
      {2 * kBlockFrames, {16384, 16384}},
      {5 * kBlockFrames + 7, {16384, 16384, 16384, 16384, 16384, 28}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frames);
    LiveRun run;
    ScriptedAudioOutput& device = run.device;
    WaveSink& sink = run.sink;
    ASSERT_EQ(sink.open(nullptr), 0);
    run.putFrames(c.frames);
    // A full block is handed over with its last frame.
    EXPECT_EQ(device.writes, c.frames / kBlockFrames);
    // The sink never holds more than one block in the device while it fills
    // the other.
    EXPECT_LE(device.queued(), 1u);
    EXPECT_EQ(sink.close(), 0);
    EXPECT_EQ(device.lengths, c.lengths);
    EXPECT_EQ(device.played, run.sent);
    EXPECT_EQ(sink.totalBytes, 4 * c.frames);
    EXPECT_EQ(device.closes, 1u);
    EXPECT_TRUE(device.violations.empty()) << device.violations.front();
  }
}

TEST_F(LiveSinkTest, AFlushWithNothingPendingSwitchesBlocksAndWaits) {
  ASSERT_EQ(sink.open(nullptr), 0);
  sink.flush();
  EXPECT_EQ(device.writes, 0u);
  EXPECT_EQ(sink.blockIndex, 1u);
  EXPECT_EQ(sink.blockStart, sink.buffer.get() + kDeviceBlockBytes);
  EXPECT_EQ(sink.cursor, sink.blockStart);

  putFrames(10);
  sink.flush();  // block 1 goes out; block 0 is free at once
  EXPECT_EQ(device.queued(), 1u);
  EXPECT_EQ(device.nowUs, 0u);
  sink.flush();  // nothing pending: back to block 1, which must play first
  EXPECT_EQ(sink.blockIndex, 1u);
  EXPECT_EQ(device.queued(), 0u);
  EXPECT_EQ(sink.blocks[1].user, 0u);
  EXPECT_GT(device.nowUs, 0u);
  EXPECT_EQ(sink.totalBytes, 40u);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(device.lengths, std::vector<uint32_t>{40});
}

TEST_F(LiveSinkTest, WithoutADeviceFramesGoNowhereAndNothingWaits) {
  device.failOpen = true;
  EXPECT_EQ(sink.open(nullptr), -1);
  EXPECT_EQ(sink.errorText, "injected open failure");
  putFrames(3 * kBlockFrames + 5);  // cycles both halves, never past them
  EXPECT_EQ(sink.close(), -1);
  EXPECT_EQ(device.prepares, 0u);
  EXPECT_EQ(device.nowUs, 0u);
  EXPECT_EQ(device.closes, 0u);
  EXPECT_EQ(sink.totalBytes, 0u);

  // The next open starts afresh.
  device.failOpen = false;
  ASSERT_EQ(sink.open(nullptr), 0);
  EXPECT_EQ(sink.errorText, "");
  EXPECT_EQ(sink.close(), 0);
}

TEST(LiveSinkBlocksTest, ARefusedBlockIsNeverWaitedOn) {
  for (bool refuseWrite : {false, true}) {
    SCOPED_TRACE(refuseWrite ? "write refused" : "prepare refused");
    LiveRun run;
    ScriptedAudioOutput& device = run.device;
    WaveSink& sink = run.sink;
    (refuseWrite ? device.failWriteAt : device.failPrepareAt) = 2;
    ASSERT_EQ(sink.open(nullptr), 0);
    run.putFrames(4 * kBlockFrames);
    EXPECT_EQ(sink.close(), -1);
    EXPECT_EQ(sink.errorText, refuseWrite ? "injected write failure" : "injected prepare failure");
    // The first block played out; nothing followed the refusal.
    EXPECT_EQ(device.lengths, std::vector<uint32_t>{16384});
    EXPECT_EQ(device.played, std::vector<uint8_t>(run.sent.begin(), run.sent.begin() + 16384));
    EXPECT_EQ(sink.totalBytes, 16384u);
    EXPECT_EQ(device.resets, 0u);
    EXPECT_EQ(device.closes, 1u);
  }
}

TEST(LiveSinkStallTest, ADeviceThatStopsIsGivenUpAfterTheStallAndOneThatFailsAtOnce) {
  for (bool saysItFailed : {false, true}) {
    SCOPED_TRACE(saysItFailed ? "failure reported" : "silent stop");
    LiveRun run;
    ScriptedAudioOutput& device = run.device;
    (saysItFailed ? device.failPollAt : device.neverDoneAt) = 1;
    ASSERT_EQ(run.sink.open(nullptr), 0);
    run.putFrames(6 * kBlockFrames + 3);
    EXPECT_EQ(run.sink.close(), -1);
    EXPECT_EQ(run.sink.errorText,
              saysItFailed ? "injected device failure" : "the audio device stopped playing");
    EXPECT_EQ(device.resets, 1u);
    EXPECT_EQ(device.closes, 1u);
    // One wait, then nothing more went to the device or waited.
    EXPECT_EQ(device.writes, 2u);
    EXPECT_EQ(device.nowUs, saysItFailed ? 0u : kDeviceStallMs * 1000);
    EXPECT_TRUE(device.violations.empty()) << device.violations.front();
  }
}

TEST_F(LiveSinkTest, AStopRequestSendsTheBlockInHandAndNothingAfter) {
  volatile std::sig_atomic_t stop = 0;
  sink.stopRequest = &stop;
  ASSERT_EQ(sink.open(nullptr), 0);
  putFrames(kBlockFrames + 10);  // block 0 out, block 1 in hand
  stop = 1;
  putFrames(kBlockFrames);  // block 1 goes out full; the rest is dropped
  putFrames(3 * kBlockFrames);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(device.lengths, (std::vector<uint32_t>{16384, 16384}));
  EXPECT_EQ(device.played, std::vector<uint8_t>(sent.begin(), sent.begin() + 32768));
  EXPECT_EQ(device.closes, 1u);

  // A fresh open plays again, unless the request still stands at a flush.
  stop = 0;
  ASSERT_EQ(sink.open(nullptr), 0);
  putFrames(kBlockFrames);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(device.lengths.size(), 3u);
}

TEST(LiveSinkPacingTest, ADeviceThatPlaysInRealTimeNeverRunsDryAtAnyRate) {
  // The device plays each block in its real duration on its clock; the sink
  // must hand over the next block before the one in flight runs out, while
  // keeping no more than two blocks ahead.
  for (uint32_t rate : {8000u, 44100u, 48000u, 96000u, 192000u, kMaxSampleRate}) {
    SCOPED_TRACE(rate);
    ScriptedAudioOutput device;
    size_t mostQueued = 0;
    device.onSleep = [&] { mostQueued = std::max(mostQueued, device.queued()); };
    WaveSink sink(nullptr, &device);
    ASSERT_TRUE(sink.setFormat(2, 2, rate));
    ASSERT_EQ(sink.open(nullptr), 0);
    emitSilence(sink, 3 * rate);
    EXPECT_EQ(sink.close(), 0);
    EXPECT_EQ(device.dryRuns, 0u);
    EXPECT_LE(mostQueued, 2u);
    // What is in flight plays for the same time at every rate.
    EXPECT_EQ(device.lengths.front(), deviceBlockBytes(rate, 4));
    EXPECT_NEAR(device.lengths.front() / 4 * 1000.0 / rate, 85.3, 0.2);
  }
}

}  // namespace

// The waveform-output device through the audio output interface, and the
// sink's live mode on top of it. Where the system has no output device at
// all, the tests say so and skip.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/wave_sink.h"
#include "platform/audio_output.h"
#include "synth/renderer.h"

namespace {

AudioFormat defaultFormat() { return AudioFormat{1, 2, 48000, 192000, 4, 16, 0}; }

struct WinmmTest : ::testing::Test {
  std::unique_ptr<AudioOutput> device;

  void SetUp() override {
    std::string error;
    device = createSystemAudioOutput(&error);
    ASSERT_NE(device, nullptr) << error;
    if (!device->open(nullptr, defaultFormat(), &error))
      GTEST_SKIP() << "no waveform output device: " << error;
  }
  void TearDown() override {
    if (device) device->close();
  }

  /// Polls `block` until it is done or about five seconds have passed.
  bool waitDone(AudioBlock* block) {
    for (int i = 0; i < 100; ++i) {
      EXPECT_TRUE(device->poll(block, nullptr));
      if (block->flags & kAudioBlockDone) return true;
      device->sleep(50);
    }
    return false;
  }
};

TEST_F(WinmmTest, BlocksPlayInTurnAndComeBackDone) {
  std::vector<uint8_t> samples(2 * 16384, 0);
  AudioBlock blocks[2] = {};
  std::string error;
  for (int i = 0; i < 2; ++i) {
    blocks[i].data = samples.data() + i * 16384;
    blocks[i].length = 16384;
    // A stale done report from an earlier round must not survive submission.
    blocks[i].flags = kAudioBlockDone;
    ASSERT_TRUE(device->prepare(&blocks[i], &error)) << error;
    ASSERT_TRUE(device->write(&blocks[i], &error)) << error;
    EXPECT_FALSE(blocks[i].flags & kAudioBlockDone);
  }
  for (AudioBlock& block : blocks) {
    EXPECT_TRUE(waitDone(&block));
    device->unprepare(&block);
    EXPECT_EQ(block.platform, nullptr);
  }
}

TEST_F(WinmmTest, APlayingBlockIsTakenBackByResetOrWhenLetGoAndTheDeviceStillCloses) {
  // Ten seconds of audio: it is still playing at every step below.
  std::vector<uint8_t> samples(10 * 192000, 0);
  AudioBlock block = {};
  block.data = samples.data();
  block.length = static_cast<uint32_t>(samples.size());
  std::string error;
  ASSERT_TRUE(device->prepare(&block, &error)) << error;
  ASSERT_TRUE(device->write(&block, &error)) << error;
  device->reset();
  device->poll(&block, nullptr);
  EXPECT_TRUE(block.flags & kAudioBlockDone);
  device->unprepare(&block);
  // Let go of while it plays, it is taken back rather than freed under the
  // device; still queued at the next open, the device is closed all the same.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(device->prepare(&block, &error)) << error;
    ASSERT_TRUE(device->write(&block, &error)) << error;
    if (round == 0) {
      device->unprepare(&block);
    } else {
      ASSERT_TRUE(device->open(nullptr, defaultFormat(), &error)) << error;
    }
    EXPECT_EQ(block.platform, nullptr);
  }
}

TEST(WinmmDeviceTest, AnUnknownDeviceNameIsRefusedByName) {
  std::string error;
  std::unique_ptr<AudioOutput> device = createSystemAudioOutput(&error);
  ASSERT_NE(device, nullptr) << error;
  EXPECT_FALSE(device->open("no such device", defaultFormat(), &error));
  EXPECT_NE(error.find("\"no such device\""), std::string::npos) << error;
}

TEST_F(WinmmTest, TheSinkPlaysSeveralBlocksAndDrainsBeforeClosing) {
  device->close();
  device.reset();
  WaveSink sink;
  if (sink.open(nullptr) != 0) GTEST_SKIP() << "no waveform output device: " << sink.errorText;
  // Five blocks and a bit: both halves of the buffer are reused.
  emitSilence(sink, 5 * 4096 + 100);
  EXPECT_EQ(sink.close(), 0) << sink.errorText;
  EXPECT_EQ(sink.totalBytes, (5u * 4096u + 100u) * 4u);
  EXPECT_EQ(sink.device, nullptr);
  for (const AudioBlock& block : sink.blocks) EXPECT_EQ(block.user, 0u);
}

}  // namespace

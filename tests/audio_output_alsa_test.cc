// The ALSA audio output against a real PCM: the `file` plugin over `null`,
// from a configuration of the test's own, so what reaches the device can be
// read back. The null PCM consumes frames as fast as they come.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "platform/audio_output.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

const AudioFormat kStereo16 = {1, 2, 48000, 192000, 4, 16, 0};
const AudioFormat kMono8 = {1, 1, 48000, 48000, 1, 8, 0};

struct AlsaOutputTest : ::testing::Test {
  fs::path root;
  fs::path capture;
  std::unique_ptr<AudioOutput> out;

  void SetUp() override {
    root = fs::temp_directory_path() /
           ("irwav-alsa-" + std::to_string(std::random_device()() % 1000000));
    fs::create_directories(root);
    capture = root / "capture.raw";
    const fs::path config = root / "asound.conf";
    std::ofstream(config) << "pcm.!default { type file slave { pcm { type null } } file \""
                          << capture.string() << "\" format \"raw\" }\n";
    // Read when the first PCM of this process opens.
    ::setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    std::string error;
    out = createSystemAudioOutput(&error);
    ASSERT_NE(out, nullptr) << error;
  }
  void TearDown() override {
    out.reset();
    fs::remove_all(root);
  }

  std::vector<uint8_t> captured() { return readBytes(capture); }

  /// Polls `block` a few times, as the sink does while it waits.
  bool becomesDone(AudioBlock* block) {
    for (int i = 0; i < 5 && !(block->flags & kAudioBlockDone); ++i) {
      out->poll(block);
      if (!(block->flags & kAudioBlockDone)) out->sleep(5);
    }
    return (block->flags & kAudioBlockDone) != 0;
  }
};

/// `bytes` bytes that all differ from their neighbours.
std::vector<uint8_t> pattern(size_t bytes, uint8_t seed) {
  std::vector<uint8_t> data(bytes);
  for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(i * 7 + seed);
  return data;
}

TEST_F(AlsaOutputTest, BlocksPlayWholeAndInOrderInEitherFormat) {
  for (const AudioFormat& format : {kStereo16, kMono8}) {
    SCOPED_TRACE(format.bitsPerSample);
    std::string error;
    ASSERT_TRUE(out->open(nullptr, format, &error)) << error;
    std::vector<uint8_t> a = pattern(16384, 1);
    std::vector<uint8_t> b = pattern(format.blockAlign * 10, 2);
    // Done flags left over from an earlier submission must not count.
    AudioBlock blockA = {a.data(), static_cast<uint32_t>(a.size()), 0, kAudioBlockDone, nullptr};
    AudioBlock blockB = {b.data(), static_cast<uint32_t>(b.size()), 0, kAudioBlockDone, nullptr};
    ASSERT_TRUE(out->prepare(&blockA, &error)) << error;
    ASSERT_TRUE(out->write(&blockA, &error)) << error;
    ASSERT_TRUE(out->prepare(&blockB, &error)) << error;
    ASSERT_TRUE(out->write(&blockB, &error)) << error;
    EXPECT_EQ(blockA.flags & kAudioBlockDone, 0u);
    EXPECT_EQ(blockB.flags & kAudioBlockDone, 0u);
    EXPECT_TRUE(becomesDone(&blockA));
    EXPECT_TRUE(becomesDone(&blockB));
    out->unprepare(&blockA);
    out->unprepare(&blockB);
    out->close();
    std::vector<uint8_t> expected = a;
    expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_EQ(captured(), expected);
  }
}

TEST_F(AlsaOutputTest, WhatCannotPlayIsRefusedAndNeverDone) {
  std::string error;
  EXPECT_FALSE(out->open("nosuchpcm", kStereo16, &error));
  EXPECT_NE(error.find("nosuchpcm"), std::string::npos) << error;
  AudioFormat odd = kStereo16;
  odd.bitsPerSample = 24;
  EXPECT_FALSE(out->open(nullptr, odd, &error));

  ASSERT_TRUE(out->open("", kStereo16, &error)) << error;
  std::vector<uint8_t> data = pattern(64, 3);
  AudioBlock partFrame = {data.data(), 6, 0, 0, nullptr};
  EXPECT_FALSE(out->prepare(&partFrame, &error));
  AudioBlock unprepared = {data.data(), 64, 0, 0, nullptr};
  EXPECT_FALSE(out->write(&unprepared, &error));
  EXPECT_FALSE(becomesDone(&unprepared));
  out->close();
  EXPECT_TRUE(captured().empty());
}

TEST_F(AlsaOutputTest, ResetGivesEveryBlockBackAndPlayingGoesOn) {
  std::string error;
  ASSERT_TRUE(out->open(nullptr, kStereo16, &error)) << error;
  std::vector<uint8_t> a = pattern(4000, 4);
  AudioBlock block = {a.data(), 4000, 0, 0, nullptr};
  ASSERT_TRUE(out->prepare(&block, &error));
  ASSERT_TRUE(out->write(&block, &error));
  out->reset();
  EXPECT_NE(block.flags & kAudioBlockDone, 0u);
  out->unprepare(&block);
  // The stream positions start over cleanly: the next block is done when
  // played, not before and not never.
  ASSERT_TRUE(out->prepare(&block, &error));
  ASSERT_TRUE(out->write(&block, &error));
  EXPECT_EQ(block.flags & kAudioBlockDone, 0u);
  EXPECT_TRUE(becomesDone(&block));
  out->unprepare(&block);
  out->close();
}

TEST_F(AlsaOutputTest, SleepWaitsAboutAsLongAsAsked) {
  const auto start = std::chrono::steady_clock::now();
  out->sleep(30);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(30));
  EXPECT_LT(waited, std::chrono::milliseconds(1000));
}

}  // namespace

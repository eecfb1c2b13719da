// The ALSA audio output against a real PCM: the `file` plugin over `null`,
// from a configuration of the test's own, so what reaches the device can be
// read back. The null PCM consumes frames as fast as they come.
//
// The test is linked with -Wl,--wrap for snd_pcm_writei, snd_pcm_delay,
// snd_pcm_state, snd_pcm_prepare and snd_pcm_drain: while a ScriptedPcm is
// installed, those calls from the output reach it instead of alsa-lib, so a
// test decides how fast the device plays and when it runs dry, is
// suspended, fails or stops answering.

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>
#include <vector>

#include "output/wave_sink.h"
#include "platform/audio_output.h"
#include "synth/renderer.h"
#include "test_files.h"

namespace {

/// A device behind the PCM as the test scripts it.
struct ScriptedPcm {
  snd_pcm_uframes_t room = 1 << 20;      ///< frames the device's buffer holds
  snd_pcm_uframes_t playedPerDelay = 0;  ///< frames played at each delay query
  /// Results of the next calls, in order: 0 behaves normally, a negative
  /// value is returned as the error.
  std::deque<int> writeResults, delayResults;
  snd_pcm_state_t state = SND_PCM_STATE_RUNNING;
  bool stallPrepare = false;  ///< prepare and drain wait as on a server that
  bool stallDrain = false;    ///< stopped answering, while stallsHeld

  snd_pcm_uframes_t held = 0;
  std::vector<uint8_t> taken;  ///< every byte the device took
  int drains = 0;

  static int next(std::deque<int>& results) {
    if (results.empty()) return 0;
    const int result = results.front();
    results.pop_front();
    return result;
  }
};

ScriptedPcm* scripted = nullptr;
constexpr size_t kScriptedFrameBytes = 4;

/// While set, a stalling call waits (for 20 s at most, so that an output
/// which waits without limit fails the test instead of hanging it).
std::atomic<bool> stallsHeld{false};

void stallWhileHeld() {
  for (int i = 0; i < 2000 && stallsHeld; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace

extern "C" {
snd_pcm_sframes_t __real_snd_pcm_writei(snd_pcm_t*, const void*, snd_pcm_uframes_t);
int __real_snd_pcm_delay(snd_pcm_t*, snd_pcm_sframes_t*);
snd_pcm_state_t __real_snd_pcm_state(snd_pcm_t*);
int __real_snd_pcm_drain(snd_pcm_t*);
int __real_snd_pcm_prepare(snd_pcm_t*);

snd_pcm_sframes_t __wrap_snd_pcm_writei(snd_pcm_t* pcm, const void* data,
                                        snd_pcm_uframes_t frames) {
  if (!scripted) return __real_snd_pcm_writei(pcm, data, frames);
  if (const int err = ScriptedPcm::next(scripted->writeResults)) return err;
  const snd_pcm_uframes_t n = std::min(frames, scripted->room - scripted->held);
  if (n == 0) return -EAGAIN;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  scripted->taken.insert(scripted->taken.end(), bytes, bytes + n * kScriptedFrameBytes);
  scripted->held += n;
  return static_cast<snd_pcm_sframes_t>(n);
}

int __wrap_snd_pcm_delay(snd_pcm_t* pcm, snd_pcm_sframes_t* delay) {
  if (!scripted) return __real_snd_pcm_delay(pcm, delay);
  if (const int err = ScriptedPcm::next(scripted->delayResults)) return err;
  scripted->held -= std::min(scripted->held, scripted->playedPerDelay);
  *delay = static_cast<snd_pcm_sframes_t>(scripted->held);
  return 0;
}

snd_pcm_state_t __wrap_snd_pcm_state(snd_pcm_t* pcm) {
  return scripted ? scripted->state : __real_snd_pcm_state(pcm);
}

int __wrap_snd_pcm_drain(snd_pcm_t* pcm) {
  if (scripted) ++scripted->drains;
  if (scripted && scripted->stallDrain) {
    stallWhileHeld();
    return 0;
  }
  return __real_snd_pcm_drain(pcm);
}

int __wrap_snd_pcm_prepare(snd_pcm_t* pcm) {
  if (scripted && scripted->stallPrepare) {
    stallWhileHeld();
    return 0;
  }
  return __real_snd_pcm_prepare(pcm);
}
}

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
      out->poll(block, nullptr);
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

struct ScriptedAlsaTest : AlsaOutputTest {
  ScriptedPcm pcm;
  std::string error;

  void SetUp() override {
    AlsaOutputTest::SetUp();
    scripted = &pcm;
  }
  void TearDown() override {
    AlsaOutputTest::TearDown();
    scripted = nullptr;
  }
};

TEST_F(ScriptedAlsaTest, ABlockIsDoneOnlyOnceTheDeviceHasPlayedIt) {
  pcm.room = 3000;  // the rest waits for room: EAGAIN
  pcm.playedPerDelay = 1000;
  ASSERT_TRUE(out->open(nullptr, kStereo16, &error)) << error;
  std::vector<uint8_t> a = pattern(4096 * 4, 5);
  AudioBlock block = {a.data(), static_cast<uint32_t>(a.size()), 0, 0, nullptr};
  ASSERT_TRUE(out->prepare(&block, &error));
  ASSERT_TRUE(out->write(&block, &error));
  EXPECT_EQ(pcm.taken.size(), 3000u * 4);
  // Handed over whole at the third poll, played at the fifth.
  int polls = 0;
  while (!(block.flags & kAudioBlockDone) && polls < 10) {
    EXPECT_TRUE(out->poll(&block, &error));
    ++polls;
  }
  EXPECT_EQ(polls, 5);
  EXPECT_EQ(pcm.taken, a);
  out->unprepare(&block);
  out->close();
  EXPECT_EQ(pcm.drains, 1);
}

TEST_F(ScriptedAlsaTest, AnUnderrunOrSuspendIsRecoveredNotedAndPlayingGoesOn) {
  for (int err : {-EPIPE, -ESTRPIPE}) {
    SCOPED_TRACE(err);
    pcm = ScriptedPcm();
    pcm.playedPerDelay = 1000;
    ASSERT_TRUE(out->open(nullptr, kStereo16, &error)) << error;
    std::vector<uint8_t> a = pattern(4000, 6);
    AudioBlock block = {a.data(), 4000, 0, 0, nullptr};
    ASSERT_TRUE(out->prepare(&block, &error));
    ASSERT_TRUE(out->write(&block, &error));
    EXPECT_TRUE(out->poll(&block, &error));
    ASSERT_TRUE(block.flags & kAudioBlockDone);
    AudioUnderrun underrun;
    EXPECT_FALSE(out->takeUnderrun(&underrun));
    // The device ran dry (or slept) before the next block came.
    pcm.writeResults = {err};
    EXPECT_TRUE(out->write(&block, &error)) << error;
    EXPECT_TRUE(out->poll(&block, &error)) << error;
    EXPECT_TRUE(block.flags & kAudioBlockDone);
    ASSERT_TRUE(out->takeUnderrun(&underrun));
    EXPECT_EQ(underrun.fromByte, 4000u);
    EXPECT_EQ(underrun.toByte, 4000u);
    EXPECT_FALSE(out->takeUnderrun(&underrun));
    a.insert(a.end(), a.begin(), a.end());
    EXPECT_EQ(pcm.taken, a);
    out->unprepare(&block);
    out->close();
  }
}

TEST_F(ScriptedAlsaTest, ADeviceFailureEndsTheSinksWaitAtOnceWithTheSystemsReason) {
  const struct {
    const char* what;
    std::deque<int> writeResults, delayResults;
    snd_pcm_state_t state;
    const char* reason;
  } cases[] = {
      {"unplugged while played", {}, {-ENODEV}, SND_PCM_STATE_RUNNING, "No such device"},
      {"found disconnected", {}, {}, SND_PCM_STATE_DISCONNECTED, "No such device"},
      {"a write fails", {0, -EIO}, {}, SND_PCM_STATE_RUNNING, "Input/output error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    pcm = ScriptedPcm();  // a device that never plays: only the failure ends the wait
    pcm.writeResults = c.writeResults;
    pcm.delayResults = c.delayResults;
    pcm.state = c.state;
    WaveSink sink(nullptr, out.get());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(sink.open(nullptr), 0) << sink.errorText;
    emitSilence(sink, 3 * kDeviceBlockBytes / 4);
    EXPECT_EQ(sink.close(), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_NE(sink.errorText.find(c.reason), std::string::npos) << sink.errorText;
    EXPECT_EQ(pcm.drains, 0);  // nothing is waited on once the device failed
  }
}

/// Milliseconds since `start`.
int64_t msSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

TEST_F(ScriptedAlsaTest, AStalledPrepareIsGivenUpAfterTheStallLimitOrSoonAfterAStop) {
  for (bool stopped : {false, true}) {
    SCOPED_TRACE(stopped ? "stop requested" : "no stop");
    pcm = ScriptedPcm();
    pcm.playedPerDelay = 1000;
    volatile std::sig_atomic_t stop = stopped ? SIGINT : 0;
    out->watchStop(&stop);
    ASSERT_TRUE(out->open(nullptr, kStereo16, &error)) << error;
    std::vector<uint8_t> a = pattern(4000, 7);
    AudioBlock block = {a.data(), 4000, 0, 0, nullptr};
    ASSERT_TRUE(out->prepare(&block, &error));
    ASSERT_TRUE(out->write(&block, &error));
    ASSERT_TRUE(becomesDone(&block));
    // The device ran dry, and the prepare that recovers it never returns.
    pcm.writeResults = {-EPIPE};
    pcm.stallPrepare = true;
    stallsHeld = true;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(out->write(&block, &error));
    const int64_t waited = msSince(start);
    if (stopped) {
      EXPECT_LT(waited, kAudioStopGraceMs + 500);
    } else {
      EXPECT_GE(waited, kAudioStallMs - 50);
      EXPECT_LT(waited, kAudioStallMs + 1000);
    }
    EXPECT_NE(error.find("did not answer"), std::string::npos) << error;
    EXPECT_FALSE(out->poll(&block, &error));
    // Nothing more is asked of the device, so nothing more waits.
    const auto closing = std::chrono::steady_clock::now();
    out->reset();
    out->unprepare(&block);
    out->close();
    EXPECT_LT(msSince(closing), 100);
    out = createSystemAudioOutput(&error);
    stallsHeld = false;
  }
}

TEST_F(ScriptedAlsaTest, AStalledDrainEndsWithinTheBufferAndASecondOrSoonAfterAStop) {
  for (bool stopped : {false, true}) {
    SCOPED_TRACE(stopped ? "stop requested" : "no stop");
    pcm = ScriptedPcm();
    pcm.playedPerDelay = 1 << 20;
    pcm.stallDrain = true;
    stallsHeld = true;
    volatile std::sig_atomic_t stop = 0;
    WaveSink sink(nullptr, out.get());
    sink.stopRequest = &stop;
    ASSERT_EQ(sink.open(nullptr), 0) << sink.errorText;
    emitSilence(sink, 1000);
    const auto start = std::chrono::steady_clock::now();
    stop = stopped ? SIGTERM : 0;
    sink.close();
    const int64_t waited = msSince(start);
    EXPECT_EQ(pcm.drains, 1);
    EXPECT_LT(waited, stopped ? kAudioStopGraceMs + 300 : 500 + 1000 + 500);
    EXPECT_GE(waited, stopped ? kAudioStopGraceMs - 50 : 1400);
    out = createSystemAudioOutput(&error);
    stallsHeld = false;
  }
}

}  // namespace

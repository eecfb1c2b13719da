#ifndef IRWAV_TESTS_SCRIPTED_AUDIO_OUTPUT_H_
#define IRWAV_TESTS_SCRIPTED_AUDIO_OUTPUT_H_

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/audio_output.h"

/// An audio device that plays in virtual time: `sleep` advances the clock
/// instead of waiting, and each queued block finishes once the clock has
/// passed the time it takes to play, behind the blocks queued before it.
/// Faults can be scripted: a failing open, the nth prepare or write failing,
/// the nth written block never reported done, every block reported late,
/// the device failing from the nth poll on, underruns to report. Calls are
/// counted from 1, and 0 scripts nothing.
///
/// It checks the caller as a real device would need: a queued block must
/// not change until it is done (what was queued is what is played), a block
/// is not queued twice, unprepared while queued or left prepared at close.
/// Misuse is noted in `violations`. No gtest dependency, so a fuzzer can use
/// it as well.
class ScriptedAudioOutput : public AudioOutput {
 public:
  /// Virtual time after which the caller is taken to hang: the process is
  /// stopped, since no test can finish otherwise.
  static constexpr uint64_t kHangLimitUs = 3600ull * 1000000;

  bool open(const char* name, const AudioFormat& format, std::string* error) override {
    ++opens;
    if (isOpen) violations.push_back("open while open");
    openedName = name ? name : "";
    openedFormat = format;
    if (failOpen) {
      *error = "injected open failure";
      return false;
    }
    isOpen = true;
    frameBytes = format.blockAlign ? format.blockAlign : 1;
    rate = format.samplesPerSec ? format.samplesPerSec : 1;
    return true;
  }

  bool prepare(AudioBlock* block, std::string* error) override {
    ++prepares;
    checkOpen("prepare");
    if (prepares == failPrepareAt) {
      *error = "injected prepare failure";
      return false;
    }
    if (block->platform) violations.push_back("prepare of a prepared block");
    block->platform = this;
    ++prepared;
    return true;
  }

  bool write(AudioBlock* block, std::string* error) override {
    ++writes;
    checkOpen("write");
    if (!block->platform) violations.push_back("write of an unprepared block");
    for (const Queued& q : queue)
      if (q.block == block) violations.push_back("write of a block already queued");
    block->flags &= ~kAudioBlockDone;
    if (writes == failWriteAt) {
      *error = "injected write failure";
      return false;
    }
    if (block->length == 0 || block->length % frameBytes != 0)
      violations.push_back("write of a block that is not whole frames");
    // A block that comes after the last one has finished playing finds the
    // device run dry, as a real one would.
    if (writtenBytes != 0 && nowUs > streamEndUs) ++dryRuns;
    const uint64_t start = queue.empty() ? nowUs : std::max(nowUs, queue.back().endUs);
    const uint64_t playUs = instant ? 0 : uint64_t{block->length} / frameBytes * 1000000 / rate;
    Queued q{block,
             keepBytes ? std::vector<uint8_t>(block->data, block->data + block->length)
                       : std::vector<uint8_t>(),
             start + playUs, writes == neverDoneAt};
    streamEndUs = q.endUs;
    queue.push_back(std::move(q));
    lengths.push_back(block->length);
    writtenBytes += block->length;
    return true;
  }

  bool poll(AudioBlock* block, std::string* error) override {
    ++polls;
    if (failPollAt != 0 && polls >= failPollAt) {
      *error = "injected device failure";
      return false;
    }
    // Blocks finish in queue order; a stuck one holds up the rest.
    while (!queue.empty() && !queue.front().stuck && queue.front().endUs + lateUs <= nowUs)
      finishFront();
    (void)block;
    return true;
  }

  bool takeUnderrun(AudioUnderrun* underrun) override {
    // An underrun is known once the stream has been written past it.
    if (underrunScript.empty() || underrunScript.front().toByte > writtenBytes) return false;
    *underrun = underrunScript.front();
    underrunScript.pop_front();
    return true;
  }

  void unprepare(AudioBlock* block) override {
    for (const Queued& q : queue)
      if (q.block == block) violations.push_back("unprepare of a queued block");
    if (!block->platform) violations.push_back("unprepare of an unprepared block");
    if (block->platform) --prepared;
    block->platform = nullptr;
  }

  void reset() override {
    ++resets;
    while (!queue.empty()) finishFront();
  }

  void close() override {
    checkOpen("close");
    if (!queue.empty()) violations.push_back("close with blocks queued");
    if (prepared != 0) violations.push_back("close with blocks prepared");
    isOpen = false;
    ++closes;
  }

  uint64_t nowMs() override { return nowUs / 1000; }

  void sleep(uint32_t milliseconds) override {
    ++sleeps;
    nowUs += uint64_t{milliseconds} * 1000;
    if (onSleep) onSleep();
    if (nowUs > kHangLimitUs) {
      std::fprintf(stderr, "ScriptedAudioOutput: the caller waits without end\n");
      std::abort();
    }
  }

  // Script.
  bool failOpen = false;
  uint64_t failPrepareAt = 0;                ///< the nth prepare fails; 0: none
  uint64_t failWriteAt = 0;                  ///< the nth write fails; 0: none
  uint64_t neverDoneAt = 0;                  ///< the nth write never finishes; 0: none
  uint64_t lateUs = 0;                       ///< every block is reported this much late
  uint64_t failPollAt = 0;                   ///< the device fails from the nth poll on; 0: never
  std::deque<AudioUnderrun> underrunScript;  ///< reported once written past, in order
  std::function<void()> onSleep;             ///< called after each sleep
  bool instant = false;                      ///< blocks play in no time, for streams of hours
  bool keepBytes = true;                     ///< keep what is played in `played` (and check it)

  // What happened.
  bool isOpen = false;
  uint64_t nowUs = 0;
  uint64_t opens = 0, closes = 0, prepares = 0, writes = 0, polls = 0, sleeps = 0, resets = 0;
  int prepared = 0;
  std::string openedName;
  AudioFormat openedFormat{};
  uint64_t writtenBytes = 0;      ///< of every block taken for playing
  uint64_t dryRuns = 0;           ///< blocks written after the sound before them ran out
  uint64_t streamEndUs = 0;       ///< when the last block written ends playing
  std::vector<uint32_t> lengths;  ///< of every block taken for playing, in order
  std::vector<uint8_t> played;    ///< the bytes of every block that finished playing
  std::vector<std::string> violations;

  /// The blocks taken and not yet finished.
  size_t queued() const { return queue.size(); }

 private:
  struct Queued {
    AudioBlock* block;
    std::vector<uint8_t> bytes;  ///< the block as it was queued
    uint64_t endUs;
    bool stuck;
  };

  void finishFront() {
    Queued& q = queue.front();
    if (keepBytes && !std::equal(q.bytes.begin(), q.bytes.end(), q.block->data))
      violations.push_back("a queued block changed before it was played");
    played.insert(played.end(), q.bytes.begin(), q.bytes.end());
    q.block->flags |= kAudioBlockDone;
    queue.pop_front();
  }

  void checkOpen(const char* what) {
    if (!isOpen) violations.push_back(std::string(what) + " on a closed device");
  }

  std::deque<Queued> queue;
  uint32_t frameBytes = 1;
  uint32_t rate = 1;
};

#endif  // IRWAV_TESTS_SCRIPTED_AUDIO_OUTPUT_H_

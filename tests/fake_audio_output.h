#ifndef IRWAV_TESTS_FAKE_AUDIO_OUTPUT_H_
#define IRWAV_TESTS_FAKE_AUDIO_OUTPUT_H_

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/audio_output.h"

/// An audio device in memory that plays blocks late: a written block is done
/// only after `pollsUntilDone` polls, and only once every block before it is.
/// Time is virtual: sleep() returns at once and adds to virtualMs. It fails
/// the test when a caller touches a block the device still holds, reuses one
/// before it is done, or closes with blocks still playing.
class FakeAudioOutput : public AudioOutput {
 public:
  // Behaviour.
  bool failOpen = false;
  int failPrepareAt = -1;  ///< the prepare call (counted from 0) that fails
  int failWriteAt = -1;    ///< the write call (counted from 0) that fails
  uint32_t pollsUntilDone = 3;
  bool neverDone = false;
  std::function<void()> onSleep;

  // What happened.
  std::string openedName;
  AudioFormat openedFormat{};
  int opens = 0;
  int closes = 0;
  int resets = 0;
  int prepares = 0;
  int writes = 0;
  std::vector<uint32_t> lengths;  ///< of every block taken for playing
  std::vector<uint8_t> played;    ///< the bytes of every finished block
  uint64_t virtualMs = 0;
  bool isOpen = false;

  /// A block in the device's hands, with its bytes as they were written.
  struct Held {
    AudioBlock* block;
    std::vector<uint8_t> bytes;
    uint32_t polls;
  };
  std::deque<Held> held;

  bool open(const char* deviceName, const AudioFormat& format, std::string* error) override {
    EXPECT_FALSE(isOpen) << "opened twice";
    ++opens;
    openedName = deviceName ? deviceName : "";
    openedFormat = format;
    if (failOpen) {
      *error = "no such device";
      return false;
    }
    isOpen = true;
    return true;
  }

  bool prepare(AudioBlock* block, std::string* error) override {
    EXPECT_TRUE(isOpen);
    EXPECT_FALSE(holds(block)) << "prepared while playing";
    if (prepares++ == failPrepareAt) {
      *error = "prepare refused";
      return false;
    }
    prepared.insert(block);
    return true;
  }

  bool write(AudioBlock* block, std::string* error) override {
    EXPECT_EQ(prepared.count(block), 1u) << "written without prepare";
    EXPECT_FALSE(holds(block)) << "written again while playing";
    if (writes++ == failWriteAt) {
      *error = "write refused";
      return false;
    }
    block->flags &= ~kAudioBlockDone;
    held.push_back({block, std::vector<uint8_t>(block->data, block->data + block->length), 0});
    lengths.push_back(block->length);
    return true;
  }

  void poll(AudioBlock* block) override {
    if (!held.empty() && !neverDone && ++held.front().polls >= pollsUntilDone) finishFront();
    (void)block;
  }

  void unprepare(AudioBlock* block) override {
    EXPECT_FALSE(holds(block)) << "unprepared while playing";
    EXPECT_EQ(prepared.erase(block), 1u) << "unprepared without prepare";
  }

  void reset() override {
    ++resets;
    for (Held& h : held) h.block->flags |= kAudioBlockDone;
    held.clear();
  }

  void close() override {
    EXPECT_TRUE(held.empty()) << "closed with " << held.size() << " block(s) still playing";
    EXPECT_TRUE(prepared.empty()) << "closed with prepared blocks";
    isOpen = false;
    ++closes;
  }

  void sleep(uint32_t milliseconds) override {
    virtualMs += milliseconds;
    if (onSleep) onSleep();
  }

 private:
  bool holds(const AudioBlock* block) const {
    for (const Held& h : held) {
      if (h.block == block) return true;
    }
    return false;
  }

  void finishFront() {
    Held& h = held.front();
    const std::vector<uint8_t> now(h.block->data, h.block->data + h.bytes.size());
    EXPECT_EQ(now, h.bytes) << "a block was written into while the device held it";
    played.insert(played.end(), h.bytes.begin(), h.bytes.end());
    h.block->flags |= kAudioBlockDone;
    held.pop_front();
  }

  std::set<AudioBlock*> prepared;
};

#endif  // IRWAV_TESTS_FAKE_AUDIO_OUTPUT_H_

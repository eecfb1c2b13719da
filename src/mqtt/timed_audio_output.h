#ifndef IRWAV_MQTT_TIMED_AUDIO_OUTPUT_H_
#define IRWAV_MQTT_TIMED_AUDIO_OUTPUT_H_

#include <chrono>
#include <string>

#include "platform/audio_output.h"

/// An audio output that passes every call to another one and notes, for
/// each opening, whether it opened and when the first block was handed to
/// the device: the moment the first sample of a command reaches it.
class TimedAudioOutput : public AudioOutput {
 public:
  explicit TimedAudioOutput(AudioOutput* device) : device_(device) {}

  /// Forgets what the last opening noted.
  void resetNotes() {
    opened = false;
    openFailed = false;
    firstWrite = {};
  }

  bool opened = false;      ///< the last open succeeded
  bool openFailed = false;  ///< the last open failed
  /// When the first block since the last open went to the device; the
  /// epoch when none has.
  std::chrono::system_clock::time_point firstWrite{};

  bool open(const char* deviceName, const AudioFormat& format, std::string* error) override {
    opened = device_->open(deviceName, format, error);
    openFailed = !opened;
    firstWrite = {};
    return opened;
  }
  bool prepare(AudioBlock* block, std::string* error) override {
    return device_->prepare(block, error);
  }
  bool write(AudioBlock* block, std::string* error) override {
    if (firstWrite == std::chrono::system_clock::time_point{})
      firstWrite = std::chrono::system_clock::now();
    return device_->write(block, error);
  }
  bool poll(AudioBlock* block, std::string* error) override { return device_->poll(block, error); }
  bool takeUnderrun(AudioUnderrun* underrun) override { return device_->takeUnderrun(underrun); }
  void unprepare(AudioBlock* block) override { device_->unprepare(block); }
  void reset() override { device_->reset(); }
  void close() override { device_->close(); }
  void sleep(uint32_t milliseconds) override { device_->sleep(milliseconds); }
  uint64_t nowMs() override { return device_->nowMs(); }
  void watchStop(const volatile std::sig_atomic_t* stop) override { device_->watchStop(stop); }

 private:
  AudioOutput* device_;
};

#endif  // IRWAV_MQTT_TIMED_AUDIO_OUTPUT_H_

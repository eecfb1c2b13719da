#ifndef IRWAV_MQTT_EMITTER_H_
#define IRWAV_MQTT_EMITTER_H_

#include <chrono>
#include <csignal>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "mqtt/command_queue.h"
#include "mqtt/discovery.h"

class AudioOutput;
class MqttLink;

/// Commands that may wait while one plays; one more finds the queue full.
constexpr size_t kQueueCapacity = 16;

/// How often a command whose device would not open is tried, and the pause
/// between two tries: a card that comes back within a second still plays it.
constexpr int kDeviceTries = 3;
constexpr int kDeviceRetryMs = 500;

/// The daemon's work: takes the messages of its topics, answers each
/// command on the result topic, and plays the commands one at a time in
/// arrival order on the audio output.
class Emitter {
 public:
  /// `log` takes each line for standard error.
  Emitter(MqttLink& link, EmitterTopics topics, std::vector<RetainedMessage> discovery,
          std::string device, uint32_t sampleRate, AudioOutput& audio,
          std::function<void(const std::string&)> log);

  /// After each connection: subscribes, says "online" and announces itself.
  void connected();

  /// A message on a subscribed topic: a command is checked and queued, or
  /// refused on the result topic; Home Assistant's "online" on its status
  /// topic announces the emitter again.
  void received(const std::string& topic, const std::string& payload);

  /// Plays queued commands until *stop turns non-zero.
  void playQueued(const volatile std::sig_atomic_t* stop);

  /// Wakes playQueued to look at *stop.
  void wake() { queue_.wake(); }

 private:
  void announce();
  void refuse(const std::string& topic, const std::string& error,
              std::chrono::system_clock::time_point received);
  void play(MqttCommand& command, const volatile std::sig_atomic_t* stop);

  MqttLink& link_;
  EmitterTopics topics_;
  std::vector<RetainedMessage> discovery_;
  std::string device_;
  uint32_t sampleRate_;
  AudioOutput& audio_;
  std::function<void(const std::string&)> log_;
  CommandQueue queue_{kQueueCapacity};
};

/// `time` as UTC in ISO 8601 with milliseconds: "2026-07-01T18:30:00.125Z".
std::string isoTime(std::chrono::system_clock::time_point time);

#endif  // IRWAV_MQTT_EMITTER_H_

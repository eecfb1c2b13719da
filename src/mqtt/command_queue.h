#ifndef IRWAV_MQTT_COMMAND_QUEUE_H_
#define IRWAV_MQTT_COMMAND_QUEUE_H_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

#include "mqtt/command_payload.h"

/// The commands waiting to play, in arrival order, at most `capacity` of
/// them: one thread pushes what arrives, another takes each in turn.
class CommandQueue {
 public:
  explicit CommandQueue(size_t capacity) : capacity_(capacity) {}

  /// Appends `command`. Returns false, keeping nothing, when `capacity`
  /// commands already wait.
  bool push(MqttCommand&& command);

  /// Takes the oldest command into *command, waiting up to `wait` for one.
  /// Returns false when none came.
  bool pop(MqttCommand* command, std::chrono::milliseconds wait);

  /// Wakes a thread waiting in pop, which then returns false at once.
  void wake();

  [[nodiscard]] size_t capacity() const { return capacity_; }

 private:
  const size_t capacity_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<MqttCommand> commands_;
  bool woken_ = false;
};

#endif  // IRWAV_MQTT_COMMAND_QUEUE_H_

#include "mqtt/command_queue.h"

#include <utility>

bool CommandQueue::push(MqttCommand&& command) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (commands_.size() >= capacity_) return false;
    commands_.push_back(std::move(command));
  }
  arrived_.notify_one();
  return true;
}

bool CommandQueue::pop(MqttCommand* command, std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(mutex_);
  arrived_.wait_for(lock, wait, [this] { return !commands_.empty() || woken_; });
  woken_ = false;
  if (commands_.empty()) return false;
  *command = std::move(commands_.front());
  commands_.pop_front();
  return true;
}

void CommandQueue::wake() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
  }
  arrived_.notify_all();
}

#include "platform/bounded_call.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

/// How often a wait looks at the stop request: a signal handler cannot wake
/// a condition variable.
constexpr auto kStopCheck = std::chrono::milliseconds(10);

}  // namespace

/// The state the worker shares with its caller; it lives as long as either.
struct BoundedCaller::Shared {
  std::mutex mutex;
  std::condition_variable wake;      ///< a call is pending, or the worker may quit
  std::condition_variable finished;  ///< the call returned
  std::function<void(CallReply*)> call;
  bool pending = false;
  bool done = false;
  bool quit = false;
  CallReply reply;
};

BoundedCaller::BoundedCaller() : shared_(std::make_shared<Shared>()) {}

BoundedCaller::~BoundedCaller() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->quit = true;
  }
  shared_->wake.notify_one();
  // A stuck worker quits once its call returns, if it ever does.
  if (stuck_)
    worker_.detach();
  else
    worker_.join();
}

void BoundedCaller::whenFree(std::function<void(CallReply*)> call) {
  if (!stuck_) return;
  std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->call = std::move(call);
  shared_->pending = true;
}

bool BoundedCaller::run(std::function<void(CallReply*)> call, uint32_t limitMs, CallReply* reply) {
  if (stuck_) return false;
  if (!worker_.joinable()) {
    worker_ = std::thread([shared = shared_] {
      std::unique_lock<std::mutex> lock(shared->mutex);
      for (;;) {
        shared->wake.wait(lock, [&] { return shared->pending || shared->quit; });
        if (!shared->pending) return;
        std::function<void(CallReply*)> next = std::move(shared->call);
        shared->pending = false;
        lock.unlock();
        CallReply result;
        next(&result);
        lock.lock();
        shared->reply = result;
        shared->done = true;
        shared->finished.notify_one();
      }
    });
  }
  std::unique_lock<std::mutex> lock(shared_->mutex);
  shared_->call = std::move(call);
  shared_->pending = true;
  shared_->done = false;
  shared_->wake.notify_one();
  auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
  bool stopSeen = false;
  while (!shared_->done) {
    const auto now = Clock::now();
    if (!stopSeen && stop_ && *stop_) {
      stopSeen = true;
      const auto graceEnd = now + std::chrono::milliseconds(graceMs_);
      if (graceEnd < deadline) deadline = graceEnd;
    }
    if (now >= deadline) {
      stuck_ = true;
      return false;
    }
    shared_->finished.wait_until(lock, std::min(deadline, now + kStopCheck));
  }
  *reply = shared_->reply;
  return true;
}

#ifndef IRWAV_PLATFORM_BOUNDED_CALL_H_
#define IRWAV_PLATFORM_BOUNDED_CALL_H_

#include <csignal>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

/// What a call run by a BoundedCaller hands back.
struct CallReply {
  long value = 0;
  long extra = 0;
};

/// Runs calls into a library that may block without end (one that waits on
/// a sound server which stopped answering) on a thread of its own, one at a
/// time, and waits for each for a bounded time. A call that does not return
/// in time is left running: the caller is then "stuck" and runs nothing
/// more, since the library may still be inside that call. A call may touch
/// only what it owns (captured by value), never its caller's locals, as it
/// may outlive the wait and the caller itself.
class BoundedCaller {
 public:
  BoundedCaller();
  /// Ends an idle thread; a stuck one is left to finish on its own.
  ~BoundedCaller();
  BoundedCaller(const BoundedCaller&) = delete;
  BoundedCaller& operator=(const BoundedCaller&) = delete;

  /// Runs `call` and waits until it returns, for at most `limitMs` of
  /// wall-clock time, and once the stop request (see watchStop) is set, for
  /// at most its grace after that was seen. Returns true with the call's
  /// reply in *reply, or false when it did not return in time (or the
  /// caller was stuck already).
  bool run(std::function<void(CallReply*)> call, uint32_t limitMs, CallReply* reply);

  /// Once stuck: runs `call` on the worker after the stuck call has
  /// returned, if it ever does, to release what that call was using.
  void whenFree(std::function<void(CallReply*)> call);

  /// Whether a call has not returned in time.
  [[nodiscard]] bool stuck() const { return stuck_; }

  /// Names the stop request that shortens every wait to `graceMs` once it
  /// is set (null: none).
  void watchStop(const volatile std::sig_atomic_t* stop, uint32_t graceMs) {
    stop_ = stop;
    graceMs_ = graceMs;
  }

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
  bool stuck_ = false;
  const volatile std::sig_atomic_t* stop_ = nullptr;
  uint32_t graceMs_ = 0;
};

#endif  // IRWAV_PLATFORM_BOUNDED_CALL_H_

#ifndef IRWAV_LIBRARY_PER_KIND_H_
#define IRWAV_LIBRARY_PER_KIND_H_

#include <cstddef>
#include <iterator>
#include <mutex>
#include <optional>

#include "library/device_kind.h"

/// A value of each device kind, built by `build` when its kind is first
/// asked for and kept from then on. Tables read from the embedded data
/// cost their reading only for the kinds a run uses; building is safe from
/// several threads at once (the daemon's and the player's).
template <typename T>
class PerKind {
 public:
  explicit PerKind(T (*build)(DeviceKind)) : build_(build) {}

  /// The value of `kind`, built at the first call for it.
  const T& get(DeviceKind kind) {
    const size_t i = static_cast<size_t>(kind);
    std::call_once(once_[i], [&] { values_[i].emplace(build_(kind)); });
    return *values_[i];
  }

 private:
  static constexpr size_t kKinds = std::size(kDeviceKinds);
  T (*build_)(DeviceKind);
  std::once_flag once_[kKinds];
  std::optional<T> values_[kKinds];
};

#endif  // IRWAV_LIBRARY_PER_KIND_H_

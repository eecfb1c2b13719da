#ifndef IRWAV_SYNTH_TIMING_BUILDER_H_
#define IRWAV_SYNTH_TIMING_BUILDER_H_

#include <cstdint>
#include <vector>

#include "synth/ir_protocol.h"

/// How a protocol sends one bit: the durations of a 0 and of a 1 in µs,
/// marks positive and spaces negative, at most four each (unused slots 0).
struct BitCoding {
  int32_t zero[4];
  int32_t one[4];
};

/// The order in which the bits of a field go out.
enum class BitOrder { kLsbFirst, kMsbFirst };

/// Collects the marks and spaces of a protocol's frames in µs and turns them
/// into a timing list. Adjacent durations of the same kind merge into one
/// (two halves of a bi-phase bit that meet, a space that follows a space).
class TimingBuilder {
 public:
  /// Sends a duration of `us` µs: a mark when positive, a space when
  /// negative; 0 sends nothing.
  void send(int32_t us);
  void mark(int32_t us) { send(us); }
  void space(int32_t us) { send(-us); }

  /// Sends the low `width` bits of `value` in `order`, each as `coding` says.
  /// Value before width, as a protocol's definition writes a field (D:8).
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
  void sendBits(uint32_t value, int width, BitOrder order, const BitCoding& coding);

  /// Starts a frame: extents count from here.
  void beginFrame() { frameStartUs_ = elapsedUs_; }

  /// Stretches the space that ends the frame so that the frame lasts
  /// `frameUs` from its beginFrame. A frame already that long gets no space.
  void extent(int64_t frameUs);

  /// Writes the list into *code with `carrierHz`: each duration rounded to
  /// the nearest kTimingUnitUs (halves up), the last space replaced by the
  /// terminating 0 (added after a list that ends with a mark).
  void finish(uint32_t carrierHz, OwnedIrCode* code) const;

 private:
  std::vector<int64_t> durations_;  ///< alternating marks (> 0) and spaces (< 0)
  int64_t elapsedUs_ = 0;
  int64_t frameStartUs_ = 0;
};

#endif  // IRWAV_SYNTH_TIMING_BUILDER_H_

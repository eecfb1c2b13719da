#ifndef IRWAV_PLATFORM_AUDIO_OUTPUT_H_
#define IRWAV_PLATFORM_AUDIO_OUTPUT_H_

#include <chrono>
#include <csignal>
#include <cstdint>
#include <memory>
#include <string>

/// A PCM stream format as the audio device is told it.
struct AudioFormat {
  uint16_t formatTag;  ///< 1: integer PCM
  uint16_t channels;
  uint32_t samplesPerSec;
  uint32_t avgBytesPerSec;
  uint16_t blockAlign;     ///< bytes per frame
  uint16_t bitsPerSample;  ///< 8 (unsigned) or 16 (signed little-endian)
  uint16_t cbSize;         ///< 0: no extra format bytes
};

/// The longest any one call of an output may keep its caller waiting on a
/// device that does not answer (a sound server that was stopped), in
/// wall-clock time; the output is then broken. A call made to give the
/// device up (reset, close) waits at most kAudioGiveUpMs instead.
constexpr uint32_t kAudioStallMs = 5000;
constexpr uint32_t kAudioGiveUpMs = 1000;

/// How long a call still waits once the stop request that watchStop named
/// is set.
constexpr uint32_t kAudioStopGraceMs = 1000;

/// Set in AudioBlock::flags by the device once it has consumed the block.
constexpr uint32_t kAudioBlockDone = 1;

/// One block of samples handed to the device.
struct AudioBlock {
  uint8_t* data;    ///< the samples; owned by the caller
  uint32_t length;  ///< bytes to play, set before each submission
  uint32_t user;    ///< free for the caller; the device never touches it
  uint32_t flags;   ///< kAudioBlockDone once played; cleared by submission
  void* platform;   ///< the implementation's own record for this block
};

/// A place where the sound broke off and went on after a pause: the device
/// ran dry (an underrun) or lost what it held (a suspend). Positions count
/// the bytes of every block written since `open`; the break lies somewhere
/// from `fromByte` to `toByte`, both included (the same place for a plain
/// underrun).
struct AudioUnderrun {
  uint64_t fromByte;
  uint64_t toByte;
};

/// An audio output device that plays submitted blocks asynchronously, in
/// submission order. A block submitted with `write` belongs to the device
/// until `poll` has set kAudioBlockDone in its flags; only then may the
/// caller `unprepare` it and touch its data again. A block is done once it
/// has been played, not merely taken, so a caller that waits for its blocks
/// stays a block or two ahead of the sound. All calls come from one thread;
/// whatever an implementation needs to keep playing between calls it does on
/// its own and states in its source.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  /// Opens the output named `deviceName`, or the default output when it is
  /// null or empty, for `format`. An output that is open is closed first.
  virtual bool open(const char* deviceName, const AudioFormat& format, std::string* error) = 0;

  /// Readies `block` for submission.
  virtual bool prepare(AudioBlock* block, std::string* error) = 0;

  /// Queues a prepared block for playing and clears its done flag. A block
  /// that could not be queued is never reported done.
  virtual bool write(AudioBlock* block, std::string* error) = 0;

  /// Brings `block->flags` up to date with the device's progress. Returns
  /// false, with the system's reason in *error, once the device has failed:
  /// then no block that is not yet done ever will be, and the caller gives
  /// the device up (reset, unprepare, close) instead of waiting.
  virtual bool poll(AudioBlock* block, std::string* error) = 0;

  /// Hands back the oldest underrun not yet taken, in stream order; false
  /// when there is none, or when the output cannot tell.
  virtual bool takeUnderrun(AudioUnderrun* underrun) {
    (void)underrun;
    return false;
  }

  /// Releases what `prepare` set up. The block should be done or never
  /// queued; one still queued is first taken back from the device, which
  /// stops playing for that, so memory is never freed under the device.
  virtual void unprepare(AudioBlock* block) = 0;

  /// Stops playing at once, drops what the device holds, and marks every
  /// prepared block done so that the caller can unprepare it. A device that
  /// has failed stays failed.
  virtual void reset() = 0;

  /// Closes the device and forgets every block; harmless when not open. The
  /// caller first waits for its blocks to be done; what the device still
  /// holds beyond that (a sound server's own buffer) plays out, without
  /// waiting without end on a device that has stopped or failed. Blocks
  /// still queued are dropped.
  virtual void close() = 0;

  /// Waits about `milliseconds` before the next poll.
  virtual void sleep(uint32_t milliseconds) = 0;

  /// A monotonic clock in milliseconds, the one `sleep` waits by: callers
  /// measure how long they have waited on the device with it.
  virtual uint64_t nowMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
  }

  /// Names a stop request (a signal handler may set it; null: none). Once
  /// it is set, a call that waits on the device waits at most
  /// kAudioStopGraceMs more.
  virtual void watchStop(const volatile std::sig_atomic_t* stop) { (void)stop; }
};

/// The platform's audio output, or null when this build has none. Sets
/// *error to the reason when it returns null.
std::unique_ptr<AudioOutput> createSystemAudioOutput(std::string* error);

#endif  // IRWAV_PLATFORM_AUDIO_OUTPUT_H_

#ifndef IRWAV_PLATFORM_AUDIO_OUTPUT_H_
#define IRWAV_PLATFORM_AUDIO_OUTPUT_H_

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

/// An audio output device that plays submitted blocks asynchronously, in
/// submission order. A block submitted with `write` belongs to the device
/// until `poll` has set kAudioBlockDone in its flags; only then may the
/// caller `unprepare` it and touch its data again. All calls come from one
/// thread; whatever an implementation needs to keep playing between calls it
/// does on its own and states in its source.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  /// Opens the output named `deviceName`, or the default output when it is
  /// null or empty, for `format`.
  virtual bool open(const char* deviceName, const AudioFormat& format, std::string* error) = 0;

  /// Readies `block` for submission.
  virtual bool prepare(AudioBlock* block, std::string* error) = 0;

  /// Queues a prepared block for playing and clears its done flag. A block
  /// that could not be queued is never reported done.
  virtual bool write(AudioBlock* block, std::string* error) = 0;

  /// Brings `block->flags` up to date with the device's progress.
  virtual void poll(AudioBlock* block) = 0;

  /// Releases what `prepare` set up; the block must be done or never queued.
  virtual void unprepare(AudioBlock* block) = 0;

  /// Stops playing at once and gives every queued block back as done.
  virtual void reset() = 0;

  /// Closes the device; nothing may be queued.
  virtual void close() = 0;

  /// Waits about `milliseconds` before the next poll.
  virtual void sleep(uint32_t milliseconds) = 0;
};

/// The platform's audio output, or null when this build has none. Sets
/// *error to the reason when it returns null.
std::unique_ptr<AudioOutput> createSystemAudioOutput(std::string* error);

#endif  // IRWAV_PLATFORM_AUDIO_OUTPUT_H_

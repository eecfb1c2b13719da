#ifndef IRWAV_OUTPUT_WAVE_SINK_H_
#define IRWAV_OUTPUT_WAVE_SINK_H_

#include <csignal>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "output/wav_header.h"
#include "platform/audio_output.h"
#include "platform/file.h"

/// Bytes in the sink's sample buffer in file mode, and the least it has in
/// live mode.
constexpr uint32_t kBufferBytes = 32768;

/// Frames in each of the two blocks that live playback alternates between,
/// at 48000 Hz: 4096 frames, 85 ms. A block plays that long at every rate
/// (deviceBlockBytes), so that what is in flight lasts as long at 192000 Hz
/// as at 48000.
constexpr uint32_t kDeviceBlockFramesAt48k = 4096;

/// Bytes of a live block in the default format (48000 Hz, 16-bit stereo).
constexpr uint32_t kDeviceBlockBytes = kDeviceBlockFramesAt48k * 4;

/// How often live playback asks the device whether a block is done: a
/// quarter of a block's time, so that a block comes back while most of the
/// other one is still to play.
constexpr uint32_t kDevicePollMs = 20;

/// Once a stop is requested, how much longer live playback waits for the
/// sound already handed over before it drops it.
constexpr uint32_t kDeviceStopWaitMs = 1000;

/// Frames per second unless setFormat says otherwise.
constexpr uint32_t kDefaultSampleRate = 48000;

/// The range of rates setFormat takes.
constexpr uint32_t kMinSampleRate = 8000;
constexpr uint32_t kMaxSampleRate = 384000;

/// How long live playback waits for a block to come back before it gives the
/// device up as stalled, on the device's clock (wall-clock time): both
/// blocks together play for 171 ms in every format. The device bounds each
/// of its own calls by the same limit (kAudioStallMs). A device that reports
/// a failure is given up at once instead.
constexpr uint32_t kDeviceStallMs = kAudioStallMs;

/// The bytes of each live block in a format: the frames that play for as
/// long as kDeviceBlockFramesAt48k do at 48000 Hz (at least one).
uint32_t deviceBlockBytes(uint32_t sampleRate, uint32_t frameBytes);

/// The one output object: a sample buffer that the renderer fills frame by
/// frame, handed block by block either to a WAV file (file mode) or to the
/// audio device (live mode), plus the renderer's synthesis state.
///
/// Lifecycle: closed -> open(name or null) -> frames and flushes -> close ->
/// closed. A failure of the file or the device never stops the frames: the
/// sink keeps cycling its buffer, hands nothing more to the target, and
/// reports the failure from open or close; halted() tells a renderer that it
/// may stop early.
class WaveSink {
 public:
  /// A closed sink in the default format, using the system's files and
  /// audio output.
  WaveSink();
  /// A closed sink that uses `files` and `audio` instead; either may be
  /// null for the system's. Both must outlive the sink.
  WaveSink(FileSystem* files, AudioOutput* audio);
  ~WaveSink();
  WaveSink(const WaveSink&) = delete;
  WaveSink& operator=(const WaveSink&) = delete;

  /// 48000 Hz, 2 bytes per sample, 2 channels.
  void setDefaultFormat();

  /// `bytesPerSample` 1 (unsigned 8-bit) or 2 (signed 16-bit), 1 or 2
  /// `channels`, and `sampleRate` frames per second, from kMinSampleRate to
  /// kMaxSampleRate; the header and deviceFormat describe it. Returns false,
  /// changing nothing, for other values and while the sink is open.
  bool setFormat(uint32_t bytesPerSample, uint32_t channels,
                 uint32_t sampleRate = kDefaultSampleRate);

  /// Opens a file named `fileName`, created or truncated, with a
  /// provisional header; or, when `fileName` is null, the audio output named
  /// by `deviceName` (the default one when empty). A sink that is open is
  /// closed first, as by close (its result is then lost). Returns 0, or -1
  /// when the file or device cannot be opened, with the reason in errorText;
  /// the sink then takes frames and discards them.
  int open(const wchar_t* fileName);

  /// Hands the filled part of the current block to the target and starts
  /// the next block. In live mode it returns only once that next block is
  /// free of the device.
  void flush();

  /// Drains what is pending, finishes the target (final header and close
  /// of the file; both blocks played and the device closed) and releases
  /// the buffer. Returns 0 when every byte since open reached the target
  /// (in live mode: every byte until a stop request), -1 otherwise, with
  /// the first reason in errorText; a file that could not be written
  /// completely is emptied and removed, and so is a file whose writing a
  /// stop request ended (close then returns 0: the stop was asked for; see
  /// stopped()). Underruns are no failure here; they
  /// are listed in `underruns`. Harmless on a closed sink.
  int close();

  /// Writes the 44-byte header, with sizes from totalBytes, at offset 0.
  void writeHeader();

  /// The bytes of frames taken since open: those handed to the target and
  /// those in the block being filled. The next frame's place in the stream.
  [[nodiscard]] uint64_t takenBytes() const;

  /// Whether nothing more reaches the target: it failed, or a stop request
  /// was seen at a flush. A renderer may then end at once; frames written
  /// anyway are still taken and discarded.
  [[nodiscard]] bool halted() const { return failed || stopped_; }

  /// Whether a stop request was seen at a flush since open.
  [[nodiscard]] bool stopped() const { return stopped_; }

  // Format.
  uint32_t sampleRate;
  uint32_t bytesPerSample;
  uint32_t channels;

  // Buffer: frames go to cursor; reaching blockEnd calls for a flush.
  std::unique_ptr<uint8_t[]> buffer;
  uint8_t* cursor;
  uint8_t* blockStart;
  uint8_t* blockEnd;

  // File mode.
  bool toFile;
  FileHandle file;
  WavHeader header;
  /// Sample bytes handed to the target since open: the live stream's
  /// position, counted in 64 bits so that hours of playing at any rate never
  /// wrap. A file's data stays within its 32-bit size (flushFile refuses
  /// more).
  uint64_t totalBytes;

  // Live mode.
  AudioOutput* device;  ///< the open output, or null
  AudioFormat deviceFormat;
  uint32_t blockIndex;  ///< the block being filled: 0 or 1
  uint32_t blockBytes;  ///< bytes of each block in this format (deviceBlockBytes)
  /// The two halves of the buffer; `user` is 1 while a block is submitted
  /// and not yet reclaimed.
  AudioBlock blocks[2];
  /// When set and non-zero (a signal handler may set it), live mode hands
  /// over the block being filled at the next flush and nothing after it:
  /// later frames are discarded, and close still waits for what was handed
  /// over, for at most kDeviceStopWaitMs more. File mode writes nothing more
  /// from the next flush on, and close removes the file. Null by default.
  const volatile std::sig_atomic_t* stopRequest;
  /// Where the sound broke off and went on after a pause since open, in
  /// the stream positions that totalBytes counts, as the device reported.
  std::vector<AudioUnderrun> underruns;

  // Synthesis state, kept by the renderer.
  uint32_t halfCarrierHz;
  double phase;
  double phaseStep;

  // Targets and failure.
  FileSystem* files;
  AudioOutput* audio;  ///< null until live mode first needs the system's
  std::string deviceName;
  std::wstring fileName;  ///< a copy, to remove the file should it fail
  bool failed;            ///< something since open did not reach the target
  std::string errorText;  ///< the first failure's reason

 private:
  void flushFile();
  void flushLive();
  /// Waits until the device gives `block` back, then frees it.
  void reclaim(AudioBlock* block);
  /// Stops the device and frees every block it still holds.
  void abandonDevice();
  /// Moves the underruns the device noted into `underruns`.
  void collectUnderruns();
  void fail(const std::string& reason);

  /// Whether the stop request is set now.
  [[nodiscard]] bool stopRequested() const { return stopRequest && *stopRequest; }

  std::unique_ptr<AudioOutput> systemAudio_;
  bool stopped_;  ///< a stop was requested and the block in hand went out
};

#endif  // IRWAV_OUTPUT_WAVE_SINK_H_

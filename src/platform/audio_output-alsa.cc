// Audio output through ALSA (alsa-lib): the "default" PCM, or the PCM the
// caller names, in S16_LE or U8 interleaved frames.
//
// The PCM is opened non-blocking, yet a plugin may still wait inside a call
// (the PulseAudio plugin waits for its server in prepare, drop and drain, for
// as long as the server does not answer). So every call into the PCM runs on
// a thread of its own (BoundedCaller) and is waited for at most
// kAudioStallMs (kAudioGiveUpMs for the calls that give the device up, the
// buffer's length and a second for the drain), and at most
// kAudioStopGraceMs once a stop is requested. A call that does not return
// in time breaks the output ("did not answer"): nothing more is asked of the
// PCM, which is left open rather than waited on. The caller's own thread
// never waits on the device except in sleep(). A written block joins a queue and is
// handed to ALSA as far as ALSA's buffer has room at once; whatever is left
// is handed over later, inside write(), poll() and sleep(), which the caller
// keeps calling while it waits for a block. The buffer is asked to hold half
// a second, more than the two blocks a caller keeps in flight, so normally
// every block goes over whole as it is written.
//
// Progress: the frames handed to ALSA, less those it still holds
// (snd_pcm_delay, which includes the hardware's own latency), have been
// played. A block is done once that count passes the block's end in the
// stream. snd_pcm_writei copies the frames, so the memory could be reused
// sooner; a block is reported done only once played so that the caller,
// which waits for one block before it fills the next, stays no more than
// two blocks ahead of the sound: a stop takes effect within the block in
// hand, and a device that makes no progress is noticed by the caller's stall
// limit. (A sound server behind a plugin may still hold its own copy of some
// of those frames; close() lets them play out.)
//
// Failures:
// - An underrun (EPIPE) or a suspend (ESTRPIPE) is recovered with
//   snd_pcm_resume or snd_pcm_prepare, and playing goes on with the next
//   frames written. It is never fatal, but the sound broke off there, so
//   each recovery is kept as an AudioUnderrun for takeUnderrun(). The frames
//   ALSA held then count as played (an underrun means they were; a suspend
//   may have lost them, so its break spans them).
// - Any other error of the PCM (a device unplugged: ENODEV; EIO), or a PCM
//   found disconnected, marks the output broken with the system's reason:
//   poll() and write() report it from then on and no block that is not done
//   ever will be, so the caller gives up at once instead of waiting.
// - A stream that ran dry is in the XRUN state; some plugins still report a
//   delay there, so the state is looked at before the delay, and everything
//   handed over counts as played. The next write recovers the stream.
// - close() drains, never drops: a sound server behind the plugin may still
//   hold frames that the delay already counts as played, and dropping them
//   would cut the end off (the PulseAudio plugin loses a whole short code
//   that way). The drain is waited on for at most the buffer's length plus a
//   second, then dropped: by watching the state where the plugin honours
//   non-blocking mode, by the bound on the call where it waits inside
//   snd_pcm_drain (PulseAudio). A broken PCM is not drained.

#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "platform/audio_output.h"
#include "platform/bounded_call.h"

namespace {

using Clock = std::chrono::steady_clock;

/// Buffer length asked of ALSA.
constexpr unsigned kBufferUs = 500000;

/// Longest single nap of sleep() while frames wait to be handed over.
constexpr auto kPumpInterval = std::chrono::milliseconds(5);

/// The last message alsa-lib reported, for error texts; it would otherwise
/// print it on standard error. alsa-lib is only used from one thread.
char lastAlsaMessage[256];

void keepAlsaMessage(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/,
                     const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(lastAlsaMessage, sizeof lastAlsaMessage, fmt, args);
  va_end(args);
}

/// "what: reason", or the reason alone for a null `what`, with alsa-lib's
/// own last message when it left one.
std::string describe(const char* what, int err) {
  std::string text = what ? std::string(what) + ": " + snd_strerror(err) : snd_strerror(err);
  if (lastAlsaMessage[0]) text += std::string(" (") + lastAlsaMessage + ")";
  lastAlsaMessage[0] = '\0';
  return text;
}

/// A PCM opened and set up by a bounded call, and what the output keeps of
/// its setup; shared with the call, which may outlive the wait.
struct OpenedPcm {
  snd_pcm_t* pcm = nullptr;
  snd_pcm_uframes_t bufferFrames = 0;
  std::string error;
};

bool configure(snd_pcm_t* pcm, const AudioFormat& format, OpenedPcm* opened);

/// Opens the PCM `name` non-blocking and sets it up for `format`; leaves it
/// in opened->pcm, or null with the reason in opened->error.
void openPcm(const std::string& name, const AudioFormat& format, OpenedPcm* opened) {
  lastAlsaMessage[0] = '\0';
  snd_pcm_t* pcm = nullptr;
  const int err = snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
  if (err < 0) {
    opened->error = describe(nullptr, err);
    return;
  }
  if (!configure(pcm, format, opened)) {
    snd_pcm_close(pcm);
    return;
  }
  opened->pcm = pcm;
}

// The calls into the PCM that pcmCall runs, each with the PCM and one
// number in and out.
long callState(snd_pcm_t* pcm, long* /*unused*/) { return snd_pcm_state(pcm); }
long callStart(snd_pcm_t* pcm, long* /*unused*/) { return snd_pcm_start(pcm); }
long callPrepare(snd_pcm_t* pcm, long* /*unused*/) { return snd_pcm_prepare(pcm); }
long callResume(snd_pcm_t* pcm, long* /*unused*/) { return snd_pcm_resume(pcm); }
long callDrop(snd_pcm_t* pcm, long* /*unused*/) { return snd_pcm_drop(pcm); }
long callDrain(snd_pcm_t* pcm, long* /*unused*/) { return snd_pcm_drain(pcm); }
long callClose(snd_pcm_t* pcm, long* /*unused*/) { return snd_pcm_close(pcm); }
/// snd_pcm_delay: the delay in *delay.
long callDelay(snd_pcm_t* pcm, long* delay) {
  snd_pcm_sframes_t frames = 0;
  const int result = snd_pcm_delay(pcm, &frames);
  *delay = static_cast<long>(frames);
  return result;
}

class AlsaAudioOutput : public AudioOutput {
 public:
  ~AlsaAudioOutput() override { AlsaAudioOutput::close(); }

  bool open(const char* deviceName, const AudioFormat& format, std::string* error) override;
  bool prepare(AudioBlock* block, std::string* error) override;
  bool write(AudioBlock* block, std::string* error) override;
  bool poll(AudioBlock* block, std::string* error) override;
  bool takeUnderrun(AudioUnderrun* underrun) override;
  void unprepare(AudioBlock* block) override;
  void reset() override;
  void close() override;
  void sleep(uint32_t milliseconds) override;
  void watchStop(const volatile std::sig_atomic_t* stop) override {
    caller_.watchStop(stop, kAudioStopGraceMs);
  }

 private:
  /// What the output knows of a prepared block.
  struct BlockState {
    uint64_t endFrame = 0;  ///< the stream position just behind the block
    uint32_t handedBytes = 0;
    bool queued = false;  ///< written and not yet fully handed to ALSA
  };

  /// Runs `call` through caller_, bounded by `limitMs`; false, with the
  /// output broken, when the PCM did not answer in time (or an earlier call
  /// did not), or when no PCM is open.
  bool bounded(std::function<void(CallReply*)> call, uint32_t limitMs, CallReply* reply);
  /// Runs `call` on the PCM with `argument`, bounded by `limitMs`, and
  /// returns its result; kNoAnswer, with the output broken, when the PCM did
  /// not answer in time (or an earlier call did not).
  long pcmCall(long (*call)(snd_pcm_t*, long*), long* argument = nullptr,
               uint32_t limitMs = kAudioStallMs);
  /// snd_pcm_writei of a copy of `frames` frames at `data`.
  snd_pcm_sframes_t writeFrames(const uint8_t* data, uint32_t frames);
  /// Hands ALSA as many queued frames as it takes now.
  void pump();
  /// Recovers from an underrun or a suspend, noting where the sound broke
  /// off; false when the PCM is lost.
  bool recover(int err);
  /// Notes a break in the sound between two stream positions, in frames.
  void noteUnderrun(uint64_t fromFrame, uint64_t toFrame);
  /// Updates playedFrames_ from the PCM's delay.
  void measure();
  void breakDown(const std::string& reason);

  snd_pcm_t* pcm_ = nullptr;
  uint32_t frameBytes_ = 0;
  uint32_t frameRate_ = 0;
  snd_pcm_uframes_t bufferFrames_ = 0;
  std::map<AudioBlock*, BlockState> blocks_;
  std::deque<AudioBlock*> queue_;  ///< blocks with frames not yet handed over
  uint64_t writtenFrames_ = 0;     ///< end of the last block written
  uint64_t handedFrames_ = 0;      ///< frames given to snd_pcm_writei
  uint64_t playedFrames_ = 0;      ///< frames the device is finished with
  bool broken_ = false;
  std::string brokenReason_;
  std::deque<AudioUnderrun> underruns_;  ///< noted and not yet taken
  BoundedCaller caller_;                 ///< every call into the PCM goes through it
  /// The frames of a write, copied: a call left running must not read a
  /// block its caller has since freed.
  std::shared_ptr<std::vector<uint8_t>> staging_ = std::make_shared<std::vector<uint8_t>>();
};

/// What pcmCall returns for a call that did not come back in time.
constexpr long kNoAnswer = -1000000;

bool AlsaAudioOutput::bounded(std::function<void(CallReply*)> call, uint32_t limitMs,
                              CallReply* reply) {
  if (!pcm_ || caller_.stuck()) return false;
  if (caller_.run(std::move(call), limitMs, reply)) return true;
  breakDown("the audio device did not answer within " + std::to_string(limitMs) + " ms");
  return false;
}

long AlsaAudioOutput::pcmCall(long (*call)(snd_pcm_t*, long*), long* argument, uint32_t limitMs) {
  snd_pcm_t* pcm = pcm_;
  const long in = argument ? *argument : 0;
  CallReply reply;
  const auto run = [pcm, call, in](CallReply* r) {
    r->extra = in;
    r->value = call(pcm, &r->extra);
  };
  if (!bounded(run, limitMs, &reply)) return kNoAnswer;
  if (argument) *argument = reply.extra;
  return reply.value;
}

bool AlsaAudioOutput::open(const char* deviceName, const AudioFormat& format, std::string* error) {
  close();
  const std::string name = deviceName && *deviceName ? deviceName : "default";
  auto opened = std::make_shared<OpenedPcm>();
  CallReply reply;
  if (!caller_.run([name, format, opened](CallReply*) { openPcm(name, format, opened.get()); },
                   kAudioStallMs, &reply)) {
    if (error) *error = "the audio device \"" + name + "\" did not answer";
    return false;
  }
  if (!opened->pcm) {
    if (error) *error = opened->error;
    return false;
  }
  pcm_ = opened->pcm;
  bufferFrames_ = opened->bufferFrames;
  frameBytes_ = format.blockAlign;
  frameRate_ = format.samplesPerSec;
  writtenFrames_ = handedFrames_ = playedFrames_ = 0;
  broken_ = false;
  brokenReason_.clear();
  underruns_.clear();
  return true;
}

bool configure(snd_pcm_t* pcm, const AudioFormat& format, OpenedPcm* opened) {
  std::string* error = &opened->error;
  snd_pcm_format_t sampleFormat;
  if (format.formatTag == 1 && format.bitsPerSample == 16) {
    sampleFormat = SND_PCM_FORMAT_S16_LE;
  } else if (format.formatTag == 1 && format.bitsPerSample == 8) {
    sampleFormat = SND_PCM_FORMAT_U8;
  } else {
    if (error) *error = "unsupported sample format";
    return false;
  }
  if (format.blockAlign == 0 || format.blockAlign != format.channels * format.bitsPerSample / 8) {
    if (error) *error = "inconsistent sample format";
    return false;
  }

  snd_pcm_hw_params_t* hw;
  snd_pcm_hw_params_alloca(&hw);
  int err = snd_pcm_hw_params_any(pcm, hw);
  if (err >= 0) err = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
  if (err >= 0) err = snd_pcm_hw_params_set_format(pcm, hw, sampleFormat);
  if (err >= 0) err = snd_pcm_hw_params_set_channels(pcm, hw, format.channels);
  // The exact rate: the frames must play at the speed they were made for.
  if (err >= 0) err = snd_pcm_hw_params_set_rate(pcm, hw, format.samplesPerSec, 0);
  if (err < 0) {
    if (error) *error = describe("the device cannot play this format", err);
    return false;
  }
  unsigned bufferUs = kBufferUs;
  snd_pcm_hw_params_set_buffer_time_near(pcm, hw, &bufferUs, nullptr);
  err = snd_pcm_hw_params(pcm, hw);
  if (err >= 0) err = snd_pcm_hw_params_get_buffer_size(hw, &opened->bufferFrames);
  if (err < 0) {
    if (error) *error = describe("cannot set up the device", err);
    return false;
  }

  // Start with the first frames written: a short last block must play
  // without anything behind it. And take any number of frames there is room
  // for: by default a non-blocking write refuses less than a period, which
  // held a short last block back until a sound server asked for more (over
  // half a second with the PulseAudio plugin).
  snd_pcm_sw_params_t* sw;
  snd_pcm_sw_params_alloca(&sw);
  err = snd_pcm_sw_params_current(pcm, sw);
  if (err >= 0) err = snd_pcm_sw_params_set_start_threshold(pcm, sw, 1);
  if (err >= 0) err = snd_pcm_sw_params_set_avail_min(pcm, sw, 1);
  if (err >= 0) err = snd_pcm_sw_params(pcm, sw);
  if (err < 0) {
    if (error) *error = describe("cannot set up the device", err);
    return false;
  }
  return true;
}

bool AlsaAudioOutput::prepare(AudioBlock* block, std::string* error) {
  if (!pcm_) {
    if (error) *error = "the audio device is not open";
    return false;
  }
  if (block->length == 0 || block->length % frameBytes_ != 0) {
    if (error) *error = "a block must hold whole frames";
    return false;
  }
  blocks_[block] = BlockState();
  block->platform = nullptr;
  return true;
}

bool AlsaAudioOutput::write(AudioBlock* block, std::string* error) {
  const auto found = blocks_.find(block);
  if (!pcm_ || found == blocks_.end() || found->second.queued) {
    if (error) *error = "the block is not ready to be played";
    return false;
  }
  if (broken_) {
    if (error) *error = brokenReason_;
    return false;
  }
  block->flags &= ~kAudioBlockDone;
  BlockState& state = found->second;
  writtenFrames_ += block->length / frameBytes_;
  state.endFrame = writtenFrames_;
  state.handedBytes = 0;
  state.queued = true;
  queue_.push_back(block);
  pump();
  if (broken_ && state.queued) {
    // Nothing of it will ever play: take it back out of the stream.
    queue_.pop_back();
    state.queued = false;
    writtenFrames_ -= block->length / frameBytes_;
    if (error) *error = brokenReason_;
    return false;
  }
  return true;
}

snd_pcm_sframes_t AlsaAudioOutput::writeFrames(const uint8_t* data, uint32_t frames) {
  staging_->assign(data, data + size_t{frames} * frameBytes_);
  snd_pcm_t* pcm = pcm_;
  const std::shared_ptr<std::vector<uint8_t>> staging = staging_;
  CallReply reply;
  const auto writei = [pcm, staging, frames](CallReply* r) {
    r->value = snd_pcm_writei(pcm, staging->data(), frames);
  };
  return bounded(writei, kAudioStallMs, &reply) ? reply.value : kNoAnswer;
}

void AlsaAudioOutput::pump() {
  // A device that keeps failing must not keep us here.
  int recoveries = 0;
  while (pcm_ && !broken_ && !queue_.empty()) {
    AudioBlock* block = queue_.front();
    BlockState& state = blocks_[block];
    const uint32_t leftFrames = (block->length - state.handedBytes) / frameBytes_;
    const snd_pcm_sframes_t n = writeFrames(block->data + state.handedBytes, leftFrames);
    if (broken_) return;
    if (n >= 0) {
      handedFrames_ += static_cast<uint64_t>(n);
      state.handedBytes += static_cast<uint32_t>(n) * frameBytes_;
      if (state.handedBytes == block->length) {
        state.queued = false;
        queue_.pop_front();
        continue;
      }
      return;  // ALSA's buffer is full
    }
    if (n == -EAGAIN) return;
    if (++recoveries > 3 || !recover(static_cast<int>(n))) return;
  }
}

bool AlsaAudioOutput::recover(int err) {
  if (err == -EINTR) return true;
  if (err == -ESTRPIPE && pcmCall(callResume) == 0) {
    // Playing resumes where it paused, somewhere in what ALSA held.
    noteUnderrun(playedFrames_, handedFrames_);
    return true;
  }
  if (err == -EPIPE || err == -ESTRPIPE) {
    // Whatever ALSA held is gone: played (it ran dry behind the last frame
    // handed over), or lost with the suspend.
    noteUnderrun(err == -EPIPE ? handedFrames_ : playedFrames_, handedFrames_);
    playedFrames_ = handedFrames_;
    const long prepared = pcmCall(callPrepare);
    if (broken_) return false;
    if (prepared >= 0) return true;
    err = static_cast<int>(prepared);
  }
  breakDown(describe("the audio device failed", err));
  return false;
}

void AlsaAudioOutput::measure() {
  if (!pcm_ || broken_) return;
  const long state = pcmCall(callState);
  if (broken_) return;
  switch (static_cast<snd_pcm_state_t>(state)) {
    case SND_PCM_STATE_PREPARED:
      // A stream that holds frames but has not started is started here, so
      // a block never waits on a start that no further write will trigger.
      if (handedFrames_ > playedFrames_) pcmCall(callStart);
      break;
    case SND_PCM_STATE_XRUN:
      // The stream ran dry, so everything handed over has played, whatever
      // delay a plugin still reports. The next write recovers the stream;
      // preparing it now could flush a sound server's queue.
      playedFrames_ = handedFrames_;
      return;
    case SND_PCM_STATE_SUSPENDED:
      recover(-ESTRPIPE);
      return;
    case SND_PCM_STATE_DISCONNECTED:
      breakDown(describe("the audio device failed", -ENODEV));
      return;
    default:
      break;
  }
  long delay = 0;
  const long err = pcmCall(callDelay, &delay);
  if (broken_) return;
  if (err < 0) {
    recover(static_cast<int>(err));
    return;
  }
  const uint64_t held = delay <= 0 ? 0 : static_cast<uint64_t>(delay);
  const uint64_t played = held >= handedFrames_ ? 0 : handedFrames_ - held;
  if (played > playedFrames_) playedFrames_ = played;
}

bool AlsaAudioOutput::poll(AudioBlock* block, std::string* error) {
  pump();
  measure();
  const auto found = blocks_.find(block);
  if (found != blocks_.end() && !found->second.queued && found->second.endFrame != 0 &&
      found->second.endFrame <= playedFrames_)
    block->flags |= kAudioBlockDone;
  if (broken_ && error) *error = brokenReason_;
  return !broken_;
}

bool AlsaAudioOutput::takeUnderrun(AudioUnderrun* underrun) {
  if (underruns_.empty()) return false;
  *underrun = underruns_.front();
  underruns_.pop_front();
  return true;
}

void AlsaAudioOutput::noteUnderrun(uint64_t fromFrame, uint64_t toFrame) {
  underruns_.push_back({fromFrame * frameBytes_, toFrame * frameBytes_});
}

void AlsaAudioOutput::unprepare(AudioBlock* block) {
  const auto found = blocks_.find(block);
  if (found == blocks_.end()) return;
  if (found->second.queued) {
    const auto at = std::find(queue_.begin(), queue_.end(), block);
    if (at != queue_.end()) queue_.erase(at);
  }
  blocks_.erase(found);
}

void AlsaAudioOutput::reset() {
  if (!pcm_) return;
  // Giving the device up: a call that does not come back soon breaks it.
  if (!caller_.stuck()) pcmCall(callDrop, nullptr, kAudioGiveUpMs);
  if (!broken_) {
    const long err = pcmCall(callPrepare, nullptr, kAudioGiveUpMs);
    if (!broken_ && err < 0) breakDown(describe("the audio device failed", static_cast<int>(err)));
  }
  queue_.clear();
  for (auto& entry : blocks_) {
    entry.second.queued = false;
    entry.first->flags |= kAudioBlockDone;
  }
  handedFrames_ = playedFrames_ = writtenFrames_;
}

void AlsaAudioOutput::close() {
  if (!pcm_) return;
  if (!broken_) {
    // Let the tail play out, but never wait on a device that has stopped.
    const auto drainMs =
        static_cast<uint32_t>(1000 + 1000ull * bufferFrames_ / (frameRate_ ? frameRate_ : 1));
    const auto limit = Clock::now() + std::chrono::milliseconds(drainMs);
    const long err = pcmCall(callDrain, nullptr, drainMs);
    while (err == -EAGAIN && !broken_ && Clock::now() < limit &&
           pcmCall(callState, nullptr, kAudioGiveUpMs) == SND_PCM_STATE_DRAINING)
      std::this_thread::sleep_for(kPumpInterval);
  }
  if (!caller_.stuck()) {
    pcmCall(callDrop, nullptr, kAudioGiveUpMs);
    pcmCall(callClose, nullptr, kAudioGiveUpMs);
  }
  // A PCM that did not answer is closed behind the call it is stuck in,
  // should that call ever return: closing it now could wait as well.
  snd_pcm_t* pcm = pcm_;
  caller_.whenFree([pcm](CallReply*) {
    snd_pcm_drop(pcm);
    snd_pcm_close(pcm);
  });
  pcm_ = nullptr;
  blocks_.clear();
  queue_.clear();
}

void AlsaAudioOutput::sleep(uint32_t milliseconds) {
  const auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    pump();
    const auto now = Clock::now();
    if (now >= until) return;
    // With frames still to hand over, wake often enough to keep ALSA fed.
    auto nap = until - now;
    if (!queue_.empty() && nap > kPumpInterval) nap = kPumpInterval;
    std::this_thread::sleep_for(nap);
  }
}

void AlsaAudioOutput::breakDown(const std::string& reason) {
  if (!broken_) brokenReason_ = reason;
  broken_ = true;
}

}  // namespace

std::unique_ptr<AudioOutput> createSystemAudioOutput(std::string* /*error*/) {
  snd_lib_error_set_handler(keepAlsaMessage);
  return std::unique_ptr<AudioOutput>(new AlsaAudioOutput());
}

#include "output/wave_sink.h"

#include <cstring>

namespace {

/// File-name length the sink keeps room for from construction on.
constexpr size_t kReservedNameChars = 260;

}  // namespace

uint32_t deviceBlockBytes(uint32_t sampleRate, uint32_t frameBytes) {
  const uint64_t frames = uint64_t{sampleRate} * kDeviceBlockFramesAt48k / 48000;
  return static_cast<uint32_t>(frames == 0 ? 1 : frames) * frameBytes;
}

WaveSink::WaveSink() : WaveSink(nullptr, nullptr) {}

WaveSink::WaveSink(FileSystem* files, AudioOutput* audio)
    : sampleRate(0),
      bytesPerSample(0),
      channels(0),
      cursor(nullptr),
      blockStart(nullptr),
      blockEnd(nullptr),
      toFile(false),
      file(kInvalidFile),
      header(),
      totalBytes(0),
      device(nullptr),
      deviceFormat(),
      blockIndex(0),
      blockBytes(kDeviceBlockBytes),
      blocks(),
      stopRequest(nullptr),
      halfCarrierHz(0),
      phase(0),
      phaseStep(0),
      files(files ? files : &systemFileSystem()),
      audio(audio),
      failed(false),
      stopped_(false) {
  // Room for any ordinary file name up front, so that opening a file
  // allocates nothing but its sample buffer.
  fileName.reserve(kReservedNameChars);
  setDefaultFormat();
}

WaveSink::~WaveSink() { close(); }

void WaveSink::setDefaultFormat() { setFormat(2, 2); }

// Three counts of one type. The rate's range and the others' do not meet,
// so a rate swapped with a width or a channel count is refused.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
bool WaveSink::setFormat(uint32_t newBytesPerSample, uint32_t newChannels, uint32_t newSampleRate) {
  if ((newBytesPerSample != 1 && newBytesPerSample != 2) || (newChannels != 1 && newChannels != 2))
    return false;
  if (newSampleRate < kMinSampleRate || newSampleRate > kMaxSampleRate) return false;
  // An open sink keeps its format: wider frames could run past the end of
  // the buffer, and the file's header already names the format.
  if (buffer) return false;
  sampleRate = newSampleRate;
  bytesPerSample = newBytesPerSample;
  channels = newChannels;
  const uint16_t frameBytes = static_cast<uint16_t>(channels * bytesPerSample);
  header.formatTag = 1;
  header.formatChannels = static_cast<uint16_t>(channels);
  header.formatSampleRate = sampleRate;
  header.avgBytesPerSec = sampleRate * frameBytes;
  header.blockAlign = frameBytes;
  header.bitsPerSample = static_cast<uint16_t>(8 * bytesPerSample);
  deviceFormat.formatTag = header.formatTag;
  deviceFormat.channels = header.formatChannels;
  deviceFormat.samplesPerSec = header.formatSampleRate;
  deviceFormat.avgBytesPerSec = header.avgBytesPerSec;
  deviceFormat.blockAlign = header.blockAlign;
  deviceFormat.bitsPerSample = header.bitsPerSample;
  deviceFormat.cbSize = 0;
  return true;
}

int WaveSink::open(const wchar_t* name) {
  // A device or file still open would otherwise be leaked, and its buffer
  // freed while the device may still read from it.
  if (buffer) close();
  toFile = name != nullptr;
  blockBytes = deviceBlockBytes(sampleRate, bytesPerSample * channels);
  const uint32_t bufferBytes =
      toFile || 2 * blockBytes < kBufferBytes ? kBufferBytes : 2 * blockBytes;
  buffer.reset(new uint8_t[bufferBytes]);
  cursor = blockStart = buffer.get();
  totalBytes = 0;
  failed = false;
  stopped_ = false;
  errorText.clear();
  underruns.clear();

  if (toFile) {
    fileName = name;
    blockEnd = buffer.get() + kBufferBytes;
    std::string error;
    file = files->create(name, &error);
    if (file == kInvalidFile) {
      fail(error);
      return -1;
    }
    writeHeader();
    return failed ? -1 : 0;
  }

  fileName.clear();
  blockEnd = buffer.get() + blockBytes;
  std::memset(blocks, 0, sizeof blocks);
  blocks[0].data = buffer.get();
  blocks[1].data = buffer.get() + blockBytes;
  blockIndex = 0;
  std::string error;
  if (!audio) {
    if (!systemAudio_) systemAudio_ = createSystemAudioOutput(&error);
    audio = systemAudio_.get();
  }
  if (!audio || !audio->open(deviceName.c_str(), deviceFormat, &error)) {
    fail(error);
    return -1;
  }
  audio->watchStop(stopRequest);
  device = audio;
  return 0;
}

void WaveSink::flush() {
  if (!buffer) return;
  if (toFile)
    flushFile();
  else
    flushLive();
}

void WaveSink::flushFile() {
  const uint32_t n = static_cast<uint32_t>(cursor - blockStart);
  if (n == 0) return;
  // The buffer is reused even when nothing can be written, so frames keep
  // landing inside it.
  cursor = buffer.get();
  // A stopped file is removed at close: nothing more need be written.
  if (stopRequested()) stopped_ = true;
  if (file == kInvalidFile || failed || stopped_) return;
  if (n > kMaxWavDataBytes - totalBytes) {
    fail("more sample data than a WAV file can hold");
    return;
  }
  std::string error;
  if (!files->write(file, buffer.get(), n, &error)) {
    fail(error);
    return;
  }
  totalBytes += n;
}

void WaveSink::flushLive() {
  const uint32_t n = static_cast<uint32_t>(cursor - blockStart);
  AudioBlock* h = &blocks[blockIndex];
  h->user = 0;
  if (n != 0 && device && !failed && !stopped_) {
    h->length = n;
    std::string error;
    if (!device->prepare(h, &error)) {
      fail(error);
    } else if (!device->write(h, &error)) {
      // A block the device never took will never be reported done.
      device->unprepare(h);
      fail(error);
    } else {
      h->user = 1;
      totalBytes += n;
    }
  }
  if (stopRequested()) stopped_ = true;

  blockIndex = blockIndex + 1 > 1 ? 0 : blockIndex + 1;
  AudioBlock* g = &blocks[blockIndex];
  cursor = blockStart = g->data;
  blockEnd = g->data + blockBytes;
  if (g->user != 0) reclaim(g);
}

void WaveSink::reclaim(AudioBlock* block) {
  const uint64_t startMs = device->nowMs();
  uint64_t limitMs = kDeviceStallMs;
  bool stopSeen = false;
  std::string error;
  for (;;) {
    const bool working = device->poll(block, &error);
    collectUnderruns();
    if (block->flags & kAudioBlockDone) break;
    // Time on the device's clock: a call that kept us waiting counts too.
    const uint64_t waitedMs = device->nowMs() - startMs;
    if (!stopSeen && stopRequested()) {
      // Asked to stop: the sound in flight may finish, but not at any cost.
      stopSeen = true;
      if (waitedMs + kDeviceStopWaitMs < limitMs) limitMs = waitedMs + kDeviceStopWaitMs;
    }
    // A device that says it failed will never finish; one that says nothing
    // is given up once it has made no progress for the stall limit. Cut
    // short by a stop, the wait is no failure: the sound is just dropped.
    if (!working || waitedMs >= limitMs) {
      if (!working || limitMs == kDeviceStallMs)
        fail(working ? "the audio device stopped playing" : error);
      abandonDevice();
      return;
    }
    device->sleep(kDevicePollMs);
  }
  device->unprepare(block);
  block->user = 0;
}

void WaveSink::collectUnderruns() {
  AudioUnderrun underrun;
  while (device->takeUnderrun(&underrun)) underruns.push_back(underrun);
}

void WaveSink::abandonDevice() {
  device->reset();
  for (AudioBlock& block : blocks) {
    if (block.user == 0) continue;
    device->unprepare(&block);
    block.user = 0;
  }
}

int WaveSink::close() {
  if (!buffer) return 0;
  flush();
  flush();
  if (toFile) {
    if (file != kInvalidFile) {
      // A stopped file is not finished: it goes, as a failed one does.
      if (!halted()) writeHeader();
      std::string error;
      if (!halted() && !files->close(file, &error)) {
        fail(error);
        file = kInvalidFile;
      }
      if (halted()) files->discard(file, fileName.c_str());
    }
    file = kInvalidFile;
  } else if (device) {
    collectUnderruns();
    device->close();
    device = nullptr;
  }
  buffer.reset();
  toFile = false;
  return failed ? -1 : 0;
}

uint64_t WaveSink::takenBytes() const {
  return totalBytes + static_cast<uint64_t>(cursor - blockStart);
}

void WaveSink::writeHeader() {
  std::memcpy(header.riffId, "RIFF", 4);
  std::memcpy(header.fmtId, "fmt ", 4);
  header.fmtSize = 16;
  std::memcpy(header.dataId, "data", 4);
  // flushFile keeps a file's data within kMaxWavDataBytes.
  header.dataSize = static_cast<uint32_t>(totalBytes);
  header.riffSize = header.dataSize + static_cast<uint32_t>(kWavHeaderBytes - 8);
  if (file == kInvalidFile || failed) return;

  const WavHeaderBytes bytes = encodeWavHeader(header);
  std::string error;
  if (!files->rewind(file, &error)) {
    fail(error);
    return;
  }
  const uint8_t* p = bytes.bytes;
  for (size_t size : kWavHeaderWrites) {
    if (!files->write(file, p, size, &error)) {
      fail(error);
      return;
    }
    p += size;
  }
}

void WaveSink::fail(const std::string& reason) {
  if (!failed) errorText = reason.empty() ? "unknown error" : reason;
  failed = true;
}

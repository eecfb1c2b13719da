#include "output/wave_sink.h"

#include <cstring>

namespace {

/// File-name length the sink keeps room for from construction on.
constexpr size_t kReservedNameChars = 260;

/// The most sample bytes a WAV file can declare: riffSize must still fit.
constexpr uint32_t kMaxWavDataBytes = UINT32_MAX - (kWavHeaderBytes - 8);

}  // namespace

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
      sizeDeclared(false),
      declaredBytes(0),
      device(nullptr),
      deviceFormat(),
      blockIndex(0),
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
  buffer.reset(new uint8_t[kBufferBytes]);
  cursor = blockStart = buffer.get();
  totalBytes = 0;
  failed = false;
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
  blockEnd = buffer.get() + kDeviceBlockBytes;
  std::memset(blocks, 0, sizeof blocks);
  blocks[0].data = buffer.get();
  blocks[1].data = buffer.get() + kDeviceBlockBytes;
  blockIndex = 0;
  stopped_ = false;
  std::string error;
  if (!audio) {
    if (!systemAudio_) systemAudio_ = createSystemAudioOutput(&error);
    audio = systemAudio_.get();
  }
  if (!audio || !audio->open(deviceName.c_str(), deviceFormat, &error)) {
    fail(error);
    return -1;
  }
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
  if (file == kInvalidFile || failed) return;
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
  if (stopRequest && *stopRequest) stopped_ = true;

  blockIndex = blockIndex + 1 > 1 ? 0 : blockIndex + 1;
  AudioBlock* g = &blocks[blockIndex];
  cursor = blockStart = g->data;
  blockEnd = g->data + kDeviceBlockBytes;
  if (g->user != 0) reclaim(g);
}

void WaveSink::reclaim(AudioBlock* block) {
  uint32_t waitedMs = 0;
  std::string error;
  for (;;) {
    const bool working = device->poll(block, &error);
    collectUnderruns();
    if (block->flags & kAudioBlockDone) break;
    // A device that says it failed will never finish; one that says nothing
    // is given up once it has made no progress for the stall limit.
    if (!working || waitedMs >= kDeviceStallMs) {
      fail(working ? "the audio device stopped playing" : error);
      abandonDevice();
      return;
    }
    device->sleep(kDevicePollMs);
    waitedMs += kDevicePollMs;
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
      if (!failed && !sizeDeclared) writeHeader();
      if (!failed && sizeDeclared && totalBytes != declaredBytes)
        fail("wrote " + std::to_string(totalBytes) + " sample bytes of the " +
             std::to_string(declaredBytes) + " its header declares");
      std::string error;
      if (!failed && !files->close(file, &error)) {
        fail(error);
        file = kInvalidFile;
      }
      if (failed) files->discard(file, fileName.c_str());
    }
    file = kInvalidFile;
  } else if (device) {
    collectUnderruns();
    device->close();
    device = nullptr;
  }
  buffer.reset();
  toFile = false;
  sizeDeclared = false;
  return failed ? -1 : 0;
}

bool WaveSink::declareDataSize(uint64_t bytes) {
  if (buffer || bytes > kMaxWavDataBytes) return false;
  sizeDeclared = true;
  declaredBytes = static_cast<uint32_t>(bytes);
  return true;
}

uint64_t WaveSink::takenBytes() const {
  return uint64_t{totalBytes} + static_cast<uint64_t>(cursor - blockStart);
}

void WaveSink::writeHeader() {
  std::memcpy(header.riffId, "RIFF", 4);
  std::memcpy(header.fmtId, "fmt ", 4);
  header.fmtSize = 16;
  std::memcpy(header.dataId, "data", 4);
  const uint32_t dataBytes = sizeDeclared ? declaredBytes : totalBytes;
  header.riffSize = dataBytes + static_cast<uint32_t>(kWavHeaderBytes - 8);
  header.dataSize = dataBytes;
  if (file == kInvalidFile || failed) return;

  const WavHeaderBytes bytes = encodeWavHeader(header);
  std::string error;
  // A declared header goes out once, at the start, where the file is.
  if (!sizeDeclared && !files->rewind(file, &error)) {
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

// Windows multimedia waveform-output implementation of the audio output.
// The device is opened without a callback: the waveform service plays
// queued blocks on its own and marks each WAVEHDR with WHDR_DONE when it has
// finished with it, which poll() reads.

#include <windows.h>
// mmsystem.h needs the types of windows.h before it.
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/audio_output.h"
#include "platform/message_text.h"

namespace {

/// The waveform service's text for `result`.
std::string waveOutMessage(MMRESULT result) {
  char text[MAXERRORLENGTH] = {};
  if (waveOutGetErrorTextA(result, text, sizeof text) != MMSYSERR_NOERROR || text[0] == '\0')
    return "waveform output error " + std::to_string(result);
  return trimmedMessage(text);
}

bool succeeded(MMRESULT result, std::string* error) {
  if (result == MMSYSERR_NOERROR) return true;
  if (error) *error = waveOutMessage(result);
  return false;
}

WAVEHDR* headerOf(AudioBlock* block) { return static_cast<WAVEHDR*>(block->platform); }

class WinmmAudioOutput : public AudioOutput {
 public:
  ~WinmmAudioOutput() override { WinmmAudioOutput::close(); }

  bool open(const char* deviceName, const AudioFormat& format, std::string* error) override {
    close();
    UINT deviceId = WAVE_MAPPER;
    if (deviceName && *deviceName && !findDevice(deviceName, &deviceId)) {
      if (error) *error = std::string("no waveform output device is named \"") + deviceName + "\"";
      return false;
    }
    WAVEFORMATEX waveFormat = {};
    waveFormat.wFormatTag = format.formatTag;
    waveFormat.nChannels = format.channels;
    waveFormat.nSamplesPerSec = format.samplesPerSec;
    waveFormat.nAvgBytesPerSec = format.avgBytesPerSec;
    waveFormat.nBlockAlign = format.blockAlign;
    waveFormat.wBitsPerSample = format.bitsPerSample;
    waveFormat.cbSize = format.cbSize;
    HWAVEOUT device = nullptr;
    if (!succeeded(
            waveOutOpen(&device, deviceId, &waveFormat, 0, 0, CALLBACK_NULL | WAVE_ALLOWSYNC),
            error))
      return false;
    device_ = device;
    return true;
  }

  bool prepare(AudioBlock* block, std::string* error) override {
    if (!device_) {
      if (error) *error = "the audio device is not open";
      return false;
    }
    WAVEHDR* header = new WAVEHDR;
    std::memset(header, 0, sizeof *header);
    header->lpData = reinterpret_cast<LPSTR>(block->data);
    header->dwBufferLength = block->length;
    if (!succeeded(waveOutPrepareHeader(device_, header, sizeof(WAVEHDR)), error)) {
      delete header;
      return false;
    }
    block->platform = header;
    prepared_.push_back(block);
    return true;
  }

  bool write(AudioBlock* block, std::string* error) override {
    WAVEHDR* header = headerOf(block);
    block->flags &= ~kAudioBlockDone;
    if (!header) {
      if (error) *error = "the block is not ready to be played";
      return false;
    }
    return succeeded(waveOutWrite(device_, header, sizeof(WAVEHDR)), error);
  }

  bool poll(AudioBlock* block, std::string* /*error*/) override {
    // The service marks a header done when it has played it, or dropped it
    // in a reset; it reports no failure of its own while it plays.
    const WAVEHDR* header = headerOf(block);
    if (header && (header->dwFlags & WHDR_DONE))
      block->flags |= kAudioBlockDone;
    else
      block->flags &= ~kAudioBlockDone;
    return true;
  }

  void unprepare(AudioBlock* block) override {
    WAVEHDR* header = headerOf(block);
    if (!header) return;
    block->platform = nullptr;
    prepared_.erase(std::remove(prepared_.begin(), prepared_.end(), block), prepared_.end());
    MMRESULT result = waveOutUnprepareHeader(device_, header, sizeof(WAVEHDR));
    if (result == WAVERR_STILLPLAYING) {
      // The service still reads from it: take it back first.
      waveOutReset(device_);
      result = waveOutUnprepareHeader(device_, header, sizeof(WAVEHDR));
    }
    // A header the service may still read is kept until the device closes,
    // never freed under it.
    if (result == MMSYSERR_NOERROR)
      delete header;
    else
      orphans_.push_back(header);
  }

  void reset() override {
    if (device_) waveOutReset(device_);
  }

  void close() override {
    if (!device_) return;
    // Every block the caller did not give back is played out or dropped by
    // now; release what is left so that the device can close.
    const std::vector<AudioBlock*> left = prepared_;
    for (AudioBlock* block : left) unprepare(block);
    prepared_.clear();
    if (waveOutClose(device_) == WAVERR_STILLPLAYING) {
      waveOutReset(device_);
      waveOutClose(device_);
    }
    device_ = nullptr;
    for (WAVEHDR* header : orphans_) delete header;
    orphans_.clear();
  }

  void sleep(uint32_t milliseconds) override { Sleep(milliseconds); }

 private:
  /// Looks up the output device whose product name is `name`.
  static bool findDevice(const char* name, UINT* deviceId) {
    const UINT count = waveOutGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
      WAVEOUTCAPSA caps = {};
      if (waveOutGetDevCapsA(id, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
      if (std::strcmp(caps.szPname, name) == 0) {
        *deviceId = id;
        return true;
      }
    }
    return false;
  }

  HWAVEOUT device_ = nullptr;
  std::vector<AudioBlock*> prepared_;  ///< blocks with a header of ours
  std::vector<WAVEHDR*> orphans_;      ///< headers the service would not give back
};

}  // namespace

std::unique_ptr<AudioOutput> createSystemAudioOutput(std::string*) {
  return std::unique_ptr<AudioOutput>(new WinmmAudioOutput);
}

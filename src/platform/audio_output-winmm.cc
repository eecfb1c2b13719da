// Windows multimedia waveform-output implementation of the audio output.
// The device is opened without a callback: the waveform service plays
// queued blocks on its own and marks each WAVEHDR with WHDR_DONE when it has
// finished with it, which poll() reads.

#include <windows.h>
// mmsystem.h needs the types of windows.h before it.
#include <mmsystem.h>

#include <cstring>

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
  ~WinmmAudioOutput() override {
    if (device_) waveOutClose(device_);
  }

  bool open(const char* deviceName, const AudioFormat& format, std::string* error) override {
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
    WAVEHDR* header = new WAVEHDR;
    std::memset(header, 0, sizeof *header);
    header->lpData = reinterpret_cast<LPSTR>(block->data);
    header->dwBufferLength = block->length;
    if (!succeeded(waveOutPrepareHeader(device_, header, sizeof(WAVEHDR)), error)) {
      delete header;
      return false;
    }
    block->platform = header;
    return true;
  }

  bool write(AudioBlock* block, std::string* error) override {
    WAVEHDR* header = headerOf(block);
    block->flags &= ~kAudioBlockDone;
    if (!succeeded(waveOutWrite(device_, header, sizeof(WAVEHDR)), error)) return false;
    header->dwUser = 1;  // submitted and not yet reclaimed
    return true;
  }

  void poll(AudioBlock* block) override {
    const WAVEHDR* header = headerOf(block);
    if (header && (header->dwFlags & WHDR_DONE))
      block->flags |= kAudioBlockDone;
    else
      block->flags &= ~kAudioBlockDone;
  }

  void unprepare(AudioBlock* block) override {
    WAVEHDR* header = headerOf(block);
    if (!header) return;
    // A header the service still plays from is left to it rather than
    // freed under it; callers unprepare only blocks that are done or were
    // never queued, so this does not happen in practice.
    if (waveOutUnprepareHeader(device_, header, sizeof(WAVEHDR)) != WAVERR_STILLPLAYING) {
      header->dwUser = 0;
      delete header;
    }
    block->platform = nullptr;
  }

  void reset() override {
    if (device_) waveOutReset(device_);
  }

  void close() override {
    if (!device_) return;
    waveOutClose(device_);
    device_ = nullptr;
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
};

}  // namespace

std::unique_ptr<AudioOutput> createSystemAudioOutput(std::string*) {
  return std::unique_ptr<AudioOutput>(new WinmmAudioOutput);
}

// Builds without an audio service: live playback reports that there is no
// device, and the sink discards its frames.

#include "platform/audio_output.h"

std::unique_ptr<AudioOutput> createSystemAudioOutput(std::string* error) {
  if (error) *error = "no audio device is available in this build";
  return nullptr;
}

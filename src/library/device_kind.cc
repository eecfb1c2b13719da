#include "library/device_kind.h"

#include "synth/name_match.h"

const char* kindName(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kAudio:
      return "audio";
    case DeviceKind::kProjector:
      return "projector";
    case DeviceKind::kBox:
      return "box";
    case DeviceKind::kTv:
      break;
  }
  return "tv";
}

const char* kindNoun(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kAudio:
      return "audio device";
    case DeviceKind::kProjector:
      return "projector";
    case DeviceKind::kBox:
      return "box";
    case DeviceKind::kTv:
      break;
  }
  return "TV";
}

bool readDeviceKind(const std::string& word, DeviceKind* kind) {
  for (DeviceKind k : kDeviceKinds) {
    if (sameNameIgnoringCase(word, kindName(k))) {
      *kind = k;
      return true;
    }
  }
  return false;
}

std::string kindChoices() {
  std::string text;
  for (DeviceKind k : kDeviceKinds) text += (text.empty() ? "" : "|") + std::string(kindName(k));
  return text;
}

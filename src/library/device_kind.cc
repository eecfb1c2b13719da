#include "library/device_kind.h"

#include <algorithm>
#include <iterator>

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
  const DeviceKind* found =
      std::find_if(std::begin(kDeviceKinds), std::end(kDeviceKinds),
                   [&](DeviceKind k) { return sameNameIgnoringCase(word, kindName(k)); });
  if (found == std::end(kDeviceKinds)) return false;
  *kind = *found;
  return true;
}

std::string kindChoices() {
  std::string text;
  for (DeviceKind k : kDeviceKinds) text += (text.empty() ? "" : "|") + std::string(kindName(k));
  return text;
}

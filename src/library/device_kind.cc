#include "library/device_kind.h"

#include <algorithm>
#include <iterator>

#include "synth/name_match.h"

namespace {

/// Each kind's word and noun, in kDeviceKinds order.
struct KindWords {
  const char* name;
  const char* noun;
};
constexpr KindWords kWords[] = {
    {"tv", "TV"}, {"audio", "audio device"}, {"projector", "projector"}, {"box", "box"}};

const KindWords& wordsOf(DeviceKind kind) {
  const DeviceKind* const at = std::find(std::begin(kDeviceKinds), std::end(kDeviceKinds), kind);
  return kWords[at == std::end(kDeviceKinds) ? 0 : at - std::begin(kDeviceKinds)];
}

}  // namespace

const char* kindName(DeviceKind kind) { return wordsOf(kind).name; }

const char* kindNoun(DeviceKind kind) { return wordsOf(kind).noun; }

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

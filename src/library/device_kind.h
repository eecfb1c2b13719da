#ifndef IRWAV_LIBRARY_DEVICE_KIND_H_
#define IRWAV_LIBRARY_DEVICE_KIND_H_

#include <string>

/// The kinds of device the library holds codes for; each has its own power
/// codes, brands, sweep and key families.
enum class DeviceKind {
  kTv,         ///< television sets
  kAudio,      ///< soundbars, speakers, AV receivers, amplifiers
  kProjector,  ///< video projectors
  kBox,        ///< cable, satellite, IPTV, DVB-T and streaming boxes
};

/// Every kind, in the order the player and the page offer them.
constexpr DeviceKind kDeviceKinds[] = {DeviceKind::kTv, DeviceKind::kAudio, DeviceKind::kProjector,
                                       DeviceKind::kBox};

/// The kind's word as --kind takes it: "tv", "audio", "projector", "box".
const char* kindName(DeviceKind kind);

/// The kind as a sentence names one device of it: "TV", "audio device",
/// "projector", "box".
const char* kindNoun(DeviceKind kind);

/// Reads a kind's word (any case). Returns false, leaving *kind as it is,
/// for any other word.
bool readDeviceKind(const std::string& word, DeviceKind* kind);

/// The kinds' words, separated by "|": "tv|audio|projector|box".
std::string kindChoices();

#endif  // IRWAV_LIBRARY_DEVICE_KIND_H_

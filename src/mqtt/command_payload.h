#ifndef IRWAV_MQTT_COMMAND_PAYLOAD_H_
#define IRWAV_MQTT_COMMAND_PAYLOAD_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "library/play_item.h"
#include "library/play_order.h"

/// The largest payload read: anything longer is refused unread.
constexpr size_t kMaxPayloadBytes = size_t{64} * 1024;

/// The most further sends of an emitter payload (`repeat_count`), and the
/// most presses of a code payload (`repeat`).
constexpr uint32_t kMaxRepeatCount = 20;

/// The silence put between two sends of an emitter sequence that ends with
/// a mark: without it the last mark and the next sequence's first one would
/// run into one. 40 ms ends a frame for every receiver.
constexpr int32_t kRepeatSpaceUs = 40000;

/// A command that arrived on the daemon's topics, checked and ready to play.
struct MqttCommand {
  std::string topic;   ///< the topic's last part: "send" or "code"
  std::string played;  ///< what is sent, in words, for the result
  /// What plays, as the player takes it: every item, named.
  std::vector<PlayItem> codes;
  std::vector<PlayRun> runs;
  uint32_t presses = 1;  ///< the code payload's "repeat", with the player's gap between
  /// An emitter payload: the sequence once is codes[0]; it is sent this
  /// many times back to back (see repeatedSequence), this space (in timing
  /// units) between two sends.
  uint32_t sends = 1;
  int32_t sendGapUnits = 0;
  std::chrono::system_clock::time_point received{};  ///< when the message came
};

/// Reads an emitter payload, the JSON object {"timings": [...],
/// "modulation": HZ, "repeat_count": N}: timings in µs, a mark positive and
/// a space negative, starting with a mark and alternating, each of at least
/// half a timing unit; modulation the carrier in Hz; repeat_count (0 when
/// absent) the further sends, at most kMaxRepeatCount. Other members are
/// passed over. The sequence is refused as the player refuses a code: a
/// carrier outside the receivers' range or one that `sampleRate` cannot
/// carry, or all its sends lasting more than 10 s. Returns false with the
/// reason in *error, naming the member (and the value's place) at fault.
bool parseEmitterPayload(const std::string& payload, uint32_t sampleRate, MqttCommand* command,
                         std::string* error);

/// Reads a code payload, a JSON object with one of "code" (a built-in
/// code's name or index, or a code as --code takes it, a key name allowed:
/// "necx2:7.7:volume_up"), "pronto" (a Pronto code), "irp" (a protocol in
/// IRP notation, its parameters as further members with integer values:
/// "D": 4) or "brand" (a brand's power codes, with "power": "on", "off" or
/// "toggle"); and optionally "hold_ms" (0 to the player's --hold limit)
/// and "repeat" (presses, 1 to kMaxRepeatCount). Anything else is refused,
/// and so is a code the player would refuse, or one named code whose
/// carrier `sampleRate` cannot carry. Returns false with the reason in
/// *error.
bool parseCodePayload(const std::string& payload, uint32_t sampleRate, MqttCommand* command,
                      std::string* error);

/// The sequence `once` (a terminated list) sent `sends` times back to
/// back, `gapUnits` of space between two sends, the last one terminated.
OwnedIrCode repeatedSequence(const OwnedIrCode& once, int32_t gapUnits, uint32_t sends);

#endif  // IRWAV_MQTT_COMMAND_PAYLOAD_H_

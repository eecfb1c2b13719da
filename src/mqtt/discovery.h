#ifndef IRWAV_MQTT_DISCOVERY_H_
#define IRWAV_MQTT_DISCOVERY_H_

#include <string>
#include <vector>

#include "mqtt/mqtt_options.h"

/// The emitter's own topics, and the one Home Assistant announces itself on.
struct EmitterTopics {
  std::string send;    ///< PREFIX/send: Home Assistant's emitter payload
  std::string code;    ///< PREFIX/code: irwav's code payload
  std::string status;  ///< PREFIX/status: "online" or "offline", retained
  std::string result;  ///< PREFIX/result: one message per command
  std::string birth;   ///< DISCOVERY/status: Home Assistant's "online"
};

/// The topics of `options`, the emitter named `name`.
EmitterTopics emitterTopics(const MqttOptions& options, const std::string& name);

/// `text` as an id Home Assistant takes: lower-case letters, digits and "_"
/// ("Living room" -> "living_room"); "_" alone for text with none of them.
std::string idOf(const std::string& text);

/// A button of a TV's remote: the key, and the code payload it publishes.
struct RemoteButton {
  std::string key;      ///< "volume_up"
  std::string label;    ///< "Volume up"
  std::string icon;     ///< "mdi:volume-plus"
  std::string payload;  ///< {"code":"NECx2:7.7:volume_up"}
};

/// The buttons of the TV `tv`: one per key of its family (as --keys names
/// it) in the key table's order, or for a brand, of the family of its most
/// widely documented power code, or that code alone as a Power button when
/// its family has no key table. Returns false with a message for a family
/// or brand that names nothing to press.
bool remoteButtons(const TvRemote& tv, std::vector<RemoteButton>* buttons, std::string* error);

/// A retained message that announces an entity.
struct RetainedMessage {
  std::string topic;
  std::string payload;
};

/// Home Assistant's discovery configs: the emitter (an infrared entity of
/// schema emitter, its command and availability topics, a unique_id and
/// the device), then each TV's buttons, under a device of the TV's name.
/// `remotes` pairs with `options.tvs`.
std::vector<RetainedMessage> discoveryMessages(
    const MqttOptions& options, const std::string& name, const EmitterTopics& topics,
    const std::vector<std::vector<RemoteButton>>& remotes);

#endif  // IRWAV_MQTT_DISCOVERY_H_

// Home Assistant's MQTT discovery: retained configs under the discovery
// prefix that make the emitter and the remotes' buttons appear with no
// configuration of their own.

#include "mqtt/discovery.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "mqtt/json_text.h"

#include "library/brands.h"
#include "library/csv_table.h"
#include "library/key_codes.h"
#include "library/tv_keys.h"

extern const char* const kKeyButtonsCsv[];

namespace {

// Members in the order written, for a person reading the messages.
using Json = nlohmann::ordered_json;

/// Sets the label and icon of `button`'s key from data/key-buttons.csv; a
/// key the data does not have is labelled from its name ("sound_mode" ->
/// "Sound mode").
void describeKey(RemoteButton* button) {
  const std::string& key = button->key;
  std::string* label = &button->label;
  std::string* icon = &button->icon;
  static const CsvTable table = [] {
    std::string text;
    for (const char* const* line = kKeyButtonsCsv; *line != nullptr; ++line)
      text += *line + std::string("\n");
    CsvTable csv;
    std::string error;
    readCsv(text, &csv, &error);  // the build checked its shape
    return csv;
  }();
  const auto row = std::find_if(table.rows.begin(), table.rows.end(),
                                [&](const std::vector<std::string>& r) { return r[0] == key; });
  if (row != table.rows.end()) {
    *label = (*row)[1];
    *icon = (*row)[2];
    return;
  }
  *label = key;
  std::replace(label->begin(), label->end(), '_', ' ');
  if (!label->empty() && (*label)[0] >= 'a' && (*label)[0] <= 'z') (*label)[0] -= 'a' - 'A';
  *icon = "mdi:remote";
}

/// The button of `key`, which sends the code payload of `code`.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
RemoteButton button(const std::string& key, const std::string& code) {
  RemoteButton b;
  b.key = key;
  describeKey(&b);
  b.payload = jsonText(Json{{"code", code}});
  return b;
}

/// The device that holds the emitter, or (with `tv`) a TV's remote.
Json device(const std::string& id, const std::string& name, const std::string& model) {
  return Json{{"identifiers", Json::array({id})},
              {"name", name},
              {"manufacturer", "irwav"},
              {"model", model},
              {"sw_version", IRWAV_VERSION}};
}

}  // namespace

EmitterTopics emitterTopics(const MqttOptions& options, const std::string& name) {
  const std::string prefix = options.topicPrefix.empty() ? "irwav/" + name : options.topicPrefix;
  return {prefix + "/send", prefix + "/code", prefix + "/status", prefix + "/result",
          options.discoveryPrefix + "/status"};
}

std::string idOf(const std::string& text) {
  std::string id;
  for (char c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const bool kept = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (kept)
      id += c;
    else if (!id.empty() && id.back() != '_')
      id += '_';
  }
  while (!id.empty() && id.back() == '_') id.pop_back();
  return id.empty() ? "_" : id;
}

bool remoteButtons(const TvRemote& tv, std::vector<RemoteButton>* buttons, std::string* error) {
  buttons->clear();
  std::string reason;
  const TvKeyFamily* family = findFamilyNamed(tv.family, &reason);
  std::string powerCode;
  if (family == nullptr) {
    // A brand: the family of its most widely documented power code.
    std::vector<PlayItem> items;
    if (!appendBrandCodes(tv.family, &items)) {
      *error = "option --tv \"" + tv.name + "=" + tv.family + "\": neither a family with keys (" +
               reason + ") nor a brand";
      return false;
    }
    for (const PlayItem& item : items) {
      if (!item.documented) continue;
      std::string protocol;
      IrFields fields;
      if (item.libraryRow != nullptr && item.libraryRow->protocol != kRawProtocol) {
        protocol = item.libraryRow->protocol;
        fields = item.libraryRow->fields;
        powerCode = item.name.substr(item.name.find(' ') + 1);
      } else if (item.tableIndex != kNotInTable && *kIrCodeOrigins[item.tableIndex].protocol) {
        const IrCodeOrigin& origin = kIrCodeOrigins[item.tableIndex];
        protocol = origin.protocol;
        fields.device = origin.device;
        fields.subdevice = origin.subdevice;
        powerCode = kIrCodeNames[item.tableIndex];
      } else {
        continue;
      }
      family = findKeyFamily(protocol, fields);
      break;
    }
    if (family == nullptr && powerCode.empty()) {
      *error = "option --tv \"" + tv.name + "=" + tv.family + "\": brand \"" + tv.family +
               "\" has no documented power code to press";
      return false;
    }
  }
  if (family == nullptr) {
    buttons->push_back(button("power", powerCode));
    return true;
  }
  for (const TvKeyCode& code : family->codes) {
    const bool seen = !buttons->empty() && buttons->back().key == code.key;
    if (!seen) buttons->push_back(button(code.key, family->name() + ":" + code.key));
  }
  return true;
}

std::vector<RetainedMessage> discoveryMessages(
    const MqttOptions& options, const std::string& name, const EmitterTopics& topics,
    const std::vector<std::vector<RemoteButton>>& remotes) {
  const std::string node = "irwav_" + idOf(name);
  const std::string prefix = options.discoveryPrefix;
  std::vector<RetainedMessage> messages;
  const Json emitter = {{"name", "IR emitter"},
                        {"schema", "emitter"},
                        {"unique_id", node + "_emitter"},
                        {"command_topic", topics.send},
                        {"availability_topic", topics.status},
                        {"payload_available", "online"},
                        {"payload_not_available", "offline"},
                        {"device", device(node, "irwav " + name, "irwav-mqtt audio-jack emitter")},
                        {"origin", {{"name", "irwav-mqtt"}, {"sw_version", IRWAV_VERSION}}}};
  messages.push_back({prefix + "/infrared/" + node + "/emitter/config", jsonText(emitter)});
  for (size_t t = 0; t < options.tvs.size() && t < remotes.size(); ++t) {
    const TvRemote& tv = options.tvs[t];
    const std::string tvId = node + "_" + idOf(tv.name);
    Json tvDevice = device(tvId, tv.name, "TV remote, " + tv.family);
    tvDevice["via_device"] = node;
    for (const RemoteButton& b : remotes[t]) {
      const Json config = {{"name", b.label},
                           {"icon", b.icon},
                           {"unique_id", tvId + "_" + b.key},
                           {"command_topic", topics.code},
                           {"payload_press", b.payload},
                           {"availability_topic", topics.status},
                           {"device", tvDevice},
                           {"origin", {{"name", "irwav-mqtt"}, {"sw_version", IRWAV_VERSION}}}};
      std::string topic = prefix;
      topic.append("/button/").append(node).append("/").append(idOf(tv.name));
      topic.append("_").append(b.key).append("/config");
      messages.push_back({topic, jsonText(config)});
    }
  }
  return messages;
}

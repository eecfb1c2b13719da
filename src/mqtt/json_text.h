#ifndef IRWAV_MQTT_JSON_TEXT_H_
#define IRWAV_MQTT_JSON_TEXT_H_

#include <string>

#include <nlohmann/json.hpp>

/// `value` (a JSON object of either key order) as compact JSON text. Bytes of its strings that are
/// not UTF-8 (a name from the command line may hold any) become U+FFFD instead of failing.
template <typename Json>
std::string jsonText(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

#endif  // IRWAV_MQTT_JSON_TEXT_H_

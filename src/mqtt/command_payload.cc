// The two payloads the daemon plays: the emitter payload of the home
// automation's infrared entity, and irwav's own code payload. Both come
// from anyone who may publish to the broker, so every member is checked
// for its type and range before anything is built from it.

#include "mqtt/command_payload.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "app/batch_driver.h"
#include "app/player.h"
#include "library/brands.h"
#include "library/held_codes.h"
#include "library/key_codes.h"
#include "synth/code_limits.h"
#include "synth/raw_timings.h"

namespace {

using Json = nlohmann::json;

/// The bytes of `text` that can be shown as they are; others become "?".
std::string shownBytes(const std::string& text) {
  std::string shown = text;
  std::replace_if(
      shown.begin(), shown.end(), [](char c) { return c < 0x20 || c > 0x7e; }, '?');
  return shown;
}

/// Parses `payload` as one JSON object. Returns false with the reason.
bool readObject(const std::string& payload, Json* object, std::string* error) {
  if (payload.size() > kMaxPayloadBytes) {
    *error = "the payload has " + std::to_string(payload.size()) + " bytes; at most " +
             std::to_string(kMaxPayloadBytes) + " are read";
    return false;
  }
  try {
    *object = Json::parse(payload);
  } catch (const Json::exception& e) {
    // "[json.exception.parse_error.101] parse error at line 1, ...", or
    // out_of_range.406 for a number beyond a double: the library's words,
    // without its tag; what it last read may be any bytes.
    const std::string what = e.what();
    const size_t tagEnd = what.find("] ");
    *error = "the payload is not JSON: " +
             shownBytes(tagEnd == std::string::npos ? what : what.substr(tagEnd + 2));
    return false;
  }
  if (!object->is_object()) {
    *error = "the payload is not a JSON object";
    return false;
  }
  return true;
}

/// Reads `value` as a whole number from `min` to `max`. Returns false with
/// a message naming it `what` otherwise.
bool readWhole(const Json& value, const std::string& what, int64_t min, int64_t max, int64_t* out,
               std::string* error) {
  if (!value.is_number_integer()) {
    *error = what + " is not a whole number";
    return false;
  }
  const bool tooLarge = value.is_number_unsigned() && value.get<uint64_t>() > INT64_MAX;
  const int64_t v = tooLarge ? INT64_MAX : value.get<int64_t>();
  if (tooLarge || v < min || v > max) {
    *error = what + " is " + value.dump() + ", not from " + std::to_string(min) + " to " +
             std::to_string(max);
    return false;
  }
  *out = v;
  return true;
}

/// Checks that a single code of `item` renders at `sampleRate`.
bool checkRenders(const PlayItem& item, uint32_t sampleRate, std::string* error) {
  const uint32_t carrierHz = item.code().carrierHz;
  if (canRender(carrierHz, maxCarrierFor(sampleRate))) return true;
  *error = item.name + " is not sent: " + notRenderedReason(carrierHz, sampleRate);
  return false;
}

/// The code a "code" member names: a built-in code's name or index, or a
/// code as --code takes it.
bool buildNamedCode(const std::string& text, PlayItem* item, std::string* error) {
  item->name = text;
  if (findCode(text, &item->tableIndex)) {
    item->name = kIrCodeNames[item->tableIndex];
    return true;
  }
  if (text.find(':') == std::string::npos) {
    *error = "no code named \"" + text + "\" (irwav-play --list shows them all)";
    return false;
  }
  std::string protocol;
  IrFields fields;
  std::string reason;
  if (readCodeOrKey(text, &protocol, &fields, &reason) &&
      buildProtocolItem(protocol, fields, item, &reason))
    return true;
  *error = "code \"" + text + "\": " + reason;
  return false;
}

/// Whether `name` may name an IRP parameter: a letter or "_", then
/// letters, digits and "_".
bool isParameterName(const std::string& name) {
  if (name.empty()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    if (!letter && !(i > 0 && c >= '0' && c <= '9')) return false;
  }
  return true;
}

}  // namespace

bool parseEmitterPayload(const std::string& payload, uint32_t sampleRate, MqttCommand* command,
                         std::string* error) {
  *command = MqttCommand();
  command->topic = "send";
  Json object;
  if (!readObject(payload, &object, error)) return false;
  const auto timings = object.find("timings");
  if (timings == object.end() || !timings->is_array()) {
    *error = timings == object.end() ? "\"timings\" is missing" : "\"timings\" is not a list";
    return false;
  }
  if (timings->empty()) {
    *error = "\"timings\" is empty";
    return false;
  }
  const auto modulation = object.find("modulation");
  if (modulation == object.end()) {
    *error = "\"modulation\" is missing";
    return false;
  }
  int64_t carrierHz = 0;
  if (!readWhole(*modulation, "\"modulation\"", 0, UINT32_MAX, &carrierHz, error)) return false;
  int64_t repeatCount = 0;
  const auto repeat = object.find("repeat_count");
  if (repeat != object.end() &&
      !readWhole(*repeat, "\"repeat_count\"", 0, kMaxRepeatCount, &repeatCount, error))
    return false;

  PlayItem item;
  OwnedIrCode& code = item.built;
  code.carrierHz = static_cast<uint32_t>(carrierHz);
  code.timings.reserve(timings->size() + 1);
  for (size_t i = 0; i < timings->size(); ++i) {
    const bool mark = i % 2 == 0;
    const std::string what = "timings[" + std::to_string(i) + "]";
    int64_t us = 0;
    // Each value is bounded by the longest code, so the sum cannot overflow.
    const auto longest = static_cast<int64_t>(kMaxCodeDurationUs);
    if (!readWhole((*timings)[i], what, -longest, longest, &us, error)) {
      if ((*timings)[i].is_number_integer())
        *error = what + " is " + (*timings)[i].dump() + ": one code may last at most 10 s";
      return false;
    }
    if (us == 0 || (us > 0) != mark) {
      *error = what + " is " + std::to_string(us) + ", where a " + (mark ? "mark" : "space") +
               " belongs: marks are positive and spaces negative, starting with a mark";
      return false;
    }
    const uint64_t magnitude = static_cast<uint64_t>(us < 0 ? -us : us);
    const uint64_t units = timingUnits(magnitude);
    if (units == 0) {
      *error = what + " is " + std::to_string(us) + ": a mark or space lasts at least " +
               std::to_string(kTimingUnitUs / 2) + " us";
      return false;
    }
    code.timings.push_back(static_cast<int32_t>(units));
  }
  // A sequence that ends with a space keeps it between two sends.
  const bool endsWithSpace = code.timings.size() % 2 == 0;
  command->sendGapUnits =
      endsWithSpace ? code.timings.back() : static_cast<int32_t>(timingUnits(kRepeatSpaceUs));
  terminateRawTimings(&code.timings);
  std::string reason;
  const uint64_t sends = static_cast<uint64_t>(repeatCount) + 1;
  const uint64_t onceUs = codeDurationUs(code);
  const uint64_t allUs = onceUs * sends + (sends - 1) * command->sendGapUnits * kTimingUnitUs;
  if (!checkCodeLimits(code, &reason) || !checkCodeDuration(allUs, &reason)) {
    *error = "the timings are not sent: " + reason;
    return false;
  }
  item.name = "timings";
  if (code.carrierHz == 0) {
    *error =
        "the timings are not sent: \"modulation\" 0 is a code without a carrier, which an "
        "emitter on a sound card cannot send";
    return false;
  }
  if (!checkRenders(item, sampleRate, error)) return false;
  command->sends = static_cast<uint32_t>(sends);
  command->played = std::to_string(timings->size()) + " timings at " +
                    std::to_string(code.carrierHz) + " Hz" +
                    (sends > 1 ? ", sent " + std::to_string(sends) + " times" : "");
  command->codes.push_back(std::move(item));
  command->runs.push_back(PlayRun{0, 1, true});
  return true;
}

bool parseCodePayload(const std::string& payload, uint32_t sampleRate, MqttCommand* command,
                      std::string* error) {
  *command = MqttCommand();
  command->topic = "code";
  Json object;
  if (!readObject(payload, &object, error)) return false;
  static const char* const kKinds[] = {"code", "pronto", "irp", "brand"};
  std::string kind;
  for (const char* k : kKinds) {
    if (!object.contains(k)) continue;
    if (!kind.empty()) {
      *error = "\"" + kind + "\" and \"" + k + "\" are both given; one code at a time";
      return false;
    }
    kind = k;
  }
  if (kind.empty()) {
    *error = R"(the payload names no code: it needs "code", "pronto", "irp" or "brand")";
    return false;
  }
  const Json& text = object[kind];
  if (!text.is_string()) {
    *error = "\"" + kind + "\" is not a string";
    return false;
  }
  const std::string value = text.get<std::string>();

  int64_t holdMs = 0;
  int64_t presses = 1;
  PowerKey power = PowerKey::kToggle;
  std::vector<std::string> assignments;
  for (const auto& member : object.items()) {
    const std::string& key = member.key();
    if (key == kind) continue;
    if (key == "hold_ms") {
      if (!readWhole(member.value(), "\"hold_ms\"", 0, kMaxHoldMs, &holdMs, error)) return false;
    } else if (key == "repeat") {
      if (!readWhole(member.value(), "\"repeat\"", 1, kMaxRepeatCount, &presses, error))
        return false;
    } else if (key == "power" && kind == "brand") {
      if (!member.value().is_string() || !readPowerKey(member.value().get<std::string>(), &power)) {
        *error = "\"power\" is " + member.value().dump() + R"(, not "on", "off" or "toggle")";
        return false;
      }
    } else if (kind == "irp" && isParameterName(key)) {
      int64_t number = 0;
      if (!readWhole(member.value(), "parameter \"" + key + "\"", 0, UINT32_MAX, &number, error))
        return false;
      assignments.push_back(key + "=" + std::to_string(number));
    } else {
      *error = "\"" + key;
      *error += "\" does not belong with \"" + kind + "\"";
      return false;
    }
  }

  std::vector<PlayItem>& codes = command->codes;
  bool named = true;
  std::string reason;
  if (kind == "brand") {
    if (!appendBrandCodes(value, &codes, power)) {
      *error = unknownBrandMessage(value);
      return false;
    }
    if (codes.empty()) {
      const std::vector<std::string> remarks = brandRemarks(value, power);
      *error = remarks.empty() ? "brand \"" + value + "\" has no code to play" : remarks.front();
      return false;
    }
    named = false;
    command->played = "brand " + value;
  } else {
    PlayItem item;
    if (kind == "code") {
      if (!buildNamedCode(value, &item, error)) return false;
    } else if (kind == "pronto") {
      item.name = "pronto";
      if (!buildProntoItem(value, &item, &reason)) {
        *error = "pronto \"" + value + "\": " + reason;
        return false;
      }
    } else {
      item.name = "irp";
      if (!buildIrpItem(value, assignments, &item, &reason)) {
        *error = "irp \"" + value + "\": " + reason;
        return false;
      }
    }
    codes.push_back(std::move(item));
    command->played = kind == "code" ? value : kind;
  }
  if (holdMs > 0 && !holdCodes(static_cast<uint32_t>(holdMs), &codes, error)) return false;
  if (named && !checkRenders(codes.front(), sampleRate, error)) return false;
  command->runs.push_back(PlayRun{0, codes.size(), named});
  command->presses = static_cast<uint32_t>(presses);
  return true;
}

OwnedIrCode repeatedSequence(const OwnedIrCode& once, int32_t gapUnits, uint32_t sends) {
  OwnedIrCode code;
  code.carrierHz = once.carrierHz;
  if (once.timings.empty()) return code;
  const size_t values = once.timings.size() - 1;  // without the terminator
  code.timings.reserve((values + 1) * sends);
  for (uint32_t send = 0; send < sends; ++send) {
    code.timings.insert(code.timings.end(), once.timings.begin(),
                        once.timings.begin() + static_cast<std::ptrdiff_t>(values));
    code.timings.push_back(send + 1 < sends ? gapUnits : 0);
  }
  return code;
}

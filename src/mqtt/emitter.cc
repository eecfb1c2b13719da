#include "mqtt/emitter.h"

#include <sstream>
#include <thread>
#include <utility>

#include <nlohmann/json.hpp>

#include "app/player.h"
#include "mqtt/json_text.h"
#include "mqtt/mqtt_link.h"
#include "mqtt/timed_audio_output.h"
#include "output/wave_sink.h"

namespace {

// Members in the order written, for a person reading the messages.
using Json = nlohmann::ordered_json;
using Clock = std::chrono::system_clock;

/// The player's lines on standard error as one message, without its name.
std::string playerMessage(const std::string& lines) {
  std::string message;
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, 12, "irwav-play: ") == 0) line.erase(0, 12);
    if (line.empty()) continue;
    message += (message.empty() ? "" : "; ") + line;
  }
  return message;
}

}  // namespace

std::string isoTime(Clock::time_point time) {
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
  // Days since 1970 to a civil date (proleptic Gregorian).
  int64_t days = ms / 86400000;
  int64_t msOfDay = ms % 86400000;
  if (msOfDay < 0) {
    msOfDay += 86400000;
    --days;
  }
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[40];
  std::snprintf(
      text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld.%03lldZ",
      static_cast<long long>(year), static_cast<long long>(month), static_cast<long long>(day),
      static_cast<long long>(msOfDay / 3600000), static_cast<long long>(msOfDay / 60000 % 60),
      static_cast<long long>(msOfDay / 1000 % 60), static_cast<long long>(msOfDay % 1000));
  return text;
}

Emitter::Emitter(MqttLink& link, EmitterTopics topics, std::vector<RetainedMessage> discovery,
                 std::string device, uint32_t sampleRate, AudioOutput& audio,
                 std::function<void(const std::string&)> log)
    : link_(link),
      topics_(std::move(topics)),
      discovery_(std::move(discovery)),
      device_(std::move(device)),
      sampleRate_(sampleRate),
      audio_(audio),
      log_(std::move(log)) {}

void Emitter::connected() {
  link_.subscribe(topics_.send, 0);
  link_.subscribe(topics_.code, 0);
  link_.subscribe(topics_.birth, 0);
  announce();
}

void Emitter::announce() {
  link_.publish(topics_.status, "online", 1, true);
  for (const RetainedMessage& message : discovery_)
    link_.publish(message.topic, message.payload, 1, true);
}

void Emitter::received(const std::string& topic, const std::string& payload) {
  const Clock::time_point now = Clock::now();
  if (topic == topics_.birth) {
    if (payload == "online") announce();
    return;
  }
  MqttCommand command;
  std::string error;
  const bool ok = topic == topics_.send
                      ? parseEmitterPayload(payload, sampleRate_, &command, &error)
                      : parseCodePayload(payload, sampleRate_, &command, &error);
  if (!ok) {
    refuse(command.topic, error, now);
    return;
  }
  const std::string which = command.topic;
  command.received = now;
  if (!queue_.push(std::move(command)))
    refuse(which,
           "the queue is full: " + std::to_string(queue_.capacity()) +
               " commands wait already; send it again later",
           now);
}

void Emitter::refuse(const std::string& topic, const std::string& error,
                     Clock::time_point received) {
  log_(topic + ": refused: " + error);
  link_.publish(
      topics_.result,
      jsonText(
          Json{{"topic", topic}, {"ok", false}, {"error", error}, {"received", isoTime(received)}}),
      0, false);
}

void Emitter::playQueued(const volatile std::sig_atomic_t* stop) {
  while (!*stop) {
    MqttCommand command;
    if (!queue_.pop(&command, std::chrono::milliseconds(200))) continue;
    play(command, stop);
  }
}

void Emitter::play(MqttCommand& command, const volatile std::sig_atomic_t* stop) {
  if (command.sends > 1) {
    command.codes[0].built =
        repeatedSequence(command.codes[0].built, command.sendGapUnits, command.sends);
  }
  PlayerOptions options;
  options.codes = std::move(command.codes);
  options.runs = std::move(command.runs);
  options.repeat = command.presses;
  options.device = device_;
  options.sampleRate = sampleRate_;
  TimedAudioOutput timed(&audio_);
  // A stop that comes before the first try plays nothing.
  std::string failure = "stopped";
  int status = 1;
  for (int attempt = 1; attempt <= kDeviceTries && !*stop; ++attempt) {
    timed.resetNotes();
    std::ostringstream report;
    std::ostringstream errors;
    WaveSink sink(nullptr, &timed);
    sink.setFormat(2, 2, sampleRate_);
    status = playCodes(options, sink, report, errors, stop);
    failure = playerMessage(errors.str());
    // A device that would not open (a sound card unplugged, or taken) is
    // tried again; one that failed while playing has played part of the
    // code, which is not sent twice.
    if (!timed.openFailed) break;
    if (attempt < kDeviceTries) {
      log_(command.topic + ": " + failure + "; trying again");
      std::this_thread::sleep_for(std::chrono::milliseconds(kDeviceRetryMs));
    } else {
      failure += " (tried " + std::to_string(kDeviceTries) + " times)";
    }
  }
  const Clock::time_point finished = Clock::now();
  Json result = {{"topic", command.topic}, {"ok", status == 0}, {"played", command.played}};
  if (status != 0) {
    result["error"] = failure.empty() ? "not played" : failure;
    log_(command.topic + ": " + command.played + " failed: " + result["error"].get<std::string>());
  }
  result["received"] = isoTime(command.received);
  if (timed.firstWrite != Clock::time_point{}) {
    result["started"] = isoTime(timed.firstWrite);
    result["started_us"] =
        std::chrono::duration_cast<std::chrono::microseconds>(timed.firstWrite.time_since_epoch())
            .count();
  }
  result["finished"] = isoTime(finished);
  link_.publish(topics_.result, jsonText(result), 0, false);
}

#ifndef IRWAV_MQTT_MQTT_OPTIONS_H_
#define IRWAV_MQTT_MQTT_OPTIONS_H_

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

/// A TV whose remote the daemon announces as buttons: --tv "NAME=FAMILY".
struct TvRemote {
  std::string name;    ///< as the user gave it: "Living room"
  std::string family;  ///< a family as --keys takes it, or a brand
};

/// Where the broker is: mqtt://HOST[:PORT] or mqtts://HOST[:PORT].
struct BrokerAddress {
  std::string host;
  int port = 1883;
  bool tls = false;
};

/// What irwav-mqtt was asked to do.
struct MqttOptions {
  BrokerAddress broker{"localhost", 1883, false};
  std::string username;
  std::string passwordFile;
  std::string cafile;
  std::string name;    ///< the emitter's id; empty: the host name
  std::string device;  ///< the ALSA device; empty: the default
  uint32_t sampleRate = 48000;
  std::string discoveryPrefix = "homeassistant";
  std::string topicPrefix;  ///< empty: irwav/NAME
  std::vector<TvRemote> tvs;
  bool help = false;
  bool version = false;
};

/// Reads "mqtt://HOST[:PORT]" or "mqtts://HOST[:PORT]" (HOST may be an
/// IPv6 address in brackets). Returns false with a message naming the bad
/// part otherwise.
bool parseBrokerUrl(const std::string& url, BrokerAddress* broker, std::string* error);

/// Parses the arguments that follow the program name, as the player does:
/// --help and --version win, "--" ends the options, "--name=VALUE" or
/// "--name VALUE". Takes no operands. Returns false, with a message, for an
/// unknown option or a bad value: a broker URL, a rate the player does not
/// take, a --tv without "=", an empty name or prefix, a topic prefix or
/// name holding an MQTT wildcard, and --password, which is never taken.
bool parseMqttArgs(const std::vector<std::string>& args, MqttOptions* options, std::string* error);

/// Prints the usage text.
void printMqttHelp(std::ostream& out);

#endif  // IRWAV_MQTT_MQTT_OPTIONS_H_

// irwav-mqtt's command line: parsing and the usage text.

#include "mqtt/mqtt_options.h"

#include <algorithm>
#include <iterator>
#include <ostream>

#include "app/command_line.h"
#include "app/player.h"
#include "synth/decimal.h"

namespace {

/// Whether `text` can stand in a topic: not empty, without the wildcards
/// "+" and "#" and without a NUL.
bool isTopicText(const std::string& text) {
  return !text.empty() && text.find_first_of(std::string("+#\0", 3)) == std::string::npos;
}

bool takeValue(const std::string& name, const std::string& value, MqttOptions* options,
               std::string* error) {
  const auto needs = [&](const char* what) {
    if (!value.empty()) return true;
    *error = "option " + name + " needs " + what;
    return false;
  };
  if (name == "--broker") return parseBrokerUrl(value, &options->broker, error);
  if (name == "--username") {
    options->username = value;
    return needs("a user name");
  }
  if (name == "--password-file") {
    options->passwordFile = value;
    return needs("a file name");
  }
  if (name == "--cafile") {
    options->cafile = value;
    return needs("a file name");
  }
  if (name == "--device") {
    options->device = value;
    return needs("a device name");
  }
  if (name == "--rate") {
    uint64_t rate = 0;
    if (readDecimal(value, &rate) && std::find(std::begin(kPlayerRates), std::end(kPlayerRates),
                                               rate) != std::end(kPlayerRates)) {
      options->sampleRate = static_cast<uint32_t>(rate);
      return true;
    }
    *error = "option --rate takes " + rateChoices() + " (Hz), not \"" + value + "\"";
    return false;
  }
  if (name == "--name" || name == "--discovery-prefix" || name == "--topic-prefix") {
    const bool plainName = name == "--name" && value.find('/') != std::string::npos;
    if (!isTopicText(value) || plainName) {
      *error = "option " + name + " takes a topic's text without " +
               (name == "--name" ? R"("/", )" : "") + R"("+" and "#", not ")" + value + "\"";
      return false;
    }
    (name == "--name"               ? options->name
     : name == "--discovery-prefix" ? options->discoveryPrefix
                                    : options->topicPrefix) = value;
    return true;
  }
  // --tv
  const size_t equals = value.find('=');
  if (equals == std::string::npos || equals == 0 || equals + 1 == value.size()) {
    *error =
        R"(option --tv takes NAME=FAMILY, such as "Living room=necx2:7.7", not ")" + value + "\"";
    return false;
  }
  options->tvs.push_back({value.substr(0, equals), value.substr(equals + 1)});
  return true;
}

}  // namespace

bool parseBrokerUrl(const std::string& url, BrokerAddress* broker, std::string* error) {
  const auto bad = [&](const std::string& why) {
    *error = "option --broker \"" + url + "\": " + why;
    return false;
  };
  BrokerAddress address;
  std::string rest;
  if (url.compare(0, 7, "mqtt://") == 0) {
    rest = url.substr(7);
  } else if (url.compare(0, 8, "mqtts://") == 0) {
    rest = url.substr(8);
    address.tls = true;
  } else {
    return bad("the URL must begin with mqtt:// or mqtts://");
  }
  address.port = address.tls ? 8883 : 1883;
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  std::string port;
  if (!rest.empty() && rest[0] == '[') {
    const size_t close = rest.find(']');
    if (close == std::string::npos) return bad("an IPv6 address without its \"]\"");
    address.host = rest.substr(1, close - 1);
    if (close + 1 < rest.size()) {
      if (rest[close + 1] != ':') return bad("\"" + rest.substr(close + 1) + "\" after the host");
      port = rest.substr(close + 2);
      if (port.empty()) return bad("a \":\" without a port");
    }
  } else {
    const size_t colon = rest.find(':');
    address.host = rest.substr(0, colon);
    if (colon != std::string::npos) {
      port = rest.substr(colon + 1);
      if (port.empty()) return bad("a \":\" without a port");
    }
  }
  if (address.host.empty()) return bad("no host");
  if (address.host.find_first_of("/@?# ") != std::string::npos)
    return bad("the host \"" + address.host + "\" is not a host name or address");
  if (!port.empty()) {
    uint64_t number = 0;
    if (!readDecimal(port, &number) || number == 0 || number > 65535)
      return bad("the port \"" + port + "\" is not from 1 to 65535");
    address.port = static_cast<int>(number);
  }
  *broker = address;
  return true;
}

bool parseMqttArgs(const std::vector<std::string>& args, MqttOptions* options, std::string* error) {
  *options = MqttOptions();
  if (findHelpOrVersion(args, &options->help, &options->version)) return true;
  static const char* const kValueOptions[] = {
      "--broker", "--username", "--password-file",    "--cafile",       "--name",
      "--device", "--rate",     "--discovery-prefix", "--topic-prefix", "--tv"};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      if (i + 1 < args.size()) {
        *error = "irwav-mqtt takes no operands, not \"" + args[i + 1] + "\"";
        return false;
      }
      break;
    }
    if (arg.empty() || arg[0] != '-') {
      *error = "irwav-mqtt takes no operands, not \"" + arg +
               "\" (irwav-mqtt --help shows the "
               "options)";
      return false;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (name == "--password") {
      *error =
          "a password is never taken on the command line, where every user can read it: "
          "use --password-file FILE or IRWAV_MQTT_PASSWORD";
      return false;
    }
    if (std::find(std::begin(kValueOptions), std::end(kValueOptions), name) ==
        std::end(kValueOptions)) {
      *error = "unknown option \"" + arg + "\" (irwav-mqtt --help shows the options)";
      return false;
    }
    std::string value;
    if (!takeOptionValue(args, &i, &value, error)) return false;
    if (!takeValue(name, value, options, error)) return false;
  }
  if (!options->cafile.empty() && !options->broker.tls) {
    *error = "option --cafile goes with an mqtts:// broker";
    return false;
  }
  return true;
}

void printMqttHelp(std::ostream& out) {
  out << "Usage: irwav-mqtt [OPTION]...\n"
         "Plays remote-control codes that MQTT messages ask for on the sound card,\n"
         "for an infrared emitter on the headphone jack, and announces itself to\n"
         "Home Assistant as an infrared emitter.\n"
         "\n"
         "  --broker URL          mqtt://HOST[:PORT] or mqtts://HOST[:PORT] (TLS)\n"
         "                        (default mqtt://localhost; ports 1883 and 8883)\n"
         "  --username NAME       log in to the broker as NAME\n"
         "  --password-file FILE  the password: the first line of FILE (or the\n"
         "                        environment variable IRWAV_MQTT_PASSWORD)\n"
         "  --cafile FILE         the certificate authority that signed the broker's\n"
         "                        certificate (mqtts; default: the system's)\n"
         "  --name NAME           the emitter's id (default: the host name)\n"
         "  --topic-prefix TOPIC  the emitter's topics (default irwav/NAME):\n"
         "                        TOPIC/send  Home Assistant's emitter payload\n"
         "                        TOPIC/code  irwav's own: {\"code\":\"necx2:7.7:mute\"}\n"
         "                        TOPIC/status  online or offline (retained)\n"
         "                        TOPIC/result  one JSON message per command\n"
         "  --discovery-prefix P  Home Assistant's discovery prefix (default\n"
         "                        homeassistant)\n"
         "  --tv NAME=FAMILY      announce a TV's remote as buttons, one per key of\n"
         "                        FAMILY (as irwav-play --keys names it, such as\n"
         "                        necx2:7.7) or of a brand's documented power code;\n"
         "                        repeatable\n"
         "  --device PCM          play on ALSA device PCM instead of \"default\"\n"
         "  --rate HZ             sample rate (default 48000): "
      << rateChoices()
      << "\n"
         "  --help                show this text\n"
         "  --version             show the version\n"
         "\n"
         "It keeps reconnecting to the broker until stopped. SIGINT or SIGTERM\n"
         "publishes offline and ends it with status 0. Exit status: 1 when the\n"
         "broker refuses the login or its certificate, 2 bad arguments.\n";
}

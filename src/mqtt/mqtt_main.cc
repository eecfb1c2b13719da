// irwav-mqtt: a network IR emitter. Plays the codes that MQTT messages ask
// for on the sound card and announces itself to Home Assistant. SIGINT,
// SIGTERM or SIGHUP lets the sound already handed over finish, publishes
// "offline" and ends the daemon with status 0.

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/end_signals.h"
#include "app/visible_text.h"
#include "mqtt/discovery.h"
#include "mqtt/emitter.h"
#include "mqtt/mqtt_link.h"
#include "mqtt/mqtt_options.h"
#include "platform/arguments.h"
#include "platform/audio_output.h"
#include "platform/host_name.h"
#include "platform/signals.h"
#include "platform/std_descriptors.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int signal) {
  if (stopRequested != 0) endAtOnce(signal);
  stopRequested = signal;
}

std::mutex logMutex;

/// Writes "irwav-mqtt: LINE" on standard error, control characters (which
/// a message may carry from any publisher) made visible as the player
/// shows them.
void logLine(const std::string& line) {
  const std::lock_guard<std::mutex> lock(logMutex);
  std::cerr << "irwav-mqtt: " << visibleText(line) << std::endl;
}

/// The password: the first line of `file`, or IRWAV_MQTT_PASSWORD.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
bool readPassword(const std::string& file, std::string* password, std::string* error) {
  if (file.empty()) {
    const char* fromEnvironment = std::getenv("IRWAV_MQTT_PASSWORD");
    if (fromEnvironment != nullptr) *password = fromEnvironment;
    return true;
  }
  std::ifstream in(file);
  if (!in) {
    *error = "cannot read the password file \"" + file + "\": " + std::strerror(errno);
    return false;
  }
  std::getline(in, *password);
  if (!password->empty() && password->back() == '\r') password->pop_back();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  openStandardDescriptors();
  ignoreBrokenPipe();
  MqttOptions options;
  std::string error;
  if (!parseMqttArgs(commandLineArguments(argc, argv), &options, &error)) {
    std::cerr << "irwav-mqtt: " << error << std::endl;
    return 2;
  }
  if (options.help) {
    printMqttHelp(std::cout);
    return 0;
  }
  if (options.version) {
    std::cout << "irwav-mqtt " << IRWAV_VERSION << std::endl;
    return 0;
  }
  LinkSettings settings;
  if (!readPassword(options.passwordFile, &settings.password, &error)) {
    std::cerr << "irwav-mqtt: " << error << std::endl;
    return 2;
  }
  std::string name = options.name.empty() ? hostName() : options.name;
  if (name.empty()) name = "irwav";
  std::vector<std::vector<RemoteButton>> remotes(options.tvs.size());
  for (size_t i = 0; i < options.tvs.size(); ++i) {
    if (!remoteButtons(options.tvs[i], &remotes[i], &error)) {
      std::cerr << "irwav-mqtt: " << error << std::endl;
      return 2;
    }
  }
  std::unique_ptr<AudioOutput> audio = createSystemAudioOutput(&error);
  if (!audio) {
    std::cerr << "irwav-mqtt: " << error << std::endl;
    return 1;
  }

  const EmitterTopics topics = emitterTopics(options, name);
  settings.broker = options.broker;
  settings.clientId = "irwav-mqtt-" + idOf(name);
  settings.username = options.username;
  settings.cafile = options.cafile;
  settings.willTopic = topics.status;
  MqttLink link(settings);
  Emitter emitter(link, topics, discoveryMessages(options, name, topics, remotes), options.device,
                  options.sampleRate, *audio, logLine);
  link.onConnected = [&] { emitter.connected(); };
  link.onMessage = [&](const std::string& topic, const std::string& payload) {
    emitter.received(topic, payload);
  };
  link.onNotice = logLine;

  for (int signal : stopSignals()) handleUnlessIgnored(signal, onStopSignal);
  std::thread player([&] { emitter.playQueued(&stopRequested); });
  const int status = link.run(&stopRequested, &error);
  if (status != 0) {
    logLine(error);
    stopRequested = SIGTERM;
  }
  emitter.wake();
  player.join();
  if (status == 0) logLine("stopped");
  return status;
}

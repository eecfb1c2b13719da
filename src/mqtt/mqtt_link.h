#ifndef IRWAV_MQTT_MQTT_LINK_H_
#define IRWAV_MQTT_MQTT_LINK_H_

#include <atomic>
#include <csignal>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "mqtt/mqtt_options.h"

struct mosquitto;

/// How to log in to the broker.
struct LinkSettings {
  BrokerAddress broker;
  std::string clientId;
  std::string username;   ///< empty: none
  std::string password;   ///< empty: none
  std::string cafile;     ///< TLS: the CA file; empty: the system's CAs
  std::string willTopic;  ///< "offline" is published here, retained, should the link die
};

/// The daemon's connection to the broker: connects, and reconnects with a
/// growing pause (1 s doubling to 30 s) whenever the broker cannot be
/// reached or the connection is lost, until asked to stop. Callbacks run
/// on the thread that calls run(); publish may be called from any thread.
class MqttLink {
 public:
  /// Called after each connection the broker accepted.
  std::function<void()> onConnected;
  /// Called for each message on a subscribed topic.
  std::function<void(const std::string& topic, const std::string& payload)> onMessage;
  /// Called with a line to log: the broker lost, reached again, refused.
  std::function<void(const std::string& line)> onNotice;

  explicit MqttLink(LinkSettings settings);
  ~MqttLink();
  MqttLink(const MqttLink&) = delete;
  MqttLink& operator=(const MqttLink&) = delete;

  /// Runs the connection until *stop turns non-zero; then publishes
  /// "offline" (retained) on the will topic, waits for it to be sent (2 s
  /// at most) and disconnects. Returns 0, or 1 once the broker refused the
  /// login (bad user name or password, not authorised) or TLS failed (the
  /// certificate or its host did not check out): waiting would not mend
  /// either, and *error then says which.
  int run(const volatile std::sig_atomic_t* stop, std::string* error);

  /// Publishes `payload` on `topic`. Returns false when it could not be
  /// queued (no connection).
  bool publish(const std::string& topic, const std::string& payload, int qos, bool retain);

  /// Subscribes to `topic` (call from onConnected).
  bool subscribe(const std::string& topic, int qos);

  /// Whether the broker has accepted the current connection.
  [[nodiscard]] bool connected() const { return connected_; }

 private:
  /// Waits `ms` unless *stop turns non-zero first.
  static void pause(uint32_t ms, const volatile std::sig_atomic_t* stop);
  /// Says goodbye: offline, then a clean disconnect.
  void goOffline();
  [[nodiscard]] std::string where() const;

  LinkSettings settings_;
  mosquitto* mosq_ = nullptr;
  std::atomic<bool> connected_{false};
  int refusal_ = 0;  ///< the reason code of a refused connection
  std::atomic<int> lastPublished_{-1};
  std::mutex logMutex_;
  std::string lastLogError_;
};

#endif  // IRWAV_MQTT_MQTT_LINK_H_

// The broker connection, through libmosquitto, driven by a loop of our
// own rather than the library's: the library's loop ends for good on a TLS
// or login failure, where the daemon must tell a setting it cannot mend
// (ends) from a broker that is away (waits and tries again).

#include "mqtt/mqtt_link.h"

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

namespace {

/// The largest packet the broker may send: it drops bigger ones unsent,
/// which bounds what one message can make the daemon hold. Payloads over
/// kMaxPayloadBytes up to this size still arrive, to be refused in words.
constexpr int kMaxIncomingPacketBytes = 1 << 20;

constexpr uint32_t kFirstPauseMs = 1000;
constexpr uint32_t kLongestPauseMs = 30000;
constexpr int kKeepAliveS = 30;

/// libmosquitto's result `rc` in words.
std::string resultText(int rc) {
  if (rc == MOSQ_ERR_ERRNO) return std::strerror(errno);
  return mosquitto_strerror(rc);
}

/// Whether a refused connection's reason is the login, which only a
/// person can mend.
bool isLoginRefusal(int reason) {
  return reason == MQTT_RC_BAD_USERNAME_OR_PASSWORD || reason == MQTT_RC_NOT_AUTHORIZED;
}

}  // namespace

MqttLink::MqttLink(LinkSettings settings) : settings_(std::move(settings)) {
  mosquitto_lib_init();
  mosq_ = mosquitto_new(settings_.clientId.c_str(), true, this);
  if (mosq_ == nullptr) return;  // run() says so
  mosquitto_threaded_set(mosq_, true);
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
  mosquitto_connect_v5_callback_set(
      mosq_, [](mosquitto*, void* self, int reason, int, const mosquitto_property*) {
        auto* link = static_cast<MqttLink*>(self);
        if (reason != 0) {
          link->refusal_ = reason;
          return;
        }
        link->connected_ = true;
        if (link->onConnected) link->onConnected();
      });
  mosquitto_message_v5_callback_set(
      mosq_,
      [](mosquitto*, void* self, const mosquitto_message* message, const mosquitto_property*) {
        auto* link = static_cast<MqttLink*>(self);
        if (!link->onMessage) return;
        const std::string payload(static_cast<const char*>(message->payload),
                                  static_cast<size_t>(std::max(message->payloadlen, 0)));
        link->onMessage(message->topic, payload);
      });
  mosquitto_publish_v5_callback_set(
      mosq_, [](mosquitto*, void* self, int mid, int, const mosquitto_property*) {
        static_cast<MqttLink*>(self)->lastPublished_ = mid;
      });
  mosquitto_log_callback_set(mosq_, [](mosquitto*, void* self, int level, const char* text) {
    if (level != MOSQ_LOG_ERR) return;
    auto* link = static_cast<MqttLink*>(self);
    const std::lock_guard<std::mutex> lock(link->logMutex_);
    if (link->lastLogError_.empty()) link->lastLogError_ = text;
  });
  if (!settings_.username.empty() || !settings_.password.empty()) {
    mosquitto_username_pw_set(mosq_,
                              settings_.username.empty() ? nullptr : settings_.username.c_str(),
                              settings_.password.empty() ? nullptr : settings_.password.c_str());
  }
  mosquitto_will_set_v5(mosq_, settings_.willTopic.c_str(), 7, "offline", 1, true, nullptr);
  if (settings_.broker.tls) {
    // Certificate and host name are both checked (tls_insecure stays off).
    mosquitto_tls_set(mosq_, settings_.cafile.empty() ? nullptr : settings_.cafile.c_str(),
                      settings_.cafile.empty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr,
                      nullptr);
  }
}

MqttLink::~MqttLink() {
  if (mosq_ != nullptr) mosquitto_destroy(mosq_);
  mosquitto_lib_cleanup();
}

std::string MqttLink::where() const {
  return std::string(settings_.broker.tls ? "mqtts://" : "mqtt://") + settings_.broker.host + ":" +
         std::to_string(settings_.broker.port);
}

void MqttLink::pause(uint32_t ms, const volatile std::sig_atomic_t* stop) {
  for (uint32_t waited = 0; waited < ms && !*stop; waited += 50)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

bool MqttLink::publish(const std::string& topic, const std::string& payload, int qos, bool retain) {
  return mosquitto_publish_v5(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                              payload.data(), qos, retain, nullptr) == MOSQ_ERR_SUCCESS;
}

bool MqttLink::subscribe(const std::string& topic, int qos) {
  return mosquitto_subscribe_v5(mosq_, nullptr, topic.c_str(), qos, 0, nullptr) == MOSQ_ERR_SUCCESS;
}

void MqttLink::goOffline() {
  int mid = 0;
  if (mosquitto_publish_v5(mosq_, &mid, settings_.willTopic.c_str(), 7, "offline", 1, true,
                           nullptr) == MOSQ_ERR_SUCCESS) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (lastPublished_ != mid && std::chrono::steady_clock::now() < until) {
      if (mosquitto_loop(mosq_, 50, 1) != MOSQ_ERR_SUCCESS) break;
    }
  }
  mosquitto_disconnect_v5(mosq_, 0, nullptr);
  mosquitto_loop(mosq_, 50, 1);
}

int MqttLink::run(const volatile std::sig_atomic_t* stop, std::string* error) {
  if (mosq_ == nullptr) {
    *error = "cannot set up an MQTT client: " + std::string(std::strerror(errno));
    return 1;
  }
  mosquitto_property* properties = nullptr;
  mosquitto_property_add_int32(&properties, MQTT_PROP_MAXIMUM_PACKET_SIZE, kMaxIncomingPacketBytes);
  const auto fail = [&](const std::string& why) {
    *error = why;
    mosquitto_property_free_all(&properties);
    return 1;
  };
  const auto tlsFailure = [&] {
    const std::lock_guard<std::mutex> lock(logMutex_);
    return fail("TLS with the broker at " + where() +
                " failed: " + (lastLogError_.empty() ? "no reason given" : lastLogError_) +
                " (is --cafile the authority that signed the broker's certificate, and is the "
                "certificate made out to the host named in --broker?)");
  };
  uint32_t pauseMs = kFirstPauseMs;
  bool socketOpen = false;
  bool everConnected = false;
  std::string lastProblem;
  while (!*stop) {
    if (!socketOpen) {
      {
        const std::lock_guard<std::mutex> lock(logMutex_);
        lastLogError_.clear();
      }
      refusal_ = 0;
      const int rc =
          mosquitto_connect_bind_v5(mosq_, settings_.broker.host.c_str(), settings_.broker.port,
                                    kKeepAliveS, nullptr, properties);
      if (rc == MOSQ_ERR_TLS) return tlsFailure();
      if (rc != MOSQ_ERR_SUCCESS) {
        const std::string problem = "cannot reach the broker at " + where() + ": " + resultText(rc);
        if (problem != lastProblem && onNotice) onNotice(problem + "; trying again");
        lastProblem = problem;
        pause(pauseMs, stop);
        pauseMs = std::min(pauseMs * 2, kLongestPauseMs);
        continue;
      }
      socketOpen = true;
    }
    const bool wasConnected = connected_;
    const int rc = mosquitto_loop(mosq_, 100, 1);
    if (!wasConnected && connected_) {
      pauseMs = kFirstPauseMs;
      lastProblem.clear();
      if (onNotice)
        onNotice(std::string(everConnected ? "connected again" : "connected") +
                 " to the broker at " + where());
      everConnected = true;
    }
    if (rc == MOSQ_ERR_SUCCESS) continue;
    socketOpen = false;
    const bool lost = connected_;
    connected_ = false;
    if (refusal_ != 0) {
      const std::string why = "the broker at " + where() +
                              " refused the connection: " + mosquitto_reason_string(refusal_);
      if (isLoginRefusal(refusal_))
        return fail(why +
                    " (check --username and the password in --password-file or "
                    "IRWAV_MQTT_PASSWORD)");
      if (onNotice) onNotice(why + "; trying again");
    } else if (rc == MOSQ_ERR_TLS) {
      return tlsFailure();
    } else if (lost && onNotice) {
      onNotice("lost the broker at " + where() + ": " + resultText(rc) + "; reconnecting");
    }
    pause(pauseMs, stop);
    pauseMs = std::min(pauseMs * 2, kLongestPauseMs);
  }
  if (connected_) goOffline();
  connected_ = false;
  mosquitto_property_free_all(&properties);
  return 0;
}

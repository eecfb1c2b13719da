// Measures a running irwav-mqtt through its broker (bench/mqtt_bench.sh
// starts both and names them in the environment: IRWAV_MQTT_BENCH_PORT,
// IRWAV_MQTT_BENCH_PID, IRWAV_MQTT_BENCH_PREFIX):
//
// - PublishToFirstSample: the time from publishing a code payload to the
//   moment its first sample went to the audio device, as the daemon's
//   result reports it (`started_us`, the same clock as this program's),
//   for 100 commands one after the other; the counters give the median and
//   the slowest tenth;
// - FloodMemory: the daemon's resident memory when idle, and after 10,000
//   bad messages published as fast as they go, once all 10,000 refusals
//   have come back.

#include <benchmark/benchmark.h>
#include <mosquitto.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

using Clock = std::chrono::system_clock;

int64_t nowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
      .count();
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) throw std::runtime_error(std::string(name) + " is not set");
  return value;
}

/// A field of /proc/PID/status in KiB ("VmRSS", "VmHWM").
long statusKib(const std::string& pid, const std::string& field) {
  std::ifstream status("/proc/" + pid + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.compare(0, field.size() + 1, field + ":") == 0)
      return std::stol(line.substr(field.size() + 1));
  }
  return -1;
}

/// A client of the broker that counts the results it sees.
class Client {
 public:
  Client() {
    mosquitto_lib_init();
    mosq_ = mosquitto_new(nullptr, true, this);
    mosquitto_message_callback_set(mosq_, [](mosquitto*, void* self, const mosquitto_message* m) {
      auto* client = static_cast<Client*>(self);
      const std::lock_guard<std::mutex> lock(client->mutex_);
      client->results_.emplace_back(static_cast<const char*>(m->payload),
                                    static_cast<size_t>(m->payloadlen));
    });
    prefix_ = environment("IRWAV_MQTT_BENCH_PREFIX");
    if (mosquitto_connect(mosq_, "127.0.0.1", std::stoi(environment("IRWAV_MQTT_BENCH_PORT")),
                          30) != MOSQ_ERR_SUCCESS)
      throw std::runtime_error("cannot connect to the broker");
    mosquitto_subscribe(mosq_, nullptr, (prefix_ + "/result").c_str(), 0);
    mosquitto_loop_start(mosq_);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  ~Client() {
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    mosquitto_destroy(mosq_);
    mosquitto_lib_cleanup();
  }

  void publish(const std::string& topic, const std::string& payload) {
    mosquitto_publish(mosq_, nullptr, (prefix_ + "/" + topic).c_str(),
                      static_cast<int>(payload.size()), payload.data(), 0, false);
  }

  /// Waits until `count` results have come; returns them all.
  std::vector<std::string> waitFor(size_t count, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (results_.size() >= count) return results_;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    throw std::runtime_error("results did not come");
  }

  void clear() {
    const std::lock_guard<std::mutex> lock(mutex_);
    results_.clear();
  }

 private:
  mosquitto* mosq_;
  std::string prefix_;
  std::mutex mutex_;
  std::vector<std::string> results_;
};

void BM_PublishToFirstSample(benchmark::State& state) {
  Client client;
  std::vector<double> latencies;
  for (auto _ : state) {
    client.clear();
    const int64_t published = nowUs();
    client.publish("code", R"({"code":"necx2:7.7:volume_up"})");
    const nlohmann::json result =
        nlohmann::json::parse(client.waitFor(1, std::chrono::seconds(10))[0]);
    if (!result.value("ok", false) || !result.contains("started_us")) {
      state.SkipWithError(("a command did not play: " + result.dump()).c_str());
      break;
    }
    const double seconds = (result["started_us"].get<int64_t>() - published) / 1e6;
    latencies.push_back(seconds * 1e6);
    state.SetIterationTime(seconds);
    // The next command once this one has played out.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (latencies.empty()) return;
  std::sort(latencies.begin(), latencies.end());
  state.counters["median_us"] = latencies[latencies.size() / 2];
  state.counters["p90_us"] = latencies[latencies.size() * 9 / 10];
  state.counters["min_us"] = latencies.front();
}
BENCHMARK(BM_PublishToFirstSample)->Iterations(100)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_FloodMemory(benchmark::State& state) {
  const std::string pid = environment("IRWAV_MQTT_BENCH_PID");
  const char* const kBad[] = {
      "{not json",
      R"({"timings":[9000,4500,562],"modulation":38000})",
      R"({"timings":[],"modulation":38000})",
      R"({"timings":[9000,-4500,562],"modulation":38000,"repeat_count":99})",
      R"({"timings":[9000,-4500,562],"modulation":"38k"})",
      "\xff\xfe\xfd",
  };
  Client client;
  for (auto _ : state) {
    client.clear();
    state.counters["rss_idle_kib"] = static_cast<double>(statusKib(pid, "VmRSS"));
    constexpr size_t kFlood = 10000;
    for (size_t i = 0; i < kFlood; ++i) client.publish("send", kBad[i % std::size(kBad)]);
    const std::vector<std::string> results = client.waitFor(kFlood, std::chrono::seconds(120));
    const size_t refused =
        static_cast<size_t>(std::count_if(results.begin(), results.end(), [](const std::string& r) {
          return r.find("\"ok\":false") != std::string::npos;
        }));
    if (refused != kFlood) state.SkipWithError("not every bad message was refused");
    state.counters["rss_after_flood_kib"] = static_cast<double>(statusKib(pid, "VmRSS"));
    state.counters["peak_kib"] = static_cast<double>(statusKib(pid, "VmHWM"));
  }
}
BENCHMARK(BM_FloodMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Fuzzes the daemon's payload parsers with what any publisher could send.
// The first input byte chooses the parser (even: the emitter payload, odd:
// the code payload) and the rate (its bits 1 and 2: 44100, 48000, 96000 or
// 192000 Hz); the rest is the payload as it came off the network.
//
// Besides the sanitizers' findings it stops on: a refusal without a
// message; an accepted command without a code, a run outside its codes or
// presses or sends out of range; an emitter sequence, sent as often as the
// payload asks, whose list renderCode would misread, whose carrier the rate
// cannot carry, or that lasts more than the player's 10 s.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/batch_driver.h"
#include "code_checks.h"
#include "mqtt/command_payload.h"
#include "synth/code_limits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const uint32_t kRates[] = {44100, 48000, 96000, 192000};
  const uint32_t rate = kRates[(data[0] >> 1) % 4];
  const std::string payload(reinterpret_cast<const char*>(data + 1), size - 1);
  const bool emitter = data[0] % 2 == 0;
  const char* const name = "mqtt_payload_fuzzer";
  MqttCommand command;
  std::string error;
  const bool accepted = emitter ? parseEmitterPayload(payload, rate, &command, &error)
                                : parseCodePayload(payload, rate, &command, &error);
  if (!accepted) {
    fuzzCheck(!error.empty(), name, "a refusal without a message");
    return 0;
  }
  fuzzCheck(!command.codes.empty() && !command.runs.empty(), name, "a command without a code");
  for (const PlayRun& run : command.runs)
    fuzzCheck(run.first + run.count <= command.codes.size(), name, "a run outside its codes");
  fuzzCheck(command.presses >= 1 && command.presses <= kMaxRepeatCount, name,
            "presses out of range");
  fuzzCheck(command.sends >= 1 && command.sends <= kMaxRepeatCount + 1, name, "sends out of range");
  if (emitter) {
    const OwnedIrCode sent =
        repeatedSequence(command.codes[0].built, command.sendGapUnits, command.sends);
    fuzzCheckCode(sent, name);
    fuzzCheck(canRender(sent.carrierHz, maxCarrierFor(rate)), name,
              "a carrier the rate cannot carry");
    fuzzCheck(codeDurationUs(sent) <= kMaxCodeDurationUs, name, "a sequence over 10 s");
  }
  return 0;
}

// Fuzzes the player's command line: the input, split at NUL bytes, is the
// argument list, options with values (--code, --pronto, --brand, --rate,
// --output) included. Every list is parsed; one that names at most three
// codes lasting at most two seconds, with a gap of at most 200 ms and no
// --output, is also played on a scripted device that may fail to open, fail
// a write or never finish a block (the first input byte says which), so
// that playing stays quick and writes no file.
//
// Besides the sanitizers' findings it stops on: parsed options out of range,
// a code that is neither a table entry nor a well-formed list, an exit status
// the player does not define, a misused device, a device left open.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/player.h"
#include "library/ir_codes.h"
#include "scripted_audio_output.h"

namespace {

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "player_args_fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t script = data[0];
  std::vector<std::string> args(1);
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back() += static_cast<char>(data[i]);
  }

  PlayerOptions options;
  std::string error;
  const bool parsed = parsePlayerArgs(args, &options, &error);
  if (!parsed) {
    check(!error.empty(), "a refusal without a message");
    return 0;
  }
  check(options.gapMs <= kMaxGapMs, "a gap beyond the limit");
  check(std::find(std::begin(kPlayerRates), std::end(kPlayerRates), options.sampleRate) !=
            std::end(kPlayerRates),
        "a rate the player does not offer");
  if (options.help || options.version) return 0;
  int64_t units = 0;
  for (const PlayItem& item : options.codes) {
    if (item.tableIndex != kNotInTable) {
      check(item.tableIndex < kIrCodeCount, "a code index out of the table");
      continue;
    }
    // A built code, or one the library holds (a brand's row, a universal
    // list's entry), seen the same way.
    const IrCode code = item.code();
    const size_t n = code.timingCount;
    check(!item.name.empty(), "a code without a name");
    check(code.carrierHz > 0, "a code without a carrier");
    check(n >= 2 && n % 2 == 0 && code.timings[n - 1] == 0, "a list without its terminator");
    for (size_t i = 0; i + 1 < n; ++i) {
      check(code.timings[i] > 0, "a duration that is not positive");
      units += code.timings[i];
    }
  }
  if (options.codes.empty() || options.codes.size() > 3 || options.runs.size() > 3 ||
      options.repeat > 3 || options.gapMs > 200 || !options.output.empty() || units > 200000 ||
      options.list || options.brands || options.protocols)
    return 0;

  ScriptedAudioOutput device;
  device.failOpen = (script & 1) != 0;
  device.failWriteAt = (script >> 1) & 7;
  device.neverDoneAt = (script >> 4) & 7;
  std::ostringstream out, err;
  const int status = runPlayer(args, out, err, &device, nullptr);
  check(status == 0 || status == 1, "an exit status the player does not define");
  check((status == 0) == err.str().empty(), "a failure without a message, or a message for none");
  check(device.violations.empty(), "the player misused the device");
  check(!device.isOpen, "the device was left open");
  check(device.prepared == 0, "a block was left prepared");
  return 0;
}

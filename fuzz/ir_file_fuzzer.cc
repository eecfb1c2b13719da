// Fuzzes the reader of IR signals files (--ir). The input is the file's
// text. Besides the sanitizers' findings it stops on: a refusal without a
// message or with a line beyond the text, a signal without a name, and a
// raw signal whose list renderCode would misread (an odd length, a 0
// before the terminator, no terminator, more than the 10 seconds the
// reader takes).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/ir_file.h"

namespace {

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "ir_file_fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<IrFileSignal> signals;
  size_t line = 0;
  std::string error;
  if (!readIrFile(text, &signals, &line, &error)) {
    check(!error.empty(), "a refusal without a message");
    size_t lines = 1;
    for (char c : text) lines += c == '\n' ? 1 : 0;
    check(line <= lines, "a fault on a line the text does not have");
    return 0;
  }
  for (const IrFileSignal& signal : signals) {
    check(!signal.name.empty(), "a signal without a name");
    if (!signal.raw) {
      OwnedIrCode code;
      std::string why;
      if (signal.fault.empty() && !encodeIrCode(signal.protocol, signal.fields, &code, &why))
        check(!why.empty(), "a converted signal refused without a message");
      continue;
    }
    const std::vector<int32_t>& t = signal.rawCode.timings;
    check(t.size() >= 2 && t.size() % 2 == 0, "a raw list that is not whole mark-space pairs");
    check(t.back() == 0, "a raw list without its terminator");
    int64_t totalUs = 0;
    for (size_t i = 0; i + 1 < t.size(); ++i) {
      check(t[i] > 0, "a raw duration of 0 before the terminator");
      totalUs += int64_t{t[i]} * kTimingUnitUs;
    }
    check(totalUs <= 10000000 + kTimingUnitUs * static_cast<int64_t>(t.size()),
          "a raw signal longer than the reader takes");
  }
  return 0;
}

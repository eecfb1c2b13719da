// The universal power-off lists: data/universal-power.csv, embedded in the
// program as text at build time and read here once. Each row is one entry
// of a list, with the durations the list stores; the file's own header
// names the columns.

#include "library/universal_power.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "library/csv_table.h"
#include "library/power_library.h"
#include "synth/code_limits.h"
#include "synth/decimal.h"
#include "synth/name_match.h"

extern const char* const kUniversalPowerCsv[];

namespace {

// The columns the build embeds (src/CMakeLists.txt); the notes, which say
// how each entry was read, and the repeat count (1, or unknown) stay in the
// file.
constexpr const char* kColumns[] = {
    "list",      "position", "source_name",     "carrier_hz", "protocol",      "device",
    "subdevice", "function", "toggle_or_extra", "raw_us",     "in_power_codes"};
enum Column {
  kList,
  kPosition,
  kSourceName,
  kCarrier,
  kProtocol,
  kDevice,
  kSubdevice,
  kFunction,
  kExtra,
  kRaw,
  kInPowerCodes
};

/// The stored press as a code at `carrierHz`: the frames one after the
/// other, durations to the nearest timing unit, a space that ends the press
/// left to the renderer's closing silence.
OwnedIrCode storedCode(const std::vector<std::vector<int32_t>>& frames, uint32_t carrierHz) {
  OwnedIrCode code;
  code.carrierHz = carrierHz;
  for (const std::vector<int32_t>& frame : frames) {
    for (int32_t us : frame) {
      const int32_t units = (std::abs(us) + kTimingUnitUs / 2) / kTimingUnitUs;
      const bool mark = us > 0;
      const bool markDue = code.timings.size() % 2 == 0;
      if (mark != markDue) {
        // Two marks or two spaces in a row are one; a leading space is none.
        if (!code.timings.empty()) code.timings.back() += units;
        continue;
      }
      code.timings.push_back(units);
    }
  }
  if (code.timings.size() % 2 == 0 && !code.timings.empty()) code.timings.pop_back();
  code.timings.push_back(0);
  code.timings.shrink_to_fit();  // the lists are kept for the program's life
  return code;
}

/// The entry's first frame: what two raw entries are compared by.
bool similarFrames(const std::vector<int32_t>& a, const std::vector<int32_t>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if ((a[i] > 0) != (b[i] > 0)) return false;
    const int32_t x = std::abs(a[i]);
    const int32_t y = std::abs(b[i]);
    const int32_t allowed = std::max(150, std::max(x, y) * 35 / 100);
    if (std::abs(x - y) > allowed) return false;
  }
  return true;
}

void describe(const std::vector<std::vector<int32_t>>& frames, UniversalEntry* entry) {
  const std::string list = entry->list == "flipper-universal" ? "flipper" : entry->list;
  entry->name = "universal " + list + std::to_string(entry->position);
  if (!entry->protocol.empty()) {
    entry->name += " " + codeText(entry->protocol, entry->fields);
    entry->family = familyKey(entry->protocol, entry->fields);
    entry->signal = signalKey(entry->protocol, entry->fields);
  }
  if (entry->carrierHz == 0) {
    entry->unplayable = kNoCarrierReason;
    return;
  }
  entry->code = storedCode(frames, entry->carrierHz);
  std::string error;
  if (!checkCodeLimits(entry->code, &error)) {
    entry->unplayable = error;
    entry->code = OwnedIrCode();
  }
}

}  // namespace

std::string signalKey(const std::string& protocol, const IrFields& fields) {
  std::string name = lowerCase(protocol);
  IrFields f = fields;
  f.toggle = 0;
  if (name == "nec2" || name == "pioneer") name = "nec1";
  if (name == "necx2") name = "necx1";
  if (name == "nec1-f16" && f.function / 256 == 255 - f.function % 256) {
    name = "nec1";
    f.function %= 256;
  }
  const bool nec = name == "nec1" || name == "necx1";
  if (nec && f.subdevice == 255 - f.device) f.subdevice = -1;
  return codeText(name, f);
}

bool sameSignal(const UniversalEntry& a, const UniversalEntry& b) {
  if (!a.signal.empty() || !b.signal.empty()) return a.signal == b.signal;
  return !a.firstFrame.empty() && similarFrames(a.firstFrame, b.firstFrame);
}

bool readUniversalEntries(const char* const* lines, std::vector<UniversalEntry>* entries,
                          std::string* error) {
  entries->clear();
  // The entries are kept for the program's life: room for a row a line.
  size_t count = 0;
  while (lines[count] != nullptr) ++count;
  entries->reserve(count);
  const auto take = [&](size_t r, std::vector<std::string>& cells, std::string* fault) {
    const auto fail = [&](const std::string& what) {
      *fault = csvRowFault(r, what);
      return false;
    };
    UniversalEntry entry;
    entry.list = cells[kList];
    entry.sourceName = cells[kSourceName];
    entry.protocol = cells[kProtocol];
    entry.inPowerCodes = cells[kInPowerCodes];
    int32_t position = 0;
    int32_t carrier = 0;
    if (!readCsvNumber(cells[kPosition], 100000, &position) || position == 0 ||
        !readCsvNumber(cells[kCarrier], 1000000, &carrier) ||
        !readCsvNumber(cells[kDevice], 65535, &entry.fields.device) ||
        !readCsvNumber(cells[kSubdevice], 65535, &entry.fields.subdevice) ||
        !readCsvNumber(cells[kFunction], 65535, &entry.fields.function) ||
        !readExtraFields(cells[kExtra], &entry.fields))
      return fail("a number is not a decimal number in its range");
    if (entry.list.empty()) return fail("an entry names no list");
    std::vector<std::vector<int32_t>> frames;
    if (!readRawFrames(cells[kRaw], &frames))
      return fail("the durations are not signed microseconds in frames");
    if (entry.protocol.empty()) entry.firstFrame = frames.front();
    entry.position = static_cast<uint32_t>(position);
    entry.carrierHz = static_cast<uint32_t>(carrier);
    describe(frames, &entry);
    entries->push_back(std::move(entry));
    return true;
  };
  return readCsvRows(lines, kColumns, std::size(kColumns), "the universal power lists", take,
                     error);
}

const std::vector<UniversalEntry>& universalEntries() {
  // The text is part of the program and the tests read all of it, so it
  // does not fail here.
  static const std::vector<UniversalEntry> entries = [] {
    std::vector<UniversalEntry> read;
    std::string error;
    if (!readUniversalEntries(kUniversalPowerCsv, &read, &error)) read.clear();
    return read;
  }();
  return entries;
}

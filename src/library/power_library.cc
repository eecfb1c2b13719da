// The brand library: data/power-codes.csv, embedded in the program as text
// at build time and read here once. Each row is one documented power code
// of a TV brand, as the public IR collections give it; the file's own
// header names the columns.

#include "library/power_library.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "library/csv_table.h"
#include "synth/decimal.h"
#include "synth/name_match.h"

extern const char kPowerCodesCsv[];

namespace {

constexpr const char* kColumns[] = {"brand",    "protocol",        "device",     "subdevice",
                                    "function", "toggle_or_extra", "carrier_hz", "remotes_agreeing",
                                    "sources",  "notes",           "key",        "raw_us"};
enum Column {
  kBrand,
  kProtocol,
  kDevice,
  kSubdevice,
  kFunction,
  kExtra,
  kCarrier,
  kRemotes,
  kSources,
  kNotes,
  kKey,
  kRaw
};

/// Reads a decimal field of at most `max`; an empty one leaves *value as it
/// is, the field's default.
bool readNumber(const std::string& text, int32_t max, int32_t* value) {
  uint64_t v = 0;
  if (text.empty()) return true;
  if (!readDecimal(text, &v) || v > static_cast<uint64_t>(max)) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

/// Takes the maker bytes and the nibble E from the extra fields' words
/// ("M=170 N=90 E=1", "E=0"); other words are reminders of what the
/// protocol does anyway.
bool readExtraFields(const std::string& words, IrFields* fields) {
  size_t at = 0;
  while (at < words.size()) {
    const size_t end = std::min(words.find_first_of(" ;", at), words.size());
    const std::string word = words.substr(at, end - at);
    at = end + 1;
    if (word.size() < 3 || word[1] != '=') continue;
    int32_t* target = word[0] == 'M'   ? &fields->oem1
                      : word[0] == 'N' ? &fields->oem2
                      : word[0] == 'E' ? &fields->extra
                                       : nullptr;
    if (target && !readNumber(word.substr(2), 255, target)) return false;
  }
  return true;
}

/// Reads signed durations in µs: the first frame, " | ", the repeat frame.
bool readRawDurations(const std::string& text, LibraryCode* row) {
  std::vector<int32_t>* frame = &row->rawFirstUs;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = std::min(text.find(' ', at), text.size());
    const std::string word = text.substr(at, end - at);
    at = end + 1;
    if (word.empty()) continue;
    if (word == "|" && frame == &row->rawFirstUs) {
      frame = &row->rawRepeatUs;
      continue;
    }
    const bool space = word[0] == '-';
    int32_t value = 0;
    if (!readNumber(word.substr(space ? 1 : 0), 10000000, &value) || value <= 0) return false;
    frame->push_back(space ? -value : value);
  }
  return !row->rawFirstUs.empty() && !row->rawRepeatUs.empty();
}

/// A raw row as IRP: its carrier, a unit of 1 µs, the first frame and the
/// repeated one, so that the engine renders it as any protocol ("{38k,1}
/// (4499,-4472,...,(4495,-4472,...)*)").
std::string rawIrp(const LibraryCode& row) {
  const auto durations = [](const std::vector<int32_t>& us) {
    std::string text;
    for (int32_t d : us) text += (text.empty() ? "" : ",") + std::to_string(d);
    return text;
  };
  const uint32_t hz = row.carrierHz;
  std::string khz = std::to_string(hz / 1000);
  if (hz % 1000 != 0) {
    const std::string fraction = std::to_string(1000 + hz % 1000).substr(1);
    khz += "." + fraction;
  }
  return "{" + khz + "k,1}(" + durations(row.rawFirstUs) + ",(" + durations(row.rawRepeatUs) +
         ")*)";
}

/// How the player names a library code: its brand, then the code as --code
/// takes it ("lg nec1:4:8", "samsung necx2:7.7:2"); a raw row as "BRAND
/// raw", a row without a code by its brand alone.
std::string codeName(const LibraryCode& row) {
  if (row.protocol.empty()) return row.brand;
  if (row.protocol == kRawProtocol) return row.brand + " raw";
  const IrFields& f = row.fields;
  std::string name = row.brand + " " + lowerCase(row.protocol) + ":" + std::to_string(f.device);
  if (f.subdevice >= 0) name += "." + std::to_string(f.subdevice);
  name += ":" + std::to_string(f.function);
  if (f.oem1 >= 0) name += ":m=" + std::to_string(f.oem1) + ":n=" + std::to_string(f.oem2);
  if (f.extra != 0) name += ":e=" + std::to_string(f.extra);
  return name;
}

/// Encodes what the row plays, or says in row->unplayable why it cannot.
void encodeRow(LibraryCode* row) {
  if (row->protocol.empty()) {
    row->unplayable = "no power code of " + row->brand + " is documented";
    return;
  }
  if (row->carrierHz == 0) {
    row->unplayable = "it is sent without a carrier, which an emitter on a sound card cannot do";
    return;
  }
  std::string error;
  const bool encoded = row->protocol == kRawProtocol
                           ? encodeIrpCode(rawIrp(*row), {}, &row->code, &error)
                           : encodeIrCode(row->protocol, row->fields, &row->code, &error);
  if (!encoded) {
    row->unplayable = error;
    row->code = OwnedIrCode();
  }
}

}  // namespace

bool readPowerKey(const std::string& word, PowerKey* key) {
  if (word != "on" && word != "off" && word != "toggle") return false;
  *key = word == "on" ? PowerKey::kOn : word == "off" ? PowerKey::kOff : PowerKey::kToggle;
  return true;
}

std::string familyKey(const std::string& protocol, const IrFields& fields) {
  return lowerCase(protocol) + " " + std::to_string(fields.device) + " " +
         std::to_string(fields.subdevice);
}

bool readLibrary(const std::string& csv, std::vector<LibraryCode>* codes, std::string* error) {
  codes->clear();
  CsvTable table;
  if (!readCsv(csv, &table, error)) return false;
  if (!std::equal(std::begin(kColumns), std::end(kColumns), table.columns.begin(),
                  table.columns.end())) {
    *error = "line 1: the columns are not those of the power code table";
    return false;
  }
  for (size_t r = 0; r < table.rows.size(); ++r) {
    const std::vector<std::string>& cells = table.rows[r];
    const auto fail = [&](const std::string& what) {
      *error = "line " + std::to_string(r + 2) + ": " + what;
      return false;
    };
    LibraryCode row;
    row.brand = cells[kBrand];
    row.protocol = cells[kProtocol];
    row.extra = cells[kExtra];
    row.sources = cells[kSources];
    row.notes = cells[kNotes];
    int32_t carrier = 0;
    int32_t remotes = 0;
    // IrFields' defaults stand for empty fields: device and function 0, the
    // protocol's default subdevice.
    if (!readNumber(cells[kDevice], 65535, &row.fields.device) ||
        !readNumber(cells[kSubdevice], 65535, &row.fields.subdevice) ||
        !readNumber(cells[kFunction], 65535, &row.fields.function) ||
        !readNumber(cells[kCarrier], 1000000, &carrier) ||
        !readNumber(cells[kRemotes], 100000, &remotes) || !readExtraFields(row.extra, &row.fields))
      return fail("a number is not a decimal number in its range");
    row.carrierHz = static_cast<uint32_t>(carrier);
    row.remotes = static_cast<uint32_t>(remotes);
    const std::string& key = cells[kKey];
    if (!readPowerKey(key, &row.key) && !(key.empty() && row.protocol.empty())) {
      return fail("key \"" + key + "\" is not toggle, on or off");
    }
    if (row.brand.empty() || (row.protocol.empty() != (row.remotes == 0)))
      return fail("a brand without a code has no protocol and no remotes, and only such a brand");
    if ((row.protocol == kRawProtocol) != !cells[kRaw].empty() ||
        (!cells[kRaw].empty() && !readRawDurations(cells[kRaw], &row)))
      return fail("a raw row and only a raw row has durations");
    row.name = codeName(row);
    row.family =
        row.protocol == kRawProtocol ? "raw " + row.brand : familyKey(row.protocol, row.fields);
    encodeRow(&row);
    codes->push_back(std::move(row));
  }
  return true;
}

const std::vector<LibraryCode>& libraryCodes() {
  // The text is part of the program and the tests read all of it, so it
  // does not fail here.
  static const std::vector<LibraryCode> codes = [] {
    std::vector<LibraryCode> read;
    std::string error;
    if (!readLibrary(kPowerCodesCsv, &read, &error)) read.clear();
    return read;
  }();
  return codes;
}

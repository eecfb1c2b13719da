// The brand library: the power code tables of data/, embedded in the
// program as text at build time and read here once per kind. Each row is
// one documented power code of a brand, as the public IR collections give
// it; the files' own headers name the columns.

#include "library/power_library.h"
#include "library/per_kind.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

#include "library/csv_table.h"
#include "synth/decimal.h"
#include "synth/irp_protocols.h"
#include "synth/name_match.h"

extern const char kPowerCodesCsv[];
extern const char kPowerCodesTvAdditionsCsv[];
extern const char kPowerCodesAudioCsv[];
extern const char kPowerCodesProjectorCsv[];
extern const char kPowerCodesBoxCsv[];

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

}  // namespace

bool readExtraFields(const std::string& words, IrFields* fields, std::string* unsupported) {
  size_t at = 0;
  while (at < words.size()) {
    const size_t end = std::min(words.find_first_of(" ;", at), words.size());
    const std::string word = words.substr(at, end - at);
    at = end + 1;
    const size_t equals = word.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == word.size()) continue;
    const std::string name = word.substr(0, equals);
    // The protocol table gives IrFields' names to the fields some
    // protocols call otherwise: X, PairID and U are E there, Pioneer-2Part's
    // D0 and F0 are M and N.
    int32_t* target = name == "M" || name == "D0"   ? &fields->oem1
                      : name == "N" || name == "F0" ? &fields->oem2
                      : name == "E" || name == "X" || name == "PairID" || name == "U"
                          ? &fields->extra
                      : name == "T" ? &fields->toggle
                                    : nullptr;
    if (target && !readCsvNumber(word.substr(equals + 1), 255, target)) return false;
    const bool field =
        std::isupper(static_cast<unsigned char>(name[0])) != 0 &&
        std::all_of(name.begin(), name.end(),
                    [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }) &&
        name != "F" && name != "D" && name != "S" && name != "Y";
    if (!target && field && unsupported != nullptr && unsupported->empty()) *unsupported = name;
  }
  return true;
}

namespace {

/// Reads signed durations in µs: the first frame, " | ", the repeat frame.
bool readRawDurations(const std::string& text, LibraryCode* row) {
  std::vector<std::vector<int32_t>> frames;
  if (!readRawFrames(text, &frames) || frames.size() != 2) return false;
  row->rawFirstUs = std::move(frames[0]);
  row->rawRepeatUs = std::move(frames[1]);
  return true;
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
  return row.brand + " " + codeText(row.protocol, row.fields);
}

/// Whether encodeIrCode knows the protocol.
bool knownProtocol(const std::string& protocol) {
  const std::vector<std::string>& names = irProtocolNames();
  return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
    return sameNameIgnoringCase(protocol, name.c_str());
  });
}

/// Encodes what the row plays, or says in row->unplayable why it cannot.
void encodeRow(LibraryCode* row) {
  if (row->protocol.empty()) {
    row->unplayable = "no power code of " + row->brand + " is documented";
    return;
  }
  if (row->carrierHz == 0) {
    row->unplayable = kNoCarrierReason;
    return;
  }
  if (row->protocol != kRawProtocol && !knownProtocol(row->protocol)) {
    row->unplayable = "its protocol, " + row->protocol + ", is not one irwav sends";
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

/// Whether a second press confirms the row's power-off: projectors' toggle
/// and off codes are offered one; the notes say where the sources show it.
ConfirmPress confirmOf(const LibraryCode& row) {
  if (row.kind != DeviceKind::kProjector || row.key == PowerKey::kOn || row.protocol.empty())
    return ConfirmPress::kNone;
  return row.notes.find("Second press: the sources say") != std::string::npos
             ? ConfirmPress::kDocumented
             : ConfirmPress::kOffered;
}

}  // namespace

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
std::string missingFieldReason(const std::string& protocol, const std::string& words) {
  const std::vector<IrpProtocolEntry>& entries = irpProtocols();
  const auto entry = std::find_if(entries.begin(), entries.end(), [&](const IrpProtocolEntry& e) {
    return sameNameIgnoringCase(protocol, e.name.c_str());
  });
  if (entry == entries.end()) return "";
  const IrpParameter* e = entry->irp.parameter("E");
  if (e == nullptr || e->hasDefault) return "";
  size_t at = 0;
  while (at < words.size()) {
    const size_t end = std::min(words.find_first_of(" ;", at), words.size());
    const std::string word = words.substr(at, end - at);
    at = end + 1;
    for (const char* name : {"E=", "X=", "PairID=", "U="}) {
      if (word.compare(0, std::strlen(name), name) == 0) return "";
    }
  }
  return "its sources do not give every field " + protocol + " sends";
}

std::string unsupportedFieldReason(const std::string& protocol, const std::string& field) {
  return "its field " + field + " is one irwav does not set for " + protocol;
}

std::string codeText(const std::string& protocol, const IrFields& f) {
  std::string text = lowerCase(protocol) + ":" + std::to_string(f.device);
  if (f.subdevice >= 0) text += "." + std::to_string(f.subdevice);
  text += ":" + std::to_string(f.function);
  if (f.oem1 >= 0) text += ":m=" + std::to_string(f.oem1);
  if (f.oem2 >= 0) text += ":n=" + std::to_string(f.oem2);
  if (f.extra != 0) text += ":e=" + std::to_string(f.extra);
  return text;
}

bool readRawFrames(const std::string& text, std::vector<std::vector<int32_t>>* frames) {
  frames->assign(1, {});
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = std::min(text.find(' ', at), text.size());
    const std::string word = text.substr(at, end - at);
    at = end + 1;
    if (word.empty()) continue;
    if (word == "|") {
      if (frames->back().empty()) return false;
      frames->emplace_back();
      continue;
    }
    const bool space = word[0] == '-';
    const size_t digits = space || word[0] == '+' ? 1 : 0;
    int32_t value = 0;
    if (word.size() == digits || !readCsvNumber(word.substr(digits), 10000000, &value))
      return false;
    // A duration of 0 (a list's closing entry) is no time at all.
    if (value > 0) frames->back().push_back(space ? -value : value);
  }
  return !frames->back().empty();
}

bool readPowerKey(const std::string& word, PowerKey* key) {
  if (word != "on" && word != "off" && word != "toggle") return false;
  *key = word == "on" ? PowerKey::kOn : word == "off" ? PowerKey::kOff : PowerKey::kToggle;
  return true;
}

std::string familyKey(const std::string& protocol, const IrFields& fields) {
  return lowerCase(protocol) + " " + std::to_string(fields.device) + " " +
         std::to_string(fields.subdevice);
}

bool readLibrary(std::string_view csv, std::vector<LibraryCode>* codes, std::string* error,
                 DeviceKind kind) {
  codes->clear();
  const auto take = [&](size_t r, std::vector<std::string>& cells, std::string* fault) {
    const auto fail = [&](const std::string& what) {
      *fault = csvRowFault(r, what);
      return false;
    };
    LibraryCode row;
    row.kind = kind;
    row.brand = cells[kBrand];
    row.protocol = cells[kProtocol];
    row.extra = cells[kExtra];
    row.sources = cells[kSources];
    row.notes = cells[kNotes];
    int32_t carrier = 0;
    int32_t remotes = 0;
    std::string unsupported;
    // IrFields' defaults stand for empty fields: device and function 0, the
    // protocol's default subdevice.
    if (!readCsvNumber(cells[kDevice], 65535, &row.fields.device) ||
        !readCsvNumber(cells[kSubdevice], 65535, &row.fields.subdevice) ||
        !readCsvNumber(cells[kFunction], 65535, &row.fields.function) ||
        !readCsvNumber(cells[kCarrier], 1000000, &carrier) ||
        !readCsvNumber(cells[kRemotes], 100000, &remotes) ||
        !readExtraFields(row.extra, &row.fields, &unsupported))
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
    row.confirm = confirmOf(row);
    encodeRow(&row);
    const std::string missing = row.protocol.empty() || row.protocol == kRawProtocol
                                    ? ""
                                    : missingFieldReason(row.protocol, row.extra);
    if ((!unsupported.empty() || !missing.empty()) && row.unplayable.empty()) {
      row.unplayable =
          !missing.empty() ? missing : unsupportedFieldReason(row.protocol, unsupported);
      row.code = OwnedIrCode();
    }
    codes->push_back(std::move(row));
    return true;
  };
  return readCsvRows(csv, kColumns, std::size(kColumns), "the power code table", take, error);
}

bool applyLibraryAdditions(const std::vector<LibraryCode>& additions,
                           std::vector<LibraryCode>* codes, std::string* error) {
  for (const LibraryCode& added : additions) {
    const auto sameBrand = [&](const LibraryCode& row) { return row.brand == added.brand; };
    if (added.notes.compare(0, 10, "CORRECTION") == 0) {
      const auto replaced = std::find_if(codes->begin(), codes->end(), [&](const LibraryCode& row) {
        return sameBrand(row) && row.fields.device == added.fields.device &&
               row.fields.subdevice == added.fields.subdevice &&
               row.fields.function == added.fields.function;
      });
      if (replaced == codes->end()) {
        *error = "the correction " + added.name + " finds no row to replace";
        return false;
      }
      *replaced = added;
      continue;
    }
    const auto last = std::find_if(codes->rbegin(), codes->rend(), sameBrand);
    codes->insert(last.base(), added);
  }
  return true;
}

namespace {

std::vector<LibraryCode> loadLibrary(const char* text, DeviceKind kind) {
  // The texts are part of the program and the tests read all of them, so
  // they do not fail here.
  std::vector<LibraryCode> read;
  std::string error;
  if (!readLibrary(text, &read, &error, kind)) read.clear();
  return read;
}

/// The power codes of `kind` as its data file gives them; TVs' with the
/// corrections of their additions file applied.
std::vector<LibraryCode> readKindLibrary(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kAudio:
      return loadLibrary(kPowerCodesAudioCsv, kind);
    case DeviceKind::kProjector:
      return loadLibrary(kPowerCodesProjectorCsv, kind);
    case DeviceKind::kBox:
      return loadLibrary(kPowerCodesBoxCsv, kind);
    case DeviceKind::kTv:
      break;
  }
  std::vector<LibraryCode> read = loadLibrary(kPowerCodesCsv, DeviceKind::kTv);
  std::string error;
  if (!applyLibraryAdditions(loadLibrary(kPowerCodesTvAdditionsCsv, DeviceKind::kTv), &read,
                             &error))
    read.clear();
  return read;
}

}  // namespace

const std::vector<LibraryCode>& libraryCodes(DeviceKind kind) {
  // Each kind is read when first asked for.
  static PerKind<std::vector<LibraryCode>> libraries(readKindLibrary);
  return libraries.get(kind);
}

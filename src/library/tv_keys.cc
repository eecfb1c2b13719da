// The key tables: data/tv-keys.csv and data/keys-KIND.csv, which the
// build embeds line by line, each read once when first asked for.

#include "library/tv_keys.h"
#include "library/per_kind.h"

#include <cstddef>
#include <sstream>

#include "library/csv_table.h"
#include "library/power_library.h"
#include "synth/decimal.h"
#include "synth/name_match.h"

extern const char* const kTvKeysCsv[];
extern const char* const kAudioKeysCsv[];
extern const char* const kProjectorKeysCsv[];
extern const char* const kBoxKeysCsv[];

namespace {

struct KeyTable {
  std::vector<TvKeyFamily> families;
  std::vector<std::string> faults;
};

bool readCount(const std::string& text, int32_t* value) {
  uint64_t number = 0;
  if (!readDecimal(text, &number) || number > INT32_MAX) return false;
  *value = static_cast<int32_t>(number);
  return true;
}

/// A field that may be blank (-1) or a number.
bool readOptional(const std::string& text, int32_t* value) {
  if (text.empty()) {
    *value = -1;
    return true;
  }
  return readCount(text, value);
}

/// Reads "sent as PROTOCOL D=.. [S=[..]] F=.. [EXTRA...]": the code, and
/// what follows F as its extra fields in words.
bool readSentAs(const std::string& text, std::string* protocol, IrFields* fields,
                std::string* extra) {
  std::istringstream words(text);
  std::string sent;
  std::string as;
  if (!(words >> sent >> as >> *protocol) || sent != "sent" || as != "as") return false;
  bool haveFunction = false;
  for (std::string word; !haveFunction && words >> word;) {
    int32_t* target = word.compare(0, 2, "D=") == 0   ? &fields->device
                      : word.compare(0, 2, "S=") == 0 ? &fields->subdevice
                      : word.compare(0, 2, "F=") == 0 ? &fields->function
                                                      : nullptr;
    if (target == nullptr) return false;
    // An empty S is the protocol's default.
    if (word == "S=") continue;
    if (!readCount(word.substr(2), target)) return false;
    haveFunction = target == &fields->function;
  }
  std::getline(words, *extra);
  return haveFunction;
}

/// Reads "N of the M family files have this key; ...".
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
bool readNotes(const std::string& notes, uint32_t* withKey, uint32_t* files) {
  std::istringstream words(notes);
  std::string of;
  std::string the;
  int64_t n = 0;
  int64_t m = 0;
  if (!(words >> n >> of >> the >> m) || of != "of" || the != "the" || n < 0 || m < n) return false;
  *withKey = static_cast<uint32_t>(n);
  *files = static_cast<uint32_t>(m);
  return true;
}

KeyTable loadTable(const char* const* lines, DeviceKind kind) {
  KeyTable table;
  CsvTable csv;
  std::string error;
  std::string text;
  for (const char* const* line = lines; *line != nullptr; ++line) text += *line + std::string("\n");
  if (!readCsv(text, &csv, &error)) {
    table.faults.push_back(error);
    return table;
  }
  const char* const kColumns[] = {"protocol", "device",       "subdevice",        "key",
                                  "function", "extra fields", "remotes_agreeing", "notes"};
  size_t at[8];
  for (size_t i = 0; i < 8; ++i) {
    at[i] = csv.column(kColumns[i]);
    if (at[i] == csv.columns.size()) {
      table.faults.push_back(std::string("no column \"") + kColumns[i] + "\"");
      return table;
    }
  }
  for (size_t r = 0; r < csv.rows.size(); ++r) {
    const std::vector<std::string>& row = csv.rows[r];
    TvKeyFamily family{row[at[0]], 0, -1, 0, {}, kind};
    TvKeyCode code{row[at[3]], -1, row[at[5]], "", IrFields(), 0, 0};
    int32_t remotes = 0;
    std::string sentAsExtra;
    // A protocol without a device (Bose) leaves it empty.
    const bool read = (row[at[1]].empty() || readCount(row[at[1]], &family.device)) &&
                      readOptional(row[at[2]], &family.subdevice) &&
                      readOptional(row[at[4]], &code.function) && readCount(row[at[6]], &remotes) &&
                      readNotes(row[at[7]], &code.filesWithKey, &family.files) &&
                      (code.function >= 0 || readSentAs(code.extra, &code.sentAsProtocol,
                                                        &code.sentAsFields, &sentAsExtra));
    if (!read || code.key.empty()) {
      table.faults.push_back("row " + std::to_string(r + 2) + " cannot be read");
      continue;
    }
    code.remotes = static_cast<uint32_t>(remotes);
    if (table.families.empty() || table.families.back().protocol != family.protocol ||
        table.families.back().device != family.device ||
        table.families.back().subdevice != family.subdevice) {
      table.families.push_back(family);
    }
    table.families.back().codes.push_back(code);
  }
  return table;
}

/// The key table of `kind` from its data file.
KeyTable readKindTable(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kAudio:
      return loadTable(kAudioKeysCsv, kind);
    case DeviceKind::kProjector:
      return loadTable(kProjectorKeysCsv, kind);
    case DeviceKind::kBox:
      return loadTable(kBoxKeysCsv, kind);
    case DeviceKind::kTv:
      break;
  }
  return loadTable(kTvKeysCsv, DeviceKind::kTv);
}

const KeyTable& keyTable(DeviceKind kind) {
  static PerKind<KeyTable> tables(readKindTable);
  return tables.get(kind);
}

/// The extra fields of a code in words: the family's, or those after the
/// code it is sent as.
std::string extraWords(const TvKeyCode& code) {
  if (code.function >= 0) return code.extra;
  const size_t function = code.extra.find(" F=");
  const size_t after =
      function == std::string::npos ? function : code.extra.find(' ', function + 1);
  return after == std::string::npos ? "" : code.extra.substr(after + 1);
}

/// Whether the subdevices name the same code: equal, or one the default
/// that the other spells out (the protocol encodes both alike).
bool sameSubdevice(const std::string& protocol, const IrFields& a, int32_t subdevice) {
  if (a.subdevice == subdevice) return true;
  if (a.subdevice != -1 && subdevice != -1) return false;
  IrFields b = a;
  b.subdevice = subdevice;
  OwnedIrCode first;
  OwnedIrCode second;
  std::string error;
  return encodeIrCode(protocol, a, &first, &error) && encodeIrCode(protocol, b, &second, &error) &&
         first.timings == second.timings;
}

}  // namespace

std::string TvKeyFamily::name() const {
  return protocol + ":" + std::to_string(device) +
         (subdevice == -1 ? "" : "." + std::to_string(subdevice));
}

const std::vector<TvKeyFamily>& keyFamilies(DeviceKind kind) { return keyTable(kind).families; }

const std::vector<TvKeyFamily>& tvKeyFamilies() { return keyFamilies(DeviceKind::kTv); }

const std::vector<std::string>& keyTableFaults(DeviceKind kind) { return keyTable(kind).faults; }

const std::vector<std::string>& tvKeyTableFaults() { return keyTableFaults(DeviceKind::kTv); }

const TvKeyFamily* findKeyFamily(const std::string& protocol, const IrFields& fields,
                                 DeviceKind preferred) {
  const auto findIn = [&](DeviceKind kind) -> const TvKeyFamily* {
    for (const TvKeyFamily& family : keyFamilies(kind)) {
      if (!sameNameIgnoringCase(protocol, family.protocol.c_str()) ||
          fields.device != family.device)
        continue;
      IrFields probe;
      probe.device = fields.device;
      probe.subdevice = fields.subdevice;
      if (sameSubdevice(family.protocol, probe, family.subdevice)) return &family;
    }
    return nullptr;
  };
  if (const TvKeyFamily* found = findIn(preferred)) return found;
  for (DeviceKind kind : kDeviceKinds) {
    if (kind == preferred) continue;
    if (const TvKeyFamily* found = findIn(kind)) return found;
  }
  return nullptr;
}

const TvKeyCode* findKey(const TvKeyFamily& family, const std::string& key) {
  for (const TvKeyCode& code : family.codes) {
    if (sameNameIgnoringCase(key, code.key.c_str())) return &code;
  }
  return nullptr;
}

bool keyCodeFields(const TvKeyFamily& family, const TvKeyCode& code, std::string* protocol,
                   IrFields* fields, std::string* why) {
  if (code.function < 0) {
    *protocol = code.sentAsProtocol;
    fields->device = code.sentAsFields.device;
    fields->subdevice = code.sentAsFields.subdevice;
    fields->function = code.sentAsFields.function;
  } else {
    *protocol = family.protocol;
    fields->device = family.device;
    fields->subdevice = family.subdevice;
    fields->function = code.function;
  }
  std::string unsupported;
  if (!readExtraFields(extraWords(code), fields, &unsupported)) {
    *why = "its extra fields \"" + extraWords(code) + "\" are out of range";
    return false;
  }
  if (!unsupported.empty()) {
    *why = unsupportedFieldReason(*protocol, unsupported);
    return false;
  }
  *why = missingFieldReason(*protocol, extraWords(code));
  return why->empty();
}

bool encodeKeyCode(const TvKeyFamily& family, const TvKeyCode& code, OwnedIrCode* encoded,
                   std::string* why) {
  std::string protocol;
  IrFields fields;
  if (!keyCodeFields(family, code, &protocol, &fields, why)) return false;
  if (!encodeIrCode(protocol, fields, encoded, why)) {
    if (why->compare(0, 16, "unknown protocol") == 0)
      *why = "its protocol, " + protocol + ", is not one irwav sends";
    return false;
  }
  return true;
}

std::string keyCodeText(const TvKeyFamily& family, const TvKeyCode& code) {
  std::string protocol;
  IrFields fields;
  std::string why;
  keyCodeFields(family, code, &protocol, &fields, &why);
  return codeText(protocol, fields);
}

std::string keyNames(const TvKeyFamily& family) {
  std::string names;
  for (size_t i = 0; i < family.codes.size(); ++i) {
    if (i > 0 && family.codes[i].key == family.codes[i - 1].key) continue;
    names += (names.empty() ? "" : " ") + family.codes[i].key;
  }
  return names;
}

std::string keyFamilyNames(DeviceKind kind) {
  std::string names;
  for (const TvKeyFamily& family : keyFamilies(kind))
    names += (names.empty() ? "" : " ") + family.name();
  return names;
}

// The functions the web page calls: the list of codes, and WAV files that
// the player writes into memory (the browser build's files) for the page to
// play or save. The page makes one call at a time; each result stays valid
// until the next call. The build exports each of them by name
// (src/web/CMakeLists.txt).

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch_driver.h"
#include "app/play_size.h"
#include "app/player.h"
#include "library/brands.h"
#include "library/device_kind.h"
#include "library/ir_codes.h"
#include "library/key_codes.h"
#include "library/play_item.h"
#include "library/power_choice.h"
#include "library/power_library.h"
#include "output/wav_header.h"
#include "output/wave_sink.h"
#include "platform/memory_files.h"
#include "synth/code_limits.h"
#include "synth/decimal.h"
#include "synth/ir_protocol.h"
#include "synth/renderer.h"

namespace {

constexpr char kOutputName[] = "irwav.wav";
constexpr char kMessagePrefix[] = "irwav-play: ";
// The format of every file: 16-bit stereo, as the player writes it.
constexpr uint16_t kBytesPerSample = 2;
constexpr uint16_t kChannels = 2;

/// The page's list: for each kind, every brand's codes in the order
/// --brand plays them, then the codes its sweep plays that no brand has
/// (brand "": the universal lists' entries).
struct ListedCode {
  DeviceKind kind;
  std::string brand;
  PlayItem item;
};

std::vector<ListedCode> listed;
std::string codesJson;
std::string featuresJson;
std::string sweepJson;
std::string familiesJson;
std::string keysJson;
std::string brandsJson;
std::vector<uint8_t> wavBytes;
std::string errorText;
std::string reportText;

void appendJsonString(std::string* out, const std::string& text) {
  *out += '"';
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      *out += "\\u00";
      *out += kHex[(c >> 4) & 0xF];
      *out += kHex[c & 0xF];
      continue;
    }
    if (c == '"' || c == '\\') *out += '\\';
    *out += c;
  }
  *out += '"';
}

/// The listed code of `kind` named `name`, or listed.end().
std::vector<ListedCode>::const_iterator findListedNamed(DeviceKind kind, const std::string& name) {
  return std::find_if(listed.begin(), listed.end(), [&](const ListedCode& code) {
    return code.kind == kind && code.item.name == name;
  });
}

void listCodes() {
  if (!listed.empty()) return;
  for (DeviceKind kind : kDeviceKinds) {
    for (const std::string& brand : brandNames(kind)) {
      std::vector<PlayItem> items;
      appendBrandCodes(brand, &items, PowerKey::kToggle, kind);
      std::transform(items.begin(), items.end(), std::back_inserter(listed),
                     [&brand, kind](PlayItem& item) {
                       return ListedCode{kind, brand, std::move(item)};
                     });
    }
    for (SweepItem& sweep : sweepItems(PowerKey::kToggle, kind)) {
      if (findListedNamed(kind, sweep.item.name) == listed.end())
        listed.push_back(ListedCode{kind, "", std::move(sweep.item)});
    }
  }
}

/// Whether switching a device that `row` switched off takes a second
/// press: documented where a row of the same family says its sources show
/// it (a discrete off code of the family may say so while its toggle does
/// not), else what the row says.
ConfirmPress familyConfirmOf(const LibraryCode& row) {
  if (row.confirm == ConfirmPress::kNone) return ConfirmPress::kNone;
  const std::vector<LibraryCode>& rows = libraryCodes(row.kind);
  const bool documented = std::any_of(rows.begin(), rows.end(), [&row](const LibraryCode& other) {
    return other.family == row.family && other.confirm == ConfirmPress::kDocumented;
  });
  return documented ? ConfirmPress::kDocumented : row.confirm;
}

/// Whether switching the listed code's device off takes a second press,
/// as the page says it: "documented", "offered" or "".
const char* confirmWord(const ListedCode& code) {
  const LibraryCode* row = code.item.libraryRow;
  const ConfirmPress confirm = row ? familyConfirmOf(*row) : code.item.confirm;
  if (confirm == ConfirmPress::kDocumented) return "documented";
  if (confirm == ConfirmPress::kOffered) return "offered";
  return "";
}

/// The kind that the page's word `word` names; TVs for a null or unknown
/// word.
DeviceKind kindOf(const char* word) {
  DeviceKind kind = DeviceKind::kTv;
  if (word) readDeviceKind(word, &kind);
  return kind;
}

/// A code family as `--code` writes it (PROTOCOL:DEVICE[.SUBDEVICE], the
/// protocol in lower case): "nec1:4", "necx2:7.7"; "" for a code of no
/// protocol.
std::string familyName(const std::string& protocol, int32_t device, int32_t subdevice) {
  if (protocol.empty() || protocol == kRawProtocol) return "";
  std::string name;
  std::transform(protocol.begin(), protocol.end(), std::back_inserter(name),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  name += ":" + std::to_string(device);
  if (subdevice >= 0) name += "." + std::to_string(subdevice);
  return name;
}

/// The family of a listed code: that of the code a built-in code carries,
/// of its library row, or of a universal list's entry's decoded fields.
std::string familyOf(const ListedCode& code) {
  const PlayItem& item = code.item;
  if (item.tableIndex != kNotInTable) {
    const IrCodeOrigin& origin = kIrCodeOrigins[item.tableIndex];
    return familyName(origin.protocol, origin.device, origin.subdevice);
  }
  if (const LibraryCode* row = item.libraryRow)
    return familyName(row->protocol, row->fields.device, row->fields.subdevice);
  // A universal list's entry plays as stored; its decoded fields name its
  // family, whose keys the remote then offers.
  if (const UniversalEntry* entry = item.universalEntry)
    return familyName(entry->protocol, entry->fields.device, entry->fields.subdevice);
  return "";
}

/// The listed code that the decimal number `text` names.
bool findListed(const std::string& text, size_t* index) {
  uint64_t value = 0;
  if (!readDecimal(text, &value) || value >= listed.size()) return false;
  *index = static_cast<size_t>(value);
  return true;
}

/// Splits text into lines.
std::vector<std::string> splitLines(const char* text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

/// What the player said on standard error, and the skip lines it printed,
/// as the page shows them: without the program's name.
std::string messageOf(const std::string& out, const std::string& err) {
  std::string message;
  for (const std::string& line : splitLines(out.c_str())) {
    if (line.find(" skipped - ") != std::string::npos) message += line + "\n";
  }
  for (std::string line : splitLines(err.c_str())) {
    if (line.compare(0, sizeof kMessagePrefix - 1, kMessagePrefix) == 0)
      line.erase(0, sizeof kMessagePrefix - 1);
    message += line + "\n";
  }
  while (!message.empty() && message.back() == '\n') message.pop_back();
  return message;
}

/// The player's options for the page's arguments `args` (one a line) and
/// the listed codes `indices` (decimal numbers, one a line), as irwavRender
/// takes them. Returns false with the message in errorText.
bool parseRequest(const char* args, const char* indices, PlayerOptions* options) {
  std::vector<std::string> arguments = splitLines(args);
  arguments.insert(arguments.end(), {"--output", kOutputName});
  if (!parsePlayerArgs(arguments, options, &errorText)) return false;
  // The page passes values as --name=VALUE, so nothing a user types turns
  // into one of these; they write no file.
  if (options->help || options->version || options->list || options->brands) {
    errorText = "the page renders codes only";
    return false;
  }
  listCodes();
  for (const std::string& line : splitLines(indices)) {
    size_t index;
    if (!findListed(line, &index)) {
      errorText = "no code number \"" + line + "\"";
      return false;
    }
    options->codes.push_back(listed[index].item);
  }
  if (options->codes.empty()) {
    errorText = "no code to render";
    return false;
  }
  return true;
}

}  // namespace

extern "C" {

/// The codes the page lists, as a JSON array of objects {"index", "kind",
/// "name", "brand", "carrier", "family", "confirm"}: for each kind, every
/// brand in turn, each with the codes that --kind KIND --brand plays for
/// it, in that order, then the codes of the kind's sweep that no brand has
/// (brand ""). "confirm" says whether a second press confirms the code's
/// power-off (confirmWord).
const char* irwavCodes() {
  if (!codesJson.empty()) return codesJson.c_str();
  listCodes();
  codesJson = "[";
  for (size_t i = 0; i < listed.size(); ++i) {
    if (i) codesJson += ',';
    codesJson += "{\"index\":" + std::to_string(i) + ",\"kind\":\"" + kindName(listed[i].kind) +
                 "\",\"name\":";
    appendJsonString(&codesJson, listed[i].item.name);
    codesJson += ",\"brand\":";
    appendJsonString(&codesJson, listed[i].brand);
    codesJson += ",\"carrier\":" + std::to_string(listed[i].item.code().carrierHz);
    codesJson += ",\"family\":";
    appendJsonString(&codesJson, familyOf(listed[i]));
    codesJson += ",\"confirm\":\"" + std::string(confirmWord(listed[i])) + "\"}";
  }
  codesJson += "]";
  return codesJson.c_str();
}

/// Every brand of the library, as a JSON array of objects {"kind",
/// "name", "codes"}: the number of codes `--kind KIND --brand NAME` plays
/// (0 for a brand no code is documented for), kind by kind in the order
/// --brands lists them.
const char* irwavBrands() {
  if (!brandsJson.empty()) return brandsJson.c_str();
  brandsJson = "[";
  for (DeviceKind kind : kDeviceKinds) {
    for (const std::string& brand : brandNames(kind)) {
      std::vector<PlayItem> items;
      appendBrandCodes(brand, &items, PowerKey::kToggle, kind);
      if (brandsJson.size() > 1) brandsJson += ',';
      brandsJson += "{\"kind\":\"" + std::string(kindName(kind)) + "\",\"name\":";
      appendJsonString(&brandsJson, brand);
      brandsJson += ",\"codes\":" + std::to_string(items.size()) + "}";
    }
  }
  brandsJson += "]";
  return brandsJson.c_str();
}

/// What "Play everything" plays for a device of `kind` ("tv", "audio",
/// "projector", "box"; TVs for anything else) (`--kind KIND --brand all
/// --power POWER`, POWER "on", "off" or anything else for the toggles), in
/// order, as a JSON array of objects {"name", "index", "carrier",
/// "remotes", "documented"}: "index" is the code's among irwavCodes(), -1
/// when it is not listed; "remotes" is how many remote files send the
/// code, 0 for a best guess or a universal list's entry.
const char* irwavSweep(const char* power, const char* kind) {
  PowerKey key = PowerKey::kToggle;
  if (power) readPowerKey(power, &key);  // anything else: the toggles
  const DeviceKind deviceKind = kindOf(kind);
  listCodes();
  sweepJson = "[";
  for (const SweepItem& sweep : sweepItems(key, deviceKind)) {
    const auto it = findListedNamed(deviceKind, sweep.item.name);
    const long index = it == listed.end() ? -1 : static_cast<long>(it - listed.begin());
    if (sweepJson.size() > 1) sweepJson += ',';
    sweepJson += "{\"name\":";
    appendJsonString(&sweepJson, sweep.item.name);
    sweepJson += ",\"index\":" + std::to_string(index) +
                 ",\"carrier\":" + std::to_string(sweep.item.code().carrierHz) +
                 ",\"remotes\":" + std::to_string(sweep.remotes) +
                 ",\"documented\":" + (sweep.item.documented ? "true" : "false") + "}";
  }
  sweepJson += "]";
  return sweepJson.c_str();
}

/// What the player offers, as a JSON object: "defaultGapMs", "maxGapMs";
/// "sweepGapMs", the gap of "Play everything"; "rates", the sample rates it
/// renders at; "maxCarrier",
/// the highest carrier at each sample rate it takes; "protocols", the
/// protocol names a code of the user's may use.
const char* irwavFeatures() {
  if (!featuresJson.empty()) return featuresJson.c_str();
  featuresJson = "{\"defaultGapMs\":" + std::to_string(kDefaultGapMs) +
                 ",\"sweepGapMs\":" + std::to_string(kSweepGapMs) +
                 ",\"maxGapMs\":" + std::to_string(kMaxGapMs) + ",\"rates\":[";
  for (uint32_t rate : kPlayerRates) {
    if (rate != kPlayerRates[0]) featuresJson += ',';
    featuresJson += std::to_string(rate);
  }
  featuresJson += "],\"maxCarrier\":{";
  for (uint32_t rate : kPlayerRates) {
    if (rate != kPlayerRates[0]) featuresJson += ',';
    featuresJson += "\"" + std::to_string(rate) + "\":" + std::to_string(maxCarrierFor(rate));
  }
  featuresJson += "},\"protocols\":[";
  for (const std::string& name : irProtocolNames()) {
    if (name != irProtocolNames().front()) featuresJson += ',';
    appendJsonString(&featuresJson, name);
  }
  featuresJson += "]}";
  return featuresJson.c_str();
}

/// Plans the WAV file that irwavRender(args, indices) would write, without
/// rendering it: its size in bytes (a double, as it may pass 4 GiB), or -1
/// when the player would refuse the arguments (irwavError() then holds its
/// message, or why a code is out of bounds: see checkCodeLimits). The
/// 44-byte header included; codes the rate cannot carry count nothing, as
/// the player passes them over.
double irwavPlan(const char* args, const char* indices) {
  errorText.clear();
  PlayerOptions options;
  if (!parseRequest(args, indices, &options)) return -1;
  // A code out of bounds (a carrier no receiver takes, minutes long) is
  // refused before its frames are counted, which for such a code takes as
  // long as rendering it.
  const bool outOfBounds =
      std::any_of(options.codes.begin(), options.codes.end(), [](const PlayItem& item) {
        return item.tableIndex == kNotInTable && !checkCodeLimits(item.built, &errorText);
      });
  if (outOfBounds) return -1;
  // The player's own count, with its gaps (the sweep's between families).
  WaveSink sink;
  sink.sampleRate = options.sampleRate;
  return static_cast<double>(kWavHeaderBytes) + static_cast<double>(playedDataBytes(options, sink));
}

/// Writes one WAV file in memory as `irwav-play --output` does for the
/// player's arguments `args` (one a line), followed by the listed codes
/// whose indices `indices` gives (decimal numbers, one a line). Returns the
/// player's exit status; when it is not 0, irwavError() holds its message.
int irwavRender(const char* args, const char* indices) {
  wavBytes.clear();
  wavBytes.shrink_to_fit();
  errorText.clear();
  reportText.clear();
  PlayerOptions options;
  if (!parseRequest(args, indices, &options)) return 2;

  std::ostringstream out;
  std::ostringstream err;
  WaveSink sink;
  sink.setFormat(kBytesPerSample, kChannels, options.sampleRate);
  const int status = playCodes(options, sink, out, err, nullptr);
  reportText = out.str();
  if (status != 0) {
    errorText = messageOf(out.str(), err.str());
    return status;
  }
  const std::wstring name(kOutputName, kOutputName + sizeof kOutputName - 1);
  if (!takeMemoryFile(name.c_str(), &wavBytes)) {
    errorText = "the player wrote no file";
    return 1;
  }
  return 0;
}

/// Gives back the memory of the last WAV file once the page has copied it.
void irwavRelease() {
  wavBytes.clear();
  wavBytes.shrink_to_fit();
}

/// The code families that have keys, the most common first, as a JSON
/// array of objects {"family" (as --code and --keys write it, e.g.
/// "NECx2:7.7"), "protocol", "device", "subdevice" (-1: the protocol's
/// default), "files" (the remote files the keys come from)}.
const char* irwavKeyFamilies() {
  if (!familiesJson.empty()) return familiesJson.c_str();
  familiesJson = "[";
  for (const TvKeyFamily& family : tvKeyFamilies()) {
    if (familiesJson.size() > 1) familiesJson += ',';
    familiesJson += "{\"family\":";
    appendJsonString(&familiesJson, family.name());
    familiesJson += ",\"protocol\":";
    appendJsonString(&familiesJson, family.protocol);
    familiesJson += ",\"device\":" + std::to_string(family.device) +
                    ",\"subdevice\":" + std::to_string(family.subdevice) +
                    ",\"files\":" + std::to_string(family.files) + "}";
  }
  familiesJson += "]";
  return familiesJson.c_str();
}

/// The keys of `family` ("necx2:7.7", as --keys takes it) of a device of
/// `kind` (as irwavSweep takes it: a family may be of several kinds, each
/// with its keys), as a JSON array
/// of objects {"key", "code" (the function, or "sent as ..."), "remotes"
/// (files that send this code), "files" (files with the key)}, one for each
/// key, the code that `--kind KIND --code FAMILY:KEY` plays. The page plays
/// a key as irwavRender("--kind=KIND\n--code=FAMILY:KEY\n--hold=MS", "")
/// does. Null, with the reason in irwavError(), for a bad family or one
/// without keys.
const char* irwavKeys(const char* family, const char* kind) {
  errorText.clear();
  const DeviceKind deviceKind = kindOf(kind);
  const TvKeyFamily* found = findFamilyNamed(family, &errorText, deviceKind);
  if (found == nullptr) return nullptr;
  // Another kind's keys are not this device's.
  const std::vector<TvKeyFamily>& ofKind = keyFamilies(deviceKind);
  if (std::none_of(ofKind.begin(), ofKind.end(),
                   [found](const TvKeyFamily& f) { return &f == found; })) {
    errorText = std::string("no key table of a ") + kindNoun(deviceKind) + " for " + family;
    return nullptr;
  }
  keysJson = "[";
  for (size_t i = 0; i < found->codes.size(); ++i) {
    const TvKeyCode& code = found->codes[i];
    if (i > 0 && found->codes[i - 1].key == code.key) continue;
    if (keysJson.size() > 1) keysJson += ',';
    keysJson += "{\"key\":";
    appendJsonString(&keysJson, code.key);
    keysJson += ",\"code\":";
    appendJsonString(&keysJson, code.function < 0 ? code.extra : std::to_string(code.function));
    keysJson += ",\"remotes\":" + std::to_string(code.remotes) +
                ",\"files\":" + std::to_string(code.filesWithKey) + "}";
  }
  keysJson += "]";
  return keysJson.c_str();
}

/// The WAV file of the last successful irwavRender.
const uint8_t* irwavWavData() { return wavBytes.data(); }
uint32_t irwavWavSize() { return static_cast<uint32_t>(wavBytes.size()); }

/// Why the last irwavRender failed.
const char* irwavError() { return errorText.c_str(); }

/// What the player reported on its standard output in the last
/// irwavRender: a line for each code written, with the time it starts at,
/// and one for each code passed over.
const char* irwavReport() { return reportText.c_str(); }

}  // extern "C"

// IR signals files, the format of the handheld-remote collections: one
// signal a block of "key: value" lines, parsed (protocol, address,
// command) or raw (frequency and durations).

#include "library/ir_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

#include "library/held_codes.h"
#include "synth/code_limits.h"
#include "synth/collection_codes.h"
#include "synth/decimal.h"
#include "synth/name_match.h"

namespace {

/// A file this large is no IR signals file (the collections' largest are
/// about a megabyte).
constexpr size_t kMaxFileBytes = 8u << 20;

std::string trimmed(const std::string& text) {
  const char* const kBlanks = " \t\r";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

/// The words of `text`, separated by blanks.
std::vector<std::string> wordsOf(const std::string& text) {
  std::vector<std::string> words;
  for (size_t i = text.find_first_not_of(' '); i != std::string::npos;
       i = text.find_first_not_of(' ', i)) {
    const size_t end = std::min(text.find(' ', i), text.size());
    words.push_back(text.substr(i, end - i));
    i = end;
  }
  return words;
}

/// Reads "04 00 00 00": four hexadecimal bytes, the low one first.
bool readBytes(const std::string& text, uint32_t* value) {
  const std::vector<std::string> bytes = wordsOf(text);
  if (bytes.size() != 4) return false;
  *value = 0;
  for (size_t i = 0; i < 4; ++i) {
    uint64_t byte = 0;
    if (bytes[i].size() != 2 || !readNumber("0x" + bytes[i], &byte)) return false;
    *value |= static_cast<uint32_t>(byte) << (8 * i);
  }
  return true;
}

/// Reads a fraction such as "0.330000", at most 1.
bool readFraction(const std::string& text) {
  const size_t dot = text.find('.');
  uint64_t whole = 0;
  uint64_t part = 0;
  if (!readDecimal(text.substr(0, dot), &whole)) return false;
  if (dot != std::string::npos && !readDecimal(text.substr(dot + 1), &part)) return false;
  return whole == 0 || (whole == 1 && part == 0);
}

/// The raw durations "9024 4512 564 ..." as a code at `carrierHz`.
bool readRaw(const std::string& text, uint32_t carrierHz, OwnedIrCode* code, std::string* error) {
  code->carrierHz = carrierHz;
  code->timings.clear();
  int64_t totalUs = 0;
  size_t count = 0;
  for (const std::string& word : wordsOf(text)) {
    ++count;
    uint64_t us = 0;
    if (!readDecimal(word, &us)) {
      *error = "data value " + std::to_string(count) + " \"" + word +
               "\" is not a duration in microseconds";
      return false;
    }
    // Reading stops at the first value past the longest code.
    totalUs += static_cast<int64_t>(us);
    if (totalUs > static_cast<int64_t>(kMaxCodeDurationUs)) {
      *error =
          "the data last more than " + std::to_string(kMaxCodeDurationUs / 1000000) + " seconds";
      return false;
    }
    const int64_t units = (static_cast<int64_t>(us) + kTimingUnitUs / 2) / kTimingUnitUs;
    if (units == 0) {
      *error = "data value " + std::to_string(count) + " (" + word + ") is " +
               (us == 0 ? std::string("a duration of 0")
                        : "shorter than " + std::to_string(kTimingUnitUs / 2) + " us");
      return false;
    }
    code->timings.push_back(static_cast<int32_t>(units));
  }
  if (code->timings.empty()) {
    *error = "the data hold no durations";
    return false;
  }
  // The list ends with the space after the last mark; a final space is it.
  if (code->timings.size() % 2 == 1)
    code->timings.push_back(0);
  else
    code->timings.back() = 0;
  return checkCodeLimits(*code, error);
}

/// The keys of one block, as given.
struct Block {
  size_t line = 0;
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
  std::vector<size_t> lines;

  [[nodiscard]] const std::string* find(const char* key, size_t* at) const {
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].first == key) {
        *at = lines[i];
        return &entries[i].second;
      }
    }
    return nullptr;
  }
};

bool finishBlock(const Block& block, IrFileSignal* signal, size_t* line, std::string* error) {
  signal->name = block.name;
  signal->line = block.line;
  size_t at = block.line;
  const std::string* type = block.find("type", &at);
  const auto missing = [&](const char* key) {
    *line = block.line;
    *error = "signal \"" + block.name + "\" has no " + key + ":";
    return false;
  };
  if (type == nullptr) return missing("type");
  const char* const kParsedKeys[] = {"protocol", "address", "command"};
  const char* const kRawKeys[] = {"frequency", "duty_cycle", "data"};
  signal->raw = *type == "raw";
  if (!signal->raw && *type != "parsed") {
    *line = at;
    *error = "type \"" + *type + "\" is neither parsed nor raw";
    return false;
  }
  // Every key belongs to the block's type.
  for (size_t i = 0; i < block.entries.size(); ++i) {
    const std::string& key = block.entries[i].first;
    bool known = key == "type";
    for (const char* k : signal->raw ? kRawKeys : kParsedKeys) known = known || key == k;
    if (!known) {
      *line = block.lines[i];
      *error = "\"" + key + ":\" does not belong in a " + *type + " signal";
      return false;
    }
  }
  if (signal->raw) {
    const std::string* frequency = block.find("frequency", &at);
    if (frequency == nullptr) return missing("frequency");
    uint64_t hz = 0;
    if (!readDecimal(*frequency, &hz) || hz > UINT32_MAX) {
      *line = at;
      *error = "frequency \"" + *frequency + "\" is not a number of Hz";
      return false;
    }
    const std::string* duty = block.find("duty_cycle", &at);
    if (duty != nullptr && !readFraction(*duty)) {
      *line = at;
      *error = "duty_cycle \"" + *duty + "\" is not a fraction from 0 to 1";
      return false;
    }
    const std::string* data = block.find("data", &at);
    if (data == nullptr) return missing("data");
    *line = at;
    return readRaw(*data, static_cast<uint32_t>(hz), &signal->rawCode, error);
  }
  uint32_t values[2] = {};
  const std::string* protocol = block.find("protocol", &at);
  if (protocol == nullptr) return missing("protocol");
  for (size_t i = 0; i < 2; ++i) {
    const char* key = kParsedKeys[i + 1];
    const std::string* bytes = block.find(key, &at);
    if (bytes == nullptr) return missing(key);
    if (!readBytes(*bytes, &values[i])) {
      *line = at;
      *error = std::string(key) + " \"" + *bytes + "\" is not 4 hexadecimal bytes";
      return false;
    }
  }
  const CollectionProtocol* p = findCollectionProtocol(*protocol, false);
  if (p == nullptr) {
    signal->fault = "protocol \"" + *protocol + "\" is not one irwav-play converts";
  } else {
    convertCollectionCode(*p, values[0], values[1], true, &signal->protocol, &signal->fields,
                          &signal->fault);
    const std::vector<std::string>& sent = irProtocolNames();
    const bool known = std::any_of(sent.begin(), sent.end(), [&](const std::string& name) {
      return sameNameIgnoringCase(signal->protocol, name.c_str());
    });
    if (signal->fault.empty() && !known)
      signal->fault = "protocol \"" + *protocol + "\" reads as " + signal->protocol +
                      ", a protocol irwav does not send";
  }
  return true;
}

std::string baseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool readIrFile(const std::string& text, std::vector<IrFileSignal>* signals, size_t* line,
                std::string* error) {
  signals->clear();
  bool haveType = false;
  bool haveVersion = false;
  Block block;
  size_t number = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string content = text.substr(start, end - start);
    start = end + 1;
    *line = ++number;
    // A byte order mark may open the file.
    if (number == 1 && content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
    content = trimmed(content);
    if (content.empty() || content[0] == '#') continue;
    const size_t colon = content.find(':');
    if (colon == std::string::npos) {
      *error = "\"" + content + "\" is not a line of the form KEY: VALUE";
      return false;
    }
    const std::string key = trimmed(content.substr(0, colon));
    const std::string value = trimmed(content.substr(colon + 1));
    if (!haveType) {
      if (key != "Filetype" || (value != "IR signals file" && value != "IR library file")) {
        *error = "not an IR signals file: it must begin with \"Filetype: IR signals file\"";
        return false;
      }
      haveType = true;
      continue;
    }
    if (!haveVersion) {
      if (key != "Version" || value != "1") {
        *error = key == "Version" ? "version " + value + " is not known (only 1)"
                                  : "\"Version: 1\" must follow the Filetype";
        return false;
      }
      haveVersion = true;
      continue;
    }
    if (key == "name") {
      if (value.empty()) {
        *error = "a signal without a name";
        return false;
      }
      if (!block.name.empty()) {
        signals->emplace_back();
        if (!finishBlock(block, &signals->back(), line, error)) return false;
      }
      block = Block();
      block.name = value;
      block.line = number;
      continue;
    }
    if (block.name.empty()) {
      *error = "\"" + key + R"(:" comes before the first "name:")";
      return false;
    }
    size_t at = 0;
    if (block.find(key.c_str(), &at) != nullptr) {
      *error = "\"" + key + ":\" is given twice in signal \"" + block.name + "\" (line " +
               std::to_string(at) + ")";
      return false;
    }
    block.entries.emplace_back(key, value);
    block.lines.push_back(number);
  }
  *line = number;
  if (!haveVersion) {
    *error = haveType ? "\"Version: 1\" is missing" : "the file is empty";
    return false;
  }
  if (!block.name.empty()) {
    signals->emplace_back();
    if (!finishBlock(block, &signals->back(), line, error)) return false;
  }
  return true;
}

bool appendIrFileCodes(const std::string& fileName, const std::vector<std::string>& names,
                       std::vector<PlayItem>* items, std::string* error) {
  std::ifstream file(fileName, std::ios::binary);
  if (!file) {
    *error = "cannot read \"" + fileName + "\": " + std::strerror(errno);
    return false;
  }
  std::string text;
  char chunk[65536];
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    text.append(chunk, static_cast<size_t>(file.gcount()));
    if (text.size() > kMaxFileBytes) {
      *error = "\"" + fileName + "\" is larger than " + std::to_string(kMaxFileBytes >> 20) +
               " MiB: not an IR signals file";
      return false;
    }
  }
  if (file.bad()) {
    *error = "cannot read \"" + fileName + "\"";
    return false;
  }
  std::vector<IrFileSignal> signals;
  size_t line = 0;
  std::string problem;
  if (!readIrFile(text, &signals, &line, &problem)) {
    *error = fileName + ":" + std::to_string(line) + ": " + problem;
    return false;
  }
  std::vector<const IrFileSignal*> chosen;
  for (const IrFileSignal& signal : signals) {
    if (names.empty()) chosen.push_back(&signal);
  }
  for (const std::string& name : names) {
    const size_t before = chosen.size();
    for (const IrFileSignal& signal : signals) {
      if (sameNameIgnoringCase(name, signal.name.c_str())) chosen.push_back(&signal);
    }
    if (chosen.size() != before) continue;
    *error = fileName;
    error->append(": no signal named \"").append(name).append("\"; ");
    *error += signals.empty() ? "the file has none" : "its signals:";
    for (const IrFileSignal& signal : signals) error->append(" \"").append(signal.name) += '"';
    return false;
  }
  if (chosen.empty()) {
    *error = fileName + ": the file holds no signals";
    return false;
  }
  std::vector<PlayItem> added;
  for (const IrFileSignal* signal : chosen) {
    PlayItem item;
    item.name = baseName(fileName) + " " + signal->name;
    std::string reason = signal->fault;
    if (signal->raw) {
      item.built = signal->rawCode;
    } else if (reason.empty()) {
      buildProtocolItem(signal->protocol, signal->fields, &item, &reason);
    }
    if (!reason.empty()) {
      *error = fileName + ":" + std::to_string(signal->line) + ": signal \"" + signal->name;
      *error += "\": " + reason;
      return false;
    }
    added.push_back(std::move(item));
  }
  items->insert(items->end(), std::make_move_iterator(added.begin()),
                std::make_move_iterator(added.end()));
  return true;
}

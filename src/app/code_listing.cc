#include "app/code_listing.h"

#include <cstdio>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <vector>

#include "app/batch_driver.h"
#include "library/brands.h"
#include "library/ir_codes.h"
#include "library/power_library.h"
#include "synth/decimal.h"
#include "synth/name_match.h"
#include "synth/renderer.h"

namespace {

const char* const kFieldNames[] = {"index",      "name",     "brand",  "protocol", "device",
                                   "subdevice",  "function", "extra",  "carrier",  "marks",
                                   "documented", "source",   "renders"};

/// A decimal field as a record number: -1 when it is not one.
int64_t recordNumber(const std::string& text) {
  uint64_t value = 0;
  return readDecimal(text, &value) && value < kDecimalCeiling ? static_cast<int64_t>(value) : -1;
}

/// Fills the protocol and fields from a code written as --code takes it,
/// "PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION[:NAME=VALUE]...". Text of another
/// form, or of an unknown protocol, leaves the record as it is.
void describeUserCode(const std::string& text, CodeRecord* record) {
  std::vector<std::string> pieces;
  std::istringstream stream(text);
  for (std::string piece; std::getline(stream, piece, ':');) pieces.push_back(piece);
  if (pieces.size() < 3) return;
  for (const std::string& protocol : irProtocolNames()) {
    if (sameNameIgnoringCase(pieces[0], protocol.c_str())) record->protocol = protocol;
  }
  if (record->protocol.empty()) return;
  const size_t dot = pieces[1].find('.');
  record->device = recordNumber(pieces[1].substr(0, dot));
  if (dot != std::string::npos) record->subdevice = recordNumber(pieces[1].substr(dot + 1));
  record->function = recordNumber(pieces[2]);
  for (size_t i = 3; i < pieces.size(); ++i)
    record->extra += (record->extra.empty() ? "" : ":") + pieces[i];
}

/// The further fields of `fields` as --code takes them.
std::string extraFields(const IrFields& fields) {
  std::string text;
  const auto add = [&text](const char* name, int32_t value) {
    text += (text.empty() ? "" : ":") + std::string(name) + "=" + std::to_string(value);
  };
  if (fields.toggle != 0) add("t", fields.toggle);
  if (fields.oem1 >= 0) add("m", fields.oem1);
  if (fields.oem2 >= 0) add("n", fields.oem2);
  if (fields.extra != 0) add("e", fields.extra);
  return text;
}

void printTsvText(std::ostream& out, const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '\t':
        out << "\\t";
        break;
      case '\n':
        out << "\\n";
        break;
      case '\r':
        out << "\\r";
        break;
      case '\\':
        out << "\\\\";
        break;
      default:
        out << c;
    }
  }
}

void printJsonText(std::ostream& out, const std::string& text) {
  out << '"';
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out << '\\' << c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out << escaped;
    } else {
      out << c;
    }
  }
  out << '"';
}

}  // namespace

bool parseListFormat(const std::string& text, ListFormat* format) {
  if (text == "table")
    *format = ListFormat::kTable;
  else if (text == "tsv")
    *format = ListFormat::kTsv;
  else if (text == "json")
    *format = ListFormat::kJson;
  else
    return false;
  return true;
}

CodeRecord codeRecord(const PlayItem& item, uint32_t sampleRate) {
  CodeRecord record;
  record.name = item.name;
  const IrCode code = item.code();
  record.carrierHz = code.carrierHz;
  record.marks = countMarks(&code);
  record.renders = canRender(code.carrierHz, maxCarrierFor(sampleRate));
  if (item.tableIndex != kNotInTable) {
    const IrCodeOrigin& origin = kIrCodeOrigins[item.tableIndex];
    record.index = static_cast<int64_t>(item.tableIndex);
    record.brand = tableBrand(item.tableIndex);
    record.protocol = origin.protocol;
    if (*origin.protocol) {
      record.device = origin.device;
      record.subdevice = origin.subdevice;
      record.function = origin.function;
    }
    record.documented = origin.documented;
    record.source = origin.source;
  } else if (item.libraryRow) {
    const LibraryCode& row = *item.libraryRow;
    record.brand = row.brand;
    record.protocol = row.protocol;
    record.device = row.fields.device;
    record.subdevice = row.fields.subdevice;
    record.function = row.fields.function;
    record.extra = extraFields(row.fields);
    record.documented = row.remotes > 0;
    record.source = row.sources;
  } else if (item.universalEntry) {
    // Named by its decoded fields where it has them; played as stored.
    const UniversalEntry& entry = *item.universalEntry;
    record.protocol = entry.protocol;
    if (!entry.protocol.empty()) {
      record.device = entry.fields.device;
      record.subdevice = entry.fields.subdevice;
      record.function = entry.fields.function;
      record.extra = extraFields(entry.fields);
    }
    record.source = "universal power-off list " + entry.list + ", entry " +
                    std::to_string(entry.position) + " (" + entry.sourceName + ")";
  } else {
    describeUserCode(item.name, &record);
  }
  return record;
}

RecordPrinter::RecordPrinter(std::ostream& out, ListFormat format) : out_(out), format_(format) {
  if (format_ == ListFormat::kJson) {
    out_ << '[';
    return;
  }
  for (const char* field : kFieldNames) out_ << (field == kFieldNames[0] ? "" : "\t") << field;
  out_ << '\n';
}

void RecordPrinter::add(const CodeRecord& r) {
  const bool json = format_ == ListFormat::kJson;
  size_t field = 0;
  // Each value goes after its field's name in JSON, after a tab in TSV.
  const auto next = [&]() -> std::ostream& {
    if (json) {
      out_ << (field == 0 ? (count_ == 0 ? "\n  {" : ",\n  {") : ", ") << '"' << kFieldNames[field]
           << "\": ";
    } else if (field > 0) {
      out_ << '\t';
    }
    ++field;
    return out_;
  };
  const auto text = [&](const std::string& value, bool nullWhenEmpty) {
    next();
    if (!json)
      printTsvText(out_, value);
    else if (nullWhenEmpty && value.empty())
      out_ << "null";
    else
      printJsonText(out_, value);
  };
  const auto number = [&](int64_t value) {
    next();
    if (value >= 0)
      out_ << value;
    else if (json)
      out_ << "null";
  };
  const auto flag = [&](bool value) { next() << (value ? "true" : "false"); };
  number(r.index);
  text(r.name, false);
  text(r.brand, true);
  text(r.protocol, true);
  number(r.device);
  number(r.subdevice);
  number(r.function);
  text(r.extra, false);
  number(r.carrierHz);
  number(static_cast<int64_t>(r.marks));
  flag(r.documented);
  text(r.source, false);
  flag(r.renders);
  out_ << (json ? "}" : "\n");
  ++count_;
}

void RecordPrinter::finish() {
  if (format_ == ListFormat::kJson) out_ << (count_ == 0 ? "]\n" : "\n]\n");
}

namespace {

const char* const kKeyFieldNames[] = {"family",  "kind",  "key",       "code",
                                      "remotes", "files", "unplayable"};

}  // namespace

KeyRecordPrinter::KeyRecordPrinter(std::ostream& out, ListFormat format)
    : out_(out), format_(format) {
  if (format_ == ListFormat::kJson) {
    out_ << '[';
    return;
  }
  if (format_ == ListFormat::kTable) {
    out_ << std::left << std::setw(20) << "Family" << std::setw(11) << "Kind" << std::setw(16)
         << "Key" << std::setw(28) << "Code" << std::right << std::setw(8) << "Remotes"
         << std::setw(7) << "Files"
         << "  Plays\n";
    return;
  }
  for (const char* field : kKeyFieldNames)
    out_ << (field == kKeyFieldNames[0] ? "" : "\t") << field;
  out_ << '\n';
}

void KeyRecordPrinter::add(const KeyRecord& r) {
  ++count_;
  if (format_ == ListFormat::kTable) {
    out_ << std::left << std::setw(20) << r.family << std::setw(11) << r.kind << std::setw(16)
         << r.key << std::setw(28) << r.code << std::right << std::setw(8) << r.remotes
         << std::setw(7) << r.filesWithKey << "  "
         << (r.unplayable.empty() ? "yes" : "no: " + r.unplayable) << '\n';
    return;
  }
  if (format_ == ListFormat::kTsv) {
    for (const std::string* text : {&r.family, &r.kind, &r.key, &r.code}) {
      printTsvText(out_, *text);
      out_ << '\t';
    }
    out_ << r.remotes << '\t' << r.filesWithKey << '\t';
    printTsvText(out_, r.unplayable);
    out_ << '\n';
    return;
  }
  out_ << (count_ == 1 ? "\n  {" : ",\n  {");
  const std::string* texts[] = {&r.family, &r.kind, &r.key, &r.code};
  for (size_t i = 0; i < 4; ++i) {
    out_ << '"' << kKeyFieldNames[i] << "\": ";
    printJsonText(out_, *texts[i]);
    out_ << ", ";
  }
  out_ << "\"remotes\": " << r.remotes << ", \"files\": " << r.filesWithKey << ", \"unplayable\": ";
  if (r.unplayable.empty())
    out_ << "null";
  else
    printJsonText(out_, r.unplayable);
  out_ << '}';
}

void KeyRecordPrinter::finish() {
  if (format_ == ListFormat::kJson) out_ << (count_ == 0 ? "]\n" : "\n]\n");
}

#include "app/code_listing.h"

#include <iomanip>
#include <ostream>
#include <sstream>
#include <vector>

#include "app/batch_driver.h"
#include "app/visible_text.h"
#include "library/brands.h"
#include "library/ir_codes.h"
#include "library/power_library.h"
#include "synth/decimal.h"
#include "synth/name_match.h"
#include "synth/renderer.h"

#if IRWAV_HAVE_JSON
#include <nlohmann/json.hpp>
#endif

namespace {

const char* const kFieldNames[] = {"index",      "name",     "brand",  "protocol", "device",
                                   "subdevice",  "function", "extra",  "carrier",  "marks",
                                   "documented", "source",   "renders"};

const char* const kKeyFieldNames[] = {"family",  "kind",  "key",       "code",
                                      "remotes", "files", "unplayable"};

/// Opens a listing in `format`: the JSON array, or the TSV header line of
/// `names`.
template <size_t N>
void openRecords(std::ostream& out, ListFormat format, const char* const (&names)[N]) {
  if (format == ListFormat::kJson) {
    out << '[';
    return;
  }
  for (const char* name : names) out << (name == names[0] ? "" : "\t") << name;
  out << '\n';
}

/// One TSV line: `fields` tab-separated, each with its control characters
/// and backslashes escaped.
template <size_t N>
void printTsvLine(std::ostream& out, const std::string (&fields)[N]) {
  for (const std::string& field : fields)
    out << (&field == fields ? "" : "\t") << visibleText(field, true);
  out << '\n';
}

#if IRWAV_HAVE_JSON
/// One JSON record on a line of its own, `first` in the array or after a
/// comma. Plain ASCII: every other character as a \u escape, so that no
/// name can reach a terminal as a control character, and a byte that is
/// not UTF-8 (a file named in another encoding) as U+FFFD: always valid.
void printJsonLine(std::ostream& out, const nlohmann::ordered_json& record, bool first) {
  out << (first ? "\n  " : ",\n  ")
      << record.dump(-1, ' ', true, nlohmann::ordered_json::error_handler_t::replace);
}
#endif

/// Closes a listing of `count` records in `format`.
void closeRecords(std::ostream& out, ListFormat format, size_t count) {
  if (format == ListFormat::kJson) out << (count == 0 ? "]\n" : "\n]\n");
}

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

bool jsonOutputAvailable() { return IRWAV_HAVE_JSON != 0; }

RecordPrinter::RecordPrinter(std::ostream& out, ListFormat format) : out_(out), format_(format) {
  openRecords(out_, format_, kFieldNames);
}

void RecordPrinter::add(const CodeRecord& r) {
  if (format_ == ListFormat::kJson) {
    addJson(r);
  } else {
    const auto number = [](int64_t value) { return value >= 0 ? std::to_string(value) : ""; };
    const auto flag = [](bool value) { return value ? "true" : "false"; };
    const std::string fields[] = {number(r.index),
                                  r.name,
                                  r.brand,
                                  r.protocol,
                                  number(r.device),
                                  number(r.subdevice),
                                  number(r.function),
                                  r.extra,
                                  std::to_string(r.carrierHz),
                                  std::to_string(r.marks),
                                  flag(r.documented),
                                  r.source,
                                  flag(r.renders)};
    printTsvLine(out_, fields);
  }
  ++count_;
}

void RecordPrinter::addJson(const CodeRecord& r) {
#if IRWAV_HAVE_JSON
  using Json = nlohmann::ordered_json;
  const auto number = [](int64_t value) { return value >= 0 ? Json(value) : Json(nullptr); };
  const auto text = [](const std::string& value, bool nullWhenEmpty) {
    return nullWhenEmpty && value.empty() ? Json(nullptr) : Json(value);
  };
  const Json record = {
      {kFieldNames[0], number(r.index)},     {kFieldNames[1], text(r.name, false)},
      {kFieldNames[2], text(r.brand, true)}, {kFieldNames[3], text(r.protocol, true)},
      {kFieldNames[4], number(r.device)},    {kFieldNames[5], number(r.subdevice)},
      {kFieldNames[6], number(r.function)},  {kFieldNames[7], text(r.extra, false)},
      {kFieldNames[8], r.carrierHz},         {kFieldNames[9], r.marks},
      {kFieldNames[10], r.documented},       {kFieldNames[11], text(r.source, false)},
      {kFieldNames[12], r.renders}};
  printJsonLine(out_, record, count_ == 0);
#else
  (void)r;
#endif
}

void RecordPrinter::finish() { closeRecords(out_, format_, count_); }

KeyRecordPrinter::KeyRecordPrinter(std::ostream& out, ListFormat format)
    : out_(out), format_(format) {
  if (format_ == ListFormat::kTable) {
    out_ << std::left << std::setw(20) << "Family" << std::setw(11) << "Kind" << std::setw(16)
         << "Key" << std::setw(28) << "Code" << std::right << std::setw(8) << "Remotes"
         << std::setw(7) << "Files"
         << "  Plays\n";
    return;
  }
  openRecords(out_, format_, kKeyFieldNames);
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
    const std::string fields[] = {r.family,
                                  r.kind,
                                  r.key,
                                  r.code,
                                  std::to_string(r.remotes),
                                  std::to_string(r.filesWithKey),
                                  r.unplayable};
    printTsvLine(out_, fields);
    return;
  }
  addJson(r);
}

void KeyRecordPrinter::addJson(const KeyRecord& r) {
#if IRWAV_HAVE_JSON
  using Json = nlohmann::ordered_json;
  const Json record = {
      {kKeyFieldNames[0], r.family},
      {kKeyFieldNames[1], r.kind},
      {kKeyFieldNames[2], r.key},
      {kKeyFieldNames[3], r.code},
      {kKeyFieldNames[4], r.remotes},
      {kKeyFieldNames[5], r.filesWithKey},
      {kKeyFieldNames[6], r.unplayable.empty() ? Json(nullptr) : Json(r.unplayable)}};
  printJsonLine(out_, record, count_ == 1);
#else
  (void)r;
#endif
}

void KeyRecordPrinter::finish() { closeRecords(out_, format_, count_); }

// A user's code written as PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION, with the
// extra fields some protocols have as further :NAME=VALUE pieces: T (the
// toggle of RC5, RC6, Thomson and RECS80), M and N (Kaseikyo's maker bytes)
// and E (the extra nibble of Kaseikyo and Fujitsu). For example "rc5:0:12",
// "necx2:7.7:2", "rc6:0:12:t=1", "kaseikyo:8.18:22:m=170:n=90:e=1".

#include <cctype>
#include <cstddef>

#include "synth/decimal.h"
#include "synth/ir_protocol.h"
#include "synth/ir_protocol_table.h"

namespace {

const char kSyntax[] = "PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION";

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> pieces(1);
  for (char c : text) {
    if (c == separator)
      pieces.emplace_back();
    else
      pieces.back() += c;
  }
  return pieces;
}

/// Reads a field's decimal digits into *value. A value beyond the field's
/// range, however many digits it has, is reported with the digits as given.
bool parseField(const IrProtocolInfo& p, const char* field, const std::string& text,
                FieldRange range, int32_t* value, std::string* error) {
  if (text.empty()) {
    *error = std::string(p.name) + " " + field + " is missing in " + kSyntax;
    return false;
  }
  uint64_t digits = 0;
  if (!readDecimal(text, &digits)) {
    *error = std::string(p.name) + " " + field + " \"" + text + "\" is not a decimal number";
    return false;
  }
  // At most kDecimalCeiling: past every range, and within 64 signed bits.
  const int64_t number = static_cast<int64_t>(digits);
  // A protocol without this field (the Kloss capture) takes any number and ignores it.
  if (!range.used()) return true;
  if (number < range.min || number > range.max) {
    *error = outOfRangeError(p, field, text, range);
    return false;
  }
  *value = static_cast<int32_t>(number);
  return true;
}

/// One extra field that a NAME=VALUE piece may set.
struct ExtraField {
  char name;
  const char* description;
  FieldRange IrProtocolInfo::*range;
  int32_t IrFields::*value;
};

const ExtraField kExtraFields[] = {
    {'T', "toggle", &IrProtocolInfo::toggle, &IrFields::toggle},
    {'M', "maker byte M", &IrProtocolInfo::oem, &IrFields::oem1},
    {'N', "maker byte N", &IrProtocolInfo::oem, &IrFields::oem2},
    {'E', "extra nibble E", &IrProtocolInfo::extra, &IrFields::extra},
};

bool parseExtraField(const IrProtocolInfo& p, const std::string& piece, IrFields* fields,
                     bool (*given)[4], std::string* error) {
  const size_t equals = piece.find('=');
  const std::string name = piece.substr(0, equals);
  for (size_t i = 0; i < 4; ++i) {
    const ExtraField& extra = kExtraFields[i];
    if (name.size() != 1 || std::toupper(static_cast<unsigned char>(name[0])) != extra.name)
      continue;
    if (equals == std::string::npos) break;
    const FieldRange range = p.*extra.range;
    if (!range.used()) {
      *error = std::string(p.name) + " has no " + extra.description;
      return false;
    }
    if ((*given)[i]) {
      *error = std::string(p.name) + " " + extra.description + " is given twice";
      return false;
    }
    (*given)[i] = true;
    return parseField(p, extra.description, piece.substr(equals + 1), range,
                      &(fields->*extra.value), error);
  }
  *error = "\"" + piece + "\" is not an extra field: T=, M=, N= or E= followed by a number";
  return false;
}

}  // namespace

bool encodeUserCode(const std::string& text, OwnedIrCode* code, std::string* error) {
  const std::vector<std::string> pieces = split(text, ':');
  if (pieces.size() < 3) {
    *error = "\"" + text + "\" is not a code of the form " + kSyntax;
    return false;
  }
  const IrProtocolInfo* p = findIrProtocol(pieces[0]);
  if (p == nullptr) {
    *error = unknownProtocolError(pieces[0]);
    return false;
  }
  IrFields fields;
  const size_t dot = pieces[1].find('.');
  if (dot != std::string::npos && !p->subdevice.used()) {
    *error = std::string(p->name) + " has no subdevice";
    return false;
  }
  if (!parseField(*p, "device", pieces[1].substr(0, dot), p->device, &fields.device, error))
    return false;
  if (dot != std::string::npos && !parseField(*p, "subdevice", pieces[1].substr(dot + 1),
                                              p->subdevice, &fields.subdevice, error))
    return false;
  // The range of a Zenith function depends on the device; encodeIrCode checks it.
  if (!parseField(*p, "function", pieces[2], p->function, &fields.function, error)) return false;
  bool given[4] = {};
  for (size_t i = 3; i < pieces.size(); ++i) {
    if (!parseExtraField(*p, pieces[i], &fields, &given, error)) return false;
  }
  return encodeIrCode(p->name, fields, code, error);
}

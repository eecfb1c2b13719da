// A user's code written as PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION, with the
// extra fields some protocols have as further :NAME=VALUE pieces: T (the
// toggle of RC5, RC6, Thomson and RECS80), M and N (Kaseikyo's maker bytes)
// and E (the extra nibble of Kaseikyo and Fujitsu). For example "rc5:0:12",
// "necx2:7.7:0x02", "rc6:0:12:t=1", "kaseikyo:8.18:22:m=170:n=90:e=1". The
// protocol names of the handheld-remote collections are aliases whose
// device and function are the collections' address and command
// ("samsung32:7:2", "necext:0xb904:0xff00").

#include "synth/user_code.h"

#include <cctype>
#include <cstddef>

#include "synth/collection_codes.h"
#include "synth/decimal.h"
#include "synth/ir_protocol.h"
#include "synth/ir_protocol_table.h"

namespace {

const char kSyntax[] = "PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION";
const char kFamilySyntax[] = "PROTOCOL:DEVICE[.SUBDEVICE]";

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

/// Reads a field's number, decimal or hexadecimal, into *value (at most
/// kDecimalCeiling, so past every range). `protocol` and `field` name it in
/// a message.
bool readFieldNumber(const std::string& protocol, const char* field, const std::string& text,
                     int64_t* value, std::string* error) {
  if (text.empty()) {
    *error = protocol + " " + field + " is missing in " + kSyntax;
    return false;
  }
  uint64_t number = 0;
  if (!readNumber(text, &number)) {
    *error = protocol + " " + field + " \"" + text +
             "\" is not a number (decimal, or hexadecimal after 0x)";
    return false;
  }
  *value = static_cast<int64_t>(number);
  return true;
}

/// Reads a field's number into *value. A value beyond the field's range,
/// however many digits it has, is reported with the digits as given.
bool parseField(const IrProtocolInfo& p, const char* field, const std::string& text,
                FieldRange range, int32_t* value, std::string* error) {
  int64_t number = 0;
  if (!readFieldNumber(p.name, field, text, &number, error)) return false;
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

/// Whether a function piece names a key: it starts with a letter or "_".
bool isKeyName(const std::string& piece) {
  return !piece.empty() &&
         (std::isalpha(static_cast<unsigned char>(piece[0])) != 0 || piece[0] == '_');
}

/// Reads the device and function pieces of an alias of the collections,
/// `function` null for a family, into parts->protocol and parts->fields.
bool readAliasCode(const CollectionProtocol& alias, const std::string& device,
                   const std::string* function, UserCodeParts* parts, std::string* error) {
  const size_t dot = device.find('.');
  if (dot != std::string::npos && alias.addressSplit == 0) {
    *error = std::string(alias.name) + " has no subdevice";
    return false;
  }
  int64_t address = 0;
  if (!readFieldNumber(alias.name, "address", device.substr(0, dot), &address, error)) return false;
  if (dot != std::string::npos) {
    // D.S: the two parts of the address.
    const int64_t lowMax = (int64_t{1} << alias.addressSplit) - 1;
    int64_t high = 0;
    if (address > lowMax) {
      *error = std::string(alias.name) + " device " + device.substr(0, dot) +
               " is out of range 0.." + std::to_string(lowMax);
      return false;
    }
    if (!readFieldNumber(alias.name, "subdevice", device.substr(dot + 1), &high, error))
      return false;
    const int64_t highMax = alias.maxAddress >> alias.addressSplit;
    if (high > highMax) {
      *error = std::string(alias.name) + " subdevice " + device.substr(dot + 1) +
               " is out of range 0.." + std::to_string(highMax);
      return false;
    }
    address |= high << alias.addressSplit;
  }
  int64_t command = 0;
  if (function != nullptr && !readFieldNumber(alias.name, "command", *function, &command, error))
    return false;
  // Beyond 32 bits is beyond every range; the conversion names the value.
  const auto narrow = [](int64_t v) {
    return static_cast<uint32_t>(v < UINT32_MAX ? v : UINT32_MAX);
  };
  if (!convertCollectionCode(alias, narrow(address), narrow(command), function != nullptr,
                             &parts->protocol, &parts->fields, error))
    return false;
  if (findIrProtocol(parts->protocol) != nullptr) return true;
  *error = std::string(alias.name) + " reads as " + parts->protocol +
           ", which is not among the known protocols";
  return false;
}

/// The protocol a piece names, or null with the message in *error.
const IrProtocolInfo* findProtocol(const std::string& name, std::string* error) {
  const IrProtocolInfo* p = findIrProtocol(name);
  if (p == nullptr)
    *error = unknownProtocolError(name) + "; and the aliases " + collectionAliasNames();
  return p;
}

/// Reads the protocol and device pieces, and the function and extra pieces
/// unless `family`.
bool readPieces(const std::vector<std::string>& pieces, bool family, UserCodeParts* parts,
                std::string* error) {
  *parts = UserCodeParts();
  const bool key = !family && isKeyName(pieces[2]);
  if (key) parts->key = pieces[2];
  const std::string* function = family || key ? nullptr : &pieces[2];
  const IrProtocolInfo* p = nullptr;
  // RC5X, the collections' extended RC5, has no subdevice; with one the
  // name is the protocol RC5x, which has.
  const CollectionProtocol* alias = findCollectionProtocol(pieces[0], true);
  if (alias && alias->addressSplit == 0 && pieces[1].find('.') != std::string::npos &&
      findIrProtocol(pieces[0]) != nullptr)
    alias = nullptr;
  if (alias) {
    if (!readAliasCode(*alias, pieces[1], function, parts, error)) return false;
    // A key's code is looked up in its family: the command stays unread.
    if (key) parts->fields.function = 0;
    if (family || pieces.size() == 3) return true;
    p = findIrProtocol(parts->protocol);
  } else {
    if ((p = findProtocol(pieces[0], error)) == nullptr) return false;
    parts->protocol = p->name;
    IrFields& fields = parts->fields;
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
    if (function != nullptr &&
        !parseField(*p, "function", *function, p->function, &fields.function, error))
      return false;
  }
  bool given[4] = {};
  for (size_t i = 3; i < pieces.size(); ++i) {
    if (!parseExtraField(*p, pieces[i], &parts->fields, &given, error)) return false;
  }
  return true;
}

}  // namespace

bool readUserCode(const std::string& text, UserCodeParts* parts, std::string* error) {
  const std::vector<std::string> pieces = split(text, ':');
  if (pieces.size() < 3) {
    *error = "\"" + text + "\" is not a code of the form " + kSyntax;
    return false;
  }
  return readPieces(pieces, false, parts, error);
}

bool readUserFamily(const std::string& text, UserCodeParts* parts, std::string* error) {
  const std::vector<std::string> pieces = split(text, ':');
  if (pieces.size() != 2) {
    *error = "\"" + text + "\" is not a code family of the form " + kFamilySyntax;
    return false;
  }
  return readPieces(pieces, true, parts, error);
}

bool encodeUserCode(const std::string& text, OwnedIrCode* code, std::string* error) {
  UserCodeParts parts;
  if (!readUserCode(text, &parts, error)) return false;
  if (!parts.key.empty()) {
    *error = parts.protocol + " function \"" + parts.key + "\" is not a number";
    return false;
  }
  return encodeIrCode(parts.protocol, parts.fields, code, error);
}

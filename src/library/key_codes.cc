#include "library/key_codes.h"

#include <iomanip>
#include <ostream>

#include "synth/user_code.h"

namespace {

std::string familyText(const UserCodeParts& parts) {
  return parts.protocol + ":" + std::to_string(parts.fields.device) +
         (parts.fields.subdevice == -1 ? "" : "." + std::to_string(parts.fields.subdevice));
}

/// The family of `parts`, or null with a message listing the families.
const TvKeyFamily* familyOf(const UserCodeParts& parts, std::string* error, DeviceKind preferred) {
  const TvKeyFamily* family = findKeyFamily(parts.protocol, parts.fields, preferred);
  if (family == nullptr) {
    *error = "no key table for " + familyText(parts) + "; the " + kindName(preferred) +
             " families with keys: " + keyFamilyNames(preferred);
  }
  return family;
}

}  // namespace

bool readCodeOrKey(const std::string& text, std::string* protocol, IrFields* fields,
                   std::string* error, DeviceKind preferred, const TvKeyFamily** keyFamily,
                   const TvKeyCode** keyCode) {
  UserCodeParts parts;
  if (keyFamily) *keyFamily = nullptr;
  if (keyCode) *keyCode = nullptr;
  if (!readUserCode(text, &parts, error)) return false;
  *protocol = parts.protocol;
  *fields = parts.fields;
  if (parts.key.empty()) return true;
  const TvKeyFamily* family = familyOf(parts, error, preferred);
  if (family == nullptr) return false;
  const TvKeyCode* code = findKey(*family, parts.key);
  if (code == nullptr) {
    *error = family->name() + " has no key \"" + parts.key + "\"; its keys: " + keyNames(*family);
    return false;
  }
  std::string why;
  if (!keyCodeFields(*family, *code, protocol, fields, &why)) {
    *error = family->name() + " " + code->key + " cannot be sent: " + why;
    return false;
  }
  if (keyFamily) *keyFamily = family;
  if (keyCode) *keyCode = code;
  return true;
}

const TvKeyFamily* findFamilyNamed(const std::string& text, std::string* error,
                                   DeviceKind preferred) {
  UserCodeParts parts;
  return readUserFamily(text, &parts, error) ? familyOf(parts, error, preferred) : nullptr;
}

bool printKeyList(std::ostream& out, const std::string& text, std::string* error,
                  DeviceKind preferred) {
  const TvKeyFamily* family = findFamilyNamed(text, error, preferred);
  if (family == nullptr) return false;
  out << family->name() << " (" << kindName(family->kind) << "): the keys of " << family->files
      << " remote files; --code plays a key's first code\n"
      << std::left << std::setw(14) << "Key" << std::setw(34) << "Function" << std::right
      << std::setw(7) << "Remotes" << std::setw(7) << "Files" << '\n';
  for (size_t i = 0; i < family->codes.size(); ++i) {
    const TvKeyCode& code = family->codes[i];
    const bool first = i == 0 || family->codes[i - 1].key != code.key;
    out << std::left << std::setw(14) << (first ? code.key : "") << std::setw(34)
        << (code.function < 0 ? code.extra : std::to_string(code.function)) << std::right
        << std::setw(7) << code.remotes << std::setw(7) << code.filesWithKey << '\n';
  }
  return true;
}

// The protocols of the table as encodeIrCode takes them: IrFields become
// the IRP's parameters D, S, F, T, M, N and E, and the engine sends them.

#include "synth/ir_protocol.h"

#include <algorithm>

#include "synth/ir_protocol_table.h"
#include "synth/irp_engine.h"
#include "synth/name_match.h"

namespace {

/// A parameter's range with every parameter whose limit is a number at
/// its largest value; {0, -1} for a parameter the protocol does not have.
FieldRange staticRange(const IrpProtocol& irp, const char* name) {
  const IrpParameter* p = irp.parameter(name);
  if (p == nullptr) return {0, -1};
  IrpValues largest;
  std::string error;
  for (const IrpParameter& other : irp.parameters) {
    int64_t max = 0;
    if (evaluateIrp(irp, {}, other.maximum, &max, &error)) largest.emplace_back(other.name, max);
  }
  int64_t min = 0;
  int64_t max = -1;
  if (!evaluateIrp(irp, largest, p->minimum, &min, &error) ||
      !evaluateIrp(irp, largest, p->maximum, &max, &error))
    return {0, -1};
  return {static_cast<int32_t>(std::clamp<int64_t>(min, INT32_MIN, INT32_MAX)),
          static_cast<int32_t>(std::clamp<int64_t>(max, INT32_MIN, INT32_MAX))};
}

const std::vector<IrProtocolInfo>& protocolInfos() {
  static const std::vector<IrProtocolInfo> infos = [] {
    std::vector<IrProtocolInfo> list;
    for (const IrpProtocolEntry& e : irpProtocols()) {
      const IrpProtocol& irp = e.irp;
      list.push_back({e.name.c_str(), static_cast<uint32_t>(irp.carrierHz), staticRange(irp, "D"),
                      staticRange(irp, "S"), staticRange(irp, "F"), staticRange(irp, "T"),
                      staticRange(irp, "M"), staticRange(irp, "E"), &e});
    }
    return list;
  }();
  return infos;
}

/// The fields a protocol has, as the IRP's parameters; a subdevice, maker
/// byte or extra field of -1 is left out (the default, or missing).
std::vector<IrpGivenValue> parameterValues(const IrpProtocol& irp, const IrFields& f) {
  const std::pair<const char*, int32_t> fields[] = {
      {"D", f.device}, {"S", f.subdevice}, {"F", f.function}, {"T", f.toggle},
      {"M", f.oem1},   {"N", f.oem2},      {"E", f.extra},
  };
  std::vector<IrpGivenValue> given;
  for (const auto& [name, value] : fields) {
    const bool unset =
        value == -1 && (*name == 'S' || *name == 'M' || *name == 'N' || *name == 'E');
    if (irp.parameter(name) != nullptr && !unset) given.push_back({name, value, ""});
  }
  return given;
}

bool encodeTableCode(const std::string& protocol, const IrFields& fields, uint64_t holdUs,
                     OwnedIrCode* code, std::string* error) {
  const IrProtocolInfo* p = findIrProtocol(protocol);
  if (p == nullptr) {
    *error = unknownProtocolError(protocol);
    return false;
  }
  const IrpProtocol& irp = p->entry->irp;
  IrpValues values;
  if (!resolveIrpParameters(irp, parameterValues(irp, fields), {p->name, true}, &values, error))
    return false;
  if (renderIrp(irp, values, {p->entry->pressFrames, holdUs}, code, error)) return true;
  *error = std::string(p->name) + ": " + *error;
  return false;
}

/// Reads "NAME=VALUE" (VALUE decimal, or hexadecimal after 0x) for `irp`.
bool parseAssignment(const IrpProtocol& irp, const std::string& text, IrpGivenValue* given,
                     std::string* error) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0) {
    *error = "\"" + text + "\" is not NAME=VALUE";
    return false;
  }
  given->name = text.substr(0, equals);
  given->text = text.substr(equals + 1);
  // A parameter's name as the IRP writes it, or in another case.
  if (irp.parameter(given->name) == nullptr) {
    for (const IrpParameter& p : irp.parameters) {
      if (sameNameIgnoringCase(given->name, p.name.c_str())) given->name = p.name;
    }
  }
  const std::string& digits = given->text;
  size_t end = 0;
  const IrpNumberRead read = readIrpNumber(digits, &end, &given->value);
  if (read == IrpNumberRead::kTooLarge && end == digits.size()) {
    *error = "IRP parameter " + given->name + " " + digits +
             " is too large: an IRP's numbers go up to " + std::to_string(INT64_MAX);
    return false;
  }
  if (read != IrpNumberRead::kRead || end != digits.size()) {
    *error = "IRP parameter " + given->name + " \"" + digits +
             "\" is not a number (decimal, or hexadecimal after 0x)";
    return false;
  }
  return true;
}

}  // namespace

const IrProtocolInfo* findIrProtocol(const std::string& name) {
  const std::vector<IrProtocolInfo>& infos = protocolInfos();
  const auto found = std::find_if(infos.begin(), infos.end(), [&name](const IrProtocolInfo& p) {
    return sameNameIgnoringCase(name, p.name);
  });
  return found == infos.end() ? nullptr : &*found;
}

std::string unknownProtocolError(const std::string& name) {
  std::string message = "unknown protocol \"" + name + "\"; known protocols:";
  for (const IrProtocolInfo& p : protocolInfos()) message += std::string(" ") + p.name;
  return message;
}

std::string outOfRangeError(const IrProtocolInfo& p, const char* field, const std::string& value,
                            FieldRange range) {
  return std::string(p.name) + " " + field + " " + value + " is out of range " +
         std::to_string(range.min) + ".." + std::to_string(range.max);
}

bool encodeIrCode(const std::string& protocol, const IrFields& fields, OwnedIrCode* code,
                  std::string* error) {
  return encodeTableCode(protocol, fields, 0, code, error);
}

bool encodeHeldIrCode(const std::string& protocol, const IrFields& fields, uint32_t holdMs,
                      OwnedIrCode* code, std::string* error) {
  return encodeTableCode(protocol, fields, uint64_t{holdMs} * 1000, code, error);
}

bool encodeIrpCode(const std::string& irpText, const std::vector<std::string>& assignments,
                   OwnedIrCode* code, std::string* error) {
  IrpProtocol irp;
  if (!parseIrp(irpText, &irp, error)) return false;
  std::vector<IrpGivenValue> given(assignments.size());
  for (size_t i = 0; i < assignments.size(); ++i) {
    if (!parseAssignment(irp, assignments[i], &given[i], error)) return false;
  }
  IrpValues values;
  if (!resolveIrpParameters(irp, given, {"IRP", false}, &values, error)) return false;
  // A protocol that repeats its whole frame sends it twice for a short
  // press; one that sends a first frame sends it and one repeat.
  const uint32_t frames = irp.hasIntro() ? 1 : 2;
  if (renderIrp(irp, values, {frames, 0}, code, error)) return true;
  *error = "IRP: " + *error;
  return false;
}

const std::vector<std::string>& irProtocolNames() {
  static const std::vector<std::string> names = [] {
    const std::vector<IrProtocolInfo>& infos = protocolInfos();
    std::vector<std::string> list(infos.size());
    std::transform(infos.begin(), infos.end(), list.begin(),
                   [](const IrProtocolInfo& p) { return std::string(p.name); });
    return list;
  }();
  return names;
}

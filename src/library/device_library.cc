#include "library/device_library.h"

#include <algorithm>

FamilyPowerKeys familyPowerKeys(const TvKeyFamily& family) {
  FamilyPowerKeys keys;
  keys.toggle = findKey(family, "power");
  keys.on = findKey(family, "power_on");
  keys.off = findKey(family, "power_off");
  return keys;
}

ConfirmPress familyConfirm(const TvKeyFamily& family) {
  if (family.kind != DeviceKind::kProjector) return ConfirmPress::kNone;
  IrFields fields;
  fields.device = family.device;
  fields.subdevice = family.subdevice;
  const std::string key = familyKey(family.protocol, fields);
  const std::vector<LibraryCode>& rows = libraryCodes(DeviceKind::kProjector);
  const bool documented = std::any_of(rows.begin(), rows.end(), [&](const LibraryCode& row) {
    return row.family == key && row.confirm == ConfirmPress::kDocumented;
  });
  return documented ? ConfirmPress::kDocumented : ConfirmPress::kOffered;
}

OwnedIrCode confirmedCode(const OwnedIrCode& code) {
  OwnedIrCode twice = code;
  if (code.timings.size() < 2) return twice;
  // The terminating 0 becomes the pause: the renderer's closing silence
  // and the rest of the gap.
  twice.timings.back() = static_cast<int32_t>(kConfirmPressGapMs * 1000 / kTimingUnitUs);
  twice.timings.insert(twice.timings.end(), code.timings.begin(), code.timings.end());
  return twice;
}

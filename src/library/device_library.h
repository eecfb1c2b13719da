#ifndef IRWAV_LIBRARY_DEVICE_LIBRARY_H_
#define IRWAV_LIBRARY_DEVICE_LIBRARY_H_

// The code library by device kind, in one place. What each kind holds:
//
//   brands of a kind ............ brandNames(kind)               brands.h
//   a brand's codes, in order ... appendBrandCodes(brand, ..)    brands.h
//   the kind's sweep ............ sweepItems(power, kind)        power_choice.h
//   every power code (rows) ..... libraryCodes(kind)             power_library.h
//   universal TV lists .......... universalEntries()             universal_power.h
//   families and their keys ..... keyFamilies(kind)              tv_keys.h
//   a key's code ................ encodeKeyCode(family, code)    tv_keys.h
//   a family's power keys ....... familyPowerKeys(family)        here
//   second press (projectors) ... LibraryCode::confirm,
//                                 familyConfirm(family),
//                                 confirmedCode(code)            here
//
// The built-in table of the converter (ir_codes.h) belongs to TVs.

#include <cstdint>

#include "library/brands.h"
#include "library/device_kind.h"
#include "library/power_choice.h"
#include "library/power_library.h"
#include "library/tv_keys.h"
#include "library/universal_power.h"

/// How long after a projector's power-off the second press follows.
constexpr uint32_t kConfirmPressGapMs = 1500;

/// A family's power keys: the most common code of its keys power,
/// power_on and power_off; null where the family has no such key.
struct FamilyPowerKeys {
  const TvKeyCode* toggle = nullptr;
  const TvKeyCode* on = nullptr;   ///< a discrete on code
  const TvKeyCode* off = nullptr;  ///< a discrete off code
};

/// The power keys of `family`.
FamilyPowerKeys familyPowerKeys(const TvKeyFamily& family);

/// Whether switching a device of `family` off takes a second press:
/// kDocumented where a projector power code of the family says its sources
/// show it, kOffered for the other projector families, kNone for the
/// other kinds.
ConfirmPress familyConfirm(const TvKeyFamily& family);

/// `code` pressed twice, kConfirmPressGapMs apart: the power-off and the
/// press that confirms it, as one code.
OwnedIrCode confirmedCode(const OwnedIrCode& code);

#endif  // IRWAV_LIBRARY_DEVICE_LIBRARY_H_

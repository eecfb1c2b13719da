#ifndef IRWAV_APP_BRANDS_H_
#define IRWAV_APP_BRANDS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "library/device_kind.h"
#include "library/play_item.h"
#include "library/power_library.h"

/// The brand a user's spelling names: lower case, and "thompson", the
/// built-in table's spelling, read as "thomson".
std::string brandKey(const std::string& name);

/// The brand of built-in code `index`: its name without the digits that
/// number a brand's variants ("hitachi4" -> "hitachi").
std::string tableBrand(size_t index);

/// Every brand of a kind: for TVs the built-in table's brands in the order
/// they first appear there, then the library's other brands in library
/// order; for the other kinds the library's brands in library order (the
/// most documented first).
std::vector<std::string> brandNames(DeviceKind kind = DeviceKind::kTv);

/// The kinds whose brands include `name` (any case), in kDeviceKinds order.
std::vector<DeviceKind> brandKinds(const std::string& name);

/// Appends what `--brand name` plays for a device of `kind` to `items`, for
/// switching sets as `power` says (the codes power_choice.h lets play): the brand's documented
/// codes, the most widely documented first (a built-in code that carries
/// one at its place, the brand's built-in codes before its library rows of
/// as many remotes), then the brand's built-in best guesses in table order;
/// a library code that one of the brand's built-in codes carries plays only
/// as that (built-in codes are TVs'). For "all", the kind's sweep
/// (sweepItems). Returns false, appending nothing, when no brand of the
/// kind has that name.
bool appendBrandCodes(const std::string& name, std::vector<PlayItem>* items,
                      PowerKey power = PowerKey::kToggle, DeviceKind kind = DeviceKind::kTv);

/// What the player says about `--brand name` besides playing it, a line
/// each: that no code of the brand is documented (with the data's reason),
/// that all it plays are best guesses, that it has no code for `power`, and
/// each of its documented codes that cannot be played, with the reason;
/// unless `confirm` (--confirm) is given, each code it plays whose sources
/// say that switching off takes a second press. For "all", every library
/// code of the kind that cannot be played, and for the TV sweep of
/// toggles or off codes every universal list entry that cannot. Nothing
/// for an unknown brand.
std::vector<std::string> brandRemarks(const std::string& name, PowerKey power,
                                      DeviceKind kind = DeviceKind::kTv, bool confirm = false);

/// The message for a brand name that names no brand of `kind`: where the
/// brand is known as another kind, that kind ("no projector named "lg": lg
/// is known as tv, audio; try --kind tv").
std::string unknownBrandMessage(const std::string& name, DeviceKind kind = DeviceKind::kTv);

#endif  // IRWAV_APP_BRANDS_H_

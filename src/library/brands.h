#ifndef IRWAV_APP_BRANDS_H_
#define IRWAV_APP_BRANDS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "library/play_item.h"
#include "library/power_library.h"

/// The brand a user's spelling names: lower case, and "thompson", the
/// built-in table's spelling, read as "thomson".
std::string brandKey(const std::string& name);

/// The brand of built-in code `index`: its name without the digits that
/// number a brand's variants ("hitachi4" -> "hitachi").
std::string tableBrand(size_t index);

/// Every brand: the built-in table's brands in the order they first appear
/// there, then the library's other brands in library order.
std::vector<std::string> brandNames();

/// Appends what `--brand name` plays to `items`, for switching sets as
/// `power` says (the codes power_choice.h lets play): the brand's documented
/// codes, the most widely documented first (a built-in code that carries
/// one at its place, the brand's built-in codes before its library rows of
/// as many remotes), then the brand's built-in best guesses in table order;
/// a library code that one of the brand's built-in codes carries plays only
/// as that. For "all", the sweep (sweepItems). Returns false, appending
/// nothing, when no brand has that name.
bool appendBrandCodes(const std::string& name, std::vector<PlayItem>* items,
                      PowerKey power = PowerKey::kToggle);

/// What the player says about `--brand name` besides playing it, a line
/// each: that no code of the brand is documented (with the data's reason),
/// that all it plays are best guesses, that it has no code for `power`, and
/// each of its documented codes that cannot be played, with the reason. For
/// "all", every library code that cannot be played. Nothing for an unknown
/// brand.
std::vector<std::string> brandRemarks(const std::string& name, PowerKey power);

/// The message for a brand name that names no brand.
std::string unknownBrandMessage(const std::string& name);

#endif  // IRWAV_APP_BRANDS_H_

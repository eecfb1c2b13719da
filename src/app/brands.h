#ifndef IRWAV_APP_BRANDS_H_
#define IRWAV_APP_BRANDS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "app/play_item.h"

/// The brand a user's spelling names: lower case, and "thompson", the
/// built-in table's spelling, read as "thomson".
std::string brandKey(const std::string& name);

/// The brand of built-in code `index`: its name without the digits that
/// number a brand's variants ("hitachi4" -> "hitachi").
std::string tableBrand(size_t index);

/// Every brand, in the order `--brand all` plays them: the built-in table's
/// brands in the order they first appear there, then the library's other
/// brands in library order.
std::vector<std::string> brandNames();

/// Appends what `--brand name` plays to `items`: every built-in code of the
/// brand in table order, then each library code of the brand that the
/// table does not already carry, most widely documented first. For "all",
/// every brand in turn, each library code played once only. Returns false,
/// appending nothing, when no brand has that name.
bool appendBrandCodes(const std::string& name, std::vector<PlayItem>* items);

#endif  // IRWAV_APP_BRANDS_H_

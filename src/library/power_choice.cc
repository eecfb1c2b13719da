// Which of the library's codes play, in which order, when sets are to be
// switched on, off or in turn.

#include "library/power_choice.h"

#include <algorithm>
#include <map>
#include <string>

#include "library/ir_codes.h"

namespace {

bool sameCode(const OwnedIrCode& a, const OwnedIrCode& b) {
  return a.carrierHz == b.carrierHz && a.timings == b.timings;
}

/// Encodes what built-in code `index` carries, when its origin names a
/// protocol.
bool carriedCode(size_t index, OwnedIrCode* code) {
  const IrCodeOrigin& origin = kIrCodeOrigins[index];
  IrFields fields;
  fields.device = origin.device;
  fields.subdevice = origin.subdevice;
  fields.function = origin.function;
  std::string error;
  return *origin.protocol && encodeIrCode(origin.protocol, fields, code, &error);
}

/// The kinds of power key a family's codes have, one bit per PowerKey.
unsigned bitOf(PowerKey kind) { return 1u << static_cast<unsigned>(kind); }

/// For each code family, the kinds of its distinct codes.
const std::map<std::string, unsigned>& familyKinds() {
  static const std::map<std::string, unsigned> families = [] {
    std::map<std::string, unsigned> kinds;
    for (const DistinctCode& code : libraryIndex().codes)
      kinds[libraryCodes()[code.firstRow].family] |= bitOf(code.kind);
    return kinds;
  }();
  return families;
}

}  // namespace

const LibraryIndex& libraryIndex() {
  static const LibraryIndex index = [] {
    LibraryIndex built;
    const std::vector<LibraryCode>& rows = libraryCodes();
    std::vector<unsigned> kinds;  // per distinct code, the kinds its rows give
    for (size_t r = 0; r < rows.size(); ++r) {
      const LibraryCode& row = rows[r];
      int32_t found = -1;
      if (row.unplayable.empty()) {
        for (size_t c = 0; c < built.codes.size() && found < 0; ++c) {
          if (sameCode(rows[built.codes[c].firstRow].code, row.code))
            found = static_cast<int32_t>(c);
        }
        if (found < 0) {
          found = static_cast<int32_t>(built.codes.size());
          built.codes.push_back({r, 0, row.key, kNotInTable});
          kinds.push_back(0);
        }
        built.codes[found].remotes += row.remotes;
        kinds[found] |= bitOf(row.key);
      }
      built.codeOfRow.push_back(found);
    }
    for (size_t c = 0; c < built.codes.size(); ++c) {
      const bool toggle = (kinds[c] & bitOf(PowerKey::kToggle)) != 0 ||
                          kinds[c] == (bitOf(PowerKey::kOn) | bitOf(PowerKey::kOff));
      if (toggle) built.codes[c].kind = PowerKey::kToggle;
    }
    for (size_t i = 0; i < kIrCodeCount; ++i) {
      int32_t found = -1;
      OwnedIrCode carried;
      if (carriedCode(i, &carried)) {
        for (size_t c = 0; c < built.codes.size() && found < 0; ++c) {
          if (sameCode(rows[built.codes[c].firstRow].code, carried))
            found = static_cast<int32_t>(c);
        }
      }
      if (found >= 0 && built.codes[found].tableIndex == kNotInTable)
        built.codes[found].tableIndex = i;
      built.codeOfTableEntry.push_back(found);
    }
    return built;
  }();
  return index;
}

bool playsFor(size_t code, PowerKey power) {
  const DistinctCode& c = libraryIndex().codes[code];
  const unsigned kinds = familyKinds().at(libraryCodes()[c.firstRow].family);
  const auto has = [kinds](PowerKey kind) { return (kinds & bitOf(kind)) != 0; };
  PowerKey chosen = PowerKey::kToggle;
  if (power == PowerKey::kToggle) {
    if (!has(PowerKey::kToggle)) chosen = PowerKey::kOff;
  } else if (has(power)) {
    chosen = power;
  }
  return c.kind == chosen;
}

std::vector<SweepItem> sweepItems(PowerKey power) {
  const LibraryIndex& index = libraryIndex();
  std::vector<size_t> order;
  for (size_t c = 0; c < index.codes.size(); ++c) {
    if (playsFor(c, power)) order.push_back(c);
  }
  std::stable_sort(order.begin(), order.end(), [&index](size_t a, size_t b) {
    return index.codes[a].remotes > index.codes[b].remotes;
  });
  std::vector<SweepItem> items;
  for (size_t c : order) {
    const DistinctCode& code = index.codes[c];
    SweepItem sweep{PlayItem(), code.remotes};
    if (code.tableIndex != kNotInTable) {
      sweep.item.name = kIrCodeNames[code.tableIndex];
      sweep.item.tableIndex = code.tableIndex;
    } else {
      const LibraryCode& row = libraryCodes()[code.firstRow];
      sweep.item.name = row.name;
      sweep.item.built = row.code;
      sweep.item.libraryRow = &row;
    }
    sweep.item.documented = true;
    items.push_back(std::move(sweep));
  }
  // The best guesses: what carries no documented code, each carried code
  // once.
  std::vector<OwnedIrCode> guessed;
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    if (index.codeOfTableEntry[i] >= 0) continue;
    OwnedIrCode carried;
    if (carriedCode(i, &carried)) {
      const bool again = std::any_of(guessed.begin(), guessed.end(),
                                     [&](const OwnedIrCode& g) { return sameCode(g, carried); });
      if (again) continue;
      guessed.push_back(carried);
    }
    SweepItem sweep{PlayItem(), 0};
    sweep.item.name = kIrCodeNames[i];
    sweep.item.tableIndex = i;
    items.push_back(std::move(sweep));
  }
  return items;
}

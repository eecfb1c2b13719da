// Which of the library's codes play, in which order, when sets are to be
// switched on, off or in turn.

#include "library/power_choice.h"
#include "library/per_kind.h"

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
  std::string error;
  return *origin.protocol && encodeIrCode(origin.protocol, origin.fields(), code, &error);
}

/// The kinds of power key a family's codes have, one bit per PowerKey.
unsigned bitOf(PowerKey kind) { return 1u << static_cast<unsigned>(kind); }

/// What a code family's distinct codes are: the kinds of power key they
/// have, and the remote files that send each kind.
struct FamilyPower {
  unsigned kinds = 0;
  uint32_t remotes[3] = {0, 0, 0};  ///< by PowerKey

  [[nodiscard]] bool has(PowerKey kind) const { return (kinds & bitOf(kind)) != 0; }
  [[nodiscard]] uint32_t of(PowerKey kind) const { return remotes[static_cast<unsigned>(kind)]; }
};

/// For each code family of a kind, its FamilyPower.
std::map<std::string, FamilyPower> buildFamilyKinds(DeviceKind kind) {
  std::map<std::string, FamilyPower> families;
  for (const DistinctCode& code : libraryIndex(kind).codes) {
    FamilyPower& family = families[libraryCodes(kind)[code.firstRow].family];
    family.kinds |= bitOf(code.kind);
    family.remotes[static_cast<unsigned>(code.kind)] += code.remotes;
  }
  return families;
}

const std::map<std::string, FamilyPower>& familyKinds(DeviceKind kind) {
  static PerKind<std::map<std::string, FamilyPower>> families(buildFamilyKinds);
  return families.get(kind);
}

LibraryIndex buildIndex(DeviceKind kind) {
  LibraryIndex built;
  const std::vector<LibraryCode>& rows = libraryCodes(kind);
  std::vector<unsigned> kinds;  // per distinct code, the kinds its rows give
  for (size_t r = 0; r < rows.size(); ++r) {
    const LibraryCode& row = rows[r];
    int32_t found = -1;
    if (row.unplayable.empty()) {
      for (size_t c = 0; c < built.codes.size() && found < 0; ++c) {
        if (sameCode(rows[built.codes[c].firstRow].code, row.code)) found = static_cast<int32_t>(c);
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
  // Only TVs have built-in codes.
  if (kind != DeviceKind::kTv) return built;
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
        if (sameCode(rows[built.codes[c].firstRow].code, carried)) found = static_cast<int32_t>(c);
      }
    }
    if (found >= 0 && built.codes[found].tableIndex == kNotInTable)
      built.codes[found].tableIndex = i;
    built.codeOfTableEntry.push_back(found);
  }
  return built;
}

}  // namespace

const LibraryIndex& libraryIndex(DeviceKind kind) {
  static PerKind<LibraryIndex> indexes(buildIndex);
  return indexes.get(kind);
}

bool playsFor(size_t code, PowerKey power, DeviceKind kind) {
  const DistinctCode& c = libraryIndex(kind).codes[code];
  const FamilyPower& family = familyKinds(kind).at(libraryCodes(kind)[c.firstRow].family);
  if (power != PowerKey::kToggle) {
    const PowerKey chosen = family.has(power) ? power : PowerKey::kToggle;
    return c.kind == chosen;
  }
  if (c.kind == PowerKey::kToggle) return true;
  if (!family.has(PowerKey::kToggle)) return c.kind == PowerKey::kOff;
  // A discrete code that more remotes send than the family's toggles: its
  // remotes' power key, whatever the files call it.
  return family.of(c.kind) > family.of(PowerKey::kToggle);
}

std::vector<bool> onCodesFirst(const std::vector<size_t>& order, DeviceKind kind) {
  const LibraryIndex& index = libraryIndex(kind);
  std::vector<std::string> switched;  // families whose set may be off by now
  std::vector<bool> keep;
  for (size_t code : order) {
    const DistinctCode& c = index.codes[code];
    const std::string& family = libraryCodes(kind)[c.firstRow].family;
    const bool late = std::find(switched.begin(), switched.end(), family) != switched.end();
    keep.push_back(c.kind != PowerKey::kOn || !late);
    if (c.kind != PowerKey::kOn) switched.push_back(family);
  }
  return keep;
}

std::vector<const UniversalEntry*> universalSweepEntries(PowerKey power) {
  std::vector<const UniversalEntry*> chosen;
  if (power == PowerKey::kOn) return chosen;
  const LibraryIndex& index = libraryIndex();
  const std::vector<LibraryCode>& rows = libraryCodes();
  // The signals of the documented codes the sweep plays, and the rows
  // that send them, as the lists' in_power_codes name a row:
  // "BRAND,PROTOCOL,D,S,F" (the protocol left out, so that a corrected row
  // is still found).
  std::vector<std::string> signals;
  std::vector<std::string> rowNames;
  for (size_t r = 0; r < rows.size(); ++r) {
    const int32_t code = index.codeOfRow[r];
    if (code < 0 || !playsFor(static_cast<size_t>(code), power)) continue;
    const LibraryCode& row = rows[r];
    signals.push_back(signalKey(row.protocol, row.fields));
    const IrFields& f = row.fields;
    rowNames.push_back(row.brand + "," + std::to_string(f.device) + "," +
                       (f.subdevice >= 0 ? std::to_string(f.subdevice) : "") + "," +
                       std::to_string(f.function));
  }
  const auto has = [](const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
  };
  // Whether one of the entry's matching rows plays.
  const auto rowPlays = [&](const std::string& matches) {
    size_t at = 0;
    while (at < matches.size()) {
      const size_t end = std::min(matches.find(';', at), matches.size());
      std::string match = matches.substr(at, end - at);
      at = end + 1;
      while (!match.empty() && match.front() == ' ') match.erase(0, 1);
      // Leave the protocol, the second field, out.
      const size_t first = match.find(',');
      const size_t second = first == std::string::npos ? first : match.find(',', first + 1);
      if (second == std::string::npos) continue;
      if (has(rowNames, match.substr(0, first) + match.substr(second))) return true;
    }
    return false;
  };
  const std::map<std::string, FamilyPower>& families = familyKinds(DeviceKind::kTv);
  for (const UniversalEntry& entry : universalEntries()) {
    if (!entry.unplayable.empty()) continue;
    if (!entry.signal.empty() && has(signals, entry.signal)) continue;
    if (rowPlays(entry.inPowerCodes)) continue;
    if (power == PowerKey::kOff && !entry.family.empty()) {
      const auto family = families.find(entry.family);
      if (family != families.end() && family->second.has(PowerKey::kOff)) continue;
    }
    const bool again = std::any_of(chosen.begin(), chosen.end(), [&](const UniversalEntry* before) {
      return sameSignal(*before, entry);
    });
    if (!again) chosen.push_back(&entry);
  }
  return chosen;
}

std::vector<SweepItem> sweepItems(PowerKey power, DeviceKind kind) {
  const LibraryIndex& index = libraryIndex(kind);
  const std::vector<LibraryCode>& rows = libraryCodes(kind);
  std::vector<size_t> order;
  for (size_t c = 0; c < index.codes.size(); ++c) {
    if (playsFor(c, power, kind)) order.push_back(c);
  }
  std::stable_sort(order.begin(), order.end(), [&index](size_t a, size_t b) {
    return index.codes[a].remotes > index.codes[b].remotes;
  });
  const std::vector<bool> keep = onCodesFirst(order, kind);
  const std::vector<const UniversalEntry*> universal =
      kind == DeviceKind::kTv ? universalSweepEntries(power) : std::vector<const UniversalEntry*>();
  std::vector<SweepItem> items;
  items.reserve(order.size() + universal.size() + (kind == DeviceKind::kTv ? kIrCodeCount : 0));
  for (size_t i = 0; i < order.size(); ++i) {
    if (!keep[i]) continue;
    const size_t c = order[i];
    const DistinctCode& code = index.codes[c];
    SweepItem sweep{PlayItem(), code.remotes};
    if (code.tableIndex != kNotInTable) {
      sweep.item.name = kIrCodeNames[code.tableIndex];
      sweep.item.tableIndex = code.tableIndex;
    } else {
      const LibraryCode& row = rows[code.firstRow];
      sweep.item.name = row.name;
      sweep.item.libraryRow = &row;
    }
    sweep.item.documented = true;
    items.push_back(std::move(sweep));
  }
  if (kind != DeviceKind::kTv) return items;
  // What the universal entries sent, by their decoded codes' signals.
  std::vector<std::string> sent;
  for (const UniversalEntry* entry : universal) {
    SweepItem sweep{PlayItem(), 0};
    sweep.item.name = entry->name;
    sweep.item.universalEntry = entry;
    items.push_back(std::move(sweep));
    if (!entry->signal.empty()) sent.push_back(entry->signal);
  }
  // The best guesses: what carries no documented code, each carried code
  // once, none that a universal entry sent.
  std::vector<OwnedIrCode> guessed;
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    if (index.codeOfTableEntry[i] >= 0) continue;
    OwnedIrCode carried;
    if (carriedCode(i, &carried)) {
      const IrCodeOrigin& origin = kIrCodeOrigins[i];
      const bool again = std::find(sent.begin(), sent.end(),
                                   signalKey(origin.protocol, origin.fields())) != sent.end() ||
                         std::any_of(guessed.begin(), guessed.end(),
                                     [&](const OwnedIrCode& g) { return sameCode(g, carried); });
      if (again) continue;
      guessed.push_back(std::move(carried));
    }
    SweepItem sweep{PlayItem(), 0};
    sweep.item.name = kIrCodeNames[i];
    sweep.item.tableIndex = i;
    items.push_back(std::move(sweep));
  }
  return items;
}

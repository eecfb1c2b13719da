#include "library/brands.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "library/ir_codes.h"
#include "library/power_choice.h"
#include "library/universal_power.h"
#include "synth/name_match.h"

namespace {

/// A code of one brand's list and where it goes in it.
struct Ranked {
  PlayItem item;
  uint32_t remotes;
  int32_t code;  ///< its distinct code (power_choice.h); -1: none
};

/// The brand's TV library row that sends distinct code `code`, if any.
const LibraryCode* brandRowOf(const std::string& brand, int32_t code) {
  const std::vector<LibraryCode>& rows = libraryCodes();
  for (size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].brand == brand && code >= 0 && libraryIndex().codeOfRow[r] == code) return &rows[r];
  }
  return nullptr;
}

void appendOneBrand(const std::string& brand, PowerKey power, DeviceKind kind,
                    std::vector<PlayItem>* items) {
  const LibraryIndex& index = libraryIndex(kind);
  std::vector<Ranked> documented;
  std::vector<PlayItem> guesses;
  std::vector<int32_t> carried;
  // Only TVs have built-in codes.
  for (size_t i = 0; i < (kind == DeviceKind::kTv ? kIrCodeCount : 0); ++i) {
    if (tableBrand(i) != brand) continue;
    const int32_t code = index.codeOfTableEntry[i];
    if (code >= 0 && !playsFor(static_cast<size_t>(code), power)) continue;
    PlayItem item;
    item.name = kIrCodeNames[i];
    item.tableIndex = i;
    const LibraryCode* row = brandRowOf(brand, code);
    if (!row && !kIrCodeOrigins[i].documented) {
      guesses.push_back(std::move(item));
      continue;
    }
    item.documented = true;
    carried.push_back(code);
    documented.push_back({std::move(item), row ? row->remotes : 0, code});
  }
  const std::vector<LibraryCode>& rows = libraryCodes(kind);
  for (size_t r = 0; r < rows.size(); ++r) {
    const int32_t code = index.codeOfRow[r];
    if (rows[r].brand != brand || code < 0 || !playsFor(static_cast<size_t>(code), power, kind))
      continue;
    if (std::find(carried.begin(), carried.end(), code) != carried.end()) continue;
    carried.push_back(code);
    PlayItem item;
    item.name = rows[r].name;
    item.documented = true;
    item.libraryRow = &rows[r];
    documented.push_back({std::move(item), rows[r].remotes, code});
  }
  std::stable_sort(documented.begin(), documented.end(),
                   [](const Ranked& a, const Ranked& b) { return a.remotes > b.remotes; });
  std::vector<size_t> order;
  for (const Ranked& ranked : documented) {
    if (ranked.code >= 0) order.push_back(static_cast<size_t>(ranked.code));
  }
  const std::vector<bool> keep = onCodesFirst(order, kind);
  size_t at = 0;
  for (Ranked& ranked : documented) {
    if (ranked.code < 0 || keep[at++]) items->push_back(std::move(ranked.item));
  }
  items->insert(items->end(), std::make_move_iterator(guesses.begin()),
                std::make_move_iterator(guesses.end()));
}

bool knownBrand(const std::string& key, DeviceKind kind) {
  const std::vector<std::string> brands = brandNames(kind);
  return std::find(brands.begin(), brands.end(), key) != brands.end();
}

const char* kindWords(PowerKey power) {
  return power == PowerKey::kOn    ? "switches a set on"
         : power == PowerKey::kOff ? "switches a set off"
                                   : "switches a set on and off";
}

/// What --brand says of a code whose sources say it is sent twice.
std::string confirmRemark(const LibraryCode& row) {
  return row.name + ": its sources say that switching off takes a second press; --confirm sends it";
}

}  // namespace

std::string brandKey(const std::string& name) {
  const std::string key = lowerCase(name);
  return key == "thompson" ? "thomson" : key;
}

std::string tableBrand(size_t index) {
  std::string name = kIrCodeNames[index];
  while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back()))) name.pop_back();
  return brandKey(name);
}

std::vector<std::string> brandNames(DeviceKind kind) {
  std::vector<std::string> names;
  const auto add = [&names](const std::string& brand) {
    if (std::find(names.begin(), names.end(), brand) == names.end()) names.push_back(brand);
  };
  if (kind == DeviceKind::kTv) {
    for (size_t i = 0; i < kIrCodeCount; ++i) add(tableBrand(i));
  }
  for (const LibraryCode& row : libraryCodes(kind)) add(row.brand);
  return names;
}

std::vector<DeviceKind> brandKinds(const std::string& name) {
  std::vector<DeviceKind> kinds;
  const std::string key = brandKey(name);
  std::copy_if(std::begin(kDeviceKinds), std::end(kDeviceKinds), std::back_inserter(kinds),
               [&key](DeviceKind kind) { return knownBrand(key, kind); });
  return kinds;
}

bool appendBrandCodes(const std::string& name, std::vector<PlayItem>* items, PowerKey power,
                      DeviceKind kind) {
  const std::string key = brandKey(name);
  if (key == "all") {
    std::vector<SweepItem> sweep = sweepItems(power, kind);
    items->reserve(items->size() + sweep.size());
    std::transform(sweep.begin(), sweep.end(), std::back_inserter(*items),
                   [](SweepItem& item) { return std::move(item.item); });
    return true;
  }
  if (!knownBrand(key, kind)) return false;
  appendOneBrand(key, power, kind, items);
  return true;
}

std::vector<std::string> brandRemarks(const std::string& name, PowerKey power, DeviceKind kind,
                                      bool confirm) {
  const std::string key = brandKey(name);
  std::vector<std::string> remarks;
  if (key != "all" && !knownBrand(key, kind)) return remarks;
  bool anyDocumented = false;
  bool anyPlayable = false;
  std::string noCodeNote;
  for (const LibraryCode& row : libraryCodes(kind)) {
    if (key != "all" && row.brand != key) continue;
    if (row.remotes > 0) anyDocumented = true;
    if (row.unplayable.empty()) anyPlayable = true;
    if (row.protocol.empty()) {
      noCodeNote = row.notes;
    } else if (!row.unplayable.empty()) {
      remarks.push_back(row.name + " is not played: " + row.unplayable);
    }
  }
  if (key == "all") {
    if (kind != DeviceKind::kTv || power == PowerKey::kOn) return remarks;
    // One line for the universal lists' entries: they are many, and all
    // for the same reason.
    std::string names;
    size_t count = 0;
    std::string reason;
    for (const UniversalEntry& entry : universalEntries()) {
      if (entry.unplayable.empty()) continue;
      names += (names.empty() ? "" : ", ") + entry.name.substr(entry.name.find(' ') + 1);
      reason = count++ == 0 || reason == entry.unplayable ? entry.unplayable : "";
    }
    if (reason.compare(0, 6, "it is ") == 0) reason = "each is " + reason.substr(6);
    if (count > 0)
      remarks.push_back(std::to_string(count) + " entries of the universal lists are not played (" +
                        names + ")" + (reason.empty() ? "" : ": " + reason));
    return remarks;
  }
  // What the brand plays (the sweep, for "all", needs nothing of this).
  std::vector<PlayItem> items;
  appendBrandCodes(key, &items, power, kind);
  if (!confirm) {
    for (const PlayItem& item : items) {
      if (item.libraryRow && item.libraryRow->confirm == ConfirmPress::kDocumented)
        remarks.push_back(confirmRemark(*item.libraryRow));
    }
  }
  const bool anyPlayed =
      std::any_of(items.begin(), items.end(), [](const PlayItem& item) { return item.documented; });
  if (!anyDocumented) {
    std::string remark = "no power code of " + key + " is documented";
    if (!noCodeNote.empty()) remark += " (" + noCodeNote + ")";
    remark += items.empty() ? "; --brand all plays every code" : "; what plays are best guesses";
    remarks.insert(remarks.begin(), remark);
  } else if (!anyPlayed && anyPlayable) {
    remarks.insert(remarks.begin(), "no documented code of " + key + " " + kindWords(power) +
                                        (items.empty() ? "; --brand all plays every code"
                                                       : "; what plays are best guesses"));
  }
  return remarks;
}

std::string unknownBrandMessage(const std::string& name, DeviceKind kind) {
  const std::vector<DeviceKind> kinds = brandKinds(name);
  if (!kinds.empty()) {
    std::string known;
    for (DeviceKind k : kinds) known += (known.empty() ? "" : ", ") + std::string(kindName(k));
    // A kind other than TVs, the default, is the likelier one meant.
    const auto other =
        std::find_if(kinds.begin(), kinds.end(), [](DeviceKind k) { return k != DeviceKind::kTv; });
    return std::string("no ") + kindNoun(kind) + " named \"" + name + "\": " + brandKey(name) +
           " is known as " + known + "; try --kind " +
           kindName(other != kinds.end() ? *other : kinds.front());
  }
  const std::string brands = std::to_string(brandNames(kind).size());
  if (kind == DeviceKind::kTv)
    return "no brand named \"" + name + "\": irwav-play knows " + brands +
           " brands (irwav-play --brands lists them); --brand all plays every code";
  return std::string("no ") + kindNoun(kind) + " brand named \"" + name + "\": irwav-play knows " +
         brands + " (irwav-play --brands --kind " + kindName(kind) +
         " lists them); --brand all --kind " + kindName(kind) + " plays every code";
}

#include "library/brands.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "library/ir_codes.h"
#include "library/power_choice.h"
#include "synth/name_match.h"

namespace {

/// A code of one brand's list and where it goes in it.
struct Ranked {
  PlayItem item;
  uint32_t remotes;
};

/// The brand's library row that sends distinct code `code`, if any.
const LibraryCode* brandRowOf(const std::string& brand, int32_t code) {
  const std::vector<LibraryCode>& rows = libraryCodes();
  for (size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].brand == brand && code >= 0 && libraryIndex().codeOfRow[r] == code) return &rows[r];
  }
  return nullptr;
}

void appendOneBrand(const std::string& brand, PowerKey power, std::vector<PlayItem>* items) {
  const LibraryIndex& index = libraryIndex();
  std::vector<Ranked> documented;
  std::vector<PlayItem> guesses;
  std::vector<int32_t> carried;
  for (size_t i = 0; i < kIrCodeCount; ++i) {
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
    documented.push_back({std::move(item), row ? row->remotes : 0});
  }
  const std::vector<LibraryCode>& rows = libraryCodes();
  for (size_t r = 0; r < rows.size(); ++r) {
    const int32_t code = index.codeOfRow[r];
    if (rows[r].brand != brand || code < 0 || !playsFor(static_cast<size_t>(code), power)) continue;
    if (std::find(carried.begin(), carried.end(), code) != carried.end()) continue;
    carried.push_back(code);
    PlayItem item;
    item.name = rows[r].name;
    item.built = rows[r].code;
    item.documented = true;
    item.libraryRow = &rows[r];
    documented.push_back({std::move(item), rows[r].remotes});
  }
  std::stable_sort(documented.begin(), documented.end(),
                   [](const Ranked& a, const Ranked& b) { return a.remotes > b.remotes; });
  std::transform(documented.begin(), documented.end(), std::back_inserter(*items),
                 [](Ranked& ranked) { return std::move(ranked.item); });
  items->insert(items->end(), std::make_move_iterator(guesses.begin()),
                std::make_move_iterator(guesses.end()));
}

bool knownBrand(const std::string& key) {
  const std::vector<std::string> brands = brandNames();
  return std::find(brands.begin(), brands.end(), key) != brands.end();
}

const char* kindWords(PowerKey power) {
  return power == PowerKey::kOn    ? "switches a set on"
         : power == PowerKey::kOff ? "switches a set off"
                                   : "switches a set on and off";
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

std::vector<std::string> brandNames() {
  std::vector<std::string> names;
  const auto add = [&names](const std::string& brand) {
    if (std::find(names.begin(), names.end(), brand) == names.end()) names.push_back(brand);
  };
  for (size_t i = 0; i < kIrCodeCount; ++i) add(tableBrand(i));
  for (const LibraryCode& row : libraryCodes()) add(row.brand);
  return names;
}

bool appendBrandCodes(const std::string& name, std::vector<PlayItem>* items, PowerKey power) {
  const std::string key = brandKey(name);
  if (key == "all") {
    std::vector<SweepItem> sweep = sweepItems(power);
    std::transform(sweep.begin(), sweep.end(), std::back_inserter(*items),
                   [](SweepItem& item) { return std::move(item.item); });
    return true;
  }
  if (!knownBrand(key)) return false;
  appendOneBrand(key, power, items);
  return true;
}

std::vector<std::string> brandRemarks(const std::string& name, PowerKey power) {
  const std::string key = brandKey(name);
  std::vector<std::string> remarks;
  if (key != "all" && !knownBrand(key)) return remarks;
  std::vector<PlayItem> items;
  appendBrandCodes(key, &items, power);
  bool anyDocumented = false;
  bool anyPlayable = false;
  std::string noCodeNote;
  for (const LibraryCode& row : libraryCodes()) {
    if (key != "all" && row.brand != key) continue;
    if (row.remotes > 0) anyDocumented = true;
    if (row.unplayable.empty()) anyPlayable = true;
    if (row.protocol.empty()) {
      noCodeNote = row.notes;
    } else if (!row.unplayable.empty()) {
      remarks.push_back(row.name + " is not played: " + row.unplayable);
    }
  }
  if (key == "all") return remarks;
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

std::string unknownBrandMessage(const std::string& name) {
  return "no brand named \"" + name + "\": irwav-play knows " +
         std::to_string(brandNames().size()) +
         " brands (irwav-play --brands lists them); --brand all plays every code";
}

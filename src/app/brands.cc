#include "app/brands.h"

#include <algorithm>
#include <cctype>

#include "app/brand_codes.h"
#include "app/ir_codes.h"

namespace {

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

/// How the report names a library code: its brand, then the code as --code
/// takes it ("lg nec1:4:8", "samsung necx2:7.7:2").
std::string libraryCodeName(const BrandCode& row) {
  const IrFields& f = row.fields;
  std::string name =
      std::string(row.brand) + " " + lowerCase(row.protocol) + ":" + std::to_string(f.device);
  if (f.subdevice >= 0) name += "." + std::to_string(f.subdevice);
  name += ":" + std::to_string(f.function);
  if (f.toggle != 0) name += ":t=" + std::to_string(f.toggle);
  if (f.oem1 >= 0) name += ":m=" + std::to_string(f.oem1) + ":n=" + std::to_string(f.oem2);
  if (f.extra != 0) name += ":e=" + std::to_string(f.extra);
  return name;
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

bool sameCode(const OwnedIrCode& a, const OwnedIrCode& b) {
  return a.carrierHz == b.carrierHz && a.timings == b.timings;
}

/// Appends the codes of one brand; a library code that `played` already
/// holds is passed over, and each one appended joins it. Built-in codes
/// always play, and what they carry joins `played` too.
void appendOneBrand(const std::string& brand, std::vector<PlayItem>* items,
                    std::vector<OwnedIrCode>* played) {
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    if (tableBrand(i) != brand) continue;
    PlayItem item;
    item.name = kIrCodeNames[i];
    item.tableIndex = i;
    items->push_back(item);
    OwnedIrCode carried;
    if (carriedCode(i, &carried)) played->push_back(carried);
  }

  std::vector<const BrandCode*> rows;
  for (const BrandCode& row : kBrandCodes) {
    if (row.brand == brand && row.remotes > 0 && *row.protocol) rows.push_back(&row);
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const BrandCode* a, const BrandCode* b) { return a->remotes > b->remotes; });
  for (const BrandCode* row : rows) {
    PlayItem item;
    std::string error;
    // Every row that names a protocol encodes; the tests hold the library to
    // that, so a row that would not is simply not played.
    if (!encodeIrCode(row->protocol, row->fields, &item.built, &error)) continue;
    const bool carried = std::any_of(played->begin(), played->end(), [&](const OwnedIrCode& code) {
      return sameCode(code, item.built);
    });
    if (carried) continue;
    played->push_back(item.built);
    item.name = libraryCodeName(*row);
    item.libraryRow = row;
    items->push_back(std::move(item));
  }
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
  for (const BrandCode& row : kBrandCodes) add(row.brand);
  return names;
}

bool appendBrandCodes(const std::string& name, std::vector<PlayItem>* items) {
  const std::string key = brandKey(name);
  const std::vector<std::string> brands = brandNames();
  std::vector<OwnedIrCode> played;
  if (key == "all") {
    // A library code that any built-in code carries is left out, whichever
    // brand comes first.
    for (size_t i = 0; i < kIrCodeCount; ++i) {
      OwnedIrCode carried;
      if (carriedCode(i, &carried)) played.push_back(carried);
    }
    for (const std::string& brand : brands) appendOneBrand(brand, items, &played);
    return true;
  }
  if (std::find(brands.begin(), brands.end(), key) == brands.end()) return false;
  appendOneBrand(key, items, &played);
  return true;
}

#include "library/play_order.h"

#include <algorithm>

#include "library/ir_codes.h"

namespace {

/// Every built-in code as an item, in table order.
const std::vector<PlayItem>& tableItems() {
  static const std::vector<PlayItem> items = [] {
    std::vector<PlayItem> all(kIrCodeCount);
    for (size_t i = 0; i < kIrCodeCount; ++i) {
      all[i].name = kIrCodeNames[i];
      all[i].tableIndex = i;
    }
    return all;
  }();
  return items;
}

}  // namespace

std::string codeFamily(const PlayItem& item) {
  if (item.libraryRow) return item.libraryRow->family;
  if (item.universalEntry && !item.universalEntry->family.empty())
    return item.universalEntry->family;
  if (item.tableIndex != kNotInTable && *kIrCodeOrigins[item.tableIndex].protocol) {
    const IrCodeOrigin& origin = kIrCodeOrigins[item.tableIndex];
    return familyKey(origin.protocol, origin.fields());
  }
  return item.name;
}

void forEachCode(const std::vector<PlayItem>& codes, const std::vector<PlayRun>& runs,
                 const std::function<bool(const PlayItem& item, bool named)>& visit) {
  const std::vector<PlayItem>& items = codes.empty() ? tableItems() : codes;
  size_t reached = 0;
  for (const PlayRun& run : runs) {
    const size_t end = std::min(run.first + run.count, items.size());
    for (size_t i = run.first; i < end; ++i) {
      if (!visit(items[i], run.named)) return;
    }
    reached = std::max(reached, end);
  }
  for (size_t i = reached; i < items.size(); ++i) {
    if (!visit(items[i], false)) return;
  }
}

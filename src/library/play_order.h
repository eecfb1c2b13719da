#ifndef IRWAV_APP_PLAY_ORDER_H_
#define IRWAV_APP_PLAY_ORDER_H_

#include <cstddef>
#include <functional>
#include <vector>

#include "library/play_item.h"

/// The codes one argument named: `count` items of the code list from
/// `first`. An argument given again is the same run once more, not a copy
/// of its codes.
struct PlayRun {
  size_t first = 0;
  size_t count = 0;
  /// Named by the user (a code's name or index, --code, --pronto), rather
  /// than found by a --brand expansion: a named code that cannot play is an
  /// error, a brand's is a notice.
  bool named = true;
};

/// Calls `visit(item, named)` for each code in playing order: the items of
/// each run in turn, then the items of `codes` that no run reaches (codes a
/// caller appended directly), once each and not named; with no codes at
/// all, every built-in code in table order, not named. Stops as soon as
/// `visit` returns false.
void forEachCode(const std::vector<PlayItem>& codes, const std::vector<PlayRun>& runs,
                 const std::function<bool(const PlayItem& item, bool named)>& visit);

#endif  // IRWAV_APP_PLAY_ORDER_H_

#ifndef IRWAV_APP_PLAY_ITEM_H_
#define IRWAV_APP_PLAY_ITEM_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "library/ir_codes.h"
#include "library/power_library.h"
#include "library/universal_power.h"
#include "synth/ir_protocol.h"

/// The tableIndex of a code that is not a built-in one.
constexpr size_t kNotInTable = static_cast<size_t>(-1);

/// One code the player was asked for: a built-in one, or one built from a
/// brand library row, a --code or a --pronto.
struct PlayItem {
  std::string name;  ///< as the report names it: "sony", "lg nec1:4:8", "pronto 1"
  size_t tableIndex = kNotInTable;
  /// The code, when it is neither a built-in one nor, unchanged, its
  /// library row's or universal entry's own.
  OwnedIrCode built;
  /// A documented power code: a library row, or a built-in code that
  /// carries one. False for a best guess and for a user's own code.
  bool documented = false;
  const LibraryCode* libraryRow = nullptr;  ///< the library row it was built from, if any
  /// The universal list entry it plays as stored, if any; its code is
  /// the entry's, not copied into `built`.
  const UniversalEntry* universalEntry = nullptr;
  /// For a code that is not a library row's: whether it is a projector's
  /// power-off that a second press confirms (a library row says it itself).
  ConfirmPress confirm = ConfirmPress::kNone;
  /// Encodes the code as a key held a number of milliseconds, for --hold;
  /// empty for a code that is always sent as it is.
  std::function<bool(uint32_t holdMs, OwnedIrCode* code, std::string* error)> encodeHeld;

  /// The code to render; valid while this item lives unchanged.
  [[nodiscard]] IrCode code() const {
    if (tableIndex != kNotInTable) return *kIrCodes[tableIndex];
    // A library row and a universal list's entry play their own code,
    // which is not copied.
    if (!built.timings.empty()) return built.view();
    if (universalEntry != nullptr) return universalEntry->code.view();
    if (libraryRow != nullptr) return libraryRow->code.view();
    return built.view();
  }
};

/// The code family of `item` as familyKey writes it ("nec1 4 -1"): its
/// library row's, its universal entry's decoded one, or that of the code a
/// built-in code carries; for a code of no known family (a raw one, a
/// user's), its name, a family of its own.
std::string codeFamily(const PlayItem& item);

#endif  // IRWAV_APP_PLAY_ITEM_H_

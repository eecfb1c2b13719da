#ifndef IRWAV_LIBRARY_POWER_CHOICE_H_
#define IRWAV_LIBRARY_POWER_CHOICE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "library/device_kind.h"
#include "library/play_item.h"
#include "library/power_library.h"
#include "library/universal_power.h"

/// One distinct power code of the library: rows of several brands may send
/// it, and a built-in code may carry it.
struct DistinctCode {
  size_t firstRow;    ///< the first library row that sends it
  uint32_t remotes;   ///< remote files that send it, summed over its rows
  PowerKey kind;      ///< a toggle when any row says so or rows say both on and off
  size_t tableIndex;  ///< the first built-in code that carries it; kNotInTable: none
};

/// The library's distinct codes, in the order of their first rows, and for
/// each library row the index of its code among them (-1: not playable).
struct LibraryIndex {
  std::vector<DistinctCode> codes;
  std::vector<int32_t> codeOfRow;
  std::vector<int32_t> codeOfTableEntry;  ///< per built-in code: what it carries, or -1
};

/// The index of one kind's library, built on first use. Only TVs have
/// built-in codes: the other kinds' codeOfTableEntry is empty.
const LibraryIndex& libraryIndex(DeviceKind kind = DeviceKind::kTv);

/// Whether distinct code `code` plays when sets are to be switched as
/// `power` says. Codes of one family (power_library.h) go to one kind of
/// set. For kToggle a family plays its toggles, its off codes where it has
/// no toggle, and where it has one, its on or off codes that more remote
/// files send than its toggles (Epson projectors' power key, which the
/// files mostly call "Power" and some "ON"); for kOff its off codes, or its toggles
/// where it has none; for kOn likewise its on codes. With onCodesFirst, a
/// list never plays an on code after an off code or a toggle of its family
/// that may have switched a set off, and no family is left out for which
/// its kind, or a toggle, exists.
bool playsFor(size_t code, PowerKey power, DeviceKind kind = DeviceKind::kTv);

/// Which of the distinct codes `order` lists, in playing order, may play:
/// all but an on code that follows an off code or a toggle of its family.
std::vector<bool> onCodesFirst(const std::vector<size_t>& order, DeviceKind kind);

/// One code of the sweep and the remote files it reaches.
struct SweepItem {
  PlayItem item;
  uint32_t remotes;  ///< summed over brands; 0 for a best guess or a universal list's entry
};

/// What `--brand all` plays for a kind: every distinct power code of its
/// library that plays for `power` once, the codes most remote files send
/// first (ties in library order). For TVs, a code that a built-in code
/// carries is played as that built-in code, at the code's place; then, for
/// toggles and off codes, the universal lists' entries that no code before
/// them plays (universalSweepEntries); then the built-in codes that carry
/// no documented code, the best guesses, in table order (one of those that
/// carry the same code, none that a universal entry sent).
std::vector<SweepItem> sweepItems(PowerKey power, DeviceKind kind = DeviceKind::kTv);

/// The universal lists' entries the TV sweep for `power` plays, in the
/// lists' own order (na, eu, then the Flipper list): none for kOn, whose
/// sweep plays on codes only; each entry that can be played and whose
/// signal no documented code of the sweep sends (by the entry's own list of
/// matching rows, in_power_codes, or by its decoded code), nor an entry
/// before it; for kOff, none of a family that has an off code.
std::vector<const UniversalEntry*> universalSweepEntries(PowerKey power);

#endif  // IRWAV_LIBRARY_POWER_CHOICE_H_

#ifndef IRWAV_SYNTH_PRONTO_H_
#define IRWAV_SYNTH_PRONTO_H_

#include <cstdint>
#include <string>

#include "synth/ir_protocol.h"

/// Parses a Pronto code in learned format ("0000 FREQ ONCE REPEAT" then the
/// burst pairs, words of 4 hex digits separated by blanks) into a code of a
/// short press: the once sequence followed by the repeat sequence once (the
/// repeat sequence alone when the once sequence is empty). The carrier is
/// 1000000 / (FREQ * 0.241246) Hz, rounded; each duration is its count of
/// carrier periods, rounded to the nearest kTimingUnitUs. Returns false, with
/// a message naming the fault in *error, for a word that is not 4 hex digits,
/// a format other than 0000, no words or no burst pairs, a frequency of 0,
/// counts that do not match the length, a duration that is 0 or so short
/// that it rounds to 0, and a code outside checkCodeLimits (a carrier
/// outside 15 to 500 kHz, more than 10 s of marks and spaces).
bool parsePronto(const std::string& text, OwnedIrCode* code, std::string* error);

/// As parsePronto, for a key held `holdMs`: the once sequence, then the
/// repeat sequence again and again until holdMs have passed since the code
/// began (at least once, as a short press). A code without a repeat
/// sequence is sent once.
bool parseHeldPronto(const std::string& text, uint32_t holdMs, OwnedIrCode* code,
                     std::string* error);

#endif  // IRWAV_SYNTH_PRONTO_H_

#ifndef IRWAV_SYNTH_DECIMAL_H_
#define IRWAV_SYNTH_DECIMAL_H_

#include <cstddef>
#include <cstdint>
#include <string>

/// The value readDecimal stops growing at: above every limit a caller
/// checks against, so however many digits are given, nothing overflows.
constexpr uint64_t kDecimalCeiling = uint64_t{1} << 32;

/// Reads `text` as an unsigned decimal number: digits only, no sign and no
/// blanks, leading zeros allowed (the value counts, not the length). A
/// value above kDecimalCeiling reads as kDecimalCeiling. Returns false for
/// empty text or any other character.
inline bool readDecimal(const std::string& text, uint64_t* value) {
  if (text.empty()) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    if (v < kDecimalCeiling) v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  *value = v < kDecimalCeiling ? v : kDecimalCeiling;
  return true;
}

/// Reads `text` as a code's field: decimal as readDecimal reads it, or
/// hexadecimal after "0x" or "0X" ("0x7d", "0X7D"), digits in any case. A
/// value above kDecimalCeiling reads as kDecimalCeiling. Returns false for
/// empty text, "0x" alone or any other character.
inline bool readNumber(const std::string& text, uint64_t* value) {
  if (text.size() < 2 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
    return readDecimal(text, value);
  if (text.size() == 2) return false;
  uint64_t v = 0;
  for (size_t i = 2; i < text.size(); ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return false;
    if (v < kDecimalCeiling) v = v * 16 + static_cast<uint64_t>(digit);
  }
  *value = v < kDecimalCeiling ? v : kDecimalCeiling;
  return true;
}

#endif  // IRWAV_SYNTH_DECIMAL_H_

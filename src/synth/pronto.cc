#include "synth/pronto.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "synth/code_limits.h"
#include "synth/ir_code.h"

namespace {

/// The Pronto clock: a frequency word N stands for a carrier period of
/// N * 0.241246 µs, kept here as 241246 units of 1e-6 µs to count exactly.
constexpr uint64_t kClockPicoUs = 241246;
constexpr uint64_t kPicoUsPerUnit = 1000000ull * kTimingUnitUs;

// The longest duration a word can hold, FFFF periods at frequency FFFF, is
// about 1036 s: 1.04e8 units, within an int32_t timing value. Only a word of
// more than 4 digits could overflow, and it is refused; checkCodeLimits then
// bounds the whole code.

bool readWords(const std::string& text, std::vector<uint32_t>* words, std::string* error) {
  size_t i = 0;
  while (i < text.size()) {
    if (std::isspace(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    const std::string word = text.substr(i, end - i);
    uint32_t value = 0;
    bool hex = word.size() == 4;
    for (char c : word) {
      hex = hex && std::isxdigit(static_cast<unsigned char>(c));
      if (hex) {
        const int digit = std::isdigit(static_cast<unsigned char>(c))
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        value = value * 16 + static_cast<uint32_t>(digit);
      }
    }
    if (!hex) {
      *error = "Pronto word " + std::to_string(words->size() + 1) + " \"" + word +
               "\" is not 4 hex digits";
      return false;
    }
    words->push_back(value);
    i = end;
  }
  return true;
}

std::string hexWord(uint32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[value >> shift & 0xF];
  return text;
}

}  // namespace

bool parsePronto(const std::string& text, OwnedIrCode* code, std::string* error) {
  return parseHeldPronto(text, 0, code, error);
}

bool parseHeldPronto(const std::string& text, uint32_t holdMs, OwnedIrCode* code,
                     std::string* error) {
  std::vector<uint32_t> words;
  if (!readWords(text, &words, error)) return false;
  if (words.empty()) {
    *error = "the Pronto code is empty";
    return false;
  }
  if (words[0] != 0x0000) {
    *error = "Pronto format " + hexWord(words[0]) +
             " is not supported: only learned codes with a carrier (0000) are";
    return false;
  }
  if (words.size() < 4) {
    *error = "the Pronto code has " + std::to_string(words.size()) +
             " words; it needs at least 4 (format, frequency and the two counts)";
    return false;
  }
  const uint64_t frequency = words[1];
  if (frequency == 0) {
    *error = "the Pronto frequency word is 0000";
    return false;
  }
  const size_t once = words[2];
  const size_t repeat = words[3];
  if (once + repeat == 0) {
    *error = "the Pronto code holds no burst pairs (both counts are 0)";
    return false;
  }
  const size_t expected = 4 + 2 * (once + repeat);
  if (words.size() != expected) {
    *error = "the Pronto counts " + hexWord(words[2]) + " and " + hexWord(words[3]) + " call for " +
             std::to_string(expected) + " words, but the code has " + std::to_string(words.size());
    return false;
  }

  const uint64_t periodPicoUs = frequency * kClockPicoUs;
  code->carrierHz = static_cast<uint32_t>((1000000000000ull + periodPicoUs / 2) / periodPicoUs);
  code->timings.clear();
  // A short press: the once sequence, then the repeat sequence once.
  for (size_t i = 4; i < words.size(); ++i) {
    const uint64_t units = (words[i] * periodPicoUs + kPicoUsPerUnit / 2) / kPicoUsPerUnit;
    if (units == 0) {
      *error = "Pronto word " + std::to_string(i + 1) + " (" + hexWord(words[i]) + ") is " +
               (words[i] == 0 ? "a duration of 0" : "shorter than 5 us at this frequency");
      return false;
    }
    code->timings.push_back(static_cast<int32_t>(units));
  }
  // A held key: the repeat sequence again until the hold has passed.
  const size_t repeatFrom = 2 * once;
  int64_t elapsedUs = 0;
  for (int32_t units : code->timings) elapsedUs += int64_t{units} * kTimingUnitUs;
  int64_t repeatUs = 0;
  for (size_t i = repeatFrom; i < code->timings.size(); ++i)
    repeatUs += int64_t{code->timings[i]} * kTimingUnitUs;
  const size_t end = code->timings.size();
  for (; repeat > 0 && elapsedUs < int64_t{holdMs} * 1000; elapsedUs += repeatUs) {
    for (size_t i = repeatFrom; i < end; ++i) code->timings.push_back(code->timings[i]);
  }
  code->timings.back() = 0;
  return checkCodeLimits(*code, error);
}

#ifndef IRWAV_PLATFORM_UTF8_H_
#define IRWAV_PLATFORM_UTF8_H_

#include <cstddef>
#include <cstdint>
#include <string>

/// The code point of the UTF-8 sequence at `text[at]` in *c, and its length
/// in bytes; 0 when no valid sequence starts there (a stray continuation
/// byte, a lead byte C0, C1 or F5..FF, a sequence cut short, an overlong
/// form, a code point above U+10FFFF). A surrogate (U+D800..U+DFFF), which
/// UTF-8 does not carry, counts as valid only when `surrogates` is set: a
/// Windows name may hold one alone, and then it travels in the three bytes
/// that UTF-8 would give it.
inline size_t decodeUtf8(const std::string& text, size_t at, bool surrogates, uint32_t* c) {
  const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
  const uint32_t lead = byte(at);
  const size_t length = lead < 0x80                   ? 1
                        : lead >= 0xC2 && lead < 0xE0 ? 2
                        : lead >= 0xE0 && lead < 0xF0 ? 3
                        : lead >= 0xF0 && lead < 0xF5 ? 4
                                                      : 0;
  if (length == 0 || at + length > text.size()) return 0;
  uint32_t value = length == 1 ? lead : lead & (0x7Fu >> length);
  for (size_t k = 1; k < length; ++k) {
    if ((byte(at + k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(at + k) & 0x3F);
  }
  if (length == 3 && value < 0x800) return 0;
  if (length == 3 && !surrogates && value >= 0xD800 && value < 0xE000) return 0;
  if (length == 4 && (value < 0x10000 || value > 0x10FFFF)) return 0;
  *c = value;
  return length;
}

/// Puts the UTF-8 bytes of code point `c` (at most U+10FFFF; a surrogate
/// too) into `out`, which has room for four, and returns how many.
inline size_t encodeUtf8(uint32_t c, char* out) {
  const auto put = [out](size_t i, uint32_t byte) { out[i] = static_cast<char>(byte); };
  if (c < 0x80) {
    put(0, c);
    return 1;
  }
  if (c < 0x800) {
    put(0, 0xC0 | (c >> 6));
    put(1, 0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    put(0, 0xE0 | (c >> 12));
    put(1, 0x80 | ((c >> 6) & 0x3F));
    put(2, 0x80 | (c & 0x3F));
    return 3;
  }
  put(0, 0xF0 | ((c >> 18) & 0x07));
  put(1, 0x80 | ((c >> 12) & 0x3F));
  put(2, 0x80 | ((c >> 6) & 0x3F));
  put(3, 0x80 | (c & 0x3F));
  return 4;
}

/// `text` as wide characters: each valid UTF-8 sequence as its character,
/// each other byte b as U+DC00 + b, a lone surrogate that no valid sequence
/// gives, so that the bytes can be told back exactly.
inline std::wstring widenKeepingBytes(const std::string& text) {
  std::wstring wide;
  for (size_t i = 0; i < text.size();) {
    uint32_t c = 0;
    size_t length = decodeUtf8(text, i, false, &c);
    if (length == 0) {
      c = 0xDC00 | static_cast<unsigned char>(text[i]);
      length = 1;
    }
    wide += static_cast<wchar_t>(c);
    i += length;
  }
  return wide;
}

#endif  // IRWAV_PLATFORM_UTF8_H_

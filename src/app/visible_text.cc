#include "app/visible_text.h"

#include <cstdint>

#include "platform/utf8.h"

std::string visibleText(const std::string& text, bool escapeBackslash) {
  static const char kHex[] = "0123456789abcdef";
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    uint32_t c = 0;
    size_t length = decodeUtf8(text, i, false, &c);
    const bool control = length == 0 || c < 0x20 || (c >= 0x7F && c < 0xA0);
    if (length == 0) length = 1;
    if (c == '\\' && escapeBackslash) {
      shown += "\\\\";
    } else if (!control) {
      shown.append(text, i, length);
    } else if (c == '\t' || c == '\n' || c == '\r') {
      shown += c == '\t' ? "\\t" : c == '\n' ? "\\n" : "\\r";
    } else {
      for (size_t k = i; k < i + length; ++k) {
        const auto byte = static_cast<unsigned char>(text[k]);
        shown += "\\x";
        shown += kHex[byte >> 4];
        shown += kHex[byte & 15];
      }
    }
    i += length;
  }
  return shown;
}

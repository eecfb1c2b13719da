// Windows: the arguments are taken from the wide command line; argv holds
// them in the console's code page, which cannot spell most names.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/arguments.h"
#include "platform/utf8.h"

namespace {

/// `wide` (UTF-16) as UTF-8; a surrogate without its partner goes as the
/// three bytes of its own code point.
std::string toUtf8(const wchar_t* wide) {
  std::string text;
  for (; *wide; ++wide) {
    uint32_t c = static_cast<uint16_t>(*wide);
    if (c >= 0xD800 && c < 0xDC00 && wide[1] >= 0xDC00 && wide[1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(wide[1]) - 0xDC00);
      ++wide;
    }
    char bytes[4];
    text.append(bytes, encodeUtf8(c, bytes));
  }
  return text;
}

}  // namespace

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(toUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

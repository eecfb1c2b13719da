#ifndef IRWAV_PLATFORM_MESSAGE_TEXT_H_
#define IRWAV_PLATFORM_MESSAGE_TEXT_H_

#include <string>

/// A system message as one line: without the line break and the closing full
/// stop that system message tables end their texts with, so that it reads
/// like the POSIX reasons ("Access is denied", "Is a directory").
inline std::string trimmedMessage(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                           text.back() == '\t' || text.back() == '.'))
    text.pop_back();
  return text;
}

#endif  // IRWAV_PLATFORM_MESSAGE_TEXT_H_

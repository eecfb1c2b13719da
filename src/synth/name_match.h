#ifndef IRWAV_SYNTH_NAME_MATCH_H_
#define IRWAV_SYNTH_NAME_MATCH_H_

#include <cctype>
#include <string>

/// Whether `a` and the NUL-terminated `b` are the same name, letters
/// compared in any case (ASCII only, as code and protocol names are).
inline bool sameNameIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && b[i] == '\0';
}

/// `text` with its ASCII letters in lower case, as names are keyed.
inline std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

#endif  // IRWAV_SYNTH_NAME_MATCH_H_

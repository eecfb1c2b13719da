// POSIX: the standard output that a WAV may go to.

#include <unistd.h>

#include "platform/standard_output_file.h"

FileHandle standardOutputHandle(std::string* error) {
  if (::isatty(STDOUT_FILENO)) {
    *error = "standard output is a terminal; pipe it into a player";
    return kInvalidFile;
  }
  return STDOUT_FILENO;
}

// A build without a standard output to write a WAV into (the browser's).

#include "platform/standard_output_file.h"

FileHandle standardOutputHandle(std::string* error) {
  *error = "there is no standard output in this build";
  return kInvalidFile;
}

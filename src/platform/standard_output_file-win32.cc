// Windows: the standard output that a WAV may go to.

#include <windows.h>

#include "platform/standard_output_file.h"

FileHandle standardOutputHandle(std::string* error) {
  HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
    *error = "there is no standard output";
    return kInvalidFile;
  }
  if (GetFileType(handle) == FILE_TYPE_CHAR) {
    *error = "standard output is a console; pipe it into a player";
    return kInvalidFile;
  }
  return reinterpret_cast<FileHandle>(handle);
}

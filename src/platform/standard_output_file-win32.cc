// Windows: standard output as the target of a WAV.

#include <windows.h>

#include "platform/standard_output_file.h"

namespace {

class StandardOutputFiles : public FileSystem {
 public:
  FileHandle create(const wchar_t* /*name*/, std::string* error) override {
    HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
      if (error) *error = "there is no standard output";
      return kInvalidFile;
    }
    if (GetFileType(handle) == FILE_TYPE_CHAR) {
      if (error) *error = "standard output is a console; pipe it into a player";
      return kInvalidFile;
    }
    return reinterpret_cast<FileHandle>(handle);
  }

  bool write(FileHandle file, const void* data, size_t size, std::string* error) override {
    return systemFileSystem().write(file, data, size, error);
  }

  bool rewind(FileHandle /*file*/, std::string* error) override {
    if (error) *error = "standard output cannot seek";
    return false;
  }

  bool close(FileHandle /*file*/, std::string* /*error*/) override { return true; }

  void discard(FileHandle /*file*/, const wchar_t* /*name*/) override {}
};

}  // namespace

FileSystem& standardOutputFiles() {
  static StandardOutputFiles files;
  return files;
}

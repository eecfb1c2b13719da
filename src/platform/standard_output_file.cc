#include "platform/standard_output_file.h"

namespace {

class StandardOutputFiles : public FileSystem {
 public:
  FileHandle create(const wchar_t* /*name*/, std::string* error) override {
    std::string reason;
    const FileHandle handle = standardOutputHandle(&reason);
    if (handle == kInvalidFile && error) *error = reason;
    return handle;
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

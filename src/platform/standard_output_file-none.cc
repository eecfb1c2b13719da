// A build without a standard output to write a WAV into (the browser's).

#include "platform/standard_output_file.h"

namespace {

class NoStandardOutputFiles : public FileSystem {
 public:
  FileHandle create(const wchar_t* /*name*/, std::string* error) override {
    if (error) *error = "there is no standard output in this build";
    return kInvalidFile;
  }
  bool write(FileHandle, const void*, size_t, std::string*) override { return false; }
  bool rewind(FileHandle, std::string*) override { return false; }
  bool close(FileHandle, std::string*) override { return true; }
  void discard(FileHandle, const wchar_t*) override {}
};

}  // namespace

FileSystem& standardOutputFiles() {
  static NoStandardOutputFiles files;
  return files;
}

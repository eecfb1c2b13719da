#ifndef IRWAV_TESTS_DISCARDING_FILE_SYSTEM_H_
#define IRWAV_TESTS_DISCARDING_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file.h"

/// A file system that accepts every call and keeps nothing but a count of
/// the bytes written. It allocates nothing, so it stays out of allocation
/// counts and timings.
class DiscardingFileSystem : public FileSystem {
 public:
  FileHandle create(const wchar_t*, std::string*) override { return 3; }
  bool write(FileHandle, const void*, size_t size, std::string*) override {
    bytesWritten += size;
    return true;
  }
  bool rewind(FileHandle, std::string*) override { return true; }
  bool close(FileHandle, std::string*) override { return true; }
  void discard(FileHandle, const wchar_t*) override {}

  uint64_t bytesWritten = 0;
};

#endif  // IRWAV_TESTS_DISCARDING_FILE_SYSTEM_H_

#ifndef IRWAV_TESTS_FAULTY_FILE_SYSTEM_H_
#define IRWAV_TESTS_FAULTY_FILE_SYSTEM_H_

#include <cstddef>
#include <string>
#include <vector>

#include "memory_file_system.h"

/// A memory file system that makes one chosen call fail: the nth create,
/// write, rewind or close since construction. A failing write still stores
/// the first half of its bytes, as a short write would. It also notes every
/// use of a handle that is no longer open, so that a caller which keeps
/// using a file after a failure shows up.
class FaultyFileSystem : public MemoryFileSystem {
 public:
  enum Op { kCreate, kWrite, kRewind, kClose, kOpCount };

  /// Makes the `n`th call of `op`, counting from 1, fail; 0 fails nothing.
  void failNth(Op op, size_t n) {
    failOp = op;
    failAt = n;
  }

  FileHandle create(const wchar_t* name, std::string* error) override {
    if (inject(kCreate)) {
      *error = "injected create failure";
      return kInvalidFile;
    }
    return MemoryFileSystem::create(name, error);
  }

  bool write(FileHandle file, const void* data, size_t size, std::string* error) override {
    checkOpen(file, "write");
    if (injected) ++callsAfterFailure;
    if (inject(kWrite)) {
      MemoryFileSystem::write(file, data, size / 2, error);
      *error = "injected write failure";
      return false;
    }
    return MemoryFileSystem::write(file, data, size, error);
  }

  bool rewind(FileHandle file, std::string* error) override {
    checkOpen(file, "rewind");
    if (injected) ++callsAfterFailure;
    if (inject(kRewind)) {
      *error = "injected rewind failure";
      return false;
    }
    return MemoryFileSystem::rewind(file, error);
  }

  bool close(FileHandle file, std::string* error) override {
    checkOpen(file, "close");
    if (injected) ++callsAfterFailure;
    if (inject(kClose)) {
      // The handle is gone even though the close failed.
      at(file).open = false;
      *error = "injected close failure";
      return false;
    }
    return MemoryFileSystem::close(file, error);
  }

  void discard(FileHandle file, const wchar_t* name) override {
    if (file != kInvalidFile) checkOpen(file, "discard");
    ++discards;
    MemoryFileSystem::discard(file, name);
  }

  /// Whether any file is still open.
  bool anyOpen() const {
    for (const auto& entry : files)
      if (entry.second.open) return true;
    return false;
  }

  Op failOp = kCreate;
  size_t failAt = 0;
  size_t calls[kOpCount] = {};
  size_t injected = 0;
  size_t discards = 0;
  /// Writes, rewinds and closes made after the injected failure.
  size_t callsAfterFailure = 0;
  /// Every misuse seen, in words.
  std::vector<std::string> violations;

 private:
  bool inject(Op op) {
    if (++calls[op] != failAt || op != failOp) return false;
    ++injected;
    return true;
  }

  void checkOpen(FileHandle file, const char* what) {
    if (file == kInvalidFile || static_cast<size_t>(file) >= handles.size() || !at(file).open)
      violations.push_back(std::string(what) + " on a handle that is not open");
  }
};

#endif  // IRWAV_TESTS_FAULTY_FILE_SYSTEM_H_

#ifndef IRWAV_TESTS_MEMORY_FILE_SYSTEM_H_
#define IRWAV_TESTS_MEMORY_FILE_SYSTEM_H_

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/file.h"

/// A file system held in memory, recording every write, for watching what
/// the sink hands to its files.
class MemoryFileSystem : public FileSystem {
 public:
  struct File {
    std::vector<uint8_t> bytes;
    size_t position = 0;
    bool open = false;
  };

  FileHandle create(const wchar_t* name, std::string* error) override {
    if (failCreate) {
      *error = "creation refused";
      return kInvalidFile;
    }
    File& f = files[name];
    f.bytes.clear();
    f.position = 0;
    f.open = true;
    handles.push_back(name);
    return static_cast<FileHandle>(handles.size() - 1);
  }

  bool write(FileHandle file, const void* data, size_t size, std::string* error) override {
    writeSizes.push_back(size);
    if (failWrites) {
      *error = "disk full";
      return false;
    }
    File& f = at(file);
    if (f.bytes.size() < f.position + size) f.bytes.resize(f.position + size);
    std::memcpy(f.bytes.data() + f.position, data, size);
    f.position += size;
    return true;
  }

  bool rewind(FileHandle file, std::string*) override {
    at(file).position = 0;
    return true;
  }

  bool close(FileHandle file, std::string*) override {
    at(file).open = false;
    return true;
  }

  void discard(FileHandle file, const wchar_t* name) override {
    if (file != kInvalidFile) at(file).open = false;
    files.erase(name);
  }

  File& at(FileHandle file) { return files[handles.at(static_cast<size_t>(file))]; }

  std::map<std::wstring, File> files;
  std::vector<std::wstring> handles;
  std::vector<size_t> writeSizes;
  bool failCreate = false;
  bool failWrites = false;
};

#endif  // IRWAV_TESTS_MEMORY_FILE_SYSTEM_H_

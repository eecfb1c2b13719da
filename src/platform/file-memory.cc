// Output files held in memory, for the browser: the WAV bytes a sink writes
// stay here until the page takes them.

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/memory_files.h"
#include "platform/utf8.h"

namespace {

struct MemoryFile {
  std::vector<uint8_t> bytes;
  size_t position = 0;
  bool open = false;
  bool closed = false;  ///< written and closed: ready to be taken
};

class MemoryFileSystem : public FileSystem {
 public:
  FileHandle create(const wchar_t* name, std::string* /*error*/) override {
    // A handle is the file's slot; the name's slot is reused, as creating
    // a file of an existing name replaces it.
    auto it = slots_.find(name);
    if (it == slots_.end()) {
      it = slots_.emplace(name, files_.size()).first;
      files_.emplace_back();
    }
    MemoryFile& file = files_[it->second];
    file = MemoryFile();
    file.open = true;
    return static_cast<FileHandle>(it->second);
  }

  bool write(FileHandle handle, const void* data, size_t size, std::string* error) override {
    MemoryFile* file = openFile(handle, error);
    if (!file) return false;
    if (file->bytes.size() < file->position + size) file->bytes.resize(file->position + size);
    std::memcpy(file->bytes.data() + file->position, data, size);
    file->position += size;
    return true;
  }

  bool rewind(FileHandle handle, std::string* error) override {
    MemoryFile* file = openFile(handle, error);
    if (!file) return false;
    file->position = 0;
    return true;
  }

  bool close(FileHandle handle, std::string* error) override {
    MemoryFile* file = openFile(handle, error);
    if (!file) return false;
    file->open = false;
    file->closed = true;
    return true;
  }

  void discard(FileHandle handle, const wchar_t* name) override {
    if (MemoryFile* file = openFile(handle, nullptr)) file->open = false;
    auto it = slots_.find(name);
    if (it != slots_.end()) files_[it->second] = MemoryFile();
  }

  bool take(const wchar_t* name, std::vector<uint8_t>* bytes) {
    auto it = slots_.find(name);
    if (it == slots_.end() || !files_[it->second].closed) return false;
    *bytes = std::move(files_[it->second].bytes);
    files_[it->second] = MemoryFile();
    return true;
  }

 private:
  MemoryFile* openFile(FileHandle handle, std::string* error) {
    if (handle >= 0 && static_cast<size_t>(handle) < files_.size() &&
        files_[static_cast<size_t>(handle)].open)
      return &files_[static_cast<size_t>(handle)];
    if (error) *error = "bad file handle";
    return nullptr;
  }

  std::map<std::wstring, size_t> slots_;
  std::vector<MemoryFile> files_;
};

MemoryFileSystem& memoryFileSystem() {
  static MemoryFileSystem fileSystem;
  return fileSystem;
}

}  // namespace

FileSystem& systemFileSystem() { return memoryFileSystem(); }

bool takeMemoryFile(const wchar_t* name, std::vector<uint8_t>* bytes) {
  return memoryFileSystem().take(name, bytes);
}

bool wideFileName(const std::string& name, std::wstring* wide) {
  *wide = widenKeepingBytes(name);
  return true;
}

bool isStandardOutputFile(const wchar_t* /*name*/) { return false; }

bool isSameFile(const wchar_t* a, const wchar_t* b) { return std::wstring(a) == b; }

void removeUnfinishedFiles() {}

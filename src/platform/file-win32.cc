// Win32 implementation of the output-file operations. Names go to the wide
// (UTF-16) file functions exactly as the caller composed them.

#include <windows.h>

#include "platform/file.h"
#include "platform/message_text.h"

namespace {

HANDLE toHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

/// The system's text for error `code`, or its number when there is none.
std::string systemMessage(DWORD code) {
  char text[512];
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
  if (length == 0) return "system error " + std::to_string(code);
  return trimmedMessage(std::string(text, length));
}

bool fail(std::string* error, DWORD code) {
  if (error) *error = systemMessage(code);
  return false;
}

bool fail(std::string* error) { return fail(error, GetLastError()); }

class Win32FileSystem : public FileSystem {
 public:
  FileHandle create(const wchar_t* name, std::string* error) override {
    // Write access only, no sharing, no security attributes, always a new
    // or truncated file, no attributes, no template.
    HANDLE handle = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      fail(error);
      return kInvalidFile;
    }
    // A pipe (a name that links to one) takes no file.
    if (GetFileType(handle) == FILE_TYPE_PIPE) {
      CloseHandle(handle);
      if (error) *error = "Is a named pipe";
      return kInvalidFile;
    }
    return reinterpret_cast<FileHandle>(handle);
  }

  bool write(FileHandle file, const void* data, size_t size, std::string* error) override {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      const DWORD chunk = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(toHandle(file), p, chunk, &written, nullptr)) return fail(error);
      // A write that succeeds without taking anything would repeat forever.
      if (written == 0) return fail(error, ERROR_HANDLE_DISK_FULL);
      p += written;
      size -= written;
    }
    return true;
  }

  bool rewind(FileHandle file, std::string* error) override {
    if (SetFilePointer(toHandle(file), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
      return fail(error);
    return true;
  }

  bool close(FileHandle file, std::string* error) override {
    if (!CloseHandle(toHandle(file))) return fail(error);
    return true;
  }

  void discard(FileHandle file, const wchar_t* name) override {
    if (file != kInvalidFile) {
      // Emptying through the handle also reaches a file behind a symbolic
      // link, which deleting the name would leave holding a partial WAV.
      HANDLE handle = toHandle(file);
      if (GetFileType(handle) == FILE_TYPE_DISK &&
          SetFilePointer(handle, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER)
        SetEndOfFile(handle);
      CloseHandle(handle);
    }
    // Only a plain file is deleted: never a directory, a link or a device.
    const DWORD attributes = GetFileAttributesW(name);
    const DWORD notPlain =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & notPlain) == 0) DeleteFileW(name);
  }
};

}  // namespace

FileSystem& systemFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

// Win32 implementation of the output-file operations. Names go to the wide
// (UTF-16) file functions exactly as the caller composed them. A file is
// written under a temporary name beside its target and moved over it when
// closed.

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/file.h"
#include "platform/message_text.h"
#include "platform/utf8.h"

namespace {

/// Temporary names tried in a directory before giving up.
constexpr unsigned kMaxTemporaryTries = 100;

/// Outputs that may be open at once.
constexpr size_t kMaxPendingFiles = 8;

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

/// An output being written: its handle, the temporary file it writes and
/// the name that file takes at close.
struct PendingFile {
  volatile LONG used;
  HANDLE handle;
  std::wstring temporary;
  std::wstring target;
};

PendingFile pendingFiles[kMaxPendingFiles];

PendingFile* pendingFor(HANDLE handle) {
  PendingFile* end = std::end(pendingFiles);
  PendingFile* p = std::find_if(std::begin(pendingFiles), end, [handle](const PendingFile& f) {
    return f.used && f.handle == handle;
  });
  return p == end ? nullptr : p;
}

/// The path a link or junction at an existing `name` finally leads to, as
/// the system spells it; `name` itself when the system cannot tell.
std::wstring finalPath(HANDLE existing, const wchar_t* name) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(existing, &path[0], static_cast<DWORD>(path.size()), 0);
    if (length == 0) return name;
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length + 1);
  }
}

/// The old way, for what is no plain file: creates or truncates `name` and
/// writes in place, so that a device such as NUL takes the file and a
/// directory or a pipe fails with its own reason.
FileHandle openInPlace(const wchar_t* name, std::string* error) {
  HANDLE handle = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    fail(error);
    return kInvalidFile;
  }
  const DWORD type = GetFileType(handle);
  DWORD mode = 0;
  const char* reason = type == FILE_TYPE_PIPE                                    ? "Is a named pipe"
                       : type == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode) ? "Is a terminal"
                                                                                 : nullptr;
  if (!reason) return reinterpret_cast<FileHandle>(handle);
  CloseHandle(handle);
  if (error) *error = reason;
  return kInvalidFile;
}

/// Creates a temporary file for `target` in its directory and records it.
FileHandle createTemporary(const std::wstring& target, std::string* error) {
  PendingFile* slot = nullptr;
  for (PendingFile& p : pendingFiles)
    if (!p.used) slot = &p;
  if (!slot) {
    fail(error, ERROR_TOO_MANY_OPEN_FILES);
    return kInvalidFile;
  }
  const size_t cut = target.find_last_of(L"\\/:");
  const std::wstring dir = cut == std::wstring::npos ? L"" : target.substr(0, cut + 1);
  static unsigned counter = 0;
  for (unsigned tries = 0; tries < kMaxTemporaryTries; ++tries) {
    std::wstring temporary = dir + L".irwav-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(counter++) + L".tmp";
    // Shared for deletion, so that a program that must end at once can
    // remove it while it is still open.
    HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) continue;
    if (handle == INVALID_HANDLE_VALUE) break;
    slot->handle = handle;
    slot->temporary = std::move(temporary);
    slot->target = target;
    slot->used = 1;
    return reinterpret_cast<FileHandle>(handle);
  }
  fail(error);
  return kInvalidFile;
}

void dropPending(PendingFile* pending) {
  DeleteFileW(pending->temporary.c_str());
  pending->used = 0;
}

class Win32FileSystem : public FileSystem {
 public:
  FileHandle create(const wchar_t* name, std::string* error) override {
    // What stands at the name now, without touching it.
    HANDLE existing = CreateFileW(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (existing == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_NOT_FOUND) return createTemporary(name, error);
      return openInPlace(name, error);
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool plainFile = GetFileType(existing) == FILE_TYPE_DISK &&
                           GetFileInformationByHandle(existing, &info) &&
                           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    const std::wstring target = plainFile ? finalPath(existing, name) : std::wstring();
    CloseHandle(existing);
    if (!plainFile) return openInPlace(name, error);
    // A file that may not be written is not replaced either.
    HANDLE probe = CreateFileW(target.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
      fail(error);
      return kInvalidFile;
    }
    CloseHandle(probe);
    return createTemporary(target, error);
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
    PendingFile* pending = pendingFor(toHandle(file));
    const bool closed = CloseHandle(toHandle(file)) != 0;
    const DWORD closeError = GetLastError();
    if (!pending) return closed || fail(error, closeError);
    if (closed && MoveFileExW(pending->temporary.c_str(), pending->target.c_str(),
                              MOVEFILE_REPLACE_EXISTING)) {
      pending->used = 0;
      return true;
    }
    const DWORD failure = closed ? GetLastError() : closeError;
    dropPending(pending);
    return fail(error, failure);
  }

  void discard(FileHandle file, const wchar_t* /*name*/) override {
    // The name is never touched: it holds the previous file, or another
    // run's whole one.
    if (file == kInvalidFile) return;
    PendingFile* pending = pendingFor(toHandle(file));
    CloseHandle(toHandle(file));
    if (pending) dropPending(pending);
  }
};

}  // namespace

FileSystem& systemFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

bool wideFileName(const std::string& name, std::wstring* wide) {
  wide->clear();
  for (size_t i = 0; i < name.size();) {
    uint32_t c = 0;
    const size_t length = decodeUtf8(name, i, true, &c);
    if (length == 0) return false;
    if (c >= 0x10000) {
      *wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      *wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      *wide += static_cast<wchar_t>(c);
    }
    i += length;
  }
  return true;
}

bool isStandardOutputFile(const wchar_t* name) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE || GetFileType(out) != FILE_TYPE_DISK)
    return false;
  HANDLE file = CreateFileW(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION a, b;
  const bool same = GetFileInformationByHandle(file, &a) && GetFileInformationByHandle(out, &b) &&
                    a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                    a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
  CloseHandle(file);
  return same;
}

// The two names may come in either order.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
bool isSameFile(const wchar_t* a, const wchar_t* b) {
  const auto identify = [](const wchar_t* name, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE file = CreateFileW(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, info) != 0;
    CloseHandle(file);
    return known;
  };
  BY_HANDLE_FILE_INFORMATION infoA;
  BY_HANDLE_FILE_INFORMATION infoB;
  return identify(a, &infoA) && identify(b, &infoB) &&
         infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
         infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

void removeUnfinishedFiles() {
  for (PendingFile& p : pendingFiles)
    if (p.used) DeleteFileW(p.temporary.c_str());
}

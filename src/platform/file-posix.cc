// POSIX implementation of the output-file operations.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/file.h"

namespace {

/// A wide file name encoded as UTF-8, the usual encoding of POSIX file
/// names, held in a fixed array so that opening a file allocates nothing.
struct NarrowName {
  explicit NarrowName(const wchar_t* name) {
    for (; *name; ++name) {
      // wchar_t is a character type of its own, not a signed char; the check
      // mistakes it for one.
      uint32_t c = static_cast<uint32_t>(*name);  // NOLINT(bugprone-signed-char-misuse)
      if (c < 0x80) {
        put(c);
      } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
      } else {
        put(0xF0 | ((c >> 18) & 0x07));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
      }
    }
    path[length] = '\0';
  }

  /// The name, or a prefix of it when it does not fit (see `fits`).
  char path[PATH_MAX];
  /// Whether the whole name fits in a path; a longer one cannot name a file.
  bool fits = true;

 private:
  void put(uint32_t byte) {
    if (length + 1 < sizeof path)
      path[length++] = static_cast<char>(byte);
    else
      fits = false;
  }

  size_t length = 0;
};

bool fail(std::string* error) {
  if (error) *error = strerror(errno);
  return false;
}

/// Why a file of type `mode` cannot take a WAV, or null when it can: a
/// regular file, or a character device such as /dev/null. A named pipe
/// would hold the run until some reader came, and a socket or a disk
/// takes no file.
const char* unfitFileReason(mode_t mode) {
  if (S_ISFIFO(mode)) return "Is a named pipe";
  if (S_ISSOCK(mode)) return "Is a socket";
  if (S_ISBLK(mode)) return "Is a block device";
  return nullptr;
}

class PosixFileSystem : public FileSystem {
 public:
  FileHandle create(const wchar_t* name, std::string* error) override {
    const NarrowName narrow(name);
    if (!narrow.fits) errno = ENAMETOOLONG;
    // Non-blocking, so that a named pipe without a reader fails at once
    // (ENXIO) instead of holding the open until one comes.
    const int fd = narrow.fits ? ::open(narrow.path,
                                        O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666)
                               : -1;
    struct stat st;
    if (fd < 0) {
      const int openError = errno;
      if (openError == ENXIO && ::stat(narrow.path, &st) == 0 && unfitFileReason(st.st_mode)) {
        if (error) *error = unfitFileReason(st.st_mode);
      } else {
        errno = openError;
        fail(error);
      }
      return kInvalidFile;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
      fail(error);
      ::close(fd);
      return kInvalidFile;
    }
    if (unfitFileReason(st.st_mode)) {
      if (error) *error = unfitFileReason(st.st_mode);
      ::close(fd);
      return kInvalidFile;
    }
    return fd;
  }

  bool write(FileHandle file, const void* data, size_t size, std::string* error) override {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      ssize_t n = ::write(static_cast<int>(file), p, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        return fail(error);
      }
      if (n == 0) {
        errno = EIO;
        return fail(error);
      }
      p += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  bool rewind(FileHandle file, std::string* error) override {
    if (::lseek(static_cast<int>(file), 0, SEEK_SET) < 0) return fail(error);
    return true;
  }

  bool close(FileHandle file, std::string* error) override {
    if (::close(static_cast<int>(file)) < 0) return fail(error);
    return true;
  }

  void discard(FileHandle file, const wchar_t* name) override {
    if (file != kInvalidFile) {
      // Emptying through the handle also reaches a file behind a symbolic
      // link, which removing the name would leave holding a partial WAV.
      struct stat st;
      if (::fstat(static_cast<int>(file), &st) == 0 && S_ISREG(st.st_mode))
        (void)::ftruncate(static_cast<int>(file), 0);
      ::close(static_cast<int>(file));
    }
    const NarrowName narrow(name);
    struct stat st;
    if (narrow.fits && ::lstat(narrow.path, &st) == 0 && S_ISREG(st.st_mode)) ::unlink(narrow.path);
  }
};

}  // namespace

FileSystem& systemFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

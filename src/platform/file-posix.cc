// POSIX implementation of the output-file operations.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file.h"

namespace {

/// Encodes a wide name as UTF-8, the usual encoding of POSIX file names.
std::string narrowName(const wchar_t* name) {
  std::string out;
  for (; *name; ++name) {
    // wchar_t is a character type of its own, not a signed char; the check
    // mistakes it for one.
    uint32_t c = static_cast<uint32_t>(*name);  // NOLINT(bugprone-signed-char-misuse)
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool fail(std::string* error) {
  if (error) *error = strerror(errno);
  return false;
}

class PosixFileSystem : public FileSystem {
 public:
  FileHandle create(const wchar_t* name, std::string* error) override {
    int fd = ::open(narrowName(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
      fail(error);
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
    std::string path = narrowName(name);
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
};

}  // namespace

FileSystem& systemFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

// POSIX implementation of the output-file operations. A file is written
// under a temporary name beside its target and renamed over it when closed.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <iterator>

#include "platform/file.h"
#include "platform/utf8.h"

namespace {

/// Symbolic links followed from a name before giving up, as the kernel does.
constexpr int kMaxLinks = 40;

/// Temporary names tried in a directory before giving up: more are taken
/// only by files a crashed run of the same process number left.
constexpr unsigned kMaxTemporaryTries = 100;

/// Outputs that may be open at once.
constexpr size_t kMaxPendingFiles = 8;

/// A wide file name as the bytes of a POSIX path: UTF-8, except that
/// U+DC80..U+DCFF stand for the bytes 0x80..0xFF (see wideFileName). Held
/// in a fixed array, so that opening a file allocates nothing.
struct NarrowName {
  explicit NarrowName(const wchar_t* name) {
    for (; *name; ++name) {
      // wchar_t is a character type of its own, not a signed char; the check
      // mistakes it for one.
      const uint32_t c = static_cast<uint32_t>(*name);  // NOLINT(bugprone-signed-char-misuse)
      char bytes[4];
      const size_t n = c >= 0xDC80 && c <= 0xDCFF ? (bytes[0] = static_cast<char>(c & 0xFF), 1)
                                                  : encodeUtf8(c, bytes);
      for (size_t i = 0; i < n; ++i) put(bytes[i]);
    }
    path[length] = '\0';
  }

  /// The name, or a prefix of it when it does not fit (see `fits`).
  char path[PATH_MAX];
  /// Whether the whole name fits in a path; a longer one cannot name a file.
  bool fits = true;

 private:
  void put(char byte) {
    if (length + 1 < sizeof path)
      path[length++] = byte;
    else
      fits = false;
  }

  size_t length = 0;
};

/// An output being written: its descriptor, the temporary file it writes
/// and the name that file takes at close. Fixed arrays, so that a signal
/// handler can read them.
struct PendingFile {
  volatile std::sig_atomic_t used;  ///< set once `temporary` names a file
  int fd;
  char temporary[PATH_MAX];
  char target[PATH_MAX];
};

PendingFile pendingFiles[kMaxPendingFiles];

PendingFile* pendingFor(int fd) {
  PendingFile* end = std::end(pendingFiles);
  PendingFile* p = std::find_if(std::begin(pendingFiles), end,
                                [fd](const PendingFile& f) { return f.used && f.fd == fd; });
  return p == end ? nullptr : p;
}

bool fail(std::string* error) {
  if (error) *error = strerror(errno);
  return false;
}

FileHandle failCreate(std::string* error, const char* reason) {
  if (error) *error = reason;
  return kInvalidFile;
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

/// Copies `text` of `length` bytes to `out` (PATH_MAX bytes) as a string;
/// false when it does not fit.
bool copyPath(const char* text, size_t length, char* out) {
  if (length >= PATH_MAX) return false;
  std::memcpy(out, text, length);
  out[length] = '\0';
  return true;
}

/// The path of what `name` finally stands for, its symbolic links followed
/// (also a link to a file that does not exist yet), in `out`. Only the last
/// part of a path is a link that matters here: the file is replaced in the
/// directory that holds it. Sets errno and returns false when the chain is
/// too long.
bool resolveLinks(const char* name, char* out) {
  if (!copyPath(name, std::strlen(name), out)) {
    errno = ENAMETOOLONG;
    return false;
  }
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat st;
    if (::lstat(out, &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    char link[PATH_MAX];
    const ssize_t n = ::readlink(out, link, sizeof link - 1);
    if (n < 0) return true;
    const char* slash = std::strrchr(out, '/');
    const size_t dirLength = link[0] == '/' || !slash ? 0 : static_cast<size_t>(slash - out + 1);
    if (dirLength + static_cast<size_t>(n) >= PATH_MAX) {
      errno = ENAMETOOLONG;
      return false;
    }
    std::memmove(out + dirLength, link, static_cast<size_t>(n));
    out[dirLength + static_cast<size_t>(n)] = '\0';
  }
  errno = ELOOP;
  return false;
}

/// Opens the existing special file `path` to be written in place, as a
/// device that swallows a WAV file (/dev/null) is. Never waits, and refuses
/// what cannot be a WAV file before anything is written.
FileHandle openInPlace(const char* path, std::string* error) {
  // Non-blocking, so that a named pipe without a reader fails at once
  // (ENXIO) instead of holding the open until one comes.
  const int fd = ::open(path, O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
  struct stat st;
  if (fd < 0) {
    const int openError = errno;
    if (openError == ENXIO && ::stat(path, &st) == 0 && unfitFileReason(st.st_mode))
      return failCreate(error, unfitFileReason(st.st_mode));
    errno = openError;
    fail(error);
    return kInvalidFile;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &st) != 0 || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    fail(error);
    ::close(fd);
    return kInvalidFile;
  }
  const char* reason = unfitFileReason(st.st_mode);
  // A terminal would show the samples as text. The header is written last,
  // at the start: a device that cannot go back there (lseek fails) would be
  // left with a file that says it holds nothing.
  if (!reason && ::isatty(fd)) reason = "Is a terminal";
  if (!reason && ::lseek(fd, 0, SEEK_CUR) >= 0) return fd;
  if (reason)
    failCreate(error, reason);
  else
    fail(error);
  ::close(fd);
  return kInvalidFile;
}

/// Writes `value` in decimal into `text` from `at` on and returns where it
/// ends; `text` has room for it.
size_t appendDecimal(unsigned long value, char* text, size_t at) {
  char digits[24];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) text[at++] = digits[--n];
  return at;
}

/// Creates a temporary file for `target` in its directory, with the mode
/// the new file should have, and records it. Sets errno on failure.
FileHandle createTemporary(const char* target, mode_t mode, std::string* error) {
  PendingFile* slot = nullptr;
  for (PendingFile& p : pendingFiles)
    if (!p.used) slot = &p;
  if (!slot) {
    errno = EMFILE;
    fail(error);
    return kInvalidFile;
  }
  const char* slash = std::strrchr(target, '/');
  const size_t dirLength = slash ? static_cast<size_t>(slash - target + 1) : 0;
  static unsigned counter = 0;
  for (unsigned tries = 0; tries < kMaxTemporaryTries; ++tries) {
    // The directory, then ".irwav-PID-N.tmp". Composed by hand: the printf
    // family alone would add a third of a megabyte to the converter's
    // resident memory.
    char leaf[64] = ".irwav-";
    size_t leafLength = std::strlen(leaf);
    leafLength = appendDecimal(static_cast<unsigned long>(::getpid()), leaf, leafLength);
    leaf[leafLength++] = '-';
    leafLength = appendDecimal(counter++, leaf, leafLength);
    std::memcpy(leaf + leafLength, ".tmp", 5);
    leafLength += 4;
    if (dirLength + leafLength >= sizeof slot->temporary) {
      errno = ENAMETOOLONG;
      break;
    }
    std::memcpy(slot->temporary, target, dirLength);
    std::memcpy(slot->temporary + dirLength, leaf, leafLength + 1);
    const int fd =
        ::open(slot->temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) break;
    slot->fd = fd;
    std::strcpy(slot->target, target);
    slot->used = 1;
    return fd;
  }
  fail(error);
  return kInvalidFile;
}

/// Frees the record of `pending` after removing its temporary file.
void dropPending(PendingFile* pending) {
  ::unlink(pending->temporary);
  pending->used = 0;
}

class PosixFileSystem : public FileSystem {
 public:
  FileHandle create(const wchar_t* name, std::string* error) override {
    const NarrowName narrow(name);
    char target[PATH_MAX];
    if (!narrow.fits) errno = ENAMETOOLONG;
    if (!narrow.fits || !resolveLinks(narrow.path, target)) {
      fail(error);
      return kInvalidFile;
    }
    struct stat st;
    if (::stat(target, &st) != 0) {
      if (errno != ENOENT) {
        fail(error);
        return kInvalidFile;
      }
      return createTemporary(target, 0666, error);
    }
    if (!S_ISREG(st.st_mode)) return openInPlace(target, error);
    // A file that may not be written is not replaced either, although its
    // directory would allow a rename over it.
    const int probe = ::open(target, O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (probe < 0) {
      fail(error);
      return kInvalidFile;
    }
    ::close(probe);
    const FileHandle fd = createTemporary(target, 0600, error);
    // The new file keeps the permissions of the one it replaces.
    if (fd != kInvalidFile) (void)::fchmod(static_cast<int>(fd), st.st_mode & 0777);
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
    PendingFile* pending = pendingFor(static_cast<int>(file));
    const bool closed = ::close(static_cast<int>(file)) == 0;
    const int closeError = errno;
    if (!pending) {
      errno = closeError;
      return closed || fail(error);
    }
    if (closed && ::rename(pending->temporary, pending->target) == 0) {
      pending->used = 0;
      return true;
    }
    const int failure = closed ? errno : closeError;
    dropPending(pending);
    errno = failure;
    return fail(error);
  }

  void discard(FileHandle file, const wchar_t* /*name*/) override {
    // The name is never touched: it holds the previous file, or another
    // run's whole one.
    if (file == kInvalidFile) return;
    PendingFile* pending = pendingFor(static_cast<int>(file));
    ::close(static_cast<int>(file));
    if (pending) dropPending(pending);
  }
};

}  // namespace

FileSystem& systemFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

bool wideFileName(const std::string& name, std::wstring* wide) {
  *wide = widenKeepingBytes(name);
  return true;
}

bool isStandardOutputFile(const wchar_t* name) {
  const NarrowName narrow(name);
  struct stat file;
  struct stat out;
  return narrow.fits && ::stat(narrow.path, &file) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 &&
         S_ISREG(out.st_mode) && file.st_dev == out.st_dev && file.st_ino == out.st_ino;
}

// The two names may come in either order.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
bool isSameFile(const wchar_t* a, const wchar_t* b) {
  const NarrowName narrowA(a);
  const NarrowName narrowB(b);
  struct stat fileA;
  struct stat fileB;
  return narrowA.fits && narrowB.fits && ::stat(narrowA.path, &fileA) == 0 &&
         ::stat(narrowB.path, &fileB) == 0 && fileA.st_dev == fileB.st_dev &&
         fileA.st_ino == fileB.st_ino;
}

void removeUnfinishedFiles() {
  for (PendingFile& p : pendingFiles)
    if (p.used) ::unlink(p.temporary);
}

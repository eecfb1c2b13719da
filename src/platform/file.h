#ifndef IRWAV_PLATFORM_FILE_H_
#define IRWAV_PLATFORM_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>

/// An open output file: a descriptor or handle widened to an integer.
using FileHandle = intptr_t;

/// The handle of no file (the value of an invalid Win32 handle, and an
/// impossible POSIX descriptor).
constexpr FileHandle kInvalidFile = -1;

/// The file operations the WAV writer needs: create, append, rewind, close,
/// and throw away a file whose writing failed. Every operation that can fail
/// returns false (or kInvalidFile) and puts the system's reason, in words,
/// into *error.
///
/// A file is written under a temporary name of its own in the directory it
/// belongs to and takes its name only when `close` succeeds, so that a name
/// always holds either its previous file or a whole new one: a failed or
/// abandoned write leaves the previous file, or nothing, and two writers of
/// one name leave one of their files whole. A name that is a symbolic link
/// keeps the link: the file it points to is the one replaced. A name that
/// is a device that can take a file (/dev/null) is written in place.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// Starts a file that will replace `name` when closed, and returns its
  /// handle positioned at 0. Fails at once, writing nothing, where no WAV
  /// file can go: a directory, a named pipe, a socket, a disk, a terminal, a
  /// device that cannot rewind, a file that may not be written.
  virtual FileHandle create(const wchar_t* name, std::string* error) = 0;

  /// Writes all `size` bytes at the current position; a short write is a
  /// failure.
  virtual bool write(FileHandle file, const void* data, size_t size, std::string* error) = 0;

  /// Moves the current position to offset 0.
  virtual bool rewind(FileHandle file, std::string* error) = 0;

  /// Closes the handle and puts the file in place under its name. The handle
  /// is invalid afterwards even when this fails; a file that could not be
  /// put in place is removed, and the name keeps what it held.
  virtual bool close(FileHandle file, std::string* error) = 0;

  /// Disposes of a file whose writing failed or was abandoned: closes
  /// `file` when it is valid and removes what was written for it. Whatever
  /// `name` held before create stays as it was. Best effort; reports
  /// nothing.
  virtual void discard(FileHandle file, const wchar_t* name) = 0;
};

/// The platform's real file system.
FileSystem& systemFileSystem();

/// The wide name under which the file named `name` on the command line
/// reaches create, in *wide. On POSIX a name is bytes and any bytes go:
/// UTF-8 sequences become their characters and each other byte b stands as
/// U+DC00 + b, a lone surrogate that no UTF-8 name gives and that create
/// turns back into the byte, so every name reaches the disk unchanged. On
/// Windows the name is UTF-8 as the command line was converted (a lone
/// surrogate in its three UTF-8 bytes); anything else names no file and
/// gives false.
bool wideFileName(const std::string& name, std::wstring* wide);

/// Whether `name` is the regular file that standard output writes to, by
/// whatever name: a WAV file written there would mix with the report.
bool isStandardOutputFile(const wchar_t* name);

/// Whether `a` and `b` name one existing file, by whatever names (links,
/// relative and absolute paths).
bool isSameFile(const wchar_t* a, const wchar_t* b);

/// Removes the temporary file of every output still being written. Safe in
/// a signal handler: for a program about to end at once, so that it leaves
/// no unfinished file behind.
void removeUnfinishedFiles();

#endif  // IRWAV_PLATFORM_FILE_H_

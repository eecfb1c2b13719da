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

/// The file operations the WAV writer needs: create or truncate, append,
/// rewind, close, and throw away a file whose writing failed. Every
/// operation that can fail returns false (or kInvalidFile) and puts the
/// system's reason, in words, into *error.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// Creates `name` for writing, replacing any file of that name, and
  /// returns its handle positioned at 0. Never waits: a name that is a
  /// named pipe, a socket or a disk fails with the reason.
  virtual FileHandle create(const wchar_t* name, std::string* error) = 0;

  /// Writes all `size` bytes at the current position; a short write is a
  /// failure.
  virtual bool write(FileHandle file, const void* data, size_t size, std::string* error) = 0;

  /// Moves the current position to offset 0.
  virtual bool rewind(FileHandle file, std::string* error) = 0;

  /// Closes the handle; it is invalid afterwards even when this fails.
  virtual bool close(FileHandle file, std::string* error) = 0;

  /// Disposes of a file whose writing failed: empties it through `file`
  /// when that is still valid, closes it, and removes `name` when it is a
  /// regular file. Best effort; reports nothing.
  virtual void discard(FileHandle file, const wchar_t* name) = 0;
};

/// The platform's real file system.
FileSystem& systemFileSystem();

#endif  // IRWAV_PLATFORM_FILE_H_

#ifndef IRWAV_PLATFORM_STANDARD_OUTPUT_FILE_H_
#define IRWAV_PLATFORM_STANDARD_OUTPUT_FILE_H_

#include <string>

#include "platform/file.h"

/// The handle of standard output, to write one WAV into for a pipe; or
/// kInvalidFile, with the reason in *error, when there is none or it is a
/// terminal (which would show the samples as text).
FileHandle standardOutputHandle(std::string* error);

/// Standard output as a file system of one file: create ignores the name
/// and hands out standardOutputHandle; write appends as the system's files
/// do; rewind fails, since a pipe cannot seek; close and discard leave
/// standard output open and as it is.
FileSystem& standardOutputFiles();

#endif  // IRWAV_PLATFORM_STANDARD_OUTPUT_FILE_H_

#ifndef IRWAV_PLATFORM_STANDARD_OUTPUT_FILE_H_
#define IRWAV_PLATFORM_STANDARD_OUTPUT_FILE_H_

#include "platform/file.h"

/// Standard output as a file to write one WAV into, for a pipe: create
/// ignores the name and hands out standard output, refusing a terminal
/// (which would show the samples as text); write appends as the system's
/// files do; rewind fails, since a pipe cannot seek; close and discard
/// leave standard output open and as it is.
FileSystem& standardOutputFiles();

#endif  // IRWAV_PLATFORM_STANDARD_OUTPUT_FILE_H_

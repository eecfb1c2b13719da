#ifndef IRWAV_PLATFORM_MEMORY_FILES_H_
#define IRWAV_PLATFORM_MEMORY_FILES_H_

#include <cstdint>
#include <vector>

/// In a build whose files live in memory (the browser's, which has no file
/// system to write to), moves the bytes of the closed file `name` into
/// *bytes and forgets the file. Returns false when no closed file has that
/// name.
bool takeMemoryFile(const wchar_t* name, std::vector<uint8_t>* bytes);

#endif  // IRWAV_PLATFORM_MEMORY_FILES_H_

#ifndef IRWAV_APP_BATCH_DRIVER_H_
#define IRWAV_APP_BATCH_DRIVER_H_

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

class FileSystem;

/// The highest carrier a sink at `sampleRate` renders: ten elevenths of
/// it, truncated.
uint32_t maxCarrierFor(uint32_t sampleRate);

/// Whether a code with `carrierHz` is rendered: not 0 and not above
/// `maxCarrierHz`.
bool canRender(uint32_t carrierHz, uint32_t maxCarrierHz);

/// Prints the report line for a code that is passed over; `note`, when
/// given, goes at the end of the line.
void printSkipLine(std::ostream& out, const std::string& name, uint32_t carrierHz,
                   const std::string& note = std::string());

/// The output file name of code `index`: the index right-aligned in three
/// columns, "_", the name, ".wav".
std::wstring waveFileName(size_t index, const char* name);

/// Converts every renderable built-in code into a WAV file in the current
/// directory. Prints the report to `out` and one line per file that could
/// not be written to `err`. Returns the exit status: 0 when every file was
/// written, 1 otherwise. `files` stands in for the system's file system
/// when not null.
int runBatch(std::ostream& out, std::ostream& err, FileSystem* files = nullptr);

#endif  // IRWAV_APP_BATCH_DRIVER_H_

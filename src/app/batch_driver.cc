#include "app/batch_driver.h"

#include <iomanip>
#include <ostream>
#include <sstream>

#include "library/ir_codes.h"
#include "output/wave_sink.h"
#include "synth/renderer.h"

uint32_t maxCarrierFor(uint32_t sampleRate) {
  return static_cast<uint32_t>(static_cast<uint64_t>(sampleRate) * 10 / 11);
}

bool canRender(uint32_t carrierHz, uint32_t maxCarrierHz) {
  return carrierHz != 0 && carrierHz <= maxCarrierHz;
}

void printSkipLine(std::ostream& out, const std::string& name, uint32_t carrierHz,
                   const std::string& note) {
  out << "Code " << name << " skipped - freq = " << carrierHz << " Hz" << note << std::endl;
}

std::wstring waveFileName(size_t index, const char* name) {
  std::wostringstream stream;
  stream << std::setw(3) << index << L'_';
  for (const char* c = name; *c; ++c) stream << stream.widen(*c);
  for (const char* c = ".wav"; *c; ++c) stream << stream.widen(*c);
  return stream.str();
}

int runBatch(std::ostream& out, std::ostream& err, FileSystem* files) {
  WaveSink sink(files, nullptr);
  const uint32_t maxCarrierHz = maxCarrierFor(sink.sampleRate);
  out << "Max carrier frequency: " << maxCarrierHz << " Hz" << std::endl;

  int status = 0;
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    const uint32_t carrierHz = kIrCodes[i]->carrierHz;
    if (!canRender(carrierHz, maxCarrierHz)) {
      printSkipLine(out, kIrCodeNames[i], carrierHz);
      continue;
    }
    // A file that cannot be created still gets its frames rendered; the sink
    // discards them, and close reports the failure once.
    const std::wstring fileName = waveFileName(i, kIrCodeNames[i]);
    sink.open(fileName.c_str());
    renderCode(kIrCodes[i], sink);
    if (sink.close() != 0) {
      // File names are plain ASCII, so each wide character narrows as it is.
      const std::string shownName(fileName.begin(), fileName.end());
      err << "irwav: cannot write \"" << shownName << "\": " << sink.errorText << std::endl;
      status = 1;
    }
  }
  return status;
}

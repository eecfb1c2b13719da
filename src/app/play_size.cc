#include "app/play_size.h"

#include "output/wav_header.h"

bool fitsWavFile(uint64_t dataBytes, std::string* error) {
  if (dataBytes <= kMaxWavDataBytes) return true;
  *error = "more sample data than a WAV file can hold (" + std::to_string(dataBytes) +
           " bytes; a WAV file holds at most " + std::to_string(kMaxWavDataBytes) + ")";
  return false;
}

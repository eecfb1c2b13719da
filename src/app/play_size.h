#ifndef IRWAV_APP_PLAY_SIZE_H_
#define IRWAV_APP_PLAY_SIZE_H_

#include <cstdint>
#include <string>

/// Whether `dataBytes` of samples fit one WAV file; false, with the reason
/// and both sizes in *error, when they do not.
bool fitsWavFile(uint64_t dataBytes, std::string* error);

#endif  // IRWAV_APP_PLAY_SIZE_H_

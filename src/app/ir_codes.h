#ifndef IRWAV_APP_IR_CODES_H_
#define IRWAV_APP_IR_CODES_H_

#include <cstddef>

#include "synth/ir_code.h"

/// Number of built-in codes.
constexpr size_t kIrCodeCount = 54;

/// The built-in codes in table order; the file names carry these indices.
extern const IrCode* const kIrCodes[kIrCodeCount];

/// The name of each code, parallel to kIrCodes.
extern const char* const kIrCodeNames[kIrCodeCount];

#endif  // IRWAV_APP_IR_CODES_H_

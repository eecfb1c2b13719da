#ifndef IRWAV_APP_IR_CODES_H_
#define IRWAV_APP_IR_CODES_H_

#include <cstddef>
#include <cstdint>

#include "synth/ir_code.h"
#include "synth/ir_protocol.h"

/// Number of built-in codes.
constexpr size_t kIrCodeCount = 54;

/// The built-in codes in table order; the file names carry these indices.
extern const IrCode* const kIrCodes[kIrCodeCount];

/// The name of each code, parallel to kIrCodes.
extern const char* const kIrCodeNames[kIrCodeCount];

/// What a table entry's list carries: the protocol and fields of its code,
/// in the names the protocol encoders take, and whether that code is a
/// documented power code of the entry's brand.
struct IrCodeOrigin {
  const char* protocol;  ///< e.g. "NEC1"; "" when the list follows no known protocol
  int32_t device;
  int32_t subdevice;  ///< -1: the protocol's default
  int32_t function;
  bool documented;     ///< a documented power code of the brand
  const char* source;  ///< where it is documented, or why it is a guess, in a few words

  /// The code's fields as encodeIrCode takes them.
  [[nodiscard]] IrFields fields() const {
    IrFields f;
    f.device = device;
    f.subdevice = subdevice;
    f.function = function;
    return f;
  }
};

/// The origin of each code, parallel to kIrCodes.
extern const IrCodeOrigin kIrCodeOrigins[kIrCodeCount];

#endif  // IRWAV_APP_IR_CODES_H_

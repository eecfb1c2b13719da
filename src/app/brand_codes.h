#ifndef IRWAV_APP_BRAND_CODES_H_
#define IRWAV_APP_BRAND_CODES_H_

#include <cstddef>
#include <cstdint>

#include "synth/ir_protocol.h"

/// One documented power (standby) code of a TV brand, as the public IR
/// databases give it.
struct BrandCode {
  const char* brand;     ///< lower case
  const char* protocol;  ///< as encodeIrCode takes it; "" when no protocol describes the code
  IrFields fields;
  const char* extra;   ///< the protocol's extra fields in words; "" when none
  uint32_t carrierHz;  ///< the protocol's nominal carrier; 0 when nothing is documented
  uint32_t remotes;    ///< remote models that agree; 0: nothing is documented for the brand
  const char* source;  ///< where it is documented, in a few words
};

/// Number of rows in kBrandCodes.
constexpr size_t kBrandCodeCount = 117;

/// The library, brand by brand, each brand's most widely documented code
/// first.
extern const BrandCode kBrandCodes[kBrandCodeCount];

#endif  // IRWAV_APP_BRAND_CODES_H_

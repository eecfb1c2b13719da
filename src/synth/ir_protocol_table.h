#ifndef IRWAV_SYNTH_IR_PROTOCOL_TABLE_H_
#define IRWAV_SYNTH_IR_PROTOCOL_TABLE_H_

#include <cstdint>
#include <string>

#include "synth/irp_protocols.h"

/// The values a field may take; a range with max below min marks a field
/// the protocol does not have.
struct FieldRange {
  int32_t min;
  int32_t max;
  [[nodiscard]] bool used() const { return min <= max; }
};

/// One protocol of the table as a user's code sees it: its name, nominal
/// carrier and the ranges of the fields that IrFields names (a range that
/// depends on another field, as Zenith's function does on its device, is
/// given at that field's largest value).
struct IrProtocolInfo {
  const char* name;
  uint32_t carrierHz;
  FieldRange device;
  FieldRange subdevice;
  FieldRange function;
  FieldRange toggle;
  FieldRange oem;    ///< both maker bytes, required when used
  FieldRange extra;  ///< the nibble E
  const IrpProtocolEntry* entry;
};

/// The protocol named `name` in any case, or null.
const IrProtocolInfo* findIrProtocol(const std::string& name);

/// The message for a protocol name that is not known; lists the known ones.
std::string unknownProtocolError(const std::string& name);

/// The message for a value of `field` outside `range`, e.g.
/// "RC5 function 200 is out of range 0..127".
std::string outOfRangeError(const IrProtocolInfo& protocol, const char* field,
                            const std::string& value, FieldRange range);

#endif  // IRWAV_SYNTH_IR_PROTOCOL_TABLE_H_

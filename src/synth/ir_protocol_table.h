#ifndef IRWAV_SYNTH_IR_PROTOCOL_TABLE_H_
#define IRWAV_SYNTH_IR_PROTOCOL_TABLE_H_

#include <cstdint>
#include <string>

#include "synth/ir_encoders.h"

/// The values a field may take; a range with max below min marks a field
/// the protocol does not have.
struct FieldRange {
  int32_t min;
  int32_t max;
  [[nodiscard]] bool used() const { return min <= max; }
};

/// What a subdevice left at -1 means.
enum class SubdeviceRule {
  kNone,          ///< the protocol has no subdevice
  kComplement,    ///< 255 - device
  kSameAsDevice,  ///< the device
  kRequired,      ///< no default: it must be given
};

/// One protocol: its name, nominal carrier, encoder and field ranges.
struct IrProtocolInfo {
  const char* name;
  uint32_t carrierHz;
  IrEncoder encode;
  FieldRange device;
  FieldRange subdevice;
  SubdeviceRule subdeviceRule;
  FieldRange function;
  bool functionWidthIsDevice;  ///< F is sent in `device` bits (Zenith)
  FieldRange toggle;
  FieldRange oem;    ///< both maker bytes, required when used
  FieldRange extra;  ///< defaults to 0
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

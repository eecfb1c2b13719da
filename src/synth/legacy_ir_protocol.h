#ifndef IRWAV_SYNTH_LEGACY_IR_PROTOCOL_H_
#define IRWAV_SYNTH_LEGACY_IR_PROTOCOL_H_

#include <string>

#include "synth/ir_protocol.h"

/// encodeIrCode as the hand-written encoders do it.
bool legacyEncodeIrCode(const std::string& protocol, const IrFields& fields, OwnedIrCode* code,
                        std::string* error);

#endif  // IRWAV_SYNTH_LEGACY_IR_PROTOCOL_H_

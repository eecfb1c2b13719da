#ifndef IRWAV_SYNTH_USER_CODE_H_
#define IRWAV_SYNTH_USER_CODE_H_

#include <string>

#include "synth/ir_protocol.h"

/// A user's code as its text gives it, before it is encoded.
struct UserCodeParts {
  std::string protocol;  ///< as encodeIrCode takes it; an alias already read
  IrFields fields;
  /// The function piece when it names a key ("volume_up") rather than a
  /// number; fields.function is then 0. Empty otherwise.
  std::string key;
};

/// Reads a user's code as encodeUserCode describes it, with two additions:
/// a FUNCTION that does not start with a digit is a key name, returned in
/// parts->key for the caller to look up; and the protocol may be an alias
/// of the handheld-remote collections (collectionAliasNames()), whose
/// DEVICE and FUNCTION are the address and command as the collections'
/// files give them (NECext's address also as D.S). Fields are decimal or
/// hexadecimal ("0x7d"). Returns false, with a message naming the bad piece
/// in *error.
bool readUserCode(const std::string& text, UserCodeParts* parts, std::string* error);

/// Reads a code family, "PROTOCOL:DEVICE[.SUBDEVICE]" (e.g. "necx2:7.7",
/// "nec1:4", "samsung32:7"), into parts->protocol and the device and
/// subdevice of parts->fields, as readUserCode reads those pieces.
bool readUserFamily(const std::string& text, UserCodeParts* parts, std::string* error);

#endif  // IRWAV_SYNTH_USER_CODE_H_

#ifndef IRWAV_APP_KEY_CODES_H_
#define IRWAV_APP_KEY_CODES_H_

#include <iosfwd>
#include <string>

#include "library/device_kind.h"
#include "library/tv_keys.h"
#include "synth/ir_protocol.h"

/// The family that `text` names ("necx2:7.7", "samsung32:7", as
/// readUserFamily reads it), of kind `preferred` where that kind has it,
/// else of another kind (findKeyFamily); or null with a message in *error
/// for a bad family or one without a key table (the message lists the
/// preferred kind's families).
const TvKeyFamily* findFamilyNamed(const std::string& text, std::string* error,
                                   DeviceKind preferred = DeviceKind::kTv);

/// Reads a user's code, "PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION" as
/// readUserCode reads it, where FUNCTION may also be a key name of the
/// family's key table ("necx2:7.7:volume_up", "sony12:1:mute"), the family
/// found as findFamilyNamed finds it: the key's most common code, which may
/// be another family's code the key is sent as. Extra fields given after a
/// key (":t=1") apply to its code. Sets *protocol and *fields to what is to
/// be encoded, and *family and *key (if given) to the key's family and
/// code, or null for a code given by its function. Returns false, with a message in *error: the
/// reader's, or for a key name, that the family has no key table (listing
/// the families) or no such key (listing its keys), or that its code cannot
/// be sent.
bool readCodeOrKey(const std::string& text, std::string* protocol, IrFields* fields,
                   std::string* error, DeviceKind preferred = DeviceKind::kTv,
                   const TvKeyFamily** family = nullptr, const TvKeyCode** key = nullptr);

/// Prints the keys of the family `text` names ("necx2:7.7", as
/// findFamilyNamed finds it): a line for each code of each key, with its
/// function or the code it is sent as, how many of the family's remote
/// files send it and how many have the key. Returns false, printing
/// nothing and with a message in *error, for a bad family or one without a
/// key table.
bool printKeyList(std::ostream& out, const std::string& text, std::string* error,
                  DeviceKind preferred = DeviceKind::kTv);

#endif  // IRWAV_APP_KEY_CODES_H_

#ifndef IRWAV_APP_KEY_CODES_H_
#define IRWAV_APP_KEY_CODES_H_

#include <iosfwd>
#include <string>

#include "library/tv_keys.h"
#include "synth/ir_protocol.h"

/// The family that `text` names ("necx2:7.7", "samsung32:7", as
/// readUserFamily reads it), or null with a message in *error for a bad
/// family or one without a key table (the message lists the families).
const TvKeyFamily* findFamilyNamed(const std::string& text, std::string* error);

/// Reads a user's code, "PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION" as
/// readUserCode reads it, where FUNCTION may also be a key name of the
/// family's key table ("necx2:7.7:volume_up", "sony12:1:mute"): the key's
/// most common code, which may be another family's code the key is sent
/// as. Extra fields given after a key (":t=1") apply to its code. Sets
/// *protocol and *fields to what is to be encoded. Returns false, with a
/// message in *error: the reader's, or for a key name, that the family has
/// no key table (listing the families) or no such key (listing its keys).
bool readCodeOrKey(const std::string& text, std::string* protocol, IrFields* fields,
                   std::string* error);

/// Prints the keys of the family `text` names ("necx2:7.7", as
/// readUserFamily reads it): a line for each code of each key, with its
/// function or the code it is sent as, how many of the family's remote
/// files send it and how many have the key. Returns false, printing
/// nothing and with a message in *error, for a bad family or one without a
/// key table.
bool printKeyList(std::ostream& out, const std::string& text, std::string* error);

#endif  // IRWAV_APP_KEY_CODES_H_

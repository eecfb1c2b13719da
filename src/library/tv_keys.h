#ifndef IRWAV_APP_TV_KEYS_H_
#define IRWAV_APP_TV_KEYS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "synth/ir_protocol.h"

/// One code that the remotes of a family send for a key.
struct TvKeyCode {
  std::string key;  ///< "power", "volume_up", "digit_1", ...
  /// The function within the family; -1 when the key is sent as another
  /// code (sentAsProtocol and sentAsFields).
  int32_t function;
  std::string extra;           ///< the protocol's extra fields in words, or "sent as ..."
  std::string sentAsProtocol;  ///< "" unless the key is sent as another code
  IrFields sentAsFields;
  uint32_t remotes;       ///< files of the family whose key sends this code
  uint32_t filesWithKey;  ///< files of the family that have the key at all
};

/// A code family: a protocol with a device and subdevice, and what its TV
/// remotes send for each key, as the public IR collections document it.
struct TvKeyFamily {
  std::string protocol;  ///< as encodeIrCode takes it
  int32_t device;
  int32_t subdevice;  ///< -1: the protocol's default
  uint32_t files;     ///< remote files of the family
  /// In the table's order; a key's codes follow each other, the most
  /// common first.
  std::vector<TvKeyCode> codes;

  /// The family as --keys and --code write it: "NECx2:7.7", "NEC1:4".
  [[nodiscard]] std::string name() const;
};

/// Every family of the key table, the most common first.
const std::vector<TvKeyFamily>& tvKeyFamilies();

/// What was wrong with rows of the key table that could not be read (none
/// when the data is sound); such rows are left out.
const std::vector<std::string>& tvKeyTableFaults();

/// The family of `protocol` (any case) with the device and subdevice of
/// `fields`, or null. A subdevice of -1 and the one it stands for (NEC1 4
/// and 4.251) name the same family.
const TvKeyFamily* findKeyFamily(const std::string& protocol, const IrFields& fields);

/// The code that a press of `key` (any case) sends in `family`: the most
/// common of its codes. Null when the family has no such key.
const TvKeyCode* findKey(const TvKeyFamily& family, const std::string& key);

/// The protocol and fields that `code` of `family` sends; fields not set by
/// the table (toggle, maker bytes, E) are kept from *fields.
void keyCodeFields(const TvKeyFamily& family, const TvKeyCode& code, std::string* protocol,
                   IrFields* fields);

/// The keys of `family`, once each in table order, separated by blanks.
std::string keyNames(const TvKeyFamily& family);

/// The families, separated by blanks.
std::string keyFamilyNames();

#endif  // IRWAV_APP_TV_KEYS_H_

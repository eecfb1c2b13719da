#ifndef IRWAV_APP_TV_KEYS_H_
#define IRWAV_APP_TV_KEYS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "library/device_kind.h"
#include "synth/ir_protocol.h"

/// One code that the remotes of a family send for a key.
struct TvKeyCode {
  std::string key;  ///< "power", "volume_up", "digit_1", ...
  /// The function within the family; -1 when the key is sent as another
  /// code (sentAsProtocol and sentAsFields).
  int32_t function;
  std::string extra;           ///< the protocol's extra fields in words, or "sent as ..."
  std::string sentAsProtocol;  ///< "" unless the key is sent as another code
  IrFields sentAsFields;       ///< with the extra fields of `extra` that IrFields holds
  uint32_t remotes;            ///< files of the family whose key sends this code
  uint32_t filesWithKey;       ///< files of the family that have the key at all
};

/// A code family of one device kind: a protocol with a device and
/// subdevice, and what its remotes send for each key, as the public IR
/// collections document it.
struct TvKeyFamily {
  std::string protocol;  ///< as encodeIrCode takes it
  int32_t device;        ///< 0 as well for a protocol without a device (Bose)
  int32_t subdevice;     ///< -1: the protocol's default
  uint32_t files;        ///< remote files of the family
  /// In the table's order; a key's codes follow each other, the most
  /// common first.
  std::vector<TvKeyCode> codes;
  DeviceKind kind = DeviceKind::kTv;

  /// The family as --keys and --code write it: "NECx2:7.7", "NEC1:4".
  [[nodiscard]] std::string name() const;
};

/// Every family of a kind's key table (data/tv-keys.csv,
/// data/keys-KIND.csv), the most common first.
const std::vector<TvKeyFamily>& keyFamilies(DeviceKind kind);

/// Every family of the TV key table.
const std::vector<TvKeyFamily>& tvKeyFamilies();

/// What was wrong with rows of a kind's key table that could not be read
/// (none when the data is sound); such rows are left out.
const std::vector<std::string>& keyTableFaults(DeviceKind kind);
const std::vector<std::string>& tvKeyTableFaults();

/// The family of `protocol` (any case) with the device and subdevice of
/// `fields`, or null: of kind `preferred` where that kind has it, else of
/// the first kind (kDeviceKinds order) that has it. A subdevice of -1 and
/// the one it stands for (NEC1 4 and 4.251) name the same family.
const TvKeyFamily* findKeyFamily(const std::string& protocol, const IrFields& fields,
                                 DeviceKind preferred = DeviceKind::kTv);

/// The code that a press of `key` (any case) sends in `family`: the most
/// common of its codes. Null when the family has no such key.
const TvKeyCode* findKey(const TvKeyFamily& family, const std::string& key);

/// The protocol and fields that `code` of `family` sends, its extra fields
/// (maker bytes, E) included; fields neither the table nor its extra fields
/// set (the toggle) are kept from *fields. Returns false, with the reason
/// in *why, for a code with a field IrFields cannot hold (Apple's PairID).
bool keyCodeFields(const TvKeyFamily& family, const TvKeyCode& code, std::string* protocol,
                   IrFields* fields, std::string* why);

/// Encodes `code` of `family`, a short press. Returns false with the reason
/// it cannot be played: a field irwav does not set, or what the encoder
/// said (an unknown protocol is one irwav does not send).
bool encodeKeyCode(const TvKeyFamily& family, const TvKeyCode& code, OwnedIrCode* encoded,
                   std::string* why);

/// The code as --code takes it: "necx2:7.7:2", "sony12:1:21:t=1".
std::string keyCodeText(const TvKeyFamily& family, const TvKeyCode& code);

/// The keys of `family`, once each in table order, separated by blanks.
std::string keyNames(const TvKeyFamily& family);

/// The families of a kind, separated by blanks.
std::string keyFamilyNames(DeviceKind kind = DeviceKind::kTv);

#endif  // IRWAV_APP_TV_KEYS_H_

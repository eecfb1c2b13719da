#ifndef IRWAV_SYNTH_COLLECTION_CODES_H_
#define IRWAV_SYNTH_COLLECTION_CODES_H_

#include <cstdint>
#include <string>

#include "synth/ir_protocol.h"

/// A protocol as the files of the handheld-remote collections name it
/// ("NECext", "Samsung32", "SIRC", ...): a code is an address and a command,
/// each the number that the file's little-endian bytes make.
struct CollectionProtocol {
  const char* name;
  uint32_t maxAddress;
  uint32_t maxCommand;
  /// Where a two-part address splits: the low part's width in bits (NECext
  /// 8, SIRC20 5), so that "D.S" can be written for the address; 0 when the
  /// address is one number.
  int addressSplit;
  /// Whether --code takes the name as an alias. The collections' Kaseikyo,
  /// RCA, RC5, RC6 and Pioneer are read from files only: --code keeps those
  /// names for the protocols' own fields.
  bool alias;
};

/// The protocol of that name (any case), or null. With `aliasesOnly`, only
/// the names --code takes as aliases.
const CollectionProtocol* findCollectionProtocol(const std::string& name, bool aliasesOnly);

/// The names --code takes as aliases, separated by blanks.
std::string collectionAliasNames();

/// Converts a code of protocol `p`, `address` and `command`, into the
/// protocol and fields encodeIrCode takes, as the collections' files are
/// read: NEC is NEC1 D=address; NECext is NEC1 D.S (the address's low and
/// high byte) with F the command's low byte when its high byte is the
/// complement, else NEC1-f16 with the whole command; Samsung32 NECx2
/// D=S=address; SIRC, SIRC15 and SIRC20 Sony12, Sony15 and Sony20 (SIRC20's
/// address bits 0..4 D and 5..12 S); RC5X RC5 with F = command + 64; RC5,
/// RC6 and Pioneer the same names with D and F; RCA with the command's 8
/// bits and the address's 4 bits reversed; Kaseikyo with the maker bytes
/// 02 20 Panasonic D, S, F from the address and command bits. Without
/// `hasCommand`, only the protocol, device and subdevice that the address
/// gives (NECext: NEC1). Returns false, with a message in *error, for a
/// value beyond the protocol's range or a Kaseikyo code of other maker
/// bytes.
bool convertCollectionCode(const CollectionProtocol& p, uint32_t address, uint32_t command,
                           bool hasCommand, std::string* protocol, IrFields* fields,
                           std::string* error);

#endif  // IRWAV_SYNTH_COLLECTION_CODES_H_

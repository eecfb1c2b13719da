#ifndef IRWAV_APP_POWER_LIBRARY_H_
#define IRWAV_APP_POWER_LIBRARY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "synth/ir_protocol.h"

/// What a power key does: switch the set on and off in turn, or only on, or
/// only off.
enum class PowerKey { kToggle, kOn, kOff };

/// Reads what a power key does from its word: "toggle", "on" or "off".
/// Returns false, leaving *key as it is, for any other word.
bool readPowerKey(const std::string& word, PowerKey* key);

/// The protocol name of a row that follows no protocol and is played as the
/// durations it stores.
constexpr char kRawProtocol[] = "(no IRP protocol)";

/// One documented power (standby) code of a TV brand: a row of
/// data/power-codes.csv, and the code it plays.
struct LibraryCode {
  std::string brand;     ///< lower case, letters and digits
  std::string protocol;  ///< as encodeIrCode takes it; kRawProtocol; "": nothing documented
  IrFields fields;
  std::string extra;   ///< the protocol's extra fields in words; "" when none
  uint32_t carrierHz;  ///< the protocol's nominal carrier; 0: sent without one
  uint32_t remotes;    ///< TV remote files whose power key sends it; 0: none for the brand
  std::string sources;
  std::string notes;
  PowerKey key = PowerKey::kToggle;
  /// A raw row's durations in µs, marks > 0: its first frame, and the frame
  /// a held key repeats.
  std::vector<int32_t> rawFirstUs;
  std::vector<int32_t> rawRepeatUs;

  std::string name;        ///< as the player names it: "lg nec1:4:8", "samsung raw"
  OwnedIrCode code;        ///< what it plays; no timings when it cannot be played
  std::string unplayable;  ///< why it cannot be played; "" when it can
  std::string family;      ///< its code family, as familyKey gives it
};

/// The code family of a protocol's code: its protocol, device and
/// subdevice as written ("nec1 4 -1"); codes of one family go to one kind
/// of set. The data writes every default subdevice as the default (-1), so
/// equal families have equal keys.
std::string familyKey(const std::string& protocol, const IrFields& fields);

/// The library: every row of data/power-codes.csv in file order (brand by
/// brand, each brand's most widely documented code first), read and
/// encoded on first use.
const std::vector<LibraryCode>& libraryCodes();

/// Reads library rows from CSV text with power-codes.csv's header and
/// columns and encodes each. A row that cannot be played keeps its reason
/// in `unplayable`: no code documented, no carrier, or what the encoder
/// said. Returns false, with the line and what is wrong in *error, for text
/// that is not such a table (a missing column, a bad number or key kind).
bool readLibrary(const std::string& csv, std::vector<LibraryCode>* codes, std::string* error);

#endif  // IRWAV_APP_POWER_LIBRARY_H_

#ifndef IRWAV_LIBRARY_UNIVERSAL_POWER_H_
#define IRWAV_LIBRARY_UNIVERSAL_POWER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "synth/ir_protocol.h"

/// One entry of a universal TV power-off list (data/universal-power.csv):
/// a signal as the list stores it, which is what plays. The decoded
/// protocol and fields name it, give its family and tell two entries of
/// the same code apart from different ones; they are not re-encoded.
struct UniversalEntry {
  std::string list;        ///< "na", "eu" or "flipper-universal"
  uint32_t position = 0;   ///< 1-based within its list
  std::string sourceName;  ///< the entry's name in its source ("code_na000", "SAMSUNG")
  uint32_t carrierHz = 0;  ///< as stored; 0: sent without a carrier
  std::string protocol;    ///< the decoded protocol; "": not decoded
  IrFields fields;         ///< the decoded fields, extra fields included
  /// For an entry that was not decoded, the stored press's first frame in
  /// µs, marks > 0: what two such entries are compared by. The whole press
  /// is `code`.
  std::vector<int32_t> firstFrame;
  /// The power-codes.csv rows that send the same bits: "BRAND,PROTOCOL,D,S,F", by "; ".
  std::string inPowerCodes;

  std::string name;        ///< as the player names it: "universal na1 sony12:1:21"
  OwnedIrCode code;        ///< the stored durations at the stored carrier
  std::string unplayable;  ///< why it cannot be played; "" when it can
  std::string family;      ///< familyKey of the decoded code; "" when not decoded
  /// What makes two decoded entries the same code: the protocol as sent on
  /// air (NEC1 and NEC2 alike), the fields, the toggle left out; "" when
  /// not decoded.
  std::string signal;
};

/// Every entry of the three lists, in file order (each list in its own
/// order, the codes that reach the most sets first), read on first use.
const std::vector<UniversalEntry>& universalEntries();

/// Reads entries from universal-power.csv as the build embeds it, a line a
/// string and a null pointer after the last, with the columns list,
/// position, source_name, carrier_hz, protocol, device, subdevice,
/// function, toggle_or_extra, raw_us and in_power_codes. An entry that
/// cannot be played keeps its reason in `unplayable`. Returns false, with
/// the line and the fault in *error, for lines that are not such a table.
bool readUniversalEntries(const char* const* lines, std::vector<UniversalEntry>* entries,
                          std::string* error);

/// What makes a decoded code the same signal as another (see
/// UniversalEntry::signal): NEC2, NECx2 and Pioneer as NEC1 and NECx1, a
/// default subdevice spelt out, NEC1-f16 whose second byte is the first's
/// complement as NEC1; the toggle left out.
std::string signalKey(const std::string& protocol, const IrFields& fields);

/// Whether two entries send the same signal: the same signalKey, or, for
/// entries not decoded, first frames whose durations agree within 35 %
/// (150 µs at least).
bool sameSignal(const UniversalEntry& a, const UniversalEntry& b);

#endif  // IRWAV_LIBRARY_UNIVERSAL_POWER_H_

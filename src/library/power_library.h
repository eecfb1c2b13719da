#ifndef IRWAV_LIBRARY_POWER_LIBRARY_H_
#define IRWAV_LIBRARY_POWER_LIBRARY_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/device_kind.h"
#include "synth/ir_protocol.h"

/// What a power key does: switch the set on and off in turn, or only on, or
/// only off.
enum class PowerKey { kToggle, kOn, kOff };

/// Reads what a power key does from its word: "toggle", "on" or "off".
/// Returns false, leaving *key as it is, for any other word.
bool readPowerKey(const std::string& word, PowerKey* key);

/// Why a code sent without a carrier is not played.
constexpr char kNoCarrierReason[] =
    "it is sent without a carrier, which an emitter on a sound card cannot do";

/// Reads signed durations in µs (marks positive, spaces negative, "+" or
/// "-" before the number or a mark's bare number), frames separated by
/// " | ", into *frames; a duration of 0 is left out. Returns false for a
/// duration that is not a number from 0 to 10000000, or an empty frame.
bool readRawFrames(const std::string& text, std::vector<std::vector<int32_t>>* frames);

/// Takes the maker bytes, the nibble E and the toggle from the extra
/// fields' words ("M=170 N=90 E=1", "E=0", "T=0") into *fields, and the
/// fields the protocol table stores in them (X, PairID and U in E;
/// Pioneer-2Part's D0 and F0 in M and N); other words are reminders of
/// what the protocol does anyway. A field of another name is one IrFields
/// cannot hold: the first such name goes to *unsupported, if given and
/// still empty. Returns false for a field of IrFields that is not a number
/// from 0 to 255.
bool readExtraFields(const std::string& words, IrFields* fields,
                     std::string* unsupported = nullptr);

/// Why a code of `protocol` whose extra fields' words (as readExtraFields
/// reads them) lack a field the protocol needs and has no default for (the
/// E of 48-NEC1) cannot be played; "" when they lack none.
std::string missingFieldReason(const std::string& protocol, const std::string& words);

/// Why a code with a field IrFields cannot hold is not played.
std::string unsupportedFieldReason(const std::string& protocol, const std::string& field);

/// A code as --code takes it: "nec1:4:8", "necx2:7.7:2",
/// "kaseikyo:8.18:22:m=170:n=90:e=1" (the protocol in lower case).
std::string codeText(const std::string& protocol, const IrFields& fields);

/// The protocol name of a row that follows no protocol and is played as the
/// durations it stores.
constexpr char kRawProtocol[] = "(no IRP protocol)";

/// Whether a power-off needs a second press to be confirmed, as projectors
/// often ask: none (a code of another kind, or one that switches on),
/// offered because many projectors ask for it, or documented by the code's
/// sources.
enum class ConfirmPress { kNone, kOffered, kDocumented };

/// One documented power (standby) code of a brand: a row of one of the
/// power code tables (data/power-codes*.csv), and the code it plays.
struct LibraryCode {
  DeviceKind kind = DeviceKind::kTv;
  std::string brand;     ///< lower case, letters and digits
  std::string protocol;  ///< as encodeIrCode takes it; kRawProtocol; "": nothing documented
  IrFields fields;
  std::string extra;   ///< the protocol's extra fields in words; "" when none
  uint32_t carrierHz;  ///< the protocol's nominal carrier; 0: sent without one
  uint32_t remotes;    ///< remote files whose power key sends it; 0: none for the brand
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
  /// A projector's toggle or off code: whether a second press confirms it.
  ConfirmPress confirm = ConfirmPress::kNone;
};

/// The code family of a protocol's code: its protocol, device and
/// subdevice as written ("nec1 4 -1"); codes of one family go to one kind
/// of set. The data writes every default subdevice as the default (-1), so
/// equal families have equal keys.
std::string familyKey(const std::string& protocol, const IrFields& fields);

/// The library of one kind: every row of its table in file order (brand by
/// brand, each brand's most widely documented code first), read and
/// encoded on first use. TVs: data/power-codes.csv with the rows of
/// data/power-codes-tv-additions.csv applied (applyLibraryAdditions);
/// audio, projector, box: data/power-codes-KIND.csv.
const std::vector<LibraryCode>& libraryCodes(DeviceKind kind = DeviceKind::kTv);

/// Reads library rows of `kind` from CSV text with power-codes.csv's
/// header and columns and encodes each. A row that cannot be played keeps
/// its reason in `unplayable`: no code documented, no carrier, a protocol
/// irwav does not send, or what the encoder said. Returns false, with the
/// line and what is wrong in *error, for text that is not such a table (a
/// missing column, a bad number or key kind).
bool readLibrary(std::string_view csv, std::vector<LibraryCode>* codes, std::string* error,
                 DeviceKind kind = DeviceKind::kTv);

/// Applies correction rows to a library: a row whose notes begin with
/// "CORRECTION" replaces the row of its brand with the same device,
/// subdevice and function; any other row is new and goes after the last
/// row of its brand (at the end for a new brand). Returns false, with a
/// message in *error, for a correction that finds no row to replace.
bool applyLibraryAdditions(const std::vector<LibraryCode>& additions,
                           std::vector<LibraryCode>* codes, std::string* error);

#endif  // IRWAV_LIBRARY_POWER_LIBRARY_H_

#ifndef IRWAV_APP_PLAYER_H_
#define IRWAV_APP_PLAYER_H_

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/code_listing.h"
#include "library/device_kind.h"
#include "library/play_item.h"
#include "library/play_order.h"
#include "library/power_library.h"

class AudioOutput;
class WaveSink;

/// Silence between two codes unless --gap says otherwise. A receiver takes
/// frames that follow each other closely (remotes repeat every 45 to 110
/// ms while a key is held) as one long press; half a second of nothing is
/// a released key, so the next code counts as a press of its own.
constexpr uint32_t kDefaultGapMs = 500;

/// Silence between two codes of the sweep (--brand all) unless --gap says
/// otherwise. The sweep plays every code once, so no two neighbours are the
/// same key; a pause of more than twice the longest frame period of its
/// protocols (RC5's 114 ms, Blaupunkt's 121) is a released key to every
/// receiver, and it brings 90 % of the TV remotes within the first minute.
constexpr uint32_t kSweepGapMs = 250;

/// Silence in the sweep (--brand all without --gap) between two codes of
/// different code families. A receiver answers only frames of its own
/// protocol and address, so after another family's code nothing of its own
/// is held: the code's closing silence and this gap (130 ms in all) only
/// let the last frame end, longer than any protocol's pause between two
/// frames of a held key. Two codes of one family keep kSweepGapMs.
constexpr uint32_t kSweepFamilyChangeGapMs = 100;

/// The longest --gap accepted: a minute.
constexpr uint32_t kMaxGapMs = 60000;

/// The most presses --repeat takes.
constexpr uint32_t kMaxRepeat = 100;

/// The sample rates --rate takes.
constexpr uint32_t kPlayerRates[] = {44100, 48000, 88200, 96000, 176400, 192000};

/// The rates nearly every sound card takes, of which the skip line names
/// the lowest that renders a code (88200 and 176400 are for devices that
/// run at them, such as a browser's audio on some phones).
constexpr uint32_t kAdvisedRates[] = {44100, 48000, 96000, 192000};

/// What the player was asked to do.
struct PlayerOptions {
  /// Every code asked for, once: what plays is `runs` (see forEachCode);
  /// empty: every built-in code.
  std::vector<PlayItem> codes;
  std::vector<PlayRun> runs;  ///< in playing order
  std::string device;         ///< the output to play on; empty: the default
  std::string output;         ///< a WAV file to write instead, "-": standard output; empty: play
  uint32_t gapMs = kDefaultGapMs;
  /// The sweep's gaps: kSweepFamilyChangeGapMs between codes of two
  /// families, gapMs between codes of one (gapBetween).
  bool familyGaps = false;
  uint32_t sampleRate = 48000;
  PowerKey power = PowerKey::kToggle;  ///< what --brand plays for: --power
  DeviceKind kind = DeviceKind::kTv;   ///< --kind: whose brands, sweep and keys
  bool kindGiven = false;
  bool confirm = false;              ///< --confirm: a projector's power-off pressed again
  std::vector<std::string> remarks;  ///< what to say about the brands asked for
  uint32_t repeat = 1;               ///< presses of each code
  bool quiet = false;                ///< no report, only errors
  uint32_t holdMs = 0;  ///< --hold: send codes as keys held this long; 0: a short press
  std::string keys;     ///< --keys: the family whose keys to list, "all"; empty: none
  bool list = false;
  bool brands = false;
  bool protocols = false;
  bool formatGiven = false;
  ListFormat format = ListFormat::kTable;
  bool help = false;
  bool version = false;
};

/// The table index of the code that `arg` names: a code name, in any case,
/// or a decimal table index. Returns false when there is none.
bool findCode(const std::string& arg, size_t* index);

/// Parses the arguments that follow the program name. --help and --version
/// anywhere before "--" win over everything else; "--" ends the options.
/// --power and --kind, wherever they stand, apply to every --brand, --code
/// and --keys; given twice, the last one holds. Each argument
/// that names codes adds a run; one that repeats an earlier one (the same
/// code name or index, --brand, --code or --pronto text, with no option
/// between them that could change what it builds) adds that earlier run
/// again, sharing its codes. Returns false, with a message for standard
/// error in *error, for an unknown option, an option without its value, a
/// bad --gap, --rate, --power, --repeat or --format (or a --format without
/// a list), a --code, --pronto or --irp that does not encode, an unknown
/// brand or one with nothing to play, or an argument that names no code; also for an unknown key or
/// --keys family, a bad --hold, a code that cannot be held, and an --ir file that cannot be read or
/// a signal of it that cannot be sent. Codes are held
/// (--hold) wherever --hold stands.
bool parsePlayerArgs(const std::vector<std::string>& args, PlayerOptions* options,
                     std::string* error);

/// The silence in ms between a press of `previous` and one of `next`:
/// options.gapMs, or with options.familyGaps kSweepFamilyChangeGapMs when
/// the two are codes of different families (codeFamily).
uint32_t gapBetween(const PlayerOptions& options, const PlayItem& previous, const PlayItem& next);

/// Prints the usage text.
void printPlayerHelp(std::ostream& out);

/// Prints the codes of `options` in playing order (every built-in code
/// when none) in options.format: as a table, one line per code with table
/// index ("-" for a code not in the table), name, carrier, mark count, and
/// whether it renders at options.sampleRate and whether it is a documented
/// power code ("yes"), a best guess ("guess") or the user's own ("-");
/// or as records (RecordPrinter).
void printCodeList(std::ostream& out, const PlayerOptions& options);

/// Prints every brand of options.kind with the number of codes --brand
/// plays for it and how many of those are documented; with
/// a record format, the record of each of those codes, brand by brand.
void printBrandList(std::ostream& out, const PlayerOptions& options);

/// Prints every key code of every family (of options.kind when --kind was
/// given, else of every kind) in options.format: family, kind, key, the
/// code as --code takes it, remotes agreeing, files with the key, and why
/// it cannot be sent where it cannot.
void printAllKeys(std::ostream& out, const PlayerOptions& options);

/// Prints the protocol names --code takes, one a line.
void printProtocolList(std::ostream& out);

/// Plays the codes of `options` on `sink`, each options.repeat times: into
/// the WAV file options.output when one is named (standard output for
/// "-", its header then written first with the sizes counted from the
/// codes' timings), otherwise on the audio output options.device. One line
/// on `out` as each code starts; for a code whose carrier the rate cannot
/// carry, the converter's skip line and the --rate that would render it, on
/// `out` for a code a --brand expansion found and as an error on `err` for
/// one the user named; options.gapMs of silence between two played codes.
/// Nothing is opened when every code is skipped, nor a file that would hold
/// more than a WAV file can (its size is known from the timings; status 1).
/// Goes no further once the device or file has failed. Stops after the
/// block in hand once *stop (if given) turns non-zero, and always lets the
/// device play out what it was given before closing it (for a second at
/// most once stopped). A file that would hold more than a WAV file can is
/// refused before it is opened (status 1). A file that was stopped, or whose
/// report on `out` could no longer be written (which also ends the run), is
/// thrown away unfinished: its name keeps what it held. A code during which
/// the stream ran dry is named on `err` once the device is closed. Returns
/// the exit status: 0 when everything played, 1 when every code was
/// skipped, a named code was skipped, the device or file could not be
/// opened or failed, or a code was interrupted; 128 + *stop when stopped
/// (*stop holds the number of the signal that asked: 130 for SIGINT, 143
/// for SIGTERM, 129 for SIGHUP), also when the stop came during the final drain.
int playCodes(const PlayerOptions& options, WaveSink& sink, std::ostream& out, std::ostream& err,
              const volatile std::sig_atomic_t* stop);

/// The whole player: parses `args` and helps, lists or plays on `audio`
/// (null: the system's audio output). The report goes to `out`, or to
/// `err` when the WAV goes to standard output, or nowhere with --quiet.
/// Returns the exit status: 0 for
/// --help, --version and the lists; 2 for bad arguments, before anything
/// plays, among them an output file that is standard output's own file or
/// no file name at all (see checkOutputName); otherwise that of playCodes.
int runPlayer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              AudioOutput* audio, const volatile std::sig_atomic_t* stop);

#endif  // IRWAV_APP_PLAYER_H_

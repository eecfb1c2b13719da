#ifndef IRWAV_APP_PLAYER_H_
#define IRWAV_APP_PLAYER_H_

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/play_item.h"
#include "app/power_library.h"

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

/// The longest --gap accepted: a minute.
constexpr uint32_t kMaxGapMs = 60000;

/// The sample rates --rate takes.
constexpr uint32_t kPlayerRates[] = {44100, 48000, 88200, 96000, 176400, 192000};

/// What the player was asked to do.
struct PlayerOptions {
  std::vector<PlayItem> codes;  ///< in playing order; empty: every built-in code
  std::string device;           ///< the output to play on; empty: the default
  std::string output;           ///< a WAV file to write instead; empty: play
  uint32_t gapMs = kDefaultGapMs;
  uint32_t sampleRate = 48000;
  PowerKey power = PowerKey::kToggle;  ///< what --brand plays for: --power
  std::vector<std::string> remarks;    ///< what to say about the brands asked for
  uint32_t holdMs = 0;  ///< --hold: send codes as keys held this long; 0: a short press
  std::string keys;     ///< --keys: the family whose keys to list; empty: none
  bool list = false;
  bool brands = false;
  bool help = false;
  bool version = false;
};

/// The table index of the code that `arg` names: a code name, in any case,
/// or a decimal table index. Returns false when there is none.
bool findCode(const std::string& arg, size_t* index);

/// Parses the arguments that follow the program name. --help and --version
/// anywhere before "--" win over everything else; "--" ends the options.
/// --power, wherever it stands, applies to every --brand. Returns false,
/// with a message for standard error in *error, for an unknown option, an
/// option without its value, a bad --gap, --rate or --power, a --code or
/// --pronto that does not encode, an unknown brand or one with nothing to
/// play, or an argument that names no code; also for an unknown key or
/// --keys family, a bad --hold, a code that cannot be held, and an --ir file
/// that cannot be read or a signal of it that cannot be sent. Codes are held
/// (--hold) wherever --hold stands.
bool parsePlayerArgs(const std::vector<std::string>& args, PlayerOptions* options,
                     std::string* error);

/// Prints the usage text.
void printPlayerHelp(std::ostream& out);

/// Prints one line per code: table index ("-" for a code not in the
/// table), name, carrier, mark count, whether it renders at `sampleRate`,
/// and whether it is a documented power code ("yes"), a best guess
/// ("guess") or the user's own ("-"). With no codes, every built-in code.
void printCodeList(std::ostream& out, const std::vector<PlayItem>& codes, uint32_t sampleRate);

/// Prints every brand with the number of codes --brand plays for it and
/// how many of those are documented.
void printBrandList(std::ostream& out);

/// Plays the codes of `options` on `sink`: into the WAV file options.output
/// when one is named, otherwise on the audio output options.device. One
/// line on `out` as each code starts; the converter's skip line, and the
/// --rate that would render it, for a code whose carrier the rate cannot
/// carry; options.gapMs of silence between two played codes. Nothing is
/// opened when every code is skipped. Goes no further once the device or
/// file has failed. Stops after the block in hand once
/// *stop (if given) turns non-zero, and always lets the device play out
/// what it was given before closing it. A code during which the stream ran
/// dry is named on `err` once the device is closed. Returns the exit
/// status: 0 when everything played, 1 when every code was skipped, the
/// device or file could not be opened or failed, or a code was interrupted;
/// 128 + *stop when stopped (*stop holds the number of the signal that
/// asked: 130 for SIGINT, 143 for SIGTERM), also when the stop came during
/// the final drain.
int playCodes(const PlayerOptions& options, WaveSink& sink, std::ostream& out, std::ostream& err,
              const volatile std::sig_atomic_t* stop);

/// The whole player: parses `args` and helps, lists or plays on `audio`
/// (null: the system's audio output). Returns the exit status: 0 for
/// --help, --version and the lists; 2 for bad arguments, before anything
/// plays; otherwise that of playCodes.
int runPlayer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              AudioOutput* audio, const volatile std::sig_atomic_t* stop);

#endif  // IRWAV_APP_PLAYER_H_

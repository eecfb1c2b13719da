#ifndef IRWAV_APP_PLAYER_H_
#define IRWAV_APP_PLAYER_H_

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

class AudioOutput;
class WaveSink;

/// Silence between two codes unless --gap says otherwise. A receiver takes
/// frames that follow each other closely (remotes repeat every 45 to 110
/// ms while a key is held) as one long press; half a second of nothing is
/// a released key, so the next code counts as a press of its own.
constexpr uint32_t kDefaultGapMs = 500;

/// The longest --gap accepted: a minute.
constexpr uint32_t kMaxGapMs = 60000;

/// What the player was asked to do.
struct PlayerOptions {
  std::vector<size_t> codes;  ///< table indices in playing order; empty: all
  std::string device;         ///< the output to play on; empty: the default
  uint32_t gapMs = kDefaultGapMs;
  bool list = false;
  bool help = false;
};

/// The table index of the code that `arg` names: a code name, in any case,
/// or a decimal table index. Returns false when there is none.
bool findCode(const std::string& arg, size_t* index);

/// Parses the arguments that follow the program name. Returns false, with a
/// message for standard error in *error, for an unknown option, an option
/// without its value, a bad --gap, or an argument that names no code.
bool parsePlayerArgs(const std::vector<std::string>& args, PlayerOptions* options,
                     std::string* error);

/// Prints the usage text.
void printPlayerHelp(std::ostream& out);

/// Prints one line per built-in code: index, name, carrier, mark count, and
/// whether it renders at `sampleRate`.
void printCodeList(std::ostream& out, uint32_t sampleRate);

/// Plays the codes of `options` on `sink`, which is opened without a file
/// name on options.device: one line on `out` as each code starts, the
/// converter's skip line for a code whose carrier cannot be rendered, and
/// options.gapMs of silence between two played codes. Stops after the block
/// in hand once *stop (if given) turns non-zero, and always lets the device
/// play out what it was given before closing it. A code during which the
/// stream ran dry is named on `err` once the device is closed. Returns the
/// exit status: 0 when everything played, 1 when the device could not be
/// opened or failed or a code was interrupted, and 128 + *stop when stopped
/// (*stop holds the number of the signal that asked: 130 for SIGINT, 143
/// for SIGTERM), also when the stop came during the final drain.
int playCodes(const PlayerOptions& options, WaveSink& sink, std::ostream& out, std::ostream& err,
              const volatile std::sig_atomic_t* stop);

/// The whole player: parses `args` and lists, helps or plays on `audio`
/// (null: the system's audio output). Returns the exit status: 2 for bad
/// arguments, before anything plays; otherwise that of playCodes.
int runPlayer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              AudioOutput* audio, const volatile std::sig_atomic_t* stop);

#endif  // IRWAV_APP_PLAYER_H_

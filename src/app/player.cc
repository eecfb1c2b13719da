#include "app/player.h"

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <ostream>

#include "app/batch_driver.h"
#include "app/ir_codes.h"
#include "output/wave_sink.h"
#include "synth/renderer.h"

namespace {

/// A code that went to the device: where its frames lie in the stream.
struct PlayedCode {
  size_t index;
  uint64_t fromByte;
  uint64_t toByte;  ///< just behind its last frame
};

/// Names on `err` every code that an underrun broke into, once each, and
/// returns whether there was one. A break at a code's very start or end
/// falls in the silence around it and breaks nothing.
bool reportInterruptedCodes(const std::vector<PlayedCode>& codes,
                            const std::vector<AudioUnderrun>& underruns, std::ostream& err) {
  bool any = false;
  for (const PlayedCode& code : codes) {
    const bool broken =
        std::any_of(underruns.begin(), underruns.end(), [&](const AudioUnderrun& u) {
          return u.fromByte < code.toByte && u.toByte > code.fromByte;
        });
    if (!broken) continue;
    err << "irwav-play: " << kIrCodeNames[code.index]
        << " was interrupted by an underrun; play it again" << std::endl;
    any = true;
  }
  return any;
}

bool sameNameIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && !b[i];
}

/// Parses a decimal number of at most `max`; no sign, no blanks.
bool parseNumber(const std::string& text, uint32_t max, uint32_t* value) {
  if (text.empty() || text.size() > 9) return false;
  uint32_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint32_t>(c - '0');
  }
  if (v > max) return false;
  *value = v;
  return true;
}

}  // namespace

bool findCode(const std::string& arg, size_t* index) {
  uint32_t number;
  if (parseNumber(arg, kIrCodeCount - 1, &number)) {
    *index = number;
    return true;
  }
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    if (sameNameIgnoringCase(arg, kIrCodeNames[i])) {
      *index = i;
      return true;
    }
  }
  return false;
}

bool parsePlayerArgs(const std::vector<std::string>& args, PlayerOptions* options,
                     std::string* error) {
  *options = PlayerOptions();
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.empty() || arg[0] != '-') {
      size_t index;
      if (!findCode(arg, &index)) {
        *error = "no code named \"" + arg + "\" (irwav-play --list shows them all)";
        return false;
      }
      options->codes.push_back(index);
      continue;
    }
    if (arg == "--list") {
      options->list = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options->help = true;
      continue;
    }
    // The options that take a value, as "--name VALUE" or "--name=VALUE".
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (name != "--device" && name != "--gap") {
      *error = "unknown option \"" + arg + "\" (irwav-play --help shows the options)";
      return false;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      *error = "option " + name + " needs a value";
      return false;
    }
    if (name == "--device") {
      if (value.empty()) {
        *error = "option --device needs a device name";
        return false;
      }
      options->device = value;
    } else if (!parseNumber(value, kMaxGapMs, &options->gapMs)) {
      *error = "option --gap takes milliseconds from 0 to " + std::to_string(kMaxGapMs) +
               ", not \"" + value + "\"";
      return false;
    }
  }
  return true;
}

void printPlayerHelp(std::ostream& out) {
  out << "Usage: irwav-play [OPTION]... [CODE]...\n"
         "Plays built-in remote-control codes on the sound card, for an infrared\n"
         "emitter on the headphone jack (volume at maximum).\n"
         "\n"
         "A CODE is a name (any case) or a table index, as --list shows them.\n"
         "Codes play in the order given; with none, every code plays in table\n"
         "order. A code whose carrier is too high for 48000 Hz is reported and\n"
         "passed over.\n"
         "\n"
         "  --list         list the codes: index, name, carrier, marks, and\n"
         "                 whether they render at 48000 Hz\n"
         "  --device NAME  play on ALSA device NAME instead of \"default\"\n"
         "  --gap MS       silence between codes in milliseconds (default "
      << kDefaultGapMs
      << ")\n"
         "  --help         show this text\n"
         "\n"
         "Ctrl-C or SIGTERM stops after the sound already on its way; the\n"
         "player then ends by that signal.\n"
         "Exit status: 0 played, 1 audio device failed or a code was cut by an\n"
         "underrun, 2 bad arguments.\n";
}

void printCodeList(std::ostream& out, uint32_t sampleRate) {
  const uint32_t maxCarrierHz = maxCarrierFor(sampleRate);
  out << "Index  Name          Carrier  Marks  At " << sampleRate << " Hz\n";
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    const uint32_t carrierHz = kIrCodes[i]->carrierHz;
    out << std::setw(5) << i << "  " << std::left << std::setw(12) << kIrCodeNames[i] << std::right
        << std::setw(9) << carrierHz << std::setw(7) << countMarks(kIrCodes[i]) << "  "
        << (canRender(carrierHz, maxCarrierHz) ? "rendered" : "skipped") << '\n';
  }
}

int playCodes(const PlayerOptions& options, WaveSink& sink, std::ostream& out, std::ostream& err,
              const volatile std::sig_atomic_t* stop) {
  std::vector<size_t> codes = options.codes;
  if (codes.empty()) {
    for (size_t i = 0; i < kIrCodeCount; ++i) codes.push_back(i);
  }
  const uint32_t maxCarrierHz = maxCarrierFor(sink.sampleRate);
  const bool anyPlayable = std::any_of(codes.begin(), codes.end(), [&](size_t i) {
    return canRender(kIrCodes[i]->carrierHz, maxCarrierHz);
  });

  // Nothing is said about the codes until the device is known to play.
  const std::string deviceShown = options.device.empty() ? "default" : options.device;
  if (anyPlayable) {
    sink.deviceName = options.device;
    sink.stopRequest = stop;
    if (sink.open(nullptr) != 0) {
      err << "irwav-play: cannot open audio device \"" << deviceShown << "\": " << sink.errorText
          << std::endl;
      sink.close();
      return 1;
    }
  }

  const uint32_t gapFrames =
      static_cast<uint32_t>(static_cast<uint64_t>(sink.sampleRate) * options.gapMs / 1000);
  const auto stopped = [stop] { return stop && *stop; };
  bool played = false;
  std::vector<PlayedCode> playedCodes;
  for (size_t i : codes) {
    if (stopped()) break;
    const uint32_t carrierHz = kIrCodes[i]->carrierHz;
    if (!canRender(carrierHz, maxCarrierHz)) {
      printSkipLine(out, kIrCodeNames[i], carrierHz);
      continue;
    }
    // The gap goes to the device as silence, so it keeps streaming evenly.
    if (played) {
      emitSilence(sink, gapFrames);
      if (stopped()) break;
    }
    played = true;
    out << "Playing " << i << " " << kIrCodeNames[i] << " - freq = " << carrierHz << " Hz"
        << std::endl;
    const uint64_t fromByte = sink.takenBytes();
    renderCode(kIrCodes[i], sink);
    playedCodes.push_back({i, fromByte, sink.takenBytes()});
  }

  if (!anyPlayable) return 0;
  int status = 0;
  if (sink.close() != 0) {
    err << "irwav-play: playing on \"" << deviceShown << "\" failed: " << sink.errorText
        << std::endl;
    status = 1;
  }
  if (reportInterruptedCodes(playedCodes, sink.underruns, err)) status = 1;
  // A stop that came while the device drained counts as well. The caller
  // was asked to stop, so that is what the status says, whatever else
  // went wrong.
  if (stopped()) {
    err << "irwav-play: stopped" << std::endl;
    status = 128 + *stop;
  }
  return status;
}

int runPlayer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              AudioOutput* audio, const volatile std::sig_atomic_t* stop) {
  PlayerOptions options;
  std::string error;
  if (!parsePlayerArgs(args, &options, &error)) {
    err << "irwav-play: " << error << std::endl;
    return 2;
  }
  WaveSink sink(nullptr, audio);
  if (options.help) {
    printPlayerHelp(out);
    return 0;
  }
  if (options.list) {
    printCodeList(out, sink.sampleRate);
    return 0;
  }
  return playCodes(options, sink, out, err, stop);
}

// The player's command line: parsing and the usage text.

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <ostream>

#include "app/batch_driver.h"
#include "app/command_line.h"
#include "app/player.h"
#include "library/brands.h"
#include "library/device_library.h"
#include "library/held_codes.h"
#include "library/ir_codes.h"
#include "library/ir_file.h"
#include "library/key_codes.h"
#include "synth/decimal.h"
#include "synth/name_match.h"
#include "synth/pronto.h"

namespace {

/// Parses a decimal number of at most `max`, as readDecimal reads it.
bool parseNumber(const std::string& text, uint32_t max, uint32_t* value) {
  uint64_t v = 0;
  if (!readDecimal(text, &v) || v > max) return false;
  *value = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

std::string rateChoices() {
  std::string text;
  for (size_t i = 0; i < std::size(kPlayerRates); ++i) {
    if (i > 0) text += i + 1 == std::size(kPlayerRates) ? " or " : ", ";
    text += std::to_string(kPlayerRates[i]);
  }
  return text;
}

namespace {

/// Reads --power's value: on, off or toggle.
bool parsePower(const std::string& value, PowerKey* power, std::string* error) {
  if (readPowerKey(value, power)) return true;
  *error = "option --power takes on, off or toggle, not \"" + value + "\"";
  return false;
}

/// Sets what a value option says. Returns false with a message for a bad
/// value.
bool takeValue(const std::string& name, const std::string& value, PlayerOptions* options,
               size_t* prontoCount, std::string* error) {
  if (name == "--device" || name == "--output") {
    if (value.empty()) {
      *error =
          "option " + name + (name == "--device" ? " needs a device name" : " needs a file name");
      return false;
    }
    (name == "--device" ? options->device : options->output) = value;
    return true;
  }
  if (name == "--gap") {
    if (parseNumber(value, kMaxGapMs, &options->gapMs)) return true;
    *error = "option --gap takes milliseconds from 0 to " + std::to_string(kMaxGapMs) + ", not \"" +
             value + "\"";
    return false;
  }
  if (name == "--repeat") {
    if (parseNumber(value, kMaxRepeat, &options->repeat) && options->repeat >= 1) return true;
    *error = "option --repeat takes presses from 1 to " + std::to_string(kMaxRepeat) + ", not \"" +
             value + "\"";
    return false;
  }
  if (name == "--format") {
    if (!parseListFormat(value, &options->format)) {
      *error = "option --format takes table, tsv or json, not \"" + value + "\"";
      return false;
    }
    if (options->format != ListFormat::kJson || jsonOutputAvailable()) return true;
    *error =
        "option --format json: this irwav-play was built without its JSON library "
        "(nlohmann-json)";
    return false;
  }
  if (name == "--rate") {
    uint32_t rate = 0;
    const bool supported =
        parseNumber(value, UINT32_MAX, &rate) &&
        std::find(std::begin(kPlayerRates), std::end(kPlayerRates), rate) != std::end(kPlayerRates);
    if (supported) {
      options->sampleRate = rate;
      return true;
    }
    *error = "option --rate takes " + rateChoices() + " (Hz), not \"" + value + "\"";
    return false;
  }
  // Read before the other arguments: the last one given holds for all.
  if (name == "--power" || name == "--kind") return true;
  if (name == "--hold") {
    if (parseNumber(value, kMaxHoldMs, &options->holdMs)) return true;
    *error = "option --hold takes milliseconds from 0 to " + std::to_string(kMaxHoldMs) +
             ", not \"" + value + "\"";
    return false;
  }
  if (name == "--keys") {
    std::string reason;
    if (value == "all" || findFamilyNamed(value, &reason, options->kind) != nullptr) {
      options->keys = value;
      return true;
    }
    *error = "option --keys \"" + value + "\": " + reason;
    return false;
  }
  if (name == "--brand") {
    const size_t before = options->codes.size();
    if (!appendBrandCodes(value, &options->codes, options->power, options->kind)) {
      *error = unknownBrandMessage(value, options->kind);
      return false;
    }
    const std::vector<std::string> remarks =
        brandRemarks(value, options->power, options->kind, options->confirm);
    if (options->codes.size() == before) {
      *error = remarks.empty() ? "brand \"" + value + "\" has no code to play" : remarks.front();
      return false;
    }
    options->remarks.insert(options->remarks.end(), remarks.begin(), remarks.end());
    return true;
  }
  PlayItem item;
  std::string reason;
  if (name == "--code") {
    item.name = value;
    std::string protocol;
    IrFields fields;
    const TvKeyFamily* family = nullptr;
    const TvKeyCode* key = nullptr;
    if (readCodeOrKey(value, &protocol, &fields, &reason, options->kind, &family, &key) &&
        buildProtocolItem(protocol, fields, &item, &reason)) {
      // A projector's power-off key may ask to be confirmed.
      if (family && key && (key->key == "power" || key->key == "power_off"))
        item.confirm = familyConfirm(*family);
      options->codes.push_back(std::move(item));
      return true;
    }
  } else {
    item.name = "pronto " + std::to_string(++*prontoCount);
    if (buildProntoItem(value, &item, &reason)) {
      options->codes.push_back(std::move(item));
      return true;
    }
  }
  *error = "option " + name + " \"" + value + "\": " + reason;
  return false;
}

/// Whether `arg` is a parameter's value for --irp: NAME=VALUE, NAME a
/// letter or "_" and then letters, digits and "_".
bool isIrpAssignment(const std::string& arg) {
  const size_t equals = arg.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  for (size_t i = 0; i < equals; ++i) {
    const unsigned char c = static_cast<unsigned char>(arg[i]);
    if (!(std::isalpha(c) != 0 || c == '_' || (i > 0 && std::isdigit(c) != 0))) return false;
  }
  return true;
}

/// Adds the code of --irp IRP NAME=VALUE...; false with a message for a bad one.
bool takeIrp(const std::string& irp, const std::vector<std::string>& assignments,
             PlayerOptions* options, size_t* irpCount, std::string* error) {
  PlayItem item;
  item.name = "irp " + std::to_string(++*irpCount);
  std::string reason;
  if (buildIrpItem(irp, assignments, &item, &reason)) {
    options->codes.push_back(std::move(item));
    return true;
  }
  *error = "option --irp \"" + irp + "\": " + reason;
  return false;
}

/// An option or code as given on the command line: its name ("CODE" for a
/// code named by name or index) and how a message shows it.
struct GivenArgument {
  std::string name;
  std::string shown;
};

/// A listing, and the options that change what it prints; every other
/// option would be silently without effect. -q goes with anything.
struct Listing {
  const char* option;
  std::vector<const char*> with;
};

const Listing kListings[] = {
    {"--list",
     {"CODE", "--brand", "--code", "--pronto", "--irp", "--ir", "--power", "--rate", "--hold",
      "--format", "--kind", "--confirm", "-q", "--quiet"}},
    {"--brands", {"--rate", "--format", "--kind", "-q", "--quiet"}},
    {"--keys", {"--format", "--kind", "-q", "--quiet"}},
    {"--protocols", {"-q", "--quiet"}},
};

/// Refuses an option that has no effect with the others given: a second
/// listing, an option that does not change the listing asked for, --device
/// with --output, --format without a listing, --power without --brand.
bool checkEffects(const std::vector<GivenArgument>& given, std::string* error) {
  const auto has = [&given](const char* name) {
    return std::any_of(given.begin(), given.end(),
                       [name](const GivenArgument& g) { return g.name == name; });
  };
  const Listing* listing = nullptr;
  for (const GivenArgument& g : given) {
    for (const Listing& l : kListings) {
      if (g.name != l.option) continue;
      if (listing != nullptr && listing != &l) {
        *error = g.shown + " has no effect with " + listing->option;
        return false;
      }
      listing = &l;
    }
  }
  for (const GivenArgument& g : given) {
    bool effect = true;
    const char* with = listing != nullptr ? listing->option : "--output";
    if (listing != nullptr) {
      effect = g.name == listing->option ||
               std::find(listing->with.begin(), listing->with.end(), g.name) != listing->with.end();
    } else if (g.name == "--format") {
      *error = "option --format goes with --list, --brands or --keys all";
      return false;
    } else if (g.name == "--device") {
      effect = !has("--output");
    }
    if (effect) continue;
    *error = g.shown + " has no effect with " + with;
    return false;
  }
  // --power chooses among the codes that --brand finds, and nothing else.
  if (has("--power") && !has("--brand")) {
    *error = "option --power has no effect without --brand";
    return false;
  }
  return true;
}

/// Makes every projector power-off asked for (a library code, or --code of
/// a projector family's power key) send the press that confirms it.
/// Returns false with a message when nothing asked for is one.
bool confirmPowerOffs(PlayerOptions* options, std::string* error) {
  bool any = false;
  for (PlayItem& item : options->codes) {
    const ConfirmPress confirm = item.libraryRow ? item.libraryRow->confirm : item.confirm;
    if (confirm == ConfirmPress::kNone) continue;
    // A built-in code of the table is never a projector's.
    const IrCode once = item.code();
    OwnedIrCode code;
    code.carrierHz = once.carrierHz;
    code.timings.assign(once.timings, once.timings + once.timingCount);
    item.built = confirmedCode(code);
    item.name += " twice";
    any = true;
  }
  if (!any)
    *error =
        "option --confirm goes with a projector's power-off: --kind projector --brand NAME, or "
        "--code of a projector family's power or power_off key";
  return any;
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
  // --help and --version answer whatever else the line holds.
  if (findHelpOrVersion(args, &options->help, &options->version)) return true;

  // --power and --kind decide what every --brand, --code and --keys
  // names, and --confirm what a projector's power-off sends, so they are
  // read first; the last of each holds.
  for (size_t i = 0; i < args.size() && args[i] != "--"; ++i) {
    const std::string& arg = args[i];
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (arg == "--confirm") options->confirm = true;
    if (name != "--power" && name != "--kind") continue;
    std::string value;
    if (equals != std::string::npos)
      value = arg.substr(equals + 1);
    else if (i + 1 < args.size())
      value = args[++i];
    else
      continue;  // the main pass says that the value is missing
    if (name == "--power" && !parsePower(value, &options->power, error)) return false;
    if (name == "--kind") {
      if (!readDeviceKind(value, &options->kind)) {
        *error = "option --kind takes " + kindChoices() + ", not \"" + value + "\"";
        return false;
      }
      options->kindGiven = true;
    }
  }

  bool optionsEnded = false;
  // "--" after an --ir file: every further argument is one of its signals.
  bool signalsOnly = false;
  std::vector<GivenArgument> given;
  bool gapGiven = false;
  bool sweepAsked = false;
  size_t prontoCount = 0;
  size_t irpCount = 0;
  // The runs that arguments so far named, by argument: an argument given
  // again refers to its run instead of building its codes anew.
  std::map<std::string, PlayRun> earlierRuns;
  // Adds the codes appended since `first` as a run, remembered under `key`
  // when that is not empty.
  const auto addRun = [&](size_t first, bool named, const std::string& key) {
    if (options->codes.size() == first) return;
    const PlayRun run{first, options->codes.size() - first, named};
    options->runs.push_back(run);
    if (!key.empty()) earlierRuns[key] = run;
  };
  const auto repeatRun = [&](const std::string& key) {
    const auto earlier = earlierRuns.find(key);
    if (earlier == earlierRuns.end()) return false;
    options->runs.push_back(earlier->second);
    return true;
  };
  // An --ir file, and the names of its signals that follow it.
  std::string irFile;
  std::vector<std::string> irSignals;
  const auto takeIrFile = [&] {
    if (irFile.empty()) return true;
    const size_t first = options->codes.size();
    const bool taken = appendIrFileCodes(irFile, irSignals, &options->codes, error);
    options->inputs.push_back(irFile);
    addRun(first, true, "");
    irFile.clear();
    irSignals.clear();
    return taken;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool plain = optionsEnded || arg.empty() || arg[0] != '-';
    if (arg == "--" && !irFile.empty() && !optionsEnded) {
      optionsEnded = true;
      signalsOnly = true;
      continue;
    }
    if (plain && !irFile.empty() && (!optionsEnded || signalsOnly)) {
      irSignals.push_back(arg);
      continue;
    }
    if (!takeIrFile()) return false;
    if (plain) {
      PlayItem item;
      if (!findCode(arg, &item.tableIndex)) {
        *error = "no code named \"" + arg + "\" (irwav-play --list shows them all)";
        return false;
      }
      given.push_back({"CODE", "code \"" + arg + "\""});
      const std::string key = "code " + std::to_string(item.tableIndex);
      if (repeatRun(key)) continue;
      item.name = kIrCodeNames[item.tableIndex];
      options->codes.push_back(std::move(item));
      addRun(options->codes.size() - 1, true, key);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    given.push_back({arg.substr(0, arg.find('=')), "option " + arg.substr(0, arg.find('='))});
    if (arg == "--list" || arg == "--brands" || arg == "--protocols") {
      (arg == "--list"     ? options->list
       : arg == "--brands" ? options->brands
                           : options->protocols) = true;
      continue;
    }
    if (arg == "-q" || arg == "--quiet") {
      options->quiet = true;
      continue;
    }
    if (arg == "--confirm") continue;  // read above
    // The options that take a value, as "--name VALUE" or "--name=VALUE".
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    static const char* const kValueOptions[] = {
        "--device", "--gap",    "--rate",   "--output", "--brand", "--code", "--pronto", "--irp",
        "--power",  "--repeat", "--format", "--keys",   "--hold",  "--ir",   "--kind"};
    if (std::find(std::begin(kValueOptions), std::end(kValueOptions), name) ==
        std::end(kValueOptions)) {
      *error = "unknown option \"" + arg + "\" (irwav-play --help shows the options)";
      return false;
    }
    std::string value;
    if (!takeOptionValue(args, &i, &value, error)) return false;
    if (name == "--irp") {
      // The parameters' values follow the IRP as NAME=VALUE arguments.
      std::vector<std::string> assignments;
      while (i + 1 < args.size() && isIrpAssignment(args[i + 1])) assignments.push_back(args[++i]);
      const size_t first = options->codes.size();
      if (!takeIrp(value, assignments, options, &irpCount, error)) return false;
      addRun(first, true, "");
      continue;
    }
    if (name == "--ir") {
      if (value.empty()) {
        *error = "option --ir needs a file name";
        return false;
      }
      irFile = value;
      continue;
    }
    // The same code named again is the same code: its run is shared. An
    // option this parser does not know to leave codes alone may change
    // what later codes build, so after one nothing earlier is shared.
    static const char* const kSharedOptions[] = {"--brand", "--code", "--pronto"};
    static const char* const kNeutralOptions[] = {"--device", "--gap",    "--rate",  "--output",
                                                  "--repeat", "--format", "--power", "--hold",
                                                  "--keys",   "--kind"};
    const bool shared = std::find(std::begin(kSharedOptions), std::end(kSharedOptions), name) !=
                        std::end(kSharedOptions);
    const std::string key =
        shared ? name + " " + (name == "--brand" ? brandKey(value) : value) : "";
    if (shared && repeatRun(key)) continue;
    if (!shared && std::find(std::begin(kNeutralOptions), std::end(kNeutralOptions), name) ==
                       std::end(kNeutralOptions))
      earlierRuns.clear();
    const size_t first = options->codes.size();
    if (!takeValue(name, value, options, &prontoCount, error)) return false;
    addRun(first, name != "--brand", key);
    gapGiven = gapGiven || name == "--gap";
    sweepAsked = sweepAsked || (name == "--brand" && brandKey(value) == "all");
  }
  if (!takeIrFile() || !checkEffects(given, error)) return false;
  const bool formatGiven = std::any_of(given.begin(), given.end(),
                                       [](const GivenArgument& g) { return g.name == "--format"; });
  if (formatGiven && !options->keys.empty() && options->keys != "all") {
    *error = "option --format goes with --list, --brands or --keys all";
    return false;
  }
  if (sweepAsked && !gapGiven) {
    options->gapMs = kSweepGapMs;
    options->familyGaps = true;
  }
  if (options->holdMs != 0 && !holdCodes(options->holdMs, &options->codes, error)) return false;
  if (options->list && options->codes.empty() && options->kind != DeviceKind::kTv) {
    // A kind without built-in codes lists its library.
    for (const LibraryCode& row : libraryCodes(options->kind)) {
      if (!row.unplayable.empty()) continue;
      PlayItem item;
      item.name = row.name;
      item.documented = row.remotes > 0;
      item.libraryRow = &row;
      options->codes.push_back(std::move(item));
    }
  }
  return !options->confirm || confirmPowerOffs(options, error);
}

void printPlayerHelp(std::ostream& out) {
  // The built-in codes that the default rate cannot carry.
  std::string highCarriers;
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    if (canRender(kIrCodes[i]->carrierHz, maxCarrierFor(48000))) continue;
    highCarriers += std::string(highCarriers.empty() ? "" : ", ") + kIrCodeNames[i];
  }
  out << "Usage: irwav-play [OPTION]... [CODE]...\n"
         "Plays remote-control codes on the sound card, for an infrared emitter\n"
         "on the headphone jack (volume at maximum), or writes them into one WAV file.\n"
         "\n"
         "A CODE is a built-in code's name (any case) or table index, as --list\n"
         "shows them. Codes, --brand, --code, --pronto, --irp and --ir play in the\n"
         "order given; with none, every built-in code plays in table order. A code\n"
         "whose carrier is too high for the rate is reported, with the --rate that\n"
         "plays it, and passed over; the run then fails unless --brand found it.\n"
         "\n"
         "  --brand NAME     the power codes of brand NAME (any case) of the kind of\n"
         "                   device --kind names: its documented codes, the most\n"
         "                   widely documented first, then its best guesses;\n"
         "                   \"all\" for the kind's sweep, every distinct code once,\n"
         "                   the codes that most remotes send first (for TVs then\n"
         "                   the universal power-off lists' other codes as they\n"
         "                   store them); --brands lists the brands\n"
         "  --kind KIND      the kind of device --brand, --brands, --list, --code and\n"
         "                   --keys mean: tv (default), audio (soundbars, receivers,\n"
         "                   amplifiers), projector or box (cable, satellite, IPTV,\n"
         "                   streaming)\n"
         "  --confirm        send a projector's power-off twice, 1.5 s apart, for\n"
         "                   projectors that ask to confirm it\n"
         "  --power WHICH    what --brand plays: toggle (default), off or on; off and\n"
         "                   on play a set's discrete off or on code where it has one\n"
         "  --code P:D[.S]:F your own code: protocol P, device D, subdevice S,\n"
         "                   function F, e.g. nec1:4:8, necx2:7.7:2, rc5:0:12;\n"
         "                   fields also in hex (0x7d); F may be a key name of\n"
         "                   the family P:D[.S] (necx2:7.7:volume_up, see --keys);\n"
         "                   P may be a remote file's protocol name: NEC, NECext,\n"
         "                   Samsung32, SIRC, SIRC15, SIRC20 or RC5X, with D and F\n"
         "                   its address and command (samsung32:7:0x02)\n"
         "  --keys P:D[.S]   list the keys of a code family: each key's codes, how\n"
         "                   many of the family's remotes send each and have the key;\n"
         "                   \"all\" for every key code of every family (of --kind's\n"
         "                   kind if given) with the code as --code takes it\n"
         "  --hold MS        send --code, --ir and --pronto codes as keys held MS\n"
         "                   milliseconds (0 to "
      << kMaxHoldMs
      << "): the frame, then its repeat part;\n"
         "                   built-in, brand, --irp and raw .ir codes stay as they are\n"
         "  --ir FILE [SIGNAL]...\n"
         "                   the signals of an IR signals file (.ir) named SIGNAL\n"
         "                   (any case; the arguments up to the next option, or\n"
         "                   after \"--\" all that follow), or all of them\n"
         "  --pronto \"HEX\"   your own code in Pronto learned format (0000 ...)\n"
         "  --irp \"IRP\" [NAME=VALUE]...\n"
         "                   your own protocol in IRP notation, the values of its\n"
         "                   parameters following, e.g. Sony12 1:21:\n"
         "    --irp \"{40k,600}<1,-1|2,-1>(4,-1,F:7,D:5,^45m)*[D:0..31,F:0..127]\" D=1 F=21\n"
         "  --output FILE    write everything into the WAV file FILE instead of\n"
         "                   playing it: codes, gaps and all; \"-\" for standard\n"
         "                   output (the report then goes to standard error),\n"
         "                   \"./-\" for a file named -\n"
         "  --rate HZ        sample rate (default 48000):\n"
         "                   "
      << rateChoices()
      << ".\n"
         "                   The highest carrier is 10/11 of it; most sound cards\n"
         "                   take 96000, which plays every built-in code (at 48000\n"
         "                   these are passed over:\n"
         "                   "
      << highCarriers
      << ").\n"
         "                   A sound server may convert the rate to its own: play\n"
         "                   such codes on the card itself (--device)\n"
         "  --gap MS         silence between codes in milliseconds, 0 to "
      << kMaxGapMs << "\n                   (default " << kDefaultGapMs
      << ";\n"
         "                   "
      << kSweepGapMs << " with --brand all, " << kSweepFamilyChangeGapMs
      << "\n                   between codes of two families)\n"
         "  --repeat N       press each code N times, 1 to "
      << kMaxRepeat
      << " (default 1), the gap\n"
         "                   between two presses\n"
         "  -q, --quiet      print no report, only errors\n"
#ifdef _WIN32
         "  --device NAME    play on the waveform output whose product name is NAME\n"
         "                   instead of the default one\n"
#else
         "  --device NAME    play on ALSA device NAME instead of \"default\"\n"
#endif
         "  --list           list the codes asked for (all built-in codes when none,\n"
         "                   or with --kind audio, projector or box its library):\n"
         "                   index, name, carrier, marks, and whether they render\n"
         "  --brands         list the brands and how many codes --brand plays for each\n"
         "  --format FORMAT  how --list, --brands and --keys all print: table (the\n"
         "                   default), or\n"
         "                   tsv or json, one record per code for programs\n"

         "  --protocols      list the protocols --code takes\n"
         "  --help           show this text\n"
         "  --version        show the version\n"
         "  --               what follows is a CODE, not an option\n"
         "\n"
#ifdef _WIN32
         "Ctrl-C stops after the sound already on its way, with exit status 130.\n"
#else
         "Ctrl-C or SIGTERM stops after the sound already on its way; the player\n"
         "then ends by that signal.\n"
#endif
         "Exit status: 0 played (a code a --brand expansion found that the rate\n"
         "cannot play is passed over with a notice); 1 a code named by name, index,\n"
         "--code or --pronto could not play at the rate, every code was skipped,\n"
         "the audio device or file failed, a code was cut by an underrun, or\n"
         "standard output could not be written; 2 bad arguments, among them an option\n"
         "that has no effect with the others given, or an --output that is an input.\n";
}

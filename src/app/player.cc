#include "app/player.h"

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>

#include "app/batch_driver.h"
#include "app/output_name.h"
#include "app/play_size.h"
#include "library/brands.h"
#include "library/device_kind.h"
#include "library/ir_codes.h"
#include "library/key_codes.h"
#include "output/wave_sink.h"
#include "platform/file.h"
#include "platform/standard_output_file.h"
#include "synth/renderer.h"

namespace {

/// A code that went to the device: where its frames lie in the stream.
struct PlayedCode {
  const PlayItem* item;
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
    err << "irwav-play: " << code.item->name << " was interrupted by an underrun; play it again"
        << std::endl;
    any = true;
  }
  return any;
}

/// What the skip line adds: the lowest usual --rate that renders the carrier.
std::string rateNote(uint32_t carrierHz) {
  const uint32_t* rate =
      std::find_if(std::begin(kAdvisedRates), std::end(kAdvisedRates),
                   [carrierHz](uint32_t r) { return canRender(carrierHz, maxCarrierFor(r)); });
  if (rate == std::end(kAdvisedRates)) return " (no --rate plays it)";
  return " (--rate " + std::to_string(*rate) + " plays it)";
}

/// Where in the file the sink, opened in file mode, now is: seconds with
/// three decimals.
std::string timeWritten(const WaveSink& sink) {
  const uint64_t ms = sink.takenBytes() /
                      (static_cast<uint64_t>(sink.bytesPerSample) * sink.channels) * 1000 /
                      sink.sampleRate;
  std::ostringstream text;
  text << ms / 1000 << '.' << std::setw(3) << std::setfill('0') << ms % 1000;
  return text.str();
}

/// Whether a listed code is documented: "yes", "guess" for a built-in best
/// guess, "-" for a user's own code.
const char* documentedWord(const PlayItem& item) {
  if (item.documented) return "yes";
  if (item.tableIndex != kNotInTable)
    return kIrCodeOrigins[item.tableIndex].documented ? "yes" : "guess";
  return "-";
}

}  // namespace

void printCodeList(std::ostream& out, const PlayerOptions& options) {
  if (options.format != ListFormat::kTable) {
    RecordPrinter records(out, options.format);
    forEachCode(options.codes, options.runs, [&](const PlayItem& item, bool) {
      records.add(codeRecord(item, options.sampleRate));
      return true;
    });
    records.finish();
    return;
  }
  size_t nameWidth = 12;
  forEachCode(options.codes, options.runs, [&](const PlayItem& item, bool) {
    nameWidth = std::max(nameWidth, item.name.size() + 1);
    return true;
  });
  out << "Index  " << std::left << std::setw(static_cast<int>(nameWidth)) << "Name" << std::right
      << std::setw(9) << "Carrier" << std::setw(7) << "Marks"
      << "  At " << options.sampleRate << " Hz  Documented\n";
  forEachCode(options.codes, options.runs, [&](const PlayItem& item, bool) {
    const CodeRecord code = codeRecord(item, options.sampleRate);
    out << std::setw(5) << (code.index >= 0 ? std::to_string(code.index) : "-") << "  " << std::left
        << std::setw(static_cast<int>(nameWidth)) << code.name << std::right << std::setw(9)
        << code.carrierHz << std::setw(7) << code.marks << "  "
        << (code.renders ? "rendered" : "skipped ") << "     " << documentedWord(item) << '\n';
    return true;
  });
}

void printBrandList(std::ostream& out, const PlayerOptions& options) {
  const bool table = options.format == ListFormat::kTable;
  std::optional<RecordPrinter> records;
  const std::vector<std::string> brands = brandNames(options.kind);
  size_t width = 12;
  for (const std::string& brand : brands) width = std::max(width, brand.size() + 1);
  if (table)
    out << std::left << std::setw(static_cast<int>(width)) << "Brand" << std::right
        << " Codes  Documented\n";
  else
    records.emplace(out, options.format);
  for (const std::string& brand : brands) {
    std::vector<PlayItem> items;
    appendBrandCodes(brand, &items, PowerKey::kToggle, options.kind);
    size_t documented = 0;
    for (const PlayItem& item : items) {
      const CodeRecord record = codeRecord(item, options.sampleRate);
      if (records) records->add(record);
      if (record.documented) ++documented;
    }
    if (table)
      out << std::left << std::setw(static_cast<int>(width)) << brand << std::right << std::setw(6)
          << items.size() << std::setw(12) << documented << '\n';
  }
  if (records) records->finish();
}

void printAllKeys(std::ostream& out, const PlayerOptions& options) {
  KeyRecordPrinter records(out, options.format);
  for (DeviceKind kind : kDeviceKinds) {
    if (options.kindGiven && kind != options.kind) continue;
    for (const TvKeyFamily& family : keyFamilies(kind)) {
      for (const TvKeyCode& code : family.codes) {
        KeyRecord record{family.name(), kindName(kind),    code.key, keyCodeText(family, code),
                         code.remotes,  code.filesWithKey, ""};
        OwnedIrCode encoded;
        if (!encodeKeyCode(family, code, &encoded, &record.unplayable) && record.unplayable.empty())
          record.unplayable = "it cannot be encoded";
        records.add(record);
      }
    }
  }
  records.finish();
}

void printProtocolList(std::ostream& out) {
  for (const std::string& name : irProtocolNames()) out << name << '\n';
}

int playCodes(const PlayerOptions& options, WaveSink& sink, std::ostream& out, std::ostream& err,
              const volatile std::sig_atomic_t* stop) {
  const uint32_t maxCarrierHz = maxCarrierFor(sink.sampleRate);
  // A code the rate cannot carry: a brand's is a notice in the report, a
  // code the user named an error.
  bool namedSkipped = false;
  const auto reportSkip = [&](const PlayItem& item, bool named) {
    const uint32_t carrierHz = item.code().carrierHz;
    if (!named) {
      printSkipLine(out, item.name, carrierHz, rateNote(carrierHz));
      return;
    }
    err << "irwav-play: " << item.name << " was not played: a " << carrierHz
        << " Hz carrier does not render at " << sink.sampleRate << " Hz" << rateNote(carrierHz)
        << std::endl;
    namedSkipped = true;
  };
  bool anyPlayable = false;
  forEachCode(options.codes, options.runs, [&](const PlayItem& item, bool) {
    anyPlayable = canRender(item.code().carrierHz, maxCarrierHz);
    return !anyPlayable;
  });
  if (!anyPlayable) {
    forEachCode(options.codes, options.runs, [&](const PlayItem& item, bool named) {
      reportSkip(item, named);
      return true;
    });
    err << "irwav-play: nothing to play: no code asked for renders at " << sink.sampleRate << " Hz"
        << std::endl;
    return 1;
  }

  // Nothing is said about the codes until the device or file is known to
  // take them.
  const bool toFile = !options.output.empty();
  const bool toStandardOutput = options.output == "-";
  const std::string targetShown = toStandardOutput         ? "standard output"
                                  : toFile                 ? "\"" + options.output + "\""
                                  : options.device.empty() ? "\"default\""
                                                           : "\"" + options.device + "\"";
  // A file's size is known from the timings: one that cannot be a WAV file
  // is refused before anything renders. Standard output, which cannot seek,
  // gets its header first, with that size.
  const uint64_t dataBytes = toFile ? playedDataBytes(options, sink) : 0;
  std::string sizeError;
  if (toFile && !fitsWavFile(dataBytes, &sizeError)) {
    err << "irwav-play: cannot write " << targetShown << ": " << sizeError << std::endl;
    return 1;
  }
  if (toStandardOutput) {
    sink.files = &standardOutputFiles();
    sink.declareDataSize(dataBytes);
  }
  sink.deviceName = options.device;
  sink.stopRequest = stop;
  std::wstring fileName;
  if (toFile) wideFileName(options.output, &fileName);
  if (sink.open(toFile ? fileName.c_str() : nullptr) != 0) {
    err << (toFile ? "irwav-play: cannot write " : "irwav-play: cannot open audio device ")
        << targetShown << ": " << sink.errorText << std::endl;
    sink.close();
    return 1;
  }

  const auto stopped = [stop] { return stop && *stop; };
  // Once the device or file has failed, nothing more reaches it: no further
  // code is announced as playing.
  // A report that could be written and no longer can (a closed pipe) stops
  // the run as well: nobody would learn where each code is. A stream that
  // was never meant to be written to (one without a buffer) stops nothing.
  const bool reportOpen = static_cast<bool>(out);
  const auto reportLost = [&] { return reportOpen && !out; };
  const auto finished = [&] { return stopped() || sink.halted() || reportLost(); };
  const PlayItem* previous = nullptr;  // the code played last
  std::vector<PlayedCode> playedCodes;
  forEachCode(options.codes, options.runs, [&](const PlayItem& item, bool named) {
    if (finished()) return false;
    const IrCode code = item.code();
    if (!canRender(code.carrierHz, maxCarrierHz)) {
      reportSkip(item, named);
      return true;
    }
    // A built-in code goes by its index too, as --list shows it.
    const std::string shownName = item.tableIndex == kNotInTable
                                      ? item.name
                                      : std::to_string(item.tableIndex) + " " + item.name;
    for (uint32_t press = 0; press < options.repeat; ++press) {
      // The gap goes to the device as silence, so it keeps streaming evenly.
      if (previous) {
        const uint32_t gapMs = press > 0 ? options.gapMs : gapBetween(options, *previous, item);
        emitSilence(sink, gapFrames(sink.sampleRate, gapMs));
        if (finished()) return false;
      }
      previous = &item;
      if (toFile) {
        out << "Writing " << shownName << " - freq = " << code.carrierHz << " Hz, at "
            << timeWritten(sink) << " s" << std::endl;
      } else {
        out << "Playing " << shownName << " - freq = " << code.carrierHz << " Hz" << std::endl;
      }
      const uint64_t fromByte = sink.takenBytes();
      renderCode(&code, sink);
      playedCodes.push_back({&item, fromByte, sink.takenBytes()});
      if (finished()) return false;
    }
    return true;
  });

  // A file that was stopped or lost its report is not finished: it is
  // thrown away, and its name keeps what it held.
  const bool abandoned = toFile && !sink.failed && (stopped() || reportLost());
  if (abandoned) sink.abandon(stopped() ? "stopped" : "standard output was lost");
  int status = namedSkipped ? 1 : 0;
  if (sink.close() != 0 && !abandoned) {
    err << (toFile ? "irwav-play: cannot write " : "irwav-play: playing on ") << targetShown
        << (toFile ? ": " : " failed: ") << sink.errorText << std::endl;
    status = 1;
  }
  if (reportInterruptedCodes(playedCodes, sink.underruns, err)) status = 1;
  // A stop that came while the device drained counts as well. The caller
  // was asked to stop, so that is what the status says, whatever else went
  // wrong.
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
  if (options.help) {
    printPlayerHelp(out);
    return 0;
  }
  if (options.version) {
    out << "irwav-play " << IRWAV_VERSION << std::endl;
    return 0;
  }
  if (options.brands) {
    printBrandList(out, options);
    return 0;
  }
  // Remarks are notices: -q leaves only errors.
  if (!options.quiet) {
    for (const std::string& remark : options.remarks) err << "irwav-play: " << remark << std::endl;
  }
  if (options.keys == "all") {
    printAllKeys(out, options);
    return 0;
  }
  if (!options.keys.empty()) {
    // parsePlayerArgs has found the family.
    printKeyList(out, options.keys, &error, options.kind);
    return 0;
  }
  if (options.list) {
    printCodeList(out, options);
    return 0;
  }
  if (options.protocols) {
    printProtocolList(out);
    return 0;
  }
  // The report: standard output holds the WAV itself with "--output -".
  std::ostream nowhere(nullptr);
  std::ostream& report = options.quiet ? nowhere : options.output == "-" ? err : out;
  if (!options.output.empty() && options.output != "-" &&
      !checkOutputName("irwav-play", options.output, err))
    return 2;
  WaveSink sink(nullptr, audio);
  sink.setFormat(2, 2, options.sampleRate);
  return playCodes(options, sink, report, err, stop);
}

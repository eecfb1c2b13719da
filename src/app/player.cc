#include "app/player.h"

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <iterator>
#include <ostream>
#include <sstream>

#include "app/batch_driver.h"
#include "app/brands.h"
#include "app/ir_codes.h"
#include "app/output_name.h"
#include "output/wave_sink.h"
#include "platform/file.h"
#include "synth/renderer.h"

namespace {

/// A code that went to the device: where its frames lie in the stream.
struct PlayedCode {
  std::string name;
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
    err << "irwav-play: " << code.name << " was interrupted by an underrun; play it again"
        << std::endl;
    any = true;
  }
  return any;
}

/// What the skip line adds: the lowest --rate that renders the carrier.
std::string rateNote(uint32_t carrierHz) {
  const uint32_t* rate =
      std::find_if(std::begin(kPlayerRates), std::end(kPlayerRates),
                   [carrierHz](uint32_t r) { return canRender(carrierHz, maxCarrierFor(r)); });
  if (rate == std::end(kPlayerRates)) return " (no --rate plays it)";
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

/// The codes asked for, or every built-in code in table order when none
/// were.
std::vector<PlayItem> codesOrTable(const std::vector<PlayItem>& codes) {
  if (!codes.empty()) return codes;
  std::vector<PlayItem> items(kIrCodeCount);
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    items[i].name = kIrCodeNames[i];
    items[i].tableIndex = i;
  }
  return items;
}

}  // namespace

void printCodeList(std::ostream& out, const std::vector<PlayItem>& codes, uint32_t sampleRate) {
  const std::vector<PlayItem> items = codesOrTable(codes);
  size_t nameWidth = 12;
  for (const PlayItem& item : items) nameWidth = std::max(nameWidth, item.name.size() + 1);
  const uint32_t maxCarrierHz = maxCarrierFor(sampleRate);
  out << "Index  " << std::left << std::setw(static_cast<int>(nameWidth)) << "Name" << std::right
      << std::setw(9) << "Carrier" << std::setw(7) << "Marks"
      << "  At " << sampleRate << " Hz\n";
  for (const PlayItem& item : items) {
    const IrCode code = item.code();
    const bool inTable = item.tableIndex != kNotInTable;
    out << std::setw(5) << (inTable ? std::to_string(item.tableIndex) : "-") << "  " << std::left
        << std::setw(static_cast<int>(nameWidth)) << item.name << std::right << std::setw(9)
        << code.carrierHz << std::setw(7) << countMarks(&code) << "  "
        << (canRender(code.carrierHz, maxCarrierHz) ? "rendered" : "skipped") << '\n';
  }
}

void printBrandList(std::ostream& out) {
  out << "Brand         Codes  Documented\n";
  for (const std::string& brand : brandNames()) {
    std::vector<PlayItem> items;
    appendBrandCodes(brand, &items);
    // Every library code is documented; a built-in one may be a guess.
    const auto documented = std::count_if(items.begin(), items.end(), [](const PlayItem& item) {
      return item.tableIndex == kNotInTable || kIrCodeOrigins[item.tableIndex].documented;
    });
    out << std::left << std::setw(12) << brand << std::right << std::setw(7) << items.size()
        << std::setw(12) << documented << '\n';
  }
}

int playCodes(const PlayerOptions& options, WaveSink& sink, std::ostream& out, std::ostream& err,
              const volatile std::sig_atomic_t* stop) {
  const std::vector<PlayItem> codes = codesOrTable(options.codes);
  const uint32_t maxCarrierHz = maxCarrierFor(sink.sampleRate);
  const bool anyPlayable = std::any_of(codes.begin(), codes.end(), [&](const PlayItem& item) {
    return canRender(item.code().carrierHz, maxCarrierHz);
  });
  if (!anyPlayable) {
    for (const PlayItem& item : codes) {
      const uint32_t carrierHz = item.code().carrierHz;
      printSkipLine(out, item.name, carrierHz, rateNote(carrierHz));
    }
    err << "irwav-play: nothing to play: no code asked for renders at " << sink.sampleRate << " Hz"
        << std::endl;
    return 1;
  }

  // Nothing is said about the codes until the device or file is known to
  // take them.
  const bool toFile = !options.output.empty();
  const std::string targetShown = toFile                   ? options.output
                                  : options.device.empty() ? "default"
                                                           : options.device;
  sink.deviceName = options.device;
  sink.stopRequest = stop;
  std::wstring fileName;
  if (toFile) wideFileName(options.output, &fileName);
  if (sink.open(toFile ? fileName.c_str() : nullptr) != 0) {
    err << (toFile ? "irwav-play: cannot write \"" : "irwav-play: cannot open audio device \"")
        << targetShown << "\": " << sink.errorText << std::endl;
    sink.close();
    return 1;
  }

  const uint32_t gapFrames =
      static_cast<uint32_t>(static_cast<uint64_t>(sink.sampleRate) * options.gapMs / 1000);
  const auto stopped = [stop] { return stop && *stop; };
  // Once the device or file has failed, nothing more reaches it: no further
  // code is announced as playing.
  // A report that could be written and no longer can (a closed pipe) stops
  // the run as well: nobody would learn where each code is. A stream that
  // was never meant to be written to (one without a buffer) stops nothing.
  const bool reportOpen = static_cast<bool>(out);
  const auto reportLost = [&] { return reportOpen && !out; };
  const auto finished = [&] { return stopped() || sink.failed || reportLost(); };
  bool played = false;
  std::vector<PlayedCode> playedCodes;
  for (const PlayItem& item : codes) {
    if (finished()) break;
    const IrCode code = item.code();
    if (!canRender(code.carrierHz, maxCarrierHz)) {
      printSkipLine(out, item.name, code.carrierHz, rateNote(code.carrierHz));
      continue;
    }
    // The gap goes to the device as silence, so it keeps streaming evenly.
    if (played) {
      emitSilence(sink, gapFrames);
      if (finished()) break;
    }
    played = true;
    // A built-in code goes by its index too, as --list shows it.
    const std::string shownName = item.tableIndex == kNotInTable
                                      ? item.name
                                      : std::to_string(item.tableIndex) + " " + item.name;
    if (toFile) {
      out << "Writing " << shownName << " - freq = " << code.carrierHz << " Hz, at "
          << timeWritten(sink) << " s" << std::endl;
    } else {
      out << "Playing " << shownName << " - freq = " << code.carrierHz << " Hz" << std::endl;
    }
    const uint64_t fromByte = sink.takenBytes();
    renderCode(&code, sink);
    playedCodes.push_back({item.name, fromByte, sink.takenBytes()});
  }

  // A file that was stopped or lost its report is not finished: it is
  // thrown away, and its name keeps what it held.
  const bool abandoned = toFile && !sink.failed && (stopped() || reportLost());
  if (abandoned) sink.abandon(stopped() ? "stopped" : "standard output was lost");
  int status = 0;
  if (sink.close() != 0 && !abandoned) {
    err << (toFile ? "irwav-play: cannot write \"" : "irwav-play: playing on \"") << targetShown
        << (toFile ? "\": " : "\" failed: ") << sink.errorText << std::endl;
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
    printBrandList(out);
    return 0;
  }
  if (options.list) {
    printCodeList(out, options.codes, options.sampleRate);
    return 0;
  }
  if (!options.output.empty() && !checkOutputName("irwav-play", options.output, err)) return 2;
  WaveSink sink(nullptr, audio);
  sink.setFormat(2, 2, options.sampleRate);
  return playCodes(options, sink, out, err, stop);
}

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
#include "app/key_codes.h"
#include "app/play_size.h"
#include "output/wave_sink.h"
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

/// A file name given as UTF-8, as wide characters (UTF-16 where wchar_t
/// has 16 bits). A byte that is not part of valid UTF-8 stands for itself.
std::wstring widenFileName(const std::string& name) {
  std::wstring wide;
  for (size_t i = 0; i < name.size();) {
    const auto byte = [&name](size_t at) { return static_cast<unsigned char>(name[at]); };
    uint32_t c = byte(i);
    size_t length = c < 0x80 ? 1 : c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (length > 1 && i + length <= name.size()) {
      c &= 0x3F >> (length - 1);
      for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) length = 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
      }
      if (length == 3 && (c < 0x800 || (c >= 0xD800 && c < 0xE000))) length = 0;
      if (length == 4 && (c < 0x10000 || c > 0x10FFFF)) length = 0;
    } else if (length > 1) {
      length = 0;
    }
    if (length == 0) {
      c = byte(i);
      length = 1;
    }
    if (c > 0xFFFF && sizeof(wchar_t) == 2) {
      wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      wide += static_cast<wchar_t>(c);
    }
    i += length;
  }
  return wide;
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
      << "  At " << sampleRate << " Hz  Documented\n";
  for (const PlayItem& item : items) {
    const IrCode code = item.code();
    const bool inTable = item.tableIndex != kNotInTable;
    out << std::setw(5) << (inTable ? std::to_string(item.tableIndex) : "-") << "  " << std::left
        << std::setw(static_cast<int>(nameWidth)) << item.name << std::right << std::setw(9)
        << code.carrierHz << std::setw(7) << countMarks(&code) << "  "
        << (canRender(code.carrierHz, maxCarrierHz) ? "rendered" : "skipped ") << "     "
        << documentedWord(item) << '\n';
  }
}

void printBrandList(std::ostream& out) {
  const std::vector<std::string> brands = brandNames();
  size_t width = 12;
  for (const std::string& brand : brands) width = std::max(width, brand.size() + 1);
  out << std::left << std::setw(static_cast<int>(width)) << "Brand" << std::right
      << " Codes  Documented\n";
  for (const std::string& brand : brands) {
    std::vector<PlayItem> items;
    appendBrandCodes(brand, &items);
    const auto documented = std::count_if(items.begin(), items.end(),
                                          [](const PlayItem& item) { return item.documented; });
    out << std::left << std::setw(static_cast<int>(width)) << brand << std::right << std::setw(6)
        << items.size() << std::setw(12) << documented << '\n';
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
  const uint32_t gapFrames =
      static_cast<uint32_t>(static_cast<uint64_t>(sink.sampleRate) * options.gapMs / 1000);
  // A file's size is known from the timings: one that cannot be a WAV file
  // is refused before anything renders.
  std::string sizeError;
  if (toFile && !fitsWavFile(playedDataBytes(codes, sink.sampleRate,
                                             sink.bytesPerSample * sink.channels, gapFrames),
                             &sizeError)) {
    err << "irwav-play: cannot write \"" << targetShown << "\": " << sizeError << std::endl;
    return 1;
  }
  sink.deviceName = options.device;
  sink.stopRequest = stop;
  if (sink.open(toFile ? widenFileName(options.output).c_str() : nullptr) != 0) {
    err << (toFile ? "irwav-play: cannot write \"" : "irwav-play: cannot open audio device \"")
        << targetShown << "\": " << sink.errorText << std::endl;
    sink.close();
    return 1;
  }

  const auto stopped = [stop] { return stop && *stop; };
  // Once the device or file has failed, nothing more reaches it: no further
  // code is announced as playing.
  const auto finished = [&] { return stopped() || sink.halted(); };
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

  int status = 0;
  if (sink.close() != 0) {
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
  for (const std::string& remark : options.remarks) err << "irwav-play: " << remark << std::endl;
  if (!options.keys.empty()) {
    // parsePlayerArgs has found the family.
    printKeyList(out, options.keys, &error);
    return 0;
  }
  if (options.list) {
    printCodeList(out, options.codes, options.sampleRate);
    return 0;
  }
  WaveSink sink(nullptr, audio);
  sink.setFormat(2, 2, options.sampleRate);
  return playCodes(options, sink, out, err, stop);
}

// The functions the web page calls: the list of codes, and WAV files that
// the renderer writes into memory for the page to play or save. The page
// runs one call at a time; each result stays valid until the next call.

#include <emscripten/emscripten.h>

#include <cctype>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch_driver.h"
#include "app/ir_codes.h"
#include "app/player.h"
#include "output/wave_sink.h"
#include "platform/memory_files.h"
#include "synth/renderer.h"

namespace {

constexpr wchar_t kOutputName[] = L"irwav.wav";

std::string codesJson;
std::string featuresJson;
std::vector<uint8_t> wavBytes;
std::string errorText;

/// The brand of a table code: its name without the digits that number a
/// brand's further codes.
std::string brandOf(const char* name) {
  std::string brand(name);
  while (!brand.empty() && std::isdigit(static_cast<unsigned char>(brand.back()))) brand.pop_back();
  return brand;
}

void appendJsonString(std::string* out, const std::string& text) {
  *out += '"';
  for (char c : text) {
    if (c == '"' || c == '\\') *out += '\\';
    *out += c;
  }
  *out += '"';
}

/// Splits the page's argument text, one argument a line.
std::vector<std::string> splitLines(const char* text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char* c = text; *c; ++c) {
    if (*c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += *c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

extern "C" {

/// The codes the page lists, in playing order, as a JSON array of objects
/// {"index", "name", "brand", "carrier", "args"}: "args" are the player's
/// arguments that name the code.
EMSCRIPTEN_KEEPALIVE const char* irwavCodes() {
  if (!codesJson.empty()) return codesJson.c_str();
  codesJson = "[";
  for (size_t i = 0; i < kIrCodeCount; ++i) {
    if (i) codesJson += ',';
    codesJson += "{\"index\":" + std::to_string(i) + ",\"name\":";
    appendJsonString(&codesJson, kIrCodeNames[i]);
    codesJson += ",\"brand\":";
    appendJsonString(&codesJson, brandOf(kIrCodeNames[i]));
    codesJson += ",\"carrier\":" + std::to_string(kIrCodes[i]->carrierHz);
    codesJson += ",\"args\":[\"" + std::to_string(i) + "\"]}";
  }
  codesJson += "]";
  return codesJson.c_str();
}

/// What this build's player offers, as a JSON object: "defaultGapMs";
/// "maxCarrier", the highest carrier at each sample rate it renders at;
/// "pronto", whether it takes Pronto codes; "protocols", the protocol names
/// that a code of the user's may use.
EMSCRIPTEN_KEEPALIVE const char* irwavFeatures() {
  if (!featuresJson.empty()) return featuresJson.c_str();
  featuresJson = "{\"defaultGapMs\":" + std::to_string(kDefaultGapMs) + ",\"maxCarrier\":{";
  const uint32_t rates[] = {48000};
  for (uint32_t rate : rates) {
    if (rate != rates[0]) featuresJson += ',';
    featuresJson += "\"" + std::to_string(rate) + "\":" + std::to_string(maxCarrierFor(rate));
  }
  featuresJson += "},\"pronto\":false,\"protocols\":[]}";
  return featuresJson.c_str();
}

/// Renders what the player's arguments `args` (one a line) name into one
/// WAV file in memory, as the player writes it: the codes in order, the gap
/// between two of them, a code too high for the rate passed over. Returns 0,
/// or 2 for arguments the player refuses and 1 when nothing could be
/// rendered, with the player's message in irwavError().
EMSCRIPTEN_KEEPALIVE int irwavRender(const char* args) {
  wavBytes.clear();
  errorText.clear();
  PlayerOptions options;
  if (!parsePlayerArgs(splitLines(args), &options, &errorText)) return 2;
  std::ostringstream skipped;

  WaveSink sink;
  const uint32_t maxCarrierHz = maxCarrierFor(sink.sampleRate);
  const uint32_t gapFrames =
      static_cast<uint32_t>(static_cast<uint64_t>(sink.sampleRate) * options.gapMs / 1000);
  sink.open(kOutputName);
  bool rendered = false;
  for (size_t i : options.codes) {
    if (!canRender(kIrCodes[i]->carrierHz, maxCarrierHz)) {
      printSkipLine(skipped, kIrCodeNames[i], kIrCodes[i]->carrierHz);
      continue;
    }
    if (rendered) emitSilence(sink, gapFrames);
    rendered = true;
    renderCode(kIrCodes[i], sink);
  }
  if (sink.close() != 0 || !takeMemoryFile(kOutputName, &wavBytes)) {
    errorText = sink.errorText;
    return 1;
  }
  if (!rendered) {
    wavBytes.clear();
    errorText = skipped.str();
    while (!errorText.empty() && errorText.back() == '\n') errorText.pop_back();
    return 1;
  }
  return 0;
}

/// The WAV file of the last successful irwavRender.
EMSCRIPTEN_KEEPALIVE const uint8_t* irwavWavData() { return wavBytes.data(); }
EMSCRIPTEN_KEEPALIVE uint32_t irwavWavSize() { return static_cast<uint32_t>(wavBytes.size()); }

/// Why the last irwavRender failed.
EMSCRIPTEN_KEEPALIVE const char* irwavError() { return errorText.c_str(); }

}  // extern "C"

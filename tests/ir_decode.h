#ifndef IRWAV_TESTS_IR_DECODE_H_
#define IRWAV_TESTS_IR_DECODE_H_

// Small decoders of remote-control frames for the tests. Each reads a timing list as IrCode holds
// it (mark, space, ..., units of 10 us) and returns the fields of every frame of its protocol that
// it finds. Bit lengths are told apart within each frame, so a list decodes at any timing close
// to its protocol's shape; a frame that does not decode is left out.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

namespace irdecode {

using Timings = std::vector<int32_t>;

/// The fields of one frame, named as the protocol's definition names them.
struct DecodedFrame {
  int32_t device = 0;
  int32_t subdevice = -1;  ///< -1 where the protocol has none
  int32_t function = 0;
  int32_t toggle = 0;    ///< RC5
  int32_t extra = 0;     ///< Fujitsu: the nibble E
  bool checked = true;   ///< the frame's own checks (complements, check byte, fixed bytes) hold
  int32_t leadMark = 0;  ///< the lead-in mark; 0 where there is none
};

inline int32_t markAt(const Timings& t, size_t i) { return 2 * i < t.size() ? t[2 * i] : 0; }
inline int32_t spaceAt(const Timings& t, size_t i) {
  return 2 * i + 1 < t.size() ? t[2 * i + 1] : 0;
}

/// Pulse-distance bits from the spaces after the given marks: a space nearer the longest than the
/// shortest of them is a 1. Empty when the spaces do not fall into two clearly separate lengths.
inline std::vector<int> spaceBits(const Timings& t, const std::vector<size_t>& marks) {
  std::vector<int32_t> spaces;
  for (size_t m : marks) spaces.push_back(spaceAt(t, m));
  if (spaces.empty()) return {};
  const auto [low, high] = std::minmax_element(spaces.begin(), spaces.end());
  if (*low <= 0 || 2 * *high < 3 * *low) return {};
  std::vector<int> bits;
  for (int32_t s : spaces) bits.push_back(2 * s > *low + *high ? 1 : 0);
  return bits;
}

/// Marks first, first + 1, ..., first + count - 1.
inline std::vector<size_t> markRange(size_t first, size_t count) {
  std::vector<size_t> marks;
  for (size_t i = 0; i < count; ++i) marks.push_back(first + i);
  return marks;
}

inline uint32_t packLsbFirst(const std::vector<int>& bits, size_t from, size_t count) {
  uint32_t value = 0;
  for (size_t i = 0; i < count; ++i) value |= static_cast<uint32_t>(bits.at(from + i)) << i;
  return value;
}

inline uint32_t packMsbFirst(const std::vector<int>& bits, size_t from, size_t count) {
  uint32_t value = 0;
  for (size_t i = 0; i < count; ++i)
    value = (value << 1) | static_cast<uint32_t>(bits.at(from + i));
  return value;
}

/// Marks that begin a frame: a lead-in mark of at least `minLead` followed by at least
/// `dataMarks` marks before the next such mark (so a repeat burst is not a frame).
inline std::vector<size_t> frameStarts(const Timings& t, int32_t minLead, size_t dataMarks) {
  const size_t marks = t.size() / 2;
  std::vector<size_t> leads;
  for (size_t i = 0; i < marks; ++i) {
    if (markAt(t, i) >= minLead) leads.push_back(i);
  }
  leads.push_back(marks);
  std::vector<size_t> starts;
  for (size_t k = 0; k + 1 < leads.size(); ++k) {
    if (leads[k + 1] - leads[k] > dataMarks) starts.push_back(leads[k]);
  }
  return starts;
}

/// The bits of every frame that is a lead-in (a mark of at least 2.5 ms) followed by `count`
/// pulse-distance bits, in the order sent, each with its lead-in mark.
struct BitFrame {
  std::vector<int> bits;
  int32_t leadMark;
};

inline std::vector<BitFrame> leadInBitFrames(const Timings& t, size_t count) {
  std::vector<BitFrame> frames;
  for (size_t start : frameStarts(t, 250, count)) {
    std::vector<int> bits = spaceBits(t, markRange(start + 1, count));
    if (!bits.empty()) frames.push_back({std::move(bits), markAt(t, start)});
  }
  return frames;
}

/// NEC-family frames (NEC1, NEC2, NECx, Pioneer, Samsung32): lead-in, 32 bits least significant
/// first. device and subdevice are the first two bytes, function the third; checked: the fourth
/// byte is the third's complement.
inline std::vector<DecodedFrame> decodeNec(const Timings& t) {
  std::vector<DecodedFrame> frames;
  for (const BitFrame& b : leadInBitFrames(t, 32)) {
    DecodedFrame f;
    f.device = static_cast<int32_t>(packLsbFirst(b.bits, 0, 8));
    f.subdevice = static_cast<int32_t>(packLsbFirst(b.bits, 8, 8));
    f.function = static_cast<int32_t>(packLsbFirst(b.bits, 16, 8));
    f.checked = (packLsbFirst(b.bits, 24, 8) ^ static_cast<uint32_t>(f.function)) == 0xFF;
    f.leadMark = b.leadMark;
    frames.push_back(f);
  }
  return frames;
}

/// Proton frames: lead-in, device 8 bits, a separator mark with a long space, function 8 bits,
/// least significant first.
inline std::vector<DecodedFrame> decodeProton(const Timings& t) {
  std::vector<DecodedFrame> frames;
  for (size_t start : frameStarts(t, 250, 18)) {
    std::vector<size_t> marks = markRange(start + 1, 8);
    for (size_t m : markRange(start + 10, 8)) marks.push_back(m);
    const std::vector<int> bits = spaceBits(t, marks);
    if (bits.empty()) continue;
    DecodedFrame f;
    f.device = static_cast<int32_t>(packLsbFirst(bits, 0, 8));
    f.function = static_cast<int32_t>(packLsbFirst(bits, 8, 8));
    int32_t longestBit = 0;
    for (size_t m : marks) longestBit = std::max(longestBit, spaceAt(t, m));
    f.checked = spaceAt(t, start + 9) > longestBit;  // the separator
    f.leadMark = markAt(t, start);
    frames.push_back(f);
  }
  return frames;
}

/// RCA frames: lead-in, device 4 bits, function 8 bits, then both complemented, most
/// significant first.
inline std::vector<DecodedFrame> decodeRca(const Timings& t) {
  std::vector<DecodedFrame> frames;
  for (const BitFrame& b : leadInBitFrames(t, 24)) {
    DecodedFrame f;
    f.device = static_cast<int32_t>(packMsbFirst(b.bits, 0, 4));
    f.function = static_cast<int32_t>(packMsbFirst(b.bits, 4, 8));
    f.checked = packMsbFirst(b.bits, 12, 4) == (~static_cast<uint32_t>(f.device) & 0xF) &&
                packMsbFirst(b.bits, 16, 8) == (~static_cast<uint32_t>(f.function) & 0xFF);
    f.leadMark = b.leadMark;
    frames.push_back(f);
  }
  return frames;
}

/// The six bytes of each 48-bit Kaseikyo-family frame (Panasonic, Fujitsu), in the order sent.
inline std::vector<std::vector<uint32_t>> decodeKaseikyoBytes(const Timings& t) {
  std::vector<std::vector<uint32_t>> frames;
  for (const BitFrame& b : leadInBitFrames(t, 48)) {
    std::vector<uint32_t> bytes;
    for (size_t i = 0; i < 6; ++i) bytes.push_back(packLsbFirst(b.bits, 8 * i, 8));
    frames.push_back(bytes);
  }
  return frames;
}

/// Panasonic: maker bytes 02 20, then device, subdevice, function and their XOR.
inline std::vector<DecodedFrame> decodePanasonic(const Timings& t) {
  std::vector<DecodedFrame> frames;
  for (const std::vector<uint32_t>& b : decodeKaseikyoBytes(t)) {
    DecodedFrame f;
    f.device = static_cast<int32_t>(b[2]);
    f.subdevice = static_cast<int32_t>(b[3]);
    f.function = static_cast<int32_t>(b[4]);
    f.checked = b[0] == 0x02 && b[1] == 0x20 && b[5] == (b[2] ^ b[3] ^ b[4]);
    frames.push_back(f);
  }
  return frames;
}

/// Fujitsu: maker bytes 14 63, the nibble E in the high half of the third byte, then device,
/// subdevice and function.
inline std::vector<DecodedFrame> decodeFujitsu(const Timings& t) {
  std::vector<DecodedFrame> frames;
  for (const std::vector<uint32_t>& b : decodeKaseikyoBytes(t)) {
    DecodedFrame f;
    f.extra = static_cast<int32_t>(b[2] >> 4);
    f.device = static_cast<int32_t>(b[3]);
    f.subdevice = static_cast<int32_t>(b[4]);
    f.function = static_cast<int32_t>(b[5]);
    f.checked = b[0] == 0x14 && b[1] == 0x63 && (b[2] & 0xF) == 0;
    frames.push_back(f);
  }
  return frames;
}

/// Sony 12-bit frames: a lead-in mark, then 12 pulse-width bits (a long mark is a 1), function
/// 7 bits then device 5 bits, least significant first.
inline std::vector<DecodedFrame> decodeSony12(const Timings& t) {
  std::vector<DecodedFrame> frames;
  for (size_t start : frameStarts(t, 200, 12)) {
    const int32_t unit = spaceAt(t, start);
    std::vector<int> bits;
    for (size_t m = start + 1; m <= start + 12; ++m) bits.push_back(2 * markAt(t, m) > 3 * unit);
    DecodedFrame f;
    f.function = static_cast<int32_t>(packLsbFirst(bits, 0, 7));
    f.device = static_cast<int32_t>(packLsbFirst(bits, 7, 5));
    f.leadMark = markAt(t, start);
    frames.push_back(f);
  }
  return frames;
}

/// RC5 frames (half-bits of 889 us, a 1 is a space then a mark, most significant first), one per
/// run of values that are one or two half-bits long and hold 14 bits. checked: the start bit is 1.
inline std::vector<DecodedFrame> decodeRc5(const Timings& t) {
  std::vector<DecodedFrame> frames;
  size_t i = 0;
  while (i < t.size()) {
    std::vector<int> halves = {0};  // the first start bit's silent half precedes the first mark
    for (; i < t.size(); ++i) {
      const int32_t count = static_cast<int32_t>(std::lround(t[i] / 88.9));
      if (count < 1 || count > 2 || std::abs(t[i] - count * 89) > 9) break;
      for (int32_t h = 0; h < count; ++h) halves.push_back(i % 2 == 0 ? 1 : 0);
    }
    ++i;                                              // the gap (or terminator) after the frame
    if (halves.size() % 2 != 0) halves.push_back(0);  // a final 0 bit ends in silence
    std::vector<int> bits;
    for (size_t h = 0; h + 1 < halves.size() && halves[h] != halves[h + 1]; h += 2) {
      bits.push_back(halves[h + 1]);
    }
    if (bits.size() != 14) continue;
    DecodedFrame f;
    f.checked = bits[0] == 1;
    f.toggle = bits[2];
    f.device = static_cast<int32_t>(packMsbFirst(bits, 3, 5));
    f.function = static_cast<int32_t>(packMsbFirst(bits, 8, 6)) + (bits[1] ? 0 : 64);
    frames.push_back(f);
  }
  return frames;
}

/// Zenith frames with `dataBits` function bits: symbols of one mark and a long space (0) or two
/// marks with a short space between them (1); the start symbol S, then each function bit, most
/// significant first, as a symbol and its complement. device is the number of function bits,
/// subdevice S; checked: every pair is a symbol and its complement.
inline std::vector<DecodedFrame> decodeZenith(const Timings& t, size_t dataBits) {
  std::vector<DecodedFrame> frames;
  const size_t marks = t.size() / 2;
  size_t m = 0;
  while (m < marks) {
    std::vector<int> symbols;
    while (m < marks && symbols.size() < 1 + 2 * dataBits) {
      const bool one = spaceAt(t, m) > 0 && spaceAt(t, m) * 2 < markAt(t, m) * 3;
      symbols.push_back(one ? 1 : 0);
      m += one ? 2 : 1;
    }
    if (symbols.size() < 1 + 2 * dataBits) break;
    DecodedFrame f;
    f.device = static_cast<int32_t>(dataBits);
    f.subdevice = symbols[0];
    for (size_t b = 0; b < dataBits; ++b) {
      f.function = (f.function << 1) | symbols[1 + 2 * b];
      f.checked = f.checked && symbols[1 + 2 * b] != symbols[2 + 2 * b];
    }
    frames.push_back(f);
  }
  return frames;
}

}  // namespace irdecode

#endif  // IRWAV_TESTS_IR_DECODE_H_

#ifndef IRWAV_TESTS_WAV_READER_H_
#define IRWAV_TESTS_WAV_READER_H_

#include <cstdint>
#include <string>
#include <vector>

/// Reads a little-endian unsigned value of `size` bytes at `offset`.
inline uint32_t readLe(const std::vector<uint8_t>& bytes, size_t offset, size_t size) {
  uint32_t v = 0;
  for (size_t i = size; i-- > 0;) v = (v << 8) | bytes.at(offset + i);
  return v;
}

/// One 16-bit stereo frame.
struct StereoFrame {
  int16_t left;
  int16_t right;
  bool operator==(const StereoFrame& o) const { return left == o.left && right == o.right; }
};

/// The frames of a 16-bit stereo sample stream.
inline std::vector<StereoFrame> stereoFrames(const std::vector<uint8_t>& data, size_t offset = 0) {
  std::vector<StereoFrame> frames;
  for (size_t i = offset; i + 4 <= data.size(); i += 4) {
    frames.push_back(
        {static_cast<int16_t>(readLe(data, i, 2)), static_cast<int16_t>(readLe(data, i + 2, 2))});
  }
  return frames;
}

#endif  // IRWAV_TESTS_WAV_READER_H_

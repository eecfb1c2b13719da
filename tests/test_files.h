#ifndef IRWAV_TESTS_TEST_FILES_H_
#define IRWAV_TESTS_TEST_FILES_H_

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "library/ir_codes.h"

/// The whole content of the file at `path`; empty when it cannot be read.
inline std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

/// The whole content of the file at `path`, as bytes.
inline std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
  const std::string text = readText(path);
  return std::vector<uint8_t>(text.begin(), text.end());
}

/// The name the converter gives the file of code `index`, written out
/// independently of the converter's own naming.
inline std::string fileNameOf(size_t index) {
  char number[8];
  std::snprintf(number, sizeof number, "%3zu", index);
  return std::string(number) + "_" + kIrCodeNames[index] + ".wav";
}

#endif  // IRWAV_TESTS_TEST_FILES_H_

#include "output/wave_sink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "memory_file_system.h"
#include "synth/renderer.h"
#include "test_files.h"
#include "wav_reader.h"

namespace {

/// The header of an empty default-format file, byte by byte.
const uint8_t kEmptyHeader[44] = {'R', 'I', 'F',  'F',  36,  0,   0,    0,    'W',  'A',  'V',
                                  'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,    0,
                                  2,   0,   0x80, 0xBB, 0,   0,   0x00, 0xEE, 0x02, 0x00, 4,
                                  0,   16,  0,    'd',  'a', 't', 'a',  0,    0,    0,    0};

struct SinkTest : ::testing::Test {
  MemoryFileSystem fs;
  WaveSink sink{&fs, nullptr};

  const std::vector<uint8_t>& bytes(const wchar_t* name = L"t.wav") { return fs.files[name].bytes; }
};

TEST_F(SinkTest, OpenThenCloseLeavesAnEmptyWave) {
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(bytes(), std::vector<uint8_t>(std::begin(kEmptyHeader), std::end(kEmptyHeader)));
  // The header goes out in six writes, once at open and once at close.
  EXPECT_EQ(fs.writeSizes, (std::vector<size_t>{8, 4, 8, 14, 2, 8, 8, 4, 8, 14, 2, 8}));
  EXPECT_FALSE(fs.files[L"t.wav"].open);
  EXPECT_EQ(sink.buffer, nullptr);
}

TEST_F(SinkTest, AFullBufferIsWrittenTheMomentItFills) {
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  emitSilence(sink, 8191);
  EXPECT_EQ(bytes().size(), 44u);
  emitSilence(sink, 1);
  EXPECT_EQ(bytes().size(), 44u + 32768u);
  EXPECT_EQ(sink.cursor, sink.buffer.get());
  EXPECT_EQ(sink.close(), 0);
  // Nothing was left for close but the header.
  EXPECT_EQ(fs.writeSizes.size(), 6u + 1u + 6u);
  EXPECT_EQ(readLe(bytes(), 40, 4), 32768u);
}

TEST_F(SinkTest, OneFrameMoreIsWrittenAtClose) {
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  emitSilence(sink, 8193);
  EXPECT_EQ(sink.close(), 0);
  const std::vector<size_t> dataWrites(fs.writeSizes.begin() + 6, fs.writeSizes.end() - 6);
  EXPECT_EQ(dataWrites, (std::vector<size_t>{32768, 4}));
  EXPECT_EQ(bytes().size(), 44u + 32772u);
}

TEST_F(SinkTest, SizeFieldsFollowTheFileSize) {
  for (uint32_t frames : {0u, 1u, 4596u, 8192u, 20000u}) {
    ASSERT_EQ(sink.open(L"t.wav"), 0);
    emitSilence(sink, frames);
    EXPECT_EQ(sink.close(), 0);
    const auto& file = bytes();
    EXPECT_EQ(file.size(), 44u + 4u * frames);
    EXPECT_EQ(readLe(file, 4, 4), file.size() - 8);
    EXPECT_EQ(readLe(file, 40, 4), file.size() - 44);
  }
}

TEST_F(SinkTest, HeaderDescribesTheChosenFormat) {
  EXPECT_FALSE(sink.setFormat(3, 2));
  EXPECT_FALSE(sink.setFormat(2, 0));
  ASSERT_TRUE(sink.setFormat(1, 1));
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  emitSilence(sink, 10);
  EXPECT_EQ(sink.close(), 0);
  const auto& file = bytes();
  EXPECT_EQ(readLe(file, 22, 2), 1u);      // channels
  EXPECT_EQ(readLe(file, 24, 4), 48000u);  // frames per second
  EXPECT_EQ(readLe(file, 28, 4), 48000u);  // bytes per second
  EXPECT_EQ(readLe(file, 32, 2), 1u);      // bytes per frame
  EXPECT_EQ(readLe(file, 34, 2), 8u);      // bits per sample
  EXPECT_EQ(file.size(), 44u + 10u);
  EXPECT_EQ(file.back(), 128);
  EXPECT_EQ(sink.deviceFormat.blockAlign, 1);
  EXPECT_EQ(sink.deviceFormat.avgBytesPerSec, 48000u);

  EXPECT_FALSE(sink.setFormat(2, 2, 7999));
  EXPECT_FALSE(sink.setFormat(2, 2, 384001));
  EXPECT_EQ(sink.sampleRate, 48000u);
  ASSERT_TRUE(sink.setFormat(2, 2, 96000));
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(readLe(bytes(), 24, 4), 96000u);   // frames per second
  EXPECT_EQ(readLe(bytes(), 28, 4), 384000u);  // bytes per second
  EXPECT_EQ(sink.deviceFormat.samplesPerSec, 96000u);
  EXPECT_EQ(sink.deviceFormat.avgBytesPerSec, 384000u);
}

TEST_F(SinkTest, TheFormatStaysWhileTheSinkIsOpen) {
  ASSERT_TRUE(sink.setFormat(1, 1));
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  emitSilence(sink, 32767);  // one byte short of a full buffer
  // Wider frames now would run past the buffer and disagree with the header.
  EXPECT_FALSE(sink.setFormat(2, 2));
  emitSilence(sink, 1);
  EXPECT_EQ(sink.close(), 0);
  const auto& file = bytes();
  EXPECT_EQ(file.size(), 44u + 32768u);
  EXPECT_EQ(readLe(file, 32, 2), 1u);  // bytes per frame
  EXPECT_TRUE(sink.setFormat(2, 2));   // closed again: free to change
}

TEST_F(SinkTest, AFileThatCannotBeCreatedTakesFramesAndWritesNothing) {
  fs.failCreate = true;
  EXPECT_EQ(sink.open(L"t.wav"), -1);
  EXPECT_EQ(sink.errorText, "creation refused");
  emitSilence(sink, 3 * 8192 + 5);  // cycles through the buffer, never past it
  EXPECT_EQ(sink.close(), -1);
  EXPECT_TRUE(fs.writeSizes.empty());
  EXPECT_TRUE(fs.files.empty());
  // The next file starts clean.
  fs.failCreate = false;
  EXPECT_EQ(sink.open(L"u.wav"), 0);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(sink.errorText, "");
}

TEST_F(SinkTest, AFailedWriteRemovesTheFileAndStopsWriting) {
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  fs.failWrites = true;
  emitSilence(sink, 8192 * 3);
  EXPECT_EQ(fs.writeSizes.size(), 6u + 1u);  // the first failure ends the writing
  EXPECT_EQ(sink.close(), -1);
  EXPECT_EQ(sink.errorText, "disk full");
  EXPECT_EQ(fs.files.count(L"t.wav"), 0u);
  EXPECT_EQ(sink.close(), 0);  // closing again does nothing
}

TEST_F(SinkTest, OpeningAnOpenSinkFinishesWhatItHeldFirst) {
  ASSERT_EQ(sink.open(L"a.wav"), 0);
  emitSilence(sink, 9000);
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  EXPECT_FALSE(fs.files[L"a.wav"].open);
  EXPECT_EQ(fs.files[L"a.wav"].bytes.size(), 44u + 36000u);
  EXPECT_EQ(readLe(fs.files[L"a.wav"].bytes, 40, 4), 36000u);
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(bytes().size(), 44u);
}

TEST(SinkFileTest, ReopeningReplacesTheFile) {
  namespace fsys = std::filesystem;
  const fsys::path dir =
      fsys::temp_directory_path() /
      ("irwav-sink-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fsys::create_directories(dir);
  const fsys::path path = dir / "replace.wav";
  {
    std::ofstream old(path, std::ios::binary);
    old << std::string(100000, 'x');
  }
  WaveSink sink;
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(sink.open(path.wstring().c_str()), 0);
    emitSilence(sink, 9000);
    ASSERT_EQ(sink.close(), 0);
    EXPECT_EQ(fsys::file_size(path), 44u + 36000u);
  }
  // Read and closed before the removal below: Windows deletes no open file.
  const std::vector<uint8_t> file = readBytes(path);
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + 4, "RIFF"));
  EXPECT_EQ(readLe(file, 40, 4), 36000u);
  fsys::remove_all(dir);
}

}  // namespace

namespace {

TEST_F(SinkTest, ADeclaredSizeGoesOutFirstAndOnceAndMustBeMet) {
  ASSERT_FALSE(sink.declareDataSize(uint64_t{1} << 32));
  ASSERT_TRUE(sink.declareDataSize(8));
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  for (int i = 0; i < 2; ++i) emitSilence(sink, 1);
  EXPECT_EQ(sink.close(), 0) << sink.errorText;
  // The header once, at the start, then the data: no rewind, no rewrite.
  EXPECT_EQ(fs.writeSizes, (std::vector<size_t>{8, 4, 8, 14, 2, 8, 8}));
  std::vector<uint8_t> expected(std::begin(kEmptyHeader), std::end(kEmptyHeader));
  expected[4] = 44;  // RIFF size 36 + 8
  expected[40] = 8;  // data size
  expected.resize(52, 0);
  EXPECT_EQ(bytes(), expected);

  // Fewer bytes than declared is a failure, and the declaration lasted one
  // open only.
  ASSERT_TRUE(sink.declareDataSize(8));
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  emitSilence(sink, 1);
  EXPECT_EQ(sink.close(), -1);
  EXPECT_EQ(sink.errorText, "wrote 4 sample bytes of the 8 its header declares");
  ASSERT_EQ(sink.open(L"t.wav"), 0);
  emitSilence(sink, 1);
  EXPECT_EQ(sink.close(), 0);
}

}  // namespace

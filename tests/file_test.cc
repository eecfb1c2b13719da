// The platform's real file system, on whichever system the test runs.

#include "platform/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "test_files.h"

namespace {

namespace fsys = std::filesystem;

struct FileTest : ::testing::Test {
  FileSystem& files = systemFileSystem();
  fsys::path dir;

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fsys::temp_directory_path() / (std::string("irwav-file-") + info->name());
    fsys::remove_all(dir);
    fsys::create_directories(dir);
  }
  void TearDown() override { fsys::remove_all(dir); }

  /// The wide name of `leaf` in the scratch directory, composed without the
  /// locale-dependent conversions of std::filesystem.
  std::wstring name(const wchar_t* leaf) const {
    return dir.wstring() + static_cast<wchar_t>(fsys::path::preferred_separator) + leaf;
  }

  static std::string contents(const fsys::path& path) { return readText(path); }
};

TEST_F(FileTest, CreateTruncatesAndRewindOverwritesTheStart) {
  {
    std::ofstream old(dir / "a.wav", std::ios::binary);
    old << std::string(5000, 'x');
  }
  std::string error;
  const FileHandle file = files.create(name(L"a.wav").c_str(), &error);
  ASSERT_NE(file, kInvalidFile) << error;
  EXPECT_TRUE(files.write(file, "head", 4, &error)) << error;
  EXPECT_TRUE(files.write(file, "-body", 5, &error)) << error;
  EXPECT_TRUE(files.rewind(file, &error)) << error;
  EXPECT_TRUE(files.write(file, "HEAD", 4, &error)) << error;
  EXPECT_TRUE(files.close(file, &error)) << error;
  EXPECT_EQ(contents(dir / "a.wav"), "HEAD-body");
}

TEST_F(FileTest, WideNamesReachTheFileSystemUnchanged) {
  const wchar_t leaf[] = L"  7_t\u00e9l\u00e9.wav";
  std::string error;
  const FileHandle file = files.create(name(leaf).c_str(), &error);
  ASSERT_NE(file, kInvalidFile) << error;
  EXPECT_TRUE(files.close(file, &error)) << error;
  EXPECT_TRUE(fsys::is_regular_file(dir / fsys::u8path(u8"  7_t\u00e9l\u00e9.wav")));
}

TEST_F(FileTest, NamesFromTheCommandLineKeepEveryCharacter) {
  for (const char* leaf : {u8"\u20acuro.wav", u8"\u65e5\u672c.wav", u8"\U0001F4FA.wav"}) {
    SCOPED_TRACE(leaf);
    std::wstring wide;
    ASSERT_TRUE(wideFileName(leaf, &wide));
    std::string error;
    const FileHandle file = files.create(name(wide.c_str()).c_str(), &error);
    ASSERT_NE(file, kInvalidFile) << error;
    EXPECT_TRUE(files.close(file, &error)) << error;
    EXPECT_TRUE(fsys::is_regular_file(dir / fsys::u8path(leaf)));
  }
  EXPECT_EQ(std::distance(fsys::directory_iterator(dir), fsys::directory_iterator()), 3);
  // A byte that is not UTF-8: a file name of its own on POSIX, none on
  // Windows, where it would otherwise turn into some other character.
  std::wstring wide;
  EXPECT_EQ(wideFileName("caf\xe9.wav", &wide), fsys::path::preferred_separator == '/');
}

TEST_F(FileTest, ANameTakenByADirectoryCannotBeCreatedAndIsKept) {
  fsys::create_directory(dir / "d.wav");
  std::string error;
  EXPECT_EQ(files.create(name(L"d.wav").c_str(), &error), kInvalidFile);
  // One line of the system's own words.
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(error.find('\n'), std::string::npos);
  EXPECT_NE(error.back(), '.');
  files.discard(kInvalidFile, name(L"d.wav").c_str());
  EXPECT_TRUE(fsys::is_directory(dir / "d.wav"));
}

TEST_F(FileTest, DiscardRemovesAPartlyWrittenFileAndKeepsThePreviousOne) {
  std::string error;
  FileHandle file = files.create(name(L"p.wav").c_str(), &error);
  ASSERT_NE(file, kInvalidFile) << error;
  EXPECT_TRUE(files.write(file, "RIFF", 4, &error)) << error;
  files.discard(file, name(L"p.wav").c_str());
  EXPECT_TRUE(fsys::is_empty(dir));

  { std::ofstream(dir / "p.wav", std::ios::binary) << "previous"; }
  file = files.create(name(L"p.wav").c_str(), &error);
  ASSERT_NE(file, kInvalidFile) << error;
  EXPECT_TRUE(files.write(file, "RIFF", 4, &error)) << error;
  files.discard(file, name(L"p.wav").c_str());
  EXPECT_EQ(contents(dir / "p.wav"), "previous");
  EXPECT_EQ(std::distance(fsys::directory_iterator(dir), fsys::directory_iterator()), 1);
}

}  // namespace

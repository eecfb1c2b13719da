// The POSIX file layer: how wide names reach the disk, and names no path can
// hold.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/file.h"

namespace {

namespace fs = std::filesystem;

struct FilePosixTest : ::testing::Test {
  fs::path dir;
  fs::path previous = fs::current_path();

  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("irwav-file-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(dir);
  }
};

TEST_F(FilePosixTest, WideNamesAreWrittenAsUtf8) {
  FileSystem& files = systemFileSystem();
  // One character each of two, three and four UTF-8 bytes.
  const wchar_t name[] = {L'\u00e9', L'_', L'\u266b', L'_', static_cast<wchar_t>(0x1F4FA),
                          L'.',      L'w', L'a',      L'v', 0};
  std::string error;
  const FileHandle file = files.create(name, &error);
  ASSERT_NE(file, kInvalidFile) << error;
  ASSERT_TRUE(files.write(file, "abc", 3, &error));
  ASSERT_TRUE(files.close(file, &error));
  EXPECT_EQ(fs::file_size(dir / "\xc3\xa9_\xe2\x99\xab_\xf0\x9f\x93\xba.wav"), 3u);
}

TEST_F(FilePosixTest, ANameLongerThanAnyPathFailsWithItsReason) {
  FileSystem& files = systemFileSystem();
  // Two-byte characters, so the wide name is shorter than its encoding.
  const std::wstring name(40000, L'\u00e9');
  std::string error;
  EXPECT_EQ(files.create(name.c_str(), &error), kInvalidFile);
  EXPECT_EQ(error, "File name too long");
  files.discard(kInvalidFile, name.c_str());  // harmless
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(FilePosixTest, ANamedPipeIsRefusedEvenWithAReader) {
  ASSERT_EQ(::mkfifo("pipe.wav", 0666), 0);
  const int reader = ::open("pipe.wav", O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  std::string error;
  EXPECT_EQ(systemFileSystem().create(L"pipe.wav", &error), kInvalidFile);
  EXPECT_EQ(error, "Is a named pipe");
  ::close(reader);
}

}  // namespace

// The POSIX file layer: how names reach the disk as the bytes they were,
// how a file takes its name only when whole, and names no path can hold.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/file.h"
#include "test_files.h"

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

TEST_F(FilePosixTest, AnyBytesOfANameReachTheDiskUnchanged) {
  // A Latin-1 byte whose UTF-8 twin is present, a lead byte no UTF-8 uses, a
  // surrogate in UTF-8's form, a sequence cut short, and valid UTF-8.
  std::ofstream("caf\xc3\xa9.wav") << "twin";
  const std::set<std::string> names = {"caf\xe9.wav", "\xf5\x80\x80.wav", "\xed\xb2\x80.wav",
                                       "\xe2\x99.wav", "\xe2\x99\xab.wav"};
  FileSystem& files = systemFileSystem();
  for (const std::string& name : names) {
    std::wstring wide;
    ASSERT_TRUE(wideFileName(name, &wide));
    std::string error;
    const FileHandle file = files.create(wide.c_str(), &error);
    ASSERT_NE(file, kInvalidFile) << error;
    ASSERT_TRUE(files.write(file, name.data(), name.size(), &error));
    ASSERT_TRUE(files.close(file, &error)) << error;
  }
  std::set<std::string> found;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    found.insert(name);
    if (name != "caf\xc3\xa9.wav") {
      EXPECT_EQ(readText(entry.path()), name);
    }
  }
  std::set<std::string> expected = names;
  expected.insert("caf\xc3\xa9.wav");
  EXPECT_EQ(found, expected);
  EXPECT_EQ(readText(dir / "caf\xc3\xa9.wav"), "twin");
}

TEST_F(FilePosixTest, TheNameKeepsItsFileUntilTheNewOneIsClosed) {
  std::ofstream("a.wav") << "old";
  ASSERT_EQ(::chmod("a.wav", 0640), 0);
  FileSystem& files = systemFileSystem();
  std::string error;
  FileHandle file = files.create(L"a.wav", &error);
  ASSERT_NE(file, kInvalidFile) << error;
  ASSERT_TRUE(files.write(file, "new", 3, &error));
  EXPECT_EQ(readText(dir / "a.wav"), "old");
  ASSERT_TRUE(files.close(file, &error)) << error;
  EXPECT_EQ(readText(dir / "a.wav"), "new");
  EXPECT_EQ(fs::status(dir / "a.wav").permissions(), fs::perms(0640));

  // Given up, a file leaves nothing of its own, and the name as it was.
  file = files.create(L"a.wav", &error);
  ASSERT_NE(file, kInvalidFile) << error;
  ASSERT_TRUE(files.write(file, "RIFF", 4, &error));
  files.discard(file, L"a.wav");
  EXPECT_EQ(readText(dir / "a.wav"), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
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

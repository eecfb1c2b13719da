// Runs the whole batch against a file system that fails one call, for calls
// spread over every file of the run, and checks that exactly that file is
// reported and missing while the report and every other file stay as a clean
// run leaves them.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "app/batch_driver.h"
#include "faulty_file_system.h"

namespace {

struct BatchRun {
  int status;
  std::string out;
  std::string err;
};

BatchRun runOn(FaultyFileSystem& fs) {
  std::ostringstream out, err;
  const int status = runBatch(out, err, &fs);
  return {status, out.str(), err.str()};
}

std::string narrow(const std::wstring& name) { return std::string(name.begin(), name.end()); }

TEST(BatchDriverFaults, AFailingCallCostsExactlyOneFileAndOneLine) {
  FaultyFileSystem clean;
  const BatchRun good = runOn(clean);
  ASSERT_EQ(good.status, 0);
  ASSERT_EQ(good.err, "");
  ASSERT_FALSE(clean.files.empty());

  const char* const opNames[] = {"create", "write", "rewind", "close"};
  for (int op = 0; op < FaultyFileSystem::kOpCount; ++op) {
    // Creates and closes happen once per file: fail each. Writes and rewinds
    // are sampled with a stride that lands on every file and, across files,
    // on header and data writes alike.
    const size_t calls = clean.calls[op];
    const size_t stride = std::max<size_t>(1, calls / clean.files.size()) | 1;
    for (size_t n = 1; n <= calls; n += stride) {
      SCOPED_TRACE(std::string(opNames[op]) + " #" + std::to_string(n));
      FaultyFileSystem fs;
      fs.failNth(static_cast<FaultyFileSystem::Op>(op), n);
      const BatchRun run = runOn(fs);
      ASSERT_EQ(fs.injected, 1u);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.out, good.out);
      EXPECT_TRUE(fs.violations.empty()) << fs.violations.front();
      EXPECT_FALSE(fs.anyOpen());
      EXPECT_EQ(fs.files.size(), clean.files.size() - 1);

      // One line, naming the one file that is missing.
      std::string missing;
      for (const auto& entry : clean.files) {
        auto it = fs.files.find(entry.first);
        if (it == fs.files.end()) {
          missing = narrow(entry.first);
        } else {
          EXPECT_EQ(it->second.bytes, entry.second.bytes) << narrow(entry.first);
        }
      }
      EXPECT_EQ(run.err,
                "irwav: cannot write \"" + missing + "\": injected " + opNames[op] + " failure\n");
    }
  }
}

}  // namespace

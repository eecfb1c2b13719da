// Counts the heap allocations of a sink's whole file cycle: open, render,
// close must allocate the sample buffer and nothing else, for every built-in
// code, from the first file on.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "app/batch_driver.h"
#include "discarding_file_system.h"
#include "library/ir_codes.h"
#include "output/wave_sink.h"
#include "synth/renderer.h"

namespace {
size_t allocations = 0;
}  // namespace

void* operator new(size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

TEST(WaveSinkAlloc, EachFileCostsExactlyOneAllocation) {
  std::vector<std::wstring> names;
  for (size_t i = 0; i < kIrCodeCount; ++i) names.push_back(waveFileName(i, kIrCodeNames[i]));
  names.push_back(std::wstring(120, L'x') + L".wav");  // a long name, too

  DiscardingFileSystem fs;
  WaveSink sink(&fs, nullptr);
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(i);
    const size_t before = allocations;
    ASSERT_EQ(sink.open(names[i].c_str()), 0);
    renderCode(kIrCodes[i % kIrCodeCount], sink);
    ASSERT_EQ(sink.close(), 0);
    EXPECT_EQ(allocations - before, 1u);
  }
  EXPECT_GT(fs.bytesWritten, 0u);
}

}  // namespace

// Rendering ends within a block once the sink has halted: a stop request or
// a failed target, in file and in live mode.

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

#include "faulty_file_system.h"
#include "scripted_audio_output.h"
#include "synth/renderer.h"

namespace {

// 8 s at 38 kHz: 1.5 million frames at 192000 Hz, hundreds of blocks.
const std::vector<int32_t> kLongList = {400000, 100000, 300000, 0};
const IrCode kLongCode{38000, kLongList.data(), kLongList.size()};
constexpr uint32_t kRate = 192000;

/// Whether the rendering ended at a flush: the cursor stands at the start
/// of a fresh block. The whole code would end elsewhere in its last block.
bool endedAtAFlush(const WaveSink& sink, uint32_t blockBytes) {
  EXPECT_NE(renderedFrameCount(kLongCode, kRate) * 4 % blockBytes, 0u);
  return sink.cursor == sink.blockStart;
}

/// A memory file system that sets a stop request as its nth write happens.
class StoppingFileSystem : public MemoryFileSystem {
 public:
  bool write(FileHandle file, const void* data, size_t size, std::string* error) override {
    if (++writes == stopAt) stop = SIGINT;
    return MemoryFileSystem::write(file, data, size, error);
  }
  size_t writes = 0;
  size_t stopAt = 0;
  volatile std::sig_atomic_t stop = 0;
};

TEST(RenderHaltTest, AStopEndsTheCodeWithinABlockAndTheFileGoes) {
  StoppingFileSystem fs;
  fs.stopAt = 8;  // the header's six writes, then the second block
  WaveSink sink(&fs, nullptr);
  ASSERT_TRUE(sink.setFormat(2, 2, kRate));
  sink.stopRequest = &fs.stop;
  ASSERT_EQ(sink.open(L"big.wav"), 0);
  renderCode(&kLongCode, sink);
  // The request came in a block's write; the next flush saw it, and the
  // rendering ended there.
  EXPECT_TRUE(sink.stopped());
  EXPECT_TRUE(endedAtAFlush(sink, kBufferBytes));
  EXPECT_EQ(sink.totalBytes, 2 * kBufferBytes);  // up to the write that saw the stop
  const size_t writes = fs.writes;
  EXPECT_EQ(sink.close(), 0);
  EXPECT_EQ(fs.writes, writes);  // no header rewritten over a stopped file
  EXPECT_EQ(fs.files.count(L"big.wav"), 0u);
}

TEST(RenderHaltTest, AStopOrAFailureEndsALiveCodeWithinABlock) {
  for (bool failing : {false, true}) {
    SCOPED_TRACE(failing ? "device failed" : "stop requested");
    ScriptedAudioOutput device;
    volatile std::sig_atomic_t stop = 0;
    if (failing) {
      device.failWriteAt = 3;
    } else {
      device.onSleep = [&] { stop = device.writes >= 3 ? SIGTERM : 0; };
    }
    WaveSink sink(nullptr, &device);
    ASSERT_TRUE(sink.setFormat(2, 2, kRate));
    sink.stopRequest = &stop;
    ASSERT_EQ(sink.open(nullptr), 0);
    renderCode(&kLongCode, sink);
    EXPECT_TRUE(sink.halted());
    EXPECT_TRUE(endedAtAFlush(sink, sink.blockBytes));
    EXPECT_LE(device.writes, 4u);
    EXPECT_EQ(sink.close(), failing ? -1 : 0);
    EXPECT_TRUE(device.violations.empty()) << device.violations.front();
  }
}

TEST(RenderHaltTest, AFailedFileEndsTheCodeAtTheFailure) {
  FaultyFileSystem fs;
  fs.failNth(FaultyFileSystem::kWrite, 8);  // the second block of samples
  WaveSink sink(&fs, nullptr);
  ASSERT_TRUE(sink.setFormat(2, 2, kRate));
  ASSERT_EQ(sink.open(L"big.wav"), 0);
  renderCode(&kLongCode, sink);
  EXPECT_TRUE(endedAtAFlush(sink, kBufferBytes));
  EXPECT_EQ(sink.close(), -1);
  EXPECT_EQ(sink.errorText, "injected write failure");
}

}  // namespace

#include "synth/renderer.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/player.h"
#include "discarding_file_system.h"
#include "library/ir_codes.h"
#include "memory_file_system.h"
#include "wav_reader.h"

namespace {

/// Runs `body` on a sink opened on an in-memory file and returns the sample
/// bytes that reached the file.
std::vector<uint8_t> renderBytes(const std::function<void(WaveSink&)>& body,
                                 uint32_t bytesPerSample = 2, uint32_t channels = 2) {
  MemoryFileSystem fs;
  WaveSink sink(&fs, nullptr);
  EXPECT_TRUE(sink.setFormat(bytesPerSample, channels));
  EXPECT_EQ(sink.open(L"t.wav"), 0);
  body(sink);
  EXPECT_EQ(sink.close(), 0);
  const std::vector<uint8_t>& file = fs.files[L"t.wav"].bytes;
  return std::vector<uint8_t>(file.begin() + 44, file.end());
}

std::vector<StereoFrame> renderFrames(const std::function<void(WaveSink&)>& body) {
  return stereoFrames(renderBytes(body));
}

std::vector<StereoFrame> renderList(uint32_t carrierHz, const std::vector<int32_t>& timings) {
  const IrCode code{carrierHz, timings.data(), timings.size()};
  return renderFrames([&](WaveSink& sink) { renderCode(&code, sink); });
}

/// Splits frames into runs of burst (true) and silence (false), each a
/// length in frames. A burst's opening (0, 0) frame counts with the burst.
std::vector<std::pair<bool, size_t>> runs(const std::vector<StereoFrame>& frames) {
  std::vector<std::pair<bool, size_t>> out;
  for (size_t i = 0; i < frames.size(); ++i) {
    const bool loud = frames[i].left != 0 || (i + 1 < frames.size() && frames[i + 1].left != 0 &&
                                              (out.empty() || !out.back().first));
    if (out.empty() || out.back().first != loud)
      out.push_back({loud, 1});
    else
      ++out.back().second;
  }
  return out;
}

// The three codes given in full with the table, typed from it.
const std::vector<int32_t> kSonyList = {240, 60, 120, 60,  60, 60, 120, 60, 60, 60, 120, 60, 60,
                                        60,  60, 60,  120, 60, 60, 60,  60, 60, 60, 60,  60, 2759,
                                        240, 60, 120, 60,  60, 60, 120, 60, 60, 60, 120, 60, 60,
                                        60,  60, 60,  120, 60, 60, 60,  60, 60, 60, 60,  60, 0};
const std::vector<int32_t> kAnamList = {88,  595, 88,  255, 88,  255, 88,  255, 88,  594, 88,
                                        255, 88,  594, 88,  594, 88,  594, 88,  255, 88,  0};
const std::vector<int32_t> kContec2List = {118, 103, 118, 103, 118, 205, 118, 2778,
                                           118, 103, 118, 103, 118, 205, 118, 0};

TEST(RendererTest, WholeCodesHaveTheirFrameCounts) {
  EXPECT_EQ(renderList(40000, kSonyList).size(), 4596u);
  EXPECT_EQ(renderList(36090, kAnamList).size(), 3937u);
  EXPECT_EQ(renderList(38970, kContec2List).size(), 3613u);
}

TEST(RendererTest, FrameCountIsWhatRenderCodeWrites) {
  // Every built-in code at every rate the player offers, and lists whose
  // bursts and gaps are odd: zero, one frame, signs swapped, no carrier.
  const std::vector<int32_t> odd = {0, 100, 1, -7, -300, 1, 5, 3, 0};
  const IrCode extra[] = {{38970, odd.data(), odd.size()},
                          {0, odd.data(), odd.size()},
                          {455000, odd.data(), odd.size()}};
  std::vector<IrCode> codes(extra, extra + 3);
  for (const IrCode* code : kIrCodes) codes.push_back(*code);
  for (uint32_t rate : kPlayerRates) {
    for (size_t i = 0; i < codes.size(); ++i) {
      DiscardingFileSystem fs;
      WaveSink sink(&fs, nullptr);
      ASSERT_TRUE(sink.setFormat(2, 2, rate));
      ASSERT_EQ(sink.open(L"t.wav"), 0);
      renderCode(&codes[i], sink);
      EXPECT_EQ(renderedFrameCount(codes[i], rate) * 4, sink.takenBytes())
          << "code " << i << " at " << rate << " Hz";
      sink.close();
    }
  }
}

TEST(RendererTest, SonyBurstOpensWithKnownFrames) {
  const std::vector<StereoFrame> frames = renderList(40000, kSonyList);
  const std::vector<StereoFrame> expected = {
      {0, 0}, {15999, -15999}, {-27712, 27712}, {31999, -31999}, {-27712, 27712}};
  ASSERT_GE(frames.size(), expected.size());
  EXPECT_EQ(std::vector<StereoFrame>(frames.begin(), frames.begin() + 5), expected);
  // The code ends in 1440 silent frames after its last burst.
  const auto r = runs(frames);
  EXPECT_FALSE(r.back().first);
  EXPECT_GE(r.back().second, 1440u);
  EXPECT_LE(r.back().second, 1441u);
}

TEST(RendererTest, HalfCycleCountsGiveFrameCounts) {
  // At 38970 Hz the half carrier is 19485 Hz: a whole cycle is ~2.46 frames.
  const size_t expected[] = {3, 2, 3, 4, 5, 7, 8, 9};
  for (uint32_t halfCycles = 0; halfCycles < 8; ++halfCycles) {
    const auto frames = renderFrames([&](WaveSink& sink) {
      sink.halfCarrierHz = 19485;
      sink.phaseStep = 19485 * kTwoPi / 48000;
      emitCarrier(sink, halfCycles);
    });
    EXPECT_EQ(frames.size(), expected[halfCycles]) << halfCycles << " half-cycles";
  }
}

TEST(RendererTest, ChannelsAreInAntiphase) {
  const auto frames = renderList(38970, {500, 0});
  size_t loud = 0;
  for (const StereoFrame& f : frames) {
    EXPECT_LE(std::abs(f.left + f.right), 1);
    loud += f.left != 0;
  }
  EXPECT_GT(loud, 100u);
}

TEST(RendererTest, SignsChooseBurstOrGap) {
  // 38970 Hz: a mark of 100 (1 ms) is 38 carrier periods, ~47 frames; a
  // space of 100 is 48 silent frames.
  const auto plain = runs(renderList(38970, {100, 100, 100, 0}));
  const auto swapped = runs(renderList(38970, {-100, -100, -100, 0}));
  ASSERT_EQ(plain.size(), 4u);
  EXPECT_TRUE(plain[0].first);
  EXPECT_NEAR(static_cast<double>(plain[0].second), 47, 1);
  EXPECT_EQ(plain[1].second, 48u);
  // A negative mark is a gap of its magnitude, a negative space a burst.
  ASSERT_EQ(swapped.size(), 3u);
  EXPECT_FALSE(swapped[0].first);
  EXPECT_EQ(swapped[0].second, 48u);
  EXPECT_EQ(swapped[1].second, plain[0].second);
  EXPECT_EQ(swapped[2].second, 48u + 1440u);
}

TEST(RendererTest, ZeroAndTinyValues) {
  // A mark of 0 renders nothing; its space still does.
  EXPECT_EQ(renderList(38970, {0, 100, 1, 0}).size(), 48u + 3u + 1440u);
  // A mark too short for one carrier period still makes one whole cycle;
  // a gap too short for one frame makes nothing.
  EXPECT_EQ(renderList(38970, {1, 1, 1, 0}).size(), 3u + 3u + 1440u);
  // A single mark with its terminator: one burst and the closing silence.
  EXPECT_EQ(renderList(38970, {1, 0}).size(), 3u + 1440u);
}

TEST(RendererTest, ListEndsAtTerminatorOrAtItsCount) {
  // Nothing after the terminator is read.
  EXPECT_EQ(renderList(38970, {1, 0, 100, 100}).size(), 3u + 1440u);
  // Without a terminator the last value read is the last mark.
  EXPECT_EQ(renderList(38970, {1, 100, 1}).size(), 3u + 48u + 3u + 1440u);
  EXPECT_EQ(renderList(38970, {1, 100}).size(), 3u + 48u + 1440u);
}

TEST(RendererTest, OddCarrierLosesHalfAHertz) {
  const auto frames = renderFrames([](WaveSink& sink) {
    const int32_t list[] = {1, 0};
    const IrCode code{36091, list, 2};
    renderCode(&code, sink);
    EXPECT_EQ(sink.halfCarrierHz, 18045u);
  });
  EXPECT_FALSE(frames.empty());
}

TEST(RendererTest, CarriersThatCannotTurnStillEnd) {
  // 1 Hz halves to 0 Hz: the phase never advances, so each cycle is one frame.
  EXPECT_EQ(renderList(1, {100000, 0}).size(), 1u + 1440u);
  EXPECT_EQ(renderList(0, {5, 5, 5, 0}).size(), 1u + 2u + 1u + 1440u);
  // 2 Hz does turn: a 1 s mark is two periods, one whole cycle at 1 Hz.
  EXPECT_NEAR(static_cast<double>(renderList(2, {100000, 0}).size()), 48000 + 1440, 1);
}

TEST(RendererTest, ExtremeValuesScaleWithoutOverflow) {
  // At 1 frame per second the widest values make countable gaps; with the
  // values multiplied in 32 bits they would wrap.
  const auto frames = renderFrames([](WaveSink& sink) {
    sink.sampleRate = 1;
    const int32_t list[] = {INT32_MIN, INT32_MAX, 0, 0};
    const IrCode code{38970, list, 4};
    renderCode(&code, sink);
  });
  // INT32_MIN as a mark: 21474.83648 s of silence; INT32_MAX as a space:
  // 21474.83647 s; 1 s * 30000 us / 1e6 of closing silence rounds to 0.
  EXPECT_EQ(frames.size(), 21474u + 21474u);
}

TEST(RendererTest, OneByteSamplesAreTheHighBytesOffset) {
  const auto code = [](WaveSink& sink) {
    const int32_t list[] = {300, 50, 300, 0};
    const IrCode c{40000, list, 4};
    renderCode(&c, sink);
  };
  const std::vector<uint8_t> wide = renderBytes(code, 2, 2);
  const std::vector<uint8_t> narrow = renderBytes(code, 1, 2);
  ASSERT_EQ(narrow.size() * 2, wide.size());
  bool sawPeaks = false;
  for (size_t i = 0; i < narrow.size(); ++i) {
    const uint8_t high = wide[2 * i + 1];
    EXPECT_EQ(narrow[i], static_cast<uint8_t>(high ^ 0x80)) << "sample " << i;
    sawPeaks |= narrow[i] >= 250 || narrow[i] <= 6;
  }
  EXPECT_TRUE(sawPeaks);
  EXPECT_EQ(narrow.back(), 128);  // silence
}

TEST(RendererTest, OneChannelKeepsTheLeftSamples) {
  const auto code = [](WaveSink& sink) {
    const int32_t list[] = {300, 50, 300, 0};
    const IrCode c{40000, list, 4};
    renderCode(&c, sink);
  };
  const std::vector<uint8_t> stereo = renderBytes(code, 2, 2);
  const std::vector<uint8_t> mono = renderBytes(code, 2, 1);
  ASSERT_EQ(mono.size() * 2, stereo.size());
  for (size_t f = 0; f < mono.size() / 2; ++f) {
    EXPECT_EQ(mono[2 * f], stereo[4 * f]);
    EXPECT_EQ(mono[2 * f + 1], stereo[4 * f + 1]);
  }
}

TEST(RendererTest, LongSilenceFillsAndHandsOnBlocksLikeSingleFrames) {
  // Silence goes out a block at a time; it must match silence written one
  // frame per call byte for byte and write for write, from an odd offset
  // and across several blocks, in every format.
  for (uint32_t bytes : {1u, 2u}) {
    for (uint32_t channels : {1u, 2u}) {
      SCOPED_TRACE(std::to_string(bytes) + " bytes, " + std::to_string(channels) + " channels");
      std::vector<size_t> writes[2];
      std::vector<uint8_t> samples[2];
      for (int oneByOne = 0; oneByOne < 2; ++oneByOne) {
        MemoryFileSystem fs;
        WaveSink sink(&fs, nullptr);
        ASSERT_TRUE(sink.setFormat(bytes, channels));
        ASSERT_EQ(sink.open(L"t.wav"), 0);
        sink.halfCarrierHz = 19485;
        sink.phaseStep = 19485 * kTwoPi / 48000;
        emitCarrier(sink, 0);  // three frames: the silence starts off a block boundary
        if (oneByOne) {
          for (uint32_t f = 0; f < 70001; ++f) emitSilence(sink, 1);
        } else {
          emitSilence(sink, 70001);
        }
        emitCarrier(sink, 1);
        ASSERT_EQ(sink.close(), 0);
        writes[oneByOne] = fs.writeSizes;
        samples[oneByOne] = fs.files[L"t.wav"].bytes;
      }
      EXPECT_EQ(writes[0], writes[1]);
      EXPECT_EQ(samples[0], samples[1]);
      EXPECT_EQ(samples[0].size(), 44u + (3 + 70001 + 2) * bytes * channels);
    }
  }
}

}  // namespace

// The protocol encoders against the worked timing lists of the protocols'
// definitions, the user's code syntax and Pronto learned codes.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "synth/ir_protocol.h"
#include "synth/pronto.h"

namespace {

using Timings = std::vector<int32_t>;

// First frames and repeat frames in µs, marks "+", spaces "-", as the
// protocols' definitions work them out for a documented code.
const char kNec1Toshiba[] =
    R"(+9024 -4512  +564 -564  +564 -564  +564 -564  +564 -564  +564 -564  +564 -564  +564 -1692
+564 -564  +564 -1692  +564 -1692  +564 -1692  +564 -1692  +564 -1692  +564 -1692  +564 -564
+564 -1692  +564 -564  +564 -1692  +564 -564  +564 -564  +564 -1692  +564 -564  +564 -564
+564 -564  +564 -1692  +564 -564  +564 -1692  +564 -1692  +564 -564  +564 -1692  +564 -1692
+564 -1692  +564 -39756)";
const char kNec1Ditto[] = R"(+9024 -2256  +564 -96156)";
const char kNec2Fisher[] =
    R"(+9024 -4512  +564 -564  +564 -564  +564 -564  +564 -1692  +564 -1692  +564 -1692  +564 -564
+564 -564  +564 -1692  +564 -1692  +564 -1692  +564 -564  +564 -564  +564 -564  +564 -1692
+564 -1692  +564 -564  +564 -1692  +564 -564  +564 -564  +564 -1692  +564 -564  +564 -564
+564 -564  +564 -1692  +564 -564  +564 -1692  +564 -1692  +564 -564  +564 -1692  +564 -1692
+564 -1692  +564 -39756)";
const char kNecx1Emerson[] =
    R"(+4512 -4512  +564 -564  +564 -1692  +564 -1692  +564 -564  +564 -1692  +564 -564  +564 -564
+564 -564  +564 -564  +564 -1692  +564 -1692  +564 -564  +564 -1692  +564 -564  +564 -564
+564 -564  +564 -1692  +564 -1692  +564 -1692  +564 -1692  +564 -564  +564 -564  +564 -564
+564 -564  +564 -564  +564 -564  +564 -564  +564 -564  +564 -1692  +564 -1692  +564 -1692
+564 -1692  +564 -46524)";
const char kNecx1Repeat[] = R"(+4512 -4512  +564 -1692  +564 -96156)";
const char kNecx2Samsung[] =
    R"(+4512 -4512  +564 -1692  +564 -1692  +564 -1692  +564 -564  +564 -564  +564 -564  +564 -564
+564 -564  +564 -1692  +564 -1692  +564 -1692  +564 -564  +564 -564  +564 -564  +564 -564
+564 -564  +564 -564  +564 -1692  +564 -564  +564 -564  +564 -564  +564 -564  +564 -564
+564 -564  +564 -1692  +564 -564  +564 -1692  +564 -1692  +564 -1692  +564 -1692  +564 -1692
+564 -1692  +564 -46524)";
const char kNec1F16Magnavox[] =
    R"(+9024 -4512  +564 -1692  +564 -1692  +564 -564  +564 -564  +564 -564  +564 -564  +564 -564
+564 -1692  +564 -564  +564 -1692  +564 -564  +564 -1692  +564 -1692  +564 -1692  +564 -1692
+564 -564  +564 -564  +564 -564  +564 -564  +564 -1692  +564 -564  +564 -564  +564 -564
+564 -564  +564 -564  +564 -564  +564 -564  +564 -564  +564 -564  +564 -564  +564 -564
+564 -564  +564 -47652)";
const char kPioneer[] =
    R"(+9024 -4512  +564 -564  +564 -1692  +564 -564  +564 -1692  +564 -564  +564 -1692  +564 -564
+564 -1692  +564 -1692  +564 -564  +564 -1692  +564 -564  +564 -1692  +564 -564  +564 -1692
+564 -564  +564 -564  +564 -564  +564 -1692  +564 -1692  +564 -1692  +564 -564  +564 -564
+564 -564  +564 -1692  +564 -1692  +564 -564  +564 -564  +564 -564  +564 -1692  +564 -1692
+564 -1692  +564 -39756)";
const char kSony12[] =
    R"(+2400 -600  +1200 -600  +600 -600  +1200 -600  +600 -600  +1200 -600  +600 -600  +600 -600
+1200 -600  +600 -600  +600 -600  +600 -600  +600 -25800)";
const char kRc5Philips[] =
    R"(+889 -889  +1778 -889  +889 -889  +889 -889  +889 -889  +889 -889  +889 -889  +889 -889
+889 -1778  +889 -889  +1778 -889  +889 -90886)";
const char kRc6Philips[] =
    R"(+2664 -888  +444 -888  +444 -444  +444 -444  +444 -888  +888 -444  +444 -444  +444 -444
+444 -444  +444 -444  +444 -444  +444 -444  +444 -444  +444 -444  +444 -444  +444 -444
+444 -444  +888 -444  +444 -888  +444 -444  +444 -83912)";
const char kRcaTv[] =
    R"(+3680 -3680  +460 -1840  +460 -1840  +460 -1840  +460 -1840  +460 -920  +460 -920  +460 -1840
+460 -920  +460 -1840  +460 -920  +460 -1840  +460 -920  +460 -920  +460 -920  +460 -920
+460 -920  +460 -1840  +460 -1840  +460 -920  +460 -1840  +460 -920  +460 -1840  +460 -920
+460 -1840  +460 -7360)";
const char kPanasonicTv[] =
    R"(+3456 -1728  +432 -432  +432 -1296  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432
+432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -1296  +432 -432
+432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432
+432 -1296  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432
+432 -432  +432 -1296  +432 -432  +432 -1296  +432 -1296  +432 -1296  +432 -1296  +432 -432
+432 -432  +432 -1296  +432 -432  +432 -1296  +432 -1296  +432 -1296  +432 -1296  +432 -432
+432 -1296  +432 -74736)";
const char kKaseikyoAquos[] =
    R"(+3456 -1728  +432 -432  +432 -1296  +432 -432  +432 -1296  +432 -432  +432 -1296  +432 -432
+432 -1296  +432 -432  +432 -1296  +432 -432  +432 -1296  +432 -1296  +432 -432  +432 -1296
+432 -432  +432 -1296  +432 -1296  +432 -1296  +432 -1296  +432 -432  +432 -432  +432 -432
+432 -1296  +432 -432  +432 -1296  +432 -432  +432 -432  +432 -1296  +432 -432  +432 -432
+432 -432  +432 -432  +432 -1296  +432 -1296  +432 -432  +432 -1296  +432 -432  +432 -432
+432 -432  +432 -1296  +432 -432  +432 -432  +432 -432  +432 -1296  +432 -432  +432 -1296
+432 -1296  +432 -74736)";
const char kFujitsuPlasma[] =
    R"(+3456 -1728  +432 -432  +432 -432  +432 -1296  +432 -432  +432 -1296  +432 -432  +432 -432
+432 -432  +432 -1296  +432 -1296  +432 -432  +432 -432  +432 -432  +432 -1296  +432 -1296
+432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432
+432 -432  +432 -432  +432 -432  +432 -1296  +432 -432  +432 -432  +432 -432  +432 -432
+432 -1296  +432 -432  +432 -432  +432 -1296  +432 -432  +432 -432  +432 -432  +432 -432
+432 -1296  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432  +432 -432
+432 -432  +432 -47520)";
const char kPanasonicOldTv[] =
    R"(+3332 -3332  +833 -833  +833 -833  +833 -833  +833 -833  +833 -833  +833 -833  +833 -833
+833 -833  +833 -833  +833 -833  +833 -2499  +833 -2499  +833 -2499  +833 -2499  +833 -2499
+833 -2499  +833 -2499  +833 -2499  +833 -2499  +833 -2499  +833 -2499  +833 -833  +833 -44000)";
const char kSharpNormal[] =
    R"(+264 -1848  +264 -792  +264 -792  +264 -792  +264 -792  +264 -792  +264 -1848  +264 -1848
+264 -792  +264 -1848  +264 -792  +264 -792  +264 -792  +264 -1848  +264 -792  +264 -45616)";
const char kSharpInverted[] =
    R"(+264 -1848  +264 -792  +264 -792  +264 -792  +264 -792  +264 -1848  +264 -792  +264 -792
+264 -1848  +264 -792  +264 -1848  +264 -1848  +264 -1848  +264 -792  +264 -1848  +264 -43504)";
const char kJvcFirst[] =
    R"(+8432 -4216  +527 -1581  +527 -1581  +527 -527  +527 -527  +527 -527  +527 -527  +527 -527
+527 -527  +527 -1581  +527 -1581  +527 -1581  +527 -527  +527 -1581  +527 -527  +527 -527
+527 -527  +527 -22717)";
const char kJvcRepeat[] =
    R"(+527 -1581  +527 -1581  +527 -527  +527 -527  +527 -527  +527 -527  +527 -527  +527 -527
+527 -1581  +527 -1581  +527 -1581  +527 -527  +527 -1581  +527 -527  +527 -527  +527 -527
+527 -22705)";
const char kProtonDaewoo[] =
    R"(+8000 -4000  +500 -500  +500 -500  +500 -1500  +500 -500  +500 -1500  +500 -500  +500 -500
+500 -500  +500 -4000  +500 -1500  +500 -500  +500 -1500  +500 -500  +500 -1500  +500 -500
+500 -500  +500 -500  +500 -25000)";
const char kZenithTv[] =
    R"(+520 -520  +520 -4160  +520 -5200  +520 -520  +520 -4160  +520 -520  +520 -4160  +520 -5200
+520 -520  +520 -4160  +520 -5200  +520 -520  +520 -4160  +520 -5200  +520 -5200  +520 -520
+520 -94160)";
const char kEmersonMagnavox[] =
    R"(+3488 -3488  +872 -872  +872 -2616  +872 -872  +872 -2616  +872 -872  +872 -2616  +872 -872
+872 -872  +872 -872  +872 -872  +872 -872  +872 -2616  +872 -2616  +872 -872  +872 -2616
+872 -872  +872 -2616  +872 -872  +872 -2616  +872 -2616  +872 -2616  +872 -2616  +872 -2616
+872 -872  +872 -34008)";
const char kThomsonTv[] =
    R"(+500 -2000  +500 -2000  +500 -4500  +500 -4500  +500 -2000  +500 -2000  +500 -2000  +500 -4500
+500 -4500  +500 -4500  +500 -2000  +500 -4500  +500 -34500)";
const char kRecs80Thomson[] =
    R"(+158 -7426  +158 -4898  +158 -7426  +158 -7426  +158 -7426  +158 -4898  +158 -7426  +158 -7426
+158 -7426  +158 -4898  +158 -7426  +158 -45000)";
const char kDishBell[] =
    R"(+406 -6090  +406 -2842  +406 -2842  +406 -2842  +406 -2842  +406 -1624  +406 -2842  +406 -2842
+406 -2842  +406 -2842  +406 -2842  +406 -2842  +406 -2842  +406 -2842  +406 -2842  +406 -2842
+406 -2842  +406 -6090)";

// The protocols the IRP table added, from the same definitions.
const char kSony15Off[] =
    R"(+2400 -600  +600 -600  +1200 -600  +1200 -600  +1200 -600  +600 -600  +1200 -600  +1200 -600
+600 -600  +600 -600  +1200 -600  +600 -600  +600 -600  +1200 -600  +600 -600  +1200 -19800)";
const char kMitsubishiTv[] =
    R"(+300 -2100  +300 -2100  +300 -2100  +300 -900  +300 -900  +300 -900  +300 -2100  +300 -900
+300 -900  +300 -2100  +300 -900  +300 -900  +300 -900  +300 -900  +300 -900  +300 -900
+300 -24000)";
const char kBlaupunktPrefix[] =
    R"(+512 -2560  +512 -512  +512 -512  +512 -512  +512 -512  +512 -512  +512 -512  +512 -512
+512 -512  +512 -512  +512 -23040)";
const char kBlaupunktBody[] =
    R"(+512 -2560  +512 -1024  +1024 -1024  +512 -512  +512 -512  +512 -512  +512 -512  +512 -512
+512 -512  +512 -120832)";
const char kMcePower[] =
    R"(+2664 -888  +444 -444  +444 -444  +444 -888  +444 -888  +1332 -888  +444 -444  +444 -444
+444 -444  +444 -444  +444 -444  +444 -444  +444 -444  +444 -444  +444 -444  +444 -444
+888 -444  +444 -444  +444 -444  +444 -444  +444 -888  +444 -444  +444 -444  +444 -444
+888 -888  +444 -444  +444 -444  +444 -444  +444 -444  +444 -444  +888 -444  +444 -888
+444 -444  +444 -69704)";
const char kRcaOldFirst[] =
    R"(+18400 -3680  +460 -1840  +460 -1840  +460 -1840  +460 -1840  +460 -920  +460 -920  +460 -1840
+460 -1840  +460 -1840  +460 -920  +460 -1840  +460 -1840  +460 -920  +460 -920  +460 -920
+460 -920  +460 -1840  +460 -1840  +460 -920  +460 -920  +460 -920  +460 -1840  +460 -920
+460 -920  +920 -7360)";
const char kRcaOldRepeat[] =
    R"(+3680 -3680  +460 -1840  +460 -1840  +460 -1840  +460 -1840  +460 -920  +460 -920  +460 -1840
+460 -1840  +460 -1840  +460 -920  +460 -1840  +460 -1840  +460 -920  +460 -920  +460 -920
+460 -920  +460 -1840  +460 -1840  +460 -920  +460 -920  +460 -920  +460 -1840  +460 -920
+460 -920  +920 -7360)";
const char kKonkaTv[] =
    R"(+3000 -3000  +500 -1500  +500 -1500  +500 -1500  +500 -1500  +500 -1500  +500 -1500  +500 -2500
+500 -1500  +500 -1500  +500 -1500  +500 -1500  +500 -1500  +500 -2500  +500 -1500  +500 -2500
+500 -2500  +500 -4000  +500 -23000)";
const char kAkaiTv[] =
    R"(+289 -1821  +289 -1821  +289 -751  +289 -751  +289 -751  +289 -1821  +289 -751  +289 -1821
+289 -751  +289 -751  +289 -10330)";
const char kAiwaTv[] =
    R"(+8800 -4400  +550 -550  +550 -550  +550 -550  +550 -550  +550 -550  +550 -550  +550 -550
+550 -550  +550 -1650  +550 -550  +550 -550  +550 -550  +550 -550  +550 -1650  +550 -1650
+550 -1650  +550 -1650  +550 -1650  +550 -1650  +550 -1650  +550 -1650  +550 -550  +550 -1650
+550 -1650  +550 -1650  +550 -1650  +550 -550  +550 -1650  +550 -550  +550 -550  +550 -1650
+550 -550  +550 -550  +550 -550  +550 -1650  +550 -550  +550 -1650  +550 -1650  +550 -550
+550 -1650  +550 -1650  +550 -1650  +550 -23100)";
const char kAiwaRepeat[] = R"(+8800 -4400  +550 -90750)";
const char kTdc38Telekom[] =
    R"(+315 -630  +315 -315  +630 -315  +315 -630  +315 -315  +630 -630  +630 -630  +315 -315
+315 -315  +630 -630  +630 -315  +315 -630  +315 -89000)";
const char kBarcoSeleco[] =
    R"(+10 -250  +10 -50  +10 -50  +10 -50  +10 -50  +10 -50  +10 -150  +10 -50
+10 -50  +10 -50  +10 -50  +10 -50  +10 -250  +10 -120000)";
const char kKlossFirst[] =
    R"(+131 -710  +158 -158  +158 -158  +158 -158  +158 -158  +158 -158  +158 -421  +158 -158
+158 -158  +158 -158  +158 -158  +158 -158  +158 -710  +158 -363275)";
const char kKlossRepeat[] =
    R"(+158 -710  +158 -158  +158 -421  +158 -421  +158 -421  +158 -421  +158 -421  +158 -158
+158 -158  +158 -158  +158 -158  +158 -158  +158 -710  +158 -363275)";

/// Parses a list written "+9024 -4512 ..." into magnitudes in µs.
Timings microseconds(const char* text) {
  std::istringstream in(text);
  Timings list;
  for (int32_t value; in >> value;) list.push_back(std::abs(value));
  return list;
}

/// The frames of a short press in µs, the last space made the terminating 0.
Timings press(const std::vector<const char*>& frames) {
  Timings list;
  for (const char* frame : frames) {
    const Timings more = microseconds(frame);
    list.insert(list.end(), more.begin(), more.end());
  }
  list.back() = 0;
  return list;
}

/// Fails unless `units` holds `us` value for value, each within one 10 µs unit.
void expectWithinOneUnit(const Timings& units, const Timings& us) {
  ASSERT_EQ(units.size(), us.size());
  for (size_t i = 0; i < us.size(); ++i) {
    EXPECT_LE(std::abs(units[i] * 10 - us[i]), 10) << "value " << i << ": " << units[i];
  }
}

IrFields fields(int32_t device, int32_t subdevice, int32_t function) {
  IrFields f;
  f.device = device;
  f.subdevice = subdevice;
  f.function = function;
  return f;
}

OwnedIrCode encode(const std::string& protocol, const IrFields& f) {
  OwnedIrCode code;
  std::string error;
  EXPECT_TRUE(encodeIrCode(protocol, f, &code, &error)) << error;
  return code;
}

TEST(IrEncoders, ShortPressesFollowTheWorkedTimingLists) {
  IrFields kaseikyo = fields(8, 18, 22);
  kaseikyo.oem1 = 170;
  kaseikyo.oem2 = 90;
  kaseikyo.extra = 1;
  IrFields mce = fields(4, 15, 12);
  mce.toggle = 1;
  struct Example {
    const char* protocol;
    IrFields fields;
    uint32_t carrierHz;
    std::vector<const char*> frames;
  };
  // Whole-frame repeaters send their frame twice, Sony its frame three times.
  const Example examples[] = {
      {"NEC1", fields(64, -1, 18), 38400, {kNec1Toshiba, kNec1Ditto}},
      {"NEC2", fields(56, -1, 18), 38400, {kNec2Fisher, kNec2Fisher}},
      {"NECx1", fields(22, 22, 15), 38400, {kNecx1Emerson, kNecx1Repeat}},
      {"NECx2", fields(7, 7, 2), 38400, {kNecx2Samsung, kNecx2Samsung}},
      {"NEC1-f16", fields(131, 122, 8), 38400, {kNec1F16Magnavox, kNec1Ditto}},
      {"Pioneer", fields(170, -1, 28), 40000, {kPioneer, kPioneer}},
      {"Sony12", fields(1, -1, 21), 40000, {kSony12, kSony12, kSony12}},
      {"RC5", fields(0, -1, 12), 36000, {kRc5Philips, kRc5Philips}},
      {"RC6", fields(0, -1, 12), 36000, {kRc6Philips, kRc6Philips}},
      {"RCA", fields(15, -1, 42), 58000, {kRcaTv, kRcaTv}},
      {"RCA-38", fields(15, -1, 42), 38700, {kRcaTv, kRcaTv}},
      {"Panasonic", fields(128, 0, 61), 37000, {kPanasonicTv, kPanasonicTv}},
      {"Kaseikyo", kaseikyo, 37000, {kKaseikyoAquos, kKaseikyoAquos}},
      {"Fujitsu", fields(132, 132, 0), 37000, {kFujitsuPlasma, kFujitsuPlasma}},
      {"Panasonic_Old", fields(0, -1, 32), 57600, {kPanasonicOldTv, kPanasonicOldTv}},
      {"Sharp", fields(1, -1, 22), 38000, {kSharpNormal, kSharpInverted}},
      {"JVC", fields(3, -1, 23), 37900, {kJvcFirst, kJvcRepeat}},
      {"Proton", fields(20, -1, 21), 38500, {kProtonDaewoo, kProtonDaewoo}},
      {"Zenith", fields(5, 1, 14), 40000, {kZenithTv, kZenithTv}},
      {"Emerson", fields(42, -1, 32), 36700, {kEmersonMagnavox, kEmersonMagnavox}},
      {"Thomson", fields(12, -1, 46), 33000, {kThomsonTv, kThomsonTv}},
      {"RECS80", fields(7, -1, 29), 38000, {kRecs80Thomson, kRecs80Thomson}},
      // The lone lead-in mark and space come once; the group after them twice.
      {"Dish_Network", fields(0, 0, 2), 57600, {kDishBell, kDishBell + 11}},
      {"Sony15", fields(164, -1, 110), 40000, {kSony15Off, kSony15Off, kSony15Off}},
      {"Mitsubishi", fields(71, -1, 2), 32600, {kMitsubishiTv, kMitsubishiTv}},
      // The prefix, the body once, the prefix again as the suffix.
      {"Blaupunkt", fields(0, -1, 2), 30300, {kBlaupunktPrefix, kBlaupunktBody, kBlaupunktPrefix}},
      {"MCE", mce, 36000, {kMcePower, kMcePower}},
      {"RCA(Old)", fields(15, -1, 59), 58000, {kRcaOldFirst, kRcaOldRepeat}},
      {"Konka", fields(2, -1, 11), 38000, {kKonkaTv, kKonkaTv}},
      {"Akai", fields(3, -1, 20), 38000, {kAkaiTv, kAkaiTv}},
      {"Aiwa", fields(0, 1, 18), 38123, {kAiwaTv, kAiwaRepeat}},
      {"TDC-38", fields(6, 10, 22), 38000, {kTdc38Telekom, kTdc38Telekom}},
      // No carrier: the light is on for each whole mark.
      {"Barco", fields(0, -1, 1), 0, {kBarcoSeleco, kBarcoSeleco}},
      {"Kloss", fields(0, -1, 0), 38029, {kKlossFirst, kKlossRepeat}},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.protocol);
    const OwnedIrCode code = encode(e.protocol, e.fields);
    EXPECT_EQ(code.carrierHz, e.carrierHz);
    expectWithinOneUnit(code.timings, press(e.frames));
  }
}

TEST(IrEncoders, ToggleAndDefaultsChangeWhatTheyShould) {
  // RC5 with T=1: the third half-bit flips.
  IrFields rc5 = fields(0, -1, 12);
  rc5.toggle = 1;
  const Timings t1 = encode("rc5", rc5).timings;
  ASSERT_GE(t1.size(), 6u);
  expectWithinOneUnit(Timings(t1.begin(), t1.begin() + 6),
                      microseconds("+889 -889 +889 -889 +1778 -889"));
  // A field the protocol does not have is ignored; a subdevice left out takes the default.
  EXPECT_EQ(encode("Sony12", fields(1, 9, 21)).timings,
            encode("SONY12", fields(1, -1, 21)).timings);
  EXPECT_EQ(encode("nec1", fields(4, -1, 8)).timings, encode("NEC1", fields(4, 251, 8)).timings);
  EXPECT_EQ(encode("Fujitsu", fields(132, -1, 0)).timings,
            encode("Fujitsu", fields(132, 132, 0)).timings);
}

TEST(IrEncoders, BadProtocolsAndFieldsAreNamed) {
  IrFields noMakers = fields(8, 18, 22);
  IrFields toggle2 = fields(0, -1, 12);
  toggle2.toggle = 2;
  struct Bad {
    const char* protocol;
    IrFields fields;
    std::vector<std::string> inMessage;
  };
  const Bad bads[] = {
      {"NEC3", fields(4, -1, 8), {"\"NEC3\"", "NEC1", "NECx2", "Sony12", "RC6", "RECS80"}},
      {"RC5", fields(32, -1, 12), {"device 32", "0..31"}},
      {"NEC1", fields(4, -1, 256), {"function 256", "0..255"}},
      {"NECx2", fields(7, 300, 2), {"subdevice 300", "0..255"}},
      {"Sony12", fields(1, -1, -1), {"function -1", "0..127"}},
      {"Zenith", fields(5, 1, 32), {"function 32", "0..31"}},
      {"Zenith", fields(9, 1, 14), {"device 9", "5..8"}},
      {"Panasonic", fields(128, -1, 61), {"subdevice"}},
      {"Kaseikyo", noMakers, {"M", "N"}},
      {"RC6", toggle2, {"toggle 2", "0..1"}},
  };
  for (const Bad& bad : bads) {
    SCOPED_TRACE(bad.protocol);
    OwnedIrCode code;
    std::string error;
    EXPECT_FALSE(encodeIrCode(bad.protocol, bad.fields, &code, &error));
    for (const std::string& part : bad.inMessage)
      EXPECT_NE(error.find(part), std::string::npos) << error;
  }
}

TEST(IrEncoders, AHeldKeySendsTheRepeatedPartUntilItsTimeHasPassed) {
  struct Held {
    const char* protocol;
    IrFields fields;
    uint32_t holdMs;
    std::vector<const char*> frames;
  };
  const Held helds[] = {
      // 108 ms a frame: the fifth ends at 540 ms, the first past 500.
      {"NEC1",
       fields(64, -1, 18),
       500,
       {kNec1Toshiba, kNec1Ditto, kNec1Ditto, kNec1Ditto, kNec1Ditto}},
      // 59.08 ms, then 46.42 ms a repeat: 244.76 ms.
      {"JVC", fields(3, -1, 23), 200, {kJvcFirst, kJvcRepeat, kJvcRepeat, kJvcRepeat, kJvcRepeat}},
      // Sharp's repeated part is two frames; the press may end after either.
      {"sharp",
       fields(1, -1, 22),
       300,
       {kSharpNormal, kSharpInverted, kSharpNormal, kSharpInverted, kSharpNormal}},
      {"RC5", fields(0, -1, 12), 300, {kRc5Philips, kRc5Philips, kRc5Philips}},
      // Never less than a short press.
      {"Sony12", fields(1, -1, 21), 1, {kSony12, kSony12, kSony12}},
      {"Dish_Network", fields(0, 0, 2), 0, {kDishBell, kDishBell + 11}},
  };
  for (const Held& h : helds) {
    SCOPED_TRACE(h.protocol);
    OwnedIrCode code;
    std::string error;
    ASSERT_TRUE(encodeHeldIrCode(h.protocol, h.fields, h.holdMs, &code, &error)) << error;
    expectWithinOneUnit(code.timings, press(h.frames));
  }
  OwnedIrCode code;
  std::string error;
  EXPECT_FALSE(encodeHeldIrCode("RC5", fields(32, -1, 12), 500, &code, &error));
  EXPECT_NE(error.find("RC5 device 32 is out of range 0..31"), std::string::npos) << error;
}

TEST(UserCode, EncodesAsTheFieldsItNames) {
  IrFields rc6 = fields(0, -1, 12);
  rc6.toggle = 1;
  IrFields kaseikyo = fields(8, 18, 22);
  kaseikyo.oem1 = 170;
  kaseikyo.oem2 = 90;
  kaseikyo.extra = 1;
  const std::pair<const char*, OwnedIrCode> goods[] = {
      {"nec1:4:8", encode("NEC1", fields(4, -1, 8))},
      {"NECX2:007.0007:02", encode("NECx2", fields(7, 7, 2))},
      {"rc6:0:12:T=1", encode("RC6", rc6)},
      {"kaseikyo:8.18:22:m=170:N=90:e=1", encode("Kaseikyo", kaseikyo)},
      {"zenith:5.1:14", encode("Zenith", fields(5, 1, 14))},
  };
  for (const auto& [text, expected] : goods) {
    SCOPED_TRACE(text);
    OwnedIrCode code;
    std::string error;
    ASSERT_TRUE(encodeUserCode(text, &code, &error)) << error;
    EXPECT_EQ(code.carrierHz, expected.carrierHz);
    EXPECT_EQ(code.timings, expected.timings);
  }
}

TEST(UserCode, BadCodesAreRefusedNamingWhatIsWrong) {
  const std::pair<const char*, const char*> bads[] = {
      {"nec1:4", "PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION"},
      {"nec9:4:8", "known protocols"},
      {"nec1:+4:8", "\"+4\""},
      {"nec1:4:-8", "\"-8\""},
      {"nec1:4:8.5", "\"8.5\""},
      {"nec1::8", "device is missing"},
      {"nec1:4.:8", "subdevice is missing"},
      {"nec1:4:99999999999999999999", "99999999999999999999 is out of range 0..255"},
      {"rc5:0:64000", "64000 is out of range 0..127"},
      {"sony12:1.2:21", "no subdevice"},
      {"nec1:4:8:t=1", "no toggle"},
      {"rc5:0:12:t=1:T=0", "twice"},
      {"rc5:0:12:x=1", "\"x=1\""},
      {"rc5:0:12:t", "\"t\""},
      {"rc5:0:12:t=2", "toggle 2 is out of range 0..1"},
      {"zenith:5.1:32", "function 32 is out of range 0..31"},
  };
  for (const auto& [text, expected] : bads) {
    SCOPED_TRACE(text);
    OwnedIrCode code;
    std::string error;
    EXPECT_FALSE(encodeUserCode(text, &code, &error));
    EXPECT_NE(error.find(expected), std::string::npos) << error;
  }
}

// NEC1 4:8 written from the protocol's definition at frequency word 006C
// (108 x 0.241246 us periods, 38381 Hz): 564 us is 22 periods, 1692 us 65,
// the lead-in 346 and 173, the stop mark's padded space 1526; the ditto,
// 346, 87, 22 and 3691, is the repeat sequence.
const char kProntoNec1[] =
    "0000 006C 0022 0002 015A 00AD 0016 0016 0016 0016 0016 0041 0016 0016 0016 0016 0016 0016 "
    "0016 0016 0016 0016 0016 0041 0016 0041 0016 0016 0016 0041 0016 0041 0016 0041 0016 0041 "
    "0016 0041 0016 0016 0016 0016 0016 0016 0016 0041 0016 0016 0016 0016 0016 0016 0016 0016 "
    "0016 0041 0016 0041 0016 0041 0016 0016 0016 0041 0016 0041 0016 0041 0016 0041 0016 05F6 "
    "015A 0057 0016 0E6B";

// One RC5 0:12 frame at 0073 (36045 Hz) as the repeat sequence alone:
// 889 us is 32 periods, 1778 us 64, the padded space 3276.
const char kProntoRc5[] =
    "0000 0073 0000 000C 0020 0020 0040 0020 0020 0020 0020 0020 0020 0020 0020 0020 0020 0020 "
    "0020 0020 0020 0040 0020 0020 0040 0020 0020 0CCC";

TEST(Pronto, LearnedCodesGiveTheTimingsOfTheSameUserCodes) {
  OwnedIrCode pronto;
  OwnedIrCode typed;
  std::string error;
  ASSERT_TRUE(parsePronto(kProntoNec1, &pronto, &error)) << error;
  ASSERT_TRUE(encodeUserCode("nec1:4:8", &typed, &error)) << error;
  EXPECT_EQ(pronto.carrierHz, 38381u);
  Timings typedUs;
  for (int32_t units : typed.timings) typedUs.push_back(units * 10);
  expectWithinOneUnit(pronto.timings, typedUs);

  ASSERT_TRUE(parsePronto(kProntoRc5, &pronto, &error)) << error;
  ASSERT_TRUE(encodeUserCode("rc5:0:12", &typed, &error)) << error;
  EXPECT_EQ(pronto.carrierHz, 36045u);
  typedUs.clear();
  for (size_t i = 0; i < 24; ++i) typedUs.push_back(typed.timings[i] * 10);
  typedUs.back() = 0;
  expectWithinOneUnit(pronto.timings, typedUs);
}

TEST(Pronto, BadCodesAreRefusedWithTheFault) {
  const std::pair<const char*, const char*> bads[] = {
      {"", "empty"},
      {"0000 006C 0001", "at least 4"},
      {"0000 006C 0000 0000", "no burst pairs"},
      {"0000 006C 0001 0000 0016", "call for 6 words"},
      {"0000 0000 0001 0000 0016 0016", "frequency word is 0000"},
      {"0100 006C 0001 0000 0016 0016", "format 0100"},
      {"5000 0073 0000 0001 0000 000C", "format 5000"},
      {"0000 006C 0001 0000 0016 0000", "word 6 (0000) is a duration of 0"},
      {"0000 0001 0001 0000 0001 0016", "word 5 (0001) is shorter"},
      {"0000 006C 0001 0000 0016 00G6", "\"00G6\" is not 4 hex digits"},
      {"0000 006C 0001 0000 0016 00016", "word 6 \"00016\" is not 4 hex digits"},
      {"0000 006C 0001 0000 0016 +016", "\"+016\""},
      // A carrier no receiver takes, and a code longer than 10 s.
      {"0000 FFFF 0001 0000 FFFF FFFF", "carrier of 63 Hz is outside 15000 to 500000 Hz"},
      {"0000 0007 0001 0000 0016 0016", "carrier of 592164 Hz"},
      {"0000 006D 0000 0004 FFFF FFFF FFFF FFFF FFFF FFFF FFFF FFFF", "the code lasts 12.06"},
  };
  for (const auto& [text, part] : bads) {
    SCOPED_TRACE(text);
    OwnedIrCode code;
    std::string error;
    EXPECT_FALSE(parsePronto(text, &code, &error));
    EXPECT_NE(error.find(part), std::string::npos) << error;
  }
}

}  // namespace

// A user's own protocol in IRP notation: what it sends, and how bad
// notation, bad assignments and what cannot be sent are refused.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "synth/ir_protocol.h"
#include "synth/irp_protocols.h"

namespace {

const char kNec1[] =
    "{38.4k,564}<1,-1|1,-3>(16,-8,D:8,S:8,F:8,~F:8,1,^108m,(16,-4,1,^108m)*) "
    "[D:0..255,S:0..255=255-D,F:0..255]";
const char kNec2[] =
    "{38.4k,564}<1,-1|1,-3>(16,-8,D:8,S:8,F:8,~F:8,1,^108m)* [D:0..255,S:0..255=255-D,F:0..255]";

OwnedIrCode tableCode(const char* protocol, int32_t device, int32_t function) {
  IrFields f;
  f.device = device;
  f.function = function;
  OwnedIrCode code;
  std::string error;
  EXPECT_TRUE(encodeIrCode(protocol, f, &code, &error)) << error;
  return code;
}

TEST(IrpCode, SendsAShortPressAsTheTableDoes) {
  const struct {
    const char* irp;
    std::vector<std::string> assignments;
    OwnedIrCode expected;
  } goods[] = {
      // A first frame, then one pass of the repeated part (the ditto).
      {kNec1, {"D=4", "F=0x08"}, tableCode("NEC1", 4, 8)},
      {kNec1, {"f=8", "d=4", "S=251"}, tableCode("NEC1", 4, 8)},
      // A protocol that repeats its whole frame sends it twice.
      {kNec2, {"D=56", "F=18"}, tableCode("NEC2", 56, 18)},
  };
  for (const auto& g : goods) {
    SCOPED_TRACE(g.assignments.front());
    OwnedIrCode code;
    std::string error;
    ASSERT_TRUE(encodeIrpCode(g.irp, g.assignments, &code, &error)) << error;
    EXPECT_EQ(code.carrierHz, g.expected.carrierHz);
    EXPECT_EQ(code.timings, g.expected.timings);
  }
}

TEST(IrpCode, ParameterValuesAreAsWideAsTheIrpsOwnNumbers) {
  const std::string wide = "{38k,500}<1,-1|1,-3>(1,-1,D:48,-10)[D:0..0xFFFFFFFFFFFF]";
  OwnedIrCode given;
  OwnedIrCode written;
  std::string error;
  ASSERT_TRUE(encodeIrpCode(wide, {"D=0x123456789A"}, &given, &error)) << error;
  ASSERT_TRUE(encodeIrpCode("{38k,500}<1,-1|1,-3>(1,-1,0x123456789A:48,-10)", {}, &written, &error))
      << error;
  EXPECT_EQ(given.timings, written.timings);
  ASSERT_TRUE(encodeIrpCode(wide, {"D=78187493530"}, &given, &error)) << error;
  EXPECT_EQ(given.timings, written.timings);
  EXPECT_FALSE(encodeIrpCode(wide, {"D=0x1000000000000"}, &given, &error));
  EXPECT_NE(error.find("parameter D 0x1000000000000 is out of range 0..281474976710655"),
            std::string::npos)
      << error;
}

TEST(IrpCode, AComplementOfAValueIsAllItsBitsAndOfABitFieldItsWidth) {
  // "~(5)" is ~5, all 64 bits; "~X:3" the low 3 bits of ~X.
  std::string nested;
  for (int i = 0; i < 15; ++i) nested += "~(";
  nested += "5" + std::string(15, ')');
  OwnedIrCode code;
  std::string error;
  ASSERT_TRUE(
      encodeIrpCode("{38k,564}<1,-1|1,-3>(~X:3,1,-20){X=" + nested + "}", {}, &code, &error))
      << error;
  // 15 complements of 5 are ~5, and ~X:3 is then 5: bits 1, 0, 1, least significant first.
  EXPECT_EQ(code.timings, (std::vector<int32_t>{56, 169, 56, 56, 56, 169, 56, 0}));
}

TEST(IrpCode, BadNotationAssignmentsAndUnsendableCodesAreNamed) {
  const std::string deep =
      "{38k,564}<1,-1|1,-3>" + std::string(40, '(') + "1" + std::string(40, ')');
  const struct {
    std::string irp;
    std::vector<std::string> assignments;
    std::vector<std::string> inMessage;
  } bads[] = {
      {"", {}, {"expected '{' at character 1", "the end"}},
      {"{38k,564}<1,-1|1,-3>(16,-8,D:8", {"D=1"}, {"expected ',' or ')' at character 31"}},
      {"{38k,564}<1,-1|1,-3>(16,-8,D:8)x",
       {"D=1"},
       {"expected definitions { } or parameters [ ] at character 32", "\"x\""}},
      {"{38k,564}<1,-1|1,-3>(16,-8,D)", {}, {"bit field", "character 29"}},
      {"{38k,564}<1,-1|1,-3>(16x)", {}, {"expected a unit"}},
      {"{38k,0}<1,-1|1,-3>(1,-1)", {}, {"a unit of 0"}},
      {"{38k,564}<1,-1|1,-3|1,-5>(1)", {}, {"3 symbols"}},
      {"{38k,564}<1,-1|1,-3>(1,-1)[D:0..]", {}, {"expected a number"}},
      {deep, {}, {"nesting deeper than 32"}},
      // A number too long is named where it starts.
      {"{38k,1234567890123456789}(1)", {}, {"more than 15 digits at character 6"}},
      {"{38k,564}(1,-1234567890123456789)", {}, {"more than 15 digits at character 14"}},
      {"{38k,564}(1,-1)[D:0..99999999999999999999]", {}, {"too large at character 22"}},
      {"{38k,564}<1,-1|1,-3>(D:8,1,-1)[D:0..255,D:0..3]",
       {"D=1"},
       {"parameter D listed twice at character 41"}},
      {"{38k,564}<1,-1|1,-3>(A:8,1,-1){A=1,A=2}", {}, {"A defined twice at character 36"}},
      {kNec1, {"D=300", "F=1"}, {"IRP parameter D 300 is out of range 0..255"}},
      {kNec1, {"D=1", "F=99999999999999"}, {"parameter F 99999999999999 is out of range"}},
      {kNec1, {"D=1", "F=1", "X=1"}, {"IRP has no parameter X"}},
      {kNec1, {"D=1", "F=1", "D=2"}, {"parameter D is given twice"}},
      {kNec1, {"D=1", "F=99999999999999999999"}, {"parameter F 99999999999999999999 is too large"}},
      {kNec1, {"D=1", "F=0x1234567890123456789"}, {"parameter F 0x1234567890123456789 is too"}},
      {kNec1, {"D"}, {"\"D\" is not NAME=VALUE"}},
      {kNec1, {"D=-1"}, {"\"-1\" is not a number"}},
      {kNec1, {"D=0x1g"}, {"\"0x1g\" is not a number"}},
      {"{38k,564}<1,-1|1,-3>(D:8,S:8,1,-20)[D:0..255,S:0..255]",
       {},
       {"IRP needs a parameter D (0..255) and a parameter S (0..255)"}},
      {"{38k,564}(D:8,1,-20)[D:0..255]", {"D=1"}, {"no bit coding"}},
      {"{38k,564}<1,-1|1,-3>(X:8,1,-20){X=Y}", {}, {"Y has no value"}},
      {"{38k,564}<1,-1|1,-3>(X:8,1,-20){X=A,A=X}", {}, {"refers to itself"}},
      {"{38k,564}<1,-1|1,-3>(X:8,1,-20){X=1/(2-2)}", {}, {"division of 1 by 0"}},
      {"{38k,564}<1,-1|1,-3>(D:65,1,-20)[D:0..1]", {"D=1"}, {"width 65"}},
      {"{38k,1}<1,-1|1,-3>(D:8,1,-20)[D:0..255]", {"D=0"}, {"rounds to 0"}},
      {"{38k,564}(1,-100000m)", {}, {"longer than 60 s"}},
      {"{38k,564}(-1,-2)*", {}, {"sends no mark"}},
      {"{38k,564}<1,-1|1,-3>(D:3,1,-20)[D:0..(1<<E)-1,E:0..3]",
       {"D=4", "E=2"},
       {"parameter D 4 is out of range 0..3"}},
  };
  for (const auto& b : bads) {
    SCOPED_TRACE(b.irp);
    OwnedIrCode code;
    std::string error;
    EXPECT_FALSE(encodeIrpCode(b.irp, b.assignments, &code, &error));
    for (const std::string& part : b.inMessage)
      EXPECT_NE(error.find(part), std::string::npos) << error;
  }
}

/// "{A=B*B*...,B=C*C*...,...,K=1}": `levels` definitions below A, each
/// using the next `uses` times.
std::string nestedDefinitions(int levels, int uses) {
  std::string text = "{";
  for (int level = 0; level < levels; ++level) {
    text += std::string(1, static_cast<char>('A' + level)) + "=";
    for (int use = 0; use < uses; ++use)
      text += (use == 0 ? "" : "*") + std::string(1, static_cast<char>('B' + level));
    text += ",";
  }
  return text + std::string(1, static_cast<char>('A' + levels)) + "=1}";
}

TEST(IrpCode, AnyTextEndsRenderedOrRefusedWithinASecond) {
  // An expression of 2000 terms in a bit field sent a million times.
  std::string sum = "(1";
  for (int i = 0; i < 2000; ++i) sum += "+1";
  sum += "):1";
  const struct {
    std::string irp;
    bool renders;
  } cases[] = {
      // Ten levels of ten uses each: each definition is worked out once.
      {"{38k,564}<1,-1|1,-3>(A:8,1,-20)" + nestedDefinitions(10, 10), true},
      {"{38k,564}<1,-1|1,-3>(D:8,1,-20)[D:0..A=A]" + nestedDefinitions(10, 10), true},
      {"{38k,564}<1,-1|1,-3>(D:8,1,-20)[D:0..255=A]" + nestedDefinitions(10, 10), true},
      // A definition used again after each assignment of what it uses.
      {"{38k,564}<1,-1|1,-3>((A:1,T=T+1)100,1,-20)" + nestedDefinitions(9, 10) + "[T:0..1=0]",
       true},
      // Every evaluation counts against the limit on the steps a code takes.
      {"{38k,10u}<1,-1|1,-3>(((" + sum + ")1000)1000)", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.irp.substr(0, 60));
    OwnedIrCode code;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(encodeIrpCode(c.irp, {}, &code, &error), c.renders) << error;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took.count(), 1.0);
  }
}

TEST(IrpCode, TheProtocolTableParsesAndABadLineIsNamed) {
  EXPECT_EQ(irpProtocolTableError(), "");
  EXPECT_EQ(irProtocolNames().size(), 65u);
  std::vector<IrpProtocolEntry> entries;
  std::string error;
  EXPECT_FALSE(parseIrpProtocolTable("# a comment\n\nGood 1 - {38k}(1,-1)\nBad 1 - {38k}(1,\n",
                                     &entries, &error));
  EXPECT_NE(error.find("line 4 (Bad): bad IRP: expected"), std::string::npos) << error;
  EXPECT_FALSE(parseIrpProtocolTable("Bad 0 - {38k}(1,-1)\n", &entries, &error));
  EXPECT_NE(error.find("line 1 (Bad): expected NAME, PRESS"), std::string::npos) << error;
}

}  // namespace

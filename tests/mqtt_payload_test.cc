// The daemon's payload parsers at their edges: what each member may hold,
// how an emitter sequence becomes the renderer's list, and the limits the
// player keeps. The daemon as a whole is tested against a real broker
// (tests/mqtt_e2e.py).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mqtt/command_payload.h"
#include "mqtt/mqtt_options.h"

namespace {

struct Parsed {
  bool ok;
  MqttCommand command;
  std::string error;
};

Parsed emitter(const std::string& payload, uint32_t rate = 48000) {
  Parsed p;
  p.ok = parseEmitterPayload(payload, rate, &p.command, &p.error);
  return p;
}

Parsed code(const std::string& payload, uint32_t rate = 48000) {
  Parsed p;
  p.ok = parseCodePayload(payload, rate, &p.command, &p.error);
  return p;
}

std::string withTimings(const std::string& timings, const std::string& rest = "") {
  return R"({"timings":[)" + timings + R"(],"modulation":38000)" + rest + "}";
}

TEST(MqttEmitterPayload, MicrosecondsRoundToUnitsAndTheListIsTerminated) {
  // 4 and 5 us are the two sides of half a 10 us unit; 14 and 15 us of 1.5.
  Parsed p = emitter(withTimings("9000,-4500,5,-14,15,-1687,562"));
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.command.codes.at(0).built.timings,
            (std::vector<int32_t>{900, 450, 1, 1, 2, 169, 56, 0}));
  EXPECT_EQ(p.command.codes.at(0).built.carrierHz, 38000u);
  EXPECT_EQ(p.command.sends, 1u);  // no repeat_count: sent once

  p = emitter(withTimings("9000,-4", ""));
  EXPECT_FALSE(p.ok);
  EXPECT_NE(p.error.find("timings[1] is -4"), std::string::npos) << p.error;
}

TEST(MqttEmitterPayload, RepeatsKeepTheFinalSpaceOrPutFortyMillisecondsBetweenSends) {
  Parsed p = emitter(withTimings("100,-200,300", R"(,"repeat_count":2)"));
  ASSERT_TRUE(p.ok) << p.error;
  ASSERT_EQ(p.command.sends, 3u);
  OwnedIrCode sent = repeatedSequence(p.command.codes[0].built, p.command.sendGapUnits, 3);
  EXPECT_EQ(sent.timings,
            (std::vector<int32_t>{10, 20, 30, 4000, 10, 20, 30, 4000, 10, 20, 30, 0}));

  // A sequence that ends with its own space keeps it between sends, and the
  // last one becomes the terminator.
  p = emitter(withTimings("100,-200,300,-5000", R"(,"repeat_count":1)"));
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.command.codes[0].built.timings, (std::vector<int32_t>{10, 20, 30, 0}));
  sent = repeatedSequence(p.command.codes[0].built, p.command.sendGapUnits, p.command.sends);
  EXPECT_EQ(sent.timings, (std::vector<int32_t>{10, 20, 30, 500, 10, 20, 30, 0}));
}

TEST(MqttEmitterPayload, RefusesEveryMalformedMemberNamingIt) {
  const struct {
    std::string payload;
    std::string words;
  } cases[] = {
      {"", "not JSON"},
      {"{", "not JSON"},
      {"null", "not a JSON object"},
      {R"({"modulation":38000})", "\"timings\" is missing"},
      {R"({"timings":{},"modulation":38000})", "\"timings\" is not a list"},
      {R"({"timings":[],"modulation":38000})", "\"timings\" is empty"},
      {R"({"timings":[9000,-4500]})", "\"modulation\" is missing"},
      {withTimings("9000,true"), "timings[1] is not a whole number"},
      {withTimings("9000,null"), "timings[1] is not a whole number"},
      {withTimings("9000,-4500.0"), "timings[1] is not a whole number"},
      {withTimings("9000,[-4500]"), "timings[1] is not a whole number"},
      {withTimings("-9000"), "timings[0] is -9000, where a mark belongs"},
      {withTimings("9000,-4500,-562"), "timings[2] is -562, where a mark belongs"},
      {withTimings("9000,4500"), "timings[1] is 4500, where a space belongs"},
      {withTimings("9000,0,562"), "timings[1] is 0"},
      {withTimings("18446744073709551615"), "timings[0] is 18446744073709551615"},
      {withTimings("9000,-9223372036854775808"), "timings[1] is -9223372036854775808"},
      {withTimings("10000001"), "one code may last at most 10 s"},
      {withTimings("9000", R"(,"repeat_count":21)"), "\"repeat_count\" is 21, not from 0 to 20"},
      {withTimings("9000", R"(,"repeat_count":-1)"), "\"repeat_count\" is -1"},
      {withTimings("9000", R"(,"repeat_count":"2")"), "\"repeat_count\" is not a whole number"},
      {R"({"timings":[9000],"modulation":38000.5})", "\"modulation\" is not a whole number"},
      {R"({"timings":[9000],"modulation":4294967296})", "\"modulation\" is 4294967296"},
      {R"({"timings":[9000],"modulation":-38000})", "\"modulation\" is -38000"},
      {"{\"timings\":[9000],\"modulation\":38000,\"n\":\"\xff\"}", "not JSON"},
      // A number beyond a double's range is the JSON library's overflow
      // error, not its parse error: it must not end the daemon either.
      {"1e400", "not JSON"},
      {withTimings("9000,-1E400"), "not JSON"},
  };
  for (const auto& c : cases) {
    const Parsed p = emitter(c.payload);
    EXPECT_FALSE(p.ok) << c.payload;
    EXPECT_NE(p.error.find(c.words), std::string::npos) << c.payload << ": " << p.error;
  }
}

TEST(MqttEmitterPayload, CarrierAndDurationAreThePlayersLimits) {
  EXPECT_TRUE(emitter(R"({"timings":[9000],"modulation":15000})").ok);
  const Parsed low = emitter(R"({"timings":[9000],"modulation":14999})");
  EXPECT_NE(low.error.find("the carrier of 14999 Hz is outside 15000 to 500000 Hz"),
            std::string::npos)
      << low.error;
  EXPECT_NE(emitter(R"({"timings":[9000],"modulation":0})").error.find("without a carrier"),
            std::string::npos);
  // 56 kHz is too high for 48000 Hz, not for 96000.
  const Parsed high = emitter(R"({"timings":[9000],"modulation":56000})");
  EXPECT_NE(high.error.find("does not render at 48000 Hz (--rate 96000 plays it)"),
            std::string::npos)
      << high.error;
  EXPECT_TRUE(emitter(R"({"timings":[9000],"modulation":56000})", 96000).ok);

  // Exactly 10 s in all, two sends with 40 ms between them, plays; 10 us
  // more in each does not.
  EXPECT_TRUE(emitter(withTimings("4980000", R"(,"repeat_count":1)")).ok);
  const Parsed longer = emitter(withTimings("4980010", R"(,"repeat_count":1)"));
  EXPECT_NE(longer.error.find("the code lasts 10.00002 s; one code may last at most 10 s"),
            std::string::npos)
      << longer.error;
}

TEST(MqttEmitterPayload, PayloadSizeIsCheckedBeforeParsing) {
  std::string payload = R"({"x":")";
  payload += std::string(kMaxPayloadBytes - payload.size() - 2, 'a') + "\"}";
  ASSERT_EQ(payload.size(), kMaxPayloadBytes);
  EXPECT_NE(emitter(payload).error.find("\"timings\" is missing"), std::string::npos);
  payload.insert(1, " ");
  EXPECT_NE(emitter(payload).error.find("65537 bytes; at most 65536"), std::string::npos);
}

TEST(MqttCodePayload, NamesWhatThePlayerNames) {
  Parsed p = code(R"({"code":"sony"})");
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.command.codes.at(0).tableIndex, 0u);
  p = code(R"({"code":"NECx2:7.7:volume_up","repeat":3})");
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.command.presses, 3u);
  EXPECT_EQ(p.command.played, "NECx2:7.7:volume_up");
  // A held key is longer than a press.
  const Parsed held = code(R"({"code":"nec1:4:8","hold_ms":1000})");
  ASSERT_TRUE(held.ok) << held.error;
  EXPECT_GT(held.command.codes[0].built.timings.size(),
            code(R"({"code":"nec1:4:8"})").command.codes[0].built.timings.size());
  p = code(R"({"irp":"{40k,600}<1,-1|2,-1>(4,-1,F:7,D:5,^45m)*[D:0..31,F:0..127]","D":1,"F":21})");
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.command.codes[0].built.carrierHz, 40000u);
  p = code(R"({"brand":"sony","power":"on"})");
  ASSERT_TRUE(p.ok) << p.error;
  ASSERT_EQ(p.command.runs.size(), 1u);
  EXPECT_FALSE(p.command.runs[0].named);  // a brand's code the rate cannot carry is passed over
}

TEST(MqttCodePayload, RefusesWhatThePlayerRefusesAndAnyOtherMember) {
  const struct {
    std::string payload;
    std::string words;
  } cases[] = {
      {R"({})", "names no code"},
      {R"({"code":"sony","irp":"x"})", "\"code\" and \"irp\" are both given"},
      {R"({"code":["sony"]})", "\"code\" is not a string"},
      {R"({"code":"nosuch"})", "no code named \"nosuch\""},
      {R"({"code":"nec1:4:256"})", "256"},
      {R"({"code":"rca"})", "rca is not sent: a 55600 Hz carrier does not render at 48000 Hz"},
      {R"({"code":"sony","repeat":0})", "\"repeat\" is 0, not from 1 to 20"},
      {R"({"code":"sony","repeat":21})", "\"repeat\" is 21"},
      {R"({"code":"sony","hold_ms":9001})", "\"hold_ms\" is 9001, not from 0 to 9000"},
      {R"({"code":"sony","power":"on"})", "\"power\" does not belong with \"code\""},
      {R"({"code":"sony","D":1})", "\"D\" does not belong with \"code\""},
      {R"({"brand":"sony","power":"sideways"})", "\"power\" is \"sideways\""},
      {R"({"brand":"no such brand"})", "no such brand"},
      {R"({"irp":"{40k,600}<1,-1|2,-1>(4,-1,F:7,D:5,^45m)*[D:0..31,F:0..127]","D":-1})",
       "parameter \"D\" is -1"},
      {R"({"irp":"{40k,600}<1,-1|2,-1>(4,-1,F:7,D:5,^45m)*[D:0..31,F:0..127]","D":1,"9F":2})",
       "\"9F\" does not belong with \"irp\""},
      {R"({"pronto":"0000 006D 0000 0001 0010"})", "pronto \"0000 006D 0000 0001 0010\": "},
  };
  for (const auto& c : cases) {
    const Parsed p = code(c.payload);
    EXPECT_FALSE(p.ok) << c.payload;
    EXPECT_NE(p.error.find(c.words), std::string::npos) << c.payload << ": " << p.error;
  }
}

TEST(MqttOptions, BrokerUrls) {
  BrokerAddress b;
  std::string error;
  ASSERT_TRUE(parseBrokerUrl("mqtts://broker.lan", &b, &error));
  EXPECT_EQ(b.host, "broker.lan");
  EXPECT_EQ(b.port, 8883);
  EXPECT_TRUE(b.tls);
  ASSERT_TRUE(parseBrokerUrl("mqtt://[::1]:1884/", &b, &error));
  EXPECT_EQ(b.host, "::1");
  EXPECT_EQ(b.port, 1884);
  EXPECT_FALSE(b.tls);
  for (const char* bad : {"tcp://host", "mqtt://", "mqtt://host:", "mqtt://host:0",
                          "mqtt://host:65536", "mqtt://[::1", "mqtt://user@host"}) {
    EXPECT_FALSE(parseBrokerUrl(bad, &b, &error)) << bad;
    EXPECT_NE(error.find(bad), std::string::npos) << error;
  }
  MqttOptions options;
  EXPECT_FALSE(parseMqttArgs({"--password", "x"}, &options, &error));
  EXPECT_NE(error.find("never taken on the command line"), std::string::npos);
  EXPECT_FALSE(parseMqttArgs({"--topic-prefix", "irwav/#"}, &options, &error));
  EXPECT_FALSE(parseMqttArgs({"--cafile", "ca.crt"}, &options, &error));
  EXPECT_FALSE(parseMqttArgs({"--tv", "necx2:7.7"}, &options, &error));
  ASSERT_TRUE(parseMqttArgs({"--tv=Living room=necx2:7.7", "--rate", "96000"}, &options, &error))
      << error;
  EXPECT_EQ(options.tvs.at(0).name, "Living room");
  EXPECT_EQ(options.tvs.at(0).family, "necx2:7.7");
}

}  // namespace

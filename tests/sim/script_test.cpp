// Input scripts: what each line means, which lines are refused and why, and
// how changes reach the game by frame or one at a time while it waits.
#include "script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using sim::Change;

struct Recorder : sim::InputSink {
  std::vector<std::string> log;
  void Key(int code, bool down) override {
    log.push_back("key " + std::to_string(code) + (down ? " down" : " up"));
  }
  void JoyButton(int b, bool down) override {
    log.push_back("button " + std::to_string(b) + (down ? " down" : " up"));
  }
  void JoyAxes(int x, int y) override {
    log.push_back("axes " + std::to_string(x) + " " + std::to_string(y));
  }
  void Close() override { log.push_back("close"); }
};

std::vector<Change> Parse(const std::string& text) {
  std::vector<Change> out;
  sim::ScriptError err;
  EXPECT_TRUE(sim::ParseScript(text, out, err)) << "line " << err.line << ": " << err.reason;
  return out;
}

sim::ScriptError Refuse(const std::string& text) {
  std::vector<Change> out;
  sim::ScriptError err;
  EXPECT_FALSE(sim::ParseScript(text, out, err)) << text;
  return err;
}

TEST(ScriptKeys, NamesMapToVirtualKeyCodes) {
  EXPECT_EQ(sim::KeyCodeFromName("left"), 37);
  EXPECT_EQ(sim::KeyCodeFromName("up"), 38);
  EXPECT_EQ(sim::KeyCodeFromName("right"), 39);
  EXPECT_EQ(sim::KeyCodeFromName("down"), 40);
  EXPECT_EQ(sim::KeyCodeFromName("space"), 32);
  EXPECT_EQ(sim::KeyCodeFromName("escape"), 27);
  EXPECT_EQ(sim::KeyCodeFromName("enter"), 13);
  EXPECT_EQ(sim::KeyCodeFromName("a"), 65);
  EXPECT_EQ(sim::KeyCodeFromName("Z"), 90);
}

TEST(ScriptKeys, SingleDigitIsTheDigitKeyLongerNumbersAreCodes) {
  EXPECT_EQ(sim::KeyCodeFromName("0"), 48);
  EXPECT_EQ(sim::KeyCodeFromName("9"), 57);
  EXPECT_EQ(sim::KeyCodeFromName("79"), 79);
  EXPECT_EQ(sim::KeyCodeFromName("255"), 255);
  EXPECT_FALSE(sim::KeyCodeFromName("256"));
  EXPECT_FALSE(sim::KeyCodeFromName("-5"));
  EXPECT_FALSE(sim::KeyCodeFromName("shift"));
  EXPECT_FALSE(sim::KeyCodeFromName("ab"));
}

TEST(ScriptParse, GivenEveryKindOfLineThenEachBecomesOneChange) {
  auto c = Parse(
      "# opening comment\n"
      "\n"
      "1 down space   # trailing comment\n"
      "  2   up   escape\r\n"
      "3 joy button start down\n"
      "3 joy x -1\n"
      "4 joy y 1\n"
      "5 close\n"
      "6 down 200\n");
  ASSERT_EQ(c.size(), 7u);
  EXPECT_EQ(c[0].kind, Change::Kind::kKey);
  EXPECT_EQ(c[0].code, 32);
  EXPECT_EQ(c[0].value, 1);
  EXPECT_EQ(c[0].line, 3);
  EXPECT_EQ(c[1].code, 27);
  EXPECT_EQ(c[1].value, 0);
  EXPECT_EQ(c[1].frame, 2);
  EXPECT_EQ(c[2].kind, Change::Kind::kJoyButton);
  EXPECT_EQ(c[2].code, 6);
  EXPECT_EQ(c[3].kind, Change::Kind::kJoyX);
  EXPECT_EQ(c[3].value, -1);
  EXPECT_EQ(c[4].kind, Change::Kind::kJoyY);
  EXPECT_EQ(c[5].kind, Change::Kind::kClose);
  EXPECT_EQ(c[5].frame, 5);
  EXPECT_EQ(c[6].code, 200);
  EXPECT_EQ(c[6].line, 9);
}

TEST(ScriptParse, GivenAMalformedLineThenItsNumberAndReasonAreReported) {
  struct Case {
    const char* text;
    int line;
    const char* reason_part;
  };
  const Case cases[] = {
      {"1 down left\nx down left\n", 2, "frame number 'x'"},
      {"-1 down left\n", 1, "frame number '-1'"},
      {"7\n", 1, "missing action"},
      {"1 press left\n", 1, "unknown action 'press'"},
      {"1 down\n", 1, "expected 'FRAME down KEY'"},
      {"1 down left right\n", 1, "expected 'FRAME down KEY'"},
      {"1 up shift\n", 1, "unknown key 'shift'"},
      {"1 joy button 0 down\n", 1, "joystick button '0'"},
      {"1 joy button 7 down\n", 1, "joystick button '7'"},
      {"1 joy button 1 pressed\n", 1, "expected 'down' or 'up'"},
      {"1 joy button 1\n", 1, "joy button N down|up"},
      {"1 joy x 2\n", 1, "joystick direction '2'"},
      {"1 joy y\n", 1, "joy y -1|0|1"},
      {"1 joy z 1\n", 1, "unknown joystick input 'z'"},
      {"1 joy\n", 1, "expected 'joy button"},
      {"1 close now\n", 1, "'close' takes no arguments"},
      {"99999999999999999999 close\n", 1, "frame number"},
  };
  for (const Case& c : cases) {
    sim::ScriptError e = Refuse(c.text);
    EXPECT_EQ(e.line, c.line) << c.text;
    EXPECT_NE(e.reason.find(c.reason_part), std::string::npos) << c.text << " -> " << e.reason;
  }
}

TEST(ScriptParse, GivenFramesGoingBackwardsThenTheLaterLineIsRefused) {
  sim::ScriptError e = Refuse("10 down a\n10 up a\n9 down b\n");
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.reason.find("may not decrease"), std::string::npos);
}

TEST(ScriptPlayer, GivenChangesByFrameThenApplyUpToTakesExactlyThoseDue) {
  sim::ScriptPlayer p(Parse("1 down a\n3 down b\n3 up a\n5 close\n"));
  Recorder r;
  p.ApplyUpTo(0, r);
  EXPECT_TRUE(r.log.empty());
  p.ApplyUpTo(3, r);
  EXPECT_EQ(r.log, (std::vector<std::string>{"key 65 down", "key 66 down", "key 65 up"}));
  p.ApplyUpTo(3, r);  // nothing twice
  EXPECT_EQ(r.log.size(), 3u);
  EXPECT_FALSE(p.Exhausted());
  p.ApplyUpTo(100, r);
  EXPECT_EQ(r.log.back(), "close");
  EXPECT_TRUE(p.Exhausted());
}

TEST(ScriptPlayer, GivenAWaitingGameThenEachWaitTakesTheNextChangeWhateverItsFrame) {
  sim::ScriptPlayer p(Parse("10 down escape\n500 down n\n900 up n\n"));
  Recorder r;
  p.ApplyUpTo(10, r);
  ASSERT_TRUE(p.ApplyNext(r));
  EXPECT_EQ(r.log.back(), "key 78 down");
  ASSERT_TRUE(p.ApplyNext(r));
  EXPECT_EQ(r.log.back(), "key 78 up");
  EXPECT_FALSE(p.ApplyNext(r));  // ran out: the run ends
  EXPECT_EQ(p.Applied(), 3u);
}

TEST(ScriptPlayer, GivenOneAxisChangedThenTheOtherAxisKeepsItsDirection) {
  sim::ScriptPlayer p(Parse("1 joy x 1\n2 joy y -1\n3 joy x 0\n4 joy button 2 down\n"));
  Recorder r;
  p.ApplyUpTo(4, r);
  EXPECT_EQ(r.log,
            (std::vector<std::string>{"axes 1 0", "axes 1 -1", "axes 0 -1", "button 2 down"}));
}

}  // namespace

// The trace line format and the state digest, on small hand-made worlds.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "digest.h"
#include "support/world.h"
#include "trace.h"

namespace {

// A player and three wave records, the second one current.
struct World : sbt::World {
  World() : sbt::World(sbt::kBare) {
    g.plyr = g.kxplyr_list.New();
    for (int i = 0; i < 3; ++i) g.kxwave_list.New()->grunts = 10 + i;
    g.wave = g.kxwave_list.After(g.kxwave_list.First());  // row 2
  }
  std::string Line(int64_t frame, bool all_waves) {
    std::string s;
    sim::FormatTraceLine(g, frame, all_waves, s);
    return s;
  }
};

std::string Real(float x) {
  std::string s;
  sim::AppendReal(s, x);
  return s;
}

TEST(TraceReals, GivenFloatsThenTextMatchesPrintfG9) {
  const float values[] = {0.0f,   0.1f,    -0.25f,    1.0f / 3.0f, 123456789.0f,
                          1e-10f, 3.4e38f, -1.5e-40f, 0.35f,       25000.0f,
                          4.4f,   1.0e9f,  7.0f,      -0.0f,       1.17549435e-38f};
  for (float v : values) {
    char want[64];
    std::snprintf(want, sizeof want, "%.9g", static_cast<double>(v));
    EXPECT_EQ(Real(v), want) << want;
  }
}

TEST(TraceLine, GivenAWorldThenTheLineHoldsFrameStateGlobalsAndRequests) {
  World w;
  w.g.gamestate = sb::Screen::kPlay;
  w.g.numshots = 3;
  w.g.beh.gruntspeed = 0.25f;
  w.g.req[sb::kSndGrunthit] = 1;
  w.P->RandomReal(0, 1);
  w.P->RandomReal(0, 1);
  const std::string s = w.Line(17, true);
  EXPECT_EQ(s.rfind("{\"frame\":17,\"gamestate\":2,\"draws\":2,\"wave\":2,\"globals\":{", 0), 0u)
      << s.substr(0, 80);
  EXPECT_NE(s.find("\"numshots\":3,"), std::string::npos);
  EXPECT_NE(s.find("\"gruntspeed\":0.25,"), std::string::npos);
  EXPECT_NE(s.find("\"reqgrunthit\":1,"), std::string::npos);
  EXPECT_NE(s.find("\"reqelectrodehit\":0}"), std::string::npos);
  EXPECT_EQ(s.back(), '\n');
  EXPECT_EQ(s.find('\n'), s.size() - 1);  // one line
  EXPECT_EQ(s.find("_list"), std::string::npos);
  EXPECT_EQ(s.find("_link"), std::string::npos);
}

TEST(TraceLine, GivenTheTwentyListsThenEachAppearsInListOrderWithItsRecords) {
  World w;
  sb::kxgrunt* a = w.g.kxgrunt_list.New();
  a->sx = 1.5f;
  a->col = 4;
  w.g.kxgrunt_list.New()->sx = 2.5f;
  const std::string s = w.Line(1, false);
  size_t at = s.find("\"lists\":{");
  ASSERT_NE(at, std::string::npos);
  const char* order[] = {"kxshot",     "kxbit",       "kxplyr",     "kxhuman", "kxprog",
                         "kxdeath",    "kxhulk",      "kxgrunt",    "kxbrain", "kxcruise",
                         "kxspheroid", "kxenforcer",  "kxquark",    "kxtank",  "kxplus",
                         "kxball",     "kxelectrode", "kxshrinkle", "kxpoint", "kxwave"};
  for (const char* name : order) {
    const size_t next = s.find(std::string("\"") + name + "\":[", at);
    ASSERT_NE(next, std::string::npos) << name;
    at = next;
  }
  EXPECT_NE(s.find("\"kxgrunt\":[{\"hit\":0,\"sx\":1.5,\"sy\":0,\"xv\":0,\"yv\":0,\"col\":4,"
                   "\"animcounter\":0,\"animdir\":0,\"animframe\":0},{\"hit\":0,\"sx\":2.5,"),
            std::string::npos);
  EXPECT_NE(s.find("\"kxshot\":[],"), std::string::npos);
}

TEST(TraceLine, GivenTheFirstLineThenTheWholeWaveTableLaterOnlyTheCurrentWave) {
  World w;
  const std::string first = w.Line(1, true);
  const std::string later = w.Line(2, false);
  auto count = [](const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(first, "\"humans\":"), 3u);
  EXPECT_EQ(count(later, "\"humans\":"), 1u);
  EXPECT_NE(later.find("\"kxwave\":[{\"humans\":0,\"htype\":0,\"grunts\":11,"), std::string::npos);
  w.g.wave = nullptr;
  EXPECT_NE(w.Line(3, false).find("\"wave\":0,"), std::string::npos);
  EXPECT_NE(w.Line(3, false).find("\"kxwave\":[]}}"), std::string::npos);
}

TEST(Fnv64, KnownValues) {
  sim::Fnv64 h;
  EXPECT_EQ(h.Value(), 0xcbf29ce484222325ULL);
  h.Bytes("a", 1);
  EXPECT_EQ(h.Value(), 0xaf63dc4c8601ec8cULL);
  sim::Fnv64 foobar;
  foobar.Bytes("foobar", 6);
  EXPECT_EQ(foobar.Value(), 0x85944171f73967e8ULL);
}

TEST(StateDigest, GivenTwoWorldsBuiltAlikeThenTheDigestsAreEqual) {
  World a, b;
  a.g.kxgrunt_list.New()->sx = 3;
  b.g.kxgrunt_list.New()->sx = 3;
  EXPECT_EQ(sim::StateDigest(a.g), sim::StateDigest(b.g));
  EXPECT_EQ(sim::StateDigest(a.g), sim::StateDigest(a.g));  // reading changes nothing
}

TEST(StateDigest, GivenAnyPartOfTheStateChangedThenTheDigestChanges) {
  World base;
  const uint64_t d0 = sim::StateDigest(base.g);
  auto differs = [&](auto change) {
    World w;
    change(w);
    return sim::StateDigest(w.g) != d0;
  };
  EXPECT_TRUE(differs([](World& w) { w.g.plyr->score = 1; }));
  EXPECT_TRUE(differs([](World& w) { w.g.kxwave_list.Last()->grunts_remaining = 1; }));
  EXPECT_TRUE(differs([](World& w) { w.g.wave = w.g.kxwave_list.First(); }));
  EXPECT_TRUE(differs([](World& w) { w.g.kxshot_list.New(); }));       // an all-zero record
  EXPECT_TRUE(differs([](World& w) { w.g.beh.gruntspeed = -0.0f; }));  // bits, not value
  EXPECT_TRUE(differs([](World& w) { w.g.req[sb::kSndElectrodehit] = 1; }));
  EXPECT_TRUE(differs([](World& w) { w.g.hinames[10] = "X"; }));
  EXPECT_TRUE(differs([](World& w) { w.g.startwave = 5; }));
  EXPECT_TRUE(differs([](World& w) { w.P->SeedRandom(99); }));
  // Same generator state, one more draw counted: still a different history.
  EXPECT_TRUE(differs([](World& w) {
    const int32_t s = w.P->Rng().State();
    w.P->RandomReal(0, 1);
    w.P->Rng().SetState(s);
  }));
}

TEST(StateDigest, GivenTheSameRecordsInAnotherOrderThenTheDigestDiffers) {
  World a, b;
  a.g.kxhulk_list.New()->sx = 1;
  a.g.kxhulk_list.New()->sx = 2;
  b.g.kxhulk_list.New()->sx = 2;
  b.g.kxhulk_list.New()->sx = 1;
  EXPECT_NE(sim::StateDigest(a.g), sim::StateDigest(b.g));
}

}  // namespace

// Spheroids and quarks leave alike: only from their fourth release on, with
// the leaving draw made only then, and never for points or fragments.
#include <gtest/gtest.h>

#include "pulsers.h"

namespace {

using sbt::Above;
using sbt::Any;
using sbt::AtMost;
using sbt::Count;

template <class K>
struct Leaving : sbt::WorldTest {
  typename K::Rec* AddWithThreeReleased() {
    typename K::Rec* r = sbt::AddPulser<K>(this->g, 200, 150);
    K::Released(*r) = 3;
    return r;
  }
};
using Kinds = ::testing::Types<sbt::SpheroidKind, sbt::QuarkKind>;
TYPED_TEST_SUITE(Leaving, Kinds);

TYPED_TEST(Leaving, AfterThreeReleasesItNeverDrawsToLeave) {
  using K = TypeParam;
  this->AddWithThreeReleased();
  this->P->SeedRandom(K::kSeed);

  for (int i = 0; i < 400; ++i) K::Update(this->g);

  EXPECT_EQ(Count(K::List(this->g)), 1);
  EXPECT_EQ(K::Remaining(this->g), 1);
}

TYPED_TEST(Leaving, WithThreeReleasedTheLeavingNumberIsNotEvenDrawn) {
  using K = TypeParam;
  this->AddWithThreeReleased();
  this->SeedSoThat({AtMost(0, 1000, K::kKeepCourse)});

  K::Update(this->g);

  EXPECT_EQ(this->Draws(), 1u);  // the turn test only
}

TYPED_TEST(Leaving, ItMayLeaveInTheFrameOfItsFourthRelease) {
  using K = TypeParam;
  sb::Game& g = this->g;
  K::Delay(*this->AddWithThreeReleased()) = 1;
  g.plyr->score = 0;
  // the child's own delay, the turn test, the leaving test
  this->SeedSoThat({Any(0, 20), AtMost(0, 1000, K::kKeepCourse), Above(0, 1000, 800)});

  K::Update(g);

  EXPECT_EQ(Count(K::List(g)), 0);
  EXPECT_EQ(K::Children(g), 1);
  EXPECT_EQ(K::Remaining(g), 0);
  EXPECT_EQ(g.wave->spheroids_killed, 0);  // leaving is no kill
  EXPECT_EQ(g.plyr->score, 0);
  EXPECT_EQ(Count(g.kxbit_list), 0);
  EXPECT_EQ(this->Draws(), 3u);
}

}  // namespace

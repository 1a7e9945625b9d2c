// Sound requests: raised anywhere, played once per frame, one voice per file.
#include "play/sound.h"

#include "support/world.h"

namespace {

struct Sounds : sbt::WorldTest {
  Sounds() { CountingSounds(); }
};

TEST_F(Sounds, TenRaisesOfOneRequestStartItsSoundOnce) {
  for (int i = 0; i < 10; ++i) sb::Raise(g, sb::kSndGrunthit);

  sb::PlaySoundRequests(g);

  auto played = TakeVoices();
  for (int i = 0; i < sb::kSndCount; ++i) {
    EXPECT_EQ(played[static_cast<size_t>(i)], i == sb::kSndGrunthit ? 1 : 0) << sb::kSoundNames[i];
  }
}

TEST_F(Sounds, EveryRaisedRequestPlaysOnceAndStaysRaisedUntilCleared) {
  for (int i = 0; i < sb::kSndCount; ++i) g.req[i] = 1;

  sb::PlaySoundRequests(g);

  auto played = TakeVoices();
  for (int i = 0; i < sb::kSndCount; ++i) {
    EXPECT_EQ(played[static_cast<size_t>(i)], 1) << sb::kSoundNames[i];
    EXPECT_EQ(g.req[i], 1);
  }

  sb::ClearSoundRequests(g);
  for (int i = 0; i < sb::kSndCount; ++i) EXPECT_EQ(g.req[i], 0);
  sb::PlaySoundRequests(g);
  EXPECT_EQ(P->GetMixer().ActiveVoices(), 0);
}

TEST_F(Sounds, WithSoundOffNothingPlaysButRequestsAreKeptForClearing) {
  g.sound = 0;
  sb::Raise(g, sb::kSndShotborn);
  sb::Raise(g, sb::kSndElectrodehit);

  sb::PlaySoundRequests(g);

  EXPECT_EQ(P->GetMixer().ActiveVoices(), 0);
  EXPECT_EQ(g.req[sb::kSndShotborn], 1);
  sb::ClearSoundRequests(g);
  EXPECT_EQ(g.req[sb::kSndElectrodehit], 0);
}

TEST_F(Sounds, ARequestForASoundThatFailedToLoadPlaysNothing) {
  g.snd[sb::kSndTank] = 0;
  sb::Raise(g, sb::kSndTank);
  sb::Raise(g, sb::kSndQuark);

  sb::PlaySoundRequests(g);

  auto played = TakeVoices();
  EXPECT_EQ(played[sb::kSndTank], 0);
  EXPECT_EQ(played[sb::kSndQuark], 1);
}

TEST_F(Sounds, MenuSoundsPlayDirectlyOnlyWithSoundOn) {
  sb::PlayMenuSound(g, sb::kSndBonus);
  sb::PlayMenuSound(g, sb::kSndBonus);
  auto played = TakeVoices();
  EXPECT_EQ(played[sb::kSndBonus], 2);  // no request flag: every call plays

  g.sound = 0;
  sb::PlayMenuSound(g, sb::kSndBonus);
  EXPECT_EQ(P->GetMixer().ActiveVoices(), 0);
  EXPECT_EQ(g.req[sb::kSndBonus], 0);
}

}  // namespace

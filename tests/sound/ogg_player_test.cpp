// The slot mixer: saturating sums, slot moves, half alternation, silent closed tracks.
#include "sound/ogg_player.h"

#include <gtest/gtest.h>

#include "tests/sound/track_fixture.h"

TEST(SlotMixer, TwoLoudTracksSaturateSymmetrically) {
  // Full-scale square-ish tones: the sum of two passes the limits both ways.
  std::vector<uint8_t> ogg = SineOgg(44100, 2, 0.5, 100.0, 0.9);
  auto a = OpenTrack(ogg);
  auto b = OpenTrack(ogg);
  TOggPlayer mixer(65536, 8);
  mixer.Attach(0, a.get());
  mixer.Attach(5, b.get());
  mixer.PlaySlot(0, false);
  mixer.PlaySlot(5, false);
  EXPECT_EQ(mixer.RenderNext(), 32768);
  auto* out = reinterpret_cast<const int16_t*>(mixer.CurrentBlock());
  auto* sa = reinterpret_cast<const int16_t*>(a->CurrentHalf());
  auto* sb = reinterpret_cast<const int16_t*>(b->CurrentHalf());
  int top = 0, bottom = 0;
  for (int i = 0; i < 8192 * 2; ++i) {
    int32_t sum = sa[i] + sb[i];
    int32_t want = sum > 32767 ? 32767 : (sum < -32767 ? -32767 : sum);
    ASSERT_EQ(out[i], want) << i;
    top += out[i] == 32767;
    bottom += out[i] == -32767;
    ASSERT_NE(out[i], -32768);
  }
  EXPECT_GT(top, 0);
  EXPECT_GT(bottom, 0);
}

TEST(SlotMixer, AttachMovesATrackAndHalvesAlternate) {
  auto t = OpenTrack(SineOgg(44100, 2, 0.5));
  TOggPlayer mixer(65536, 8);
  mixer.Attach(3, t.get());
  mixer.Attach(0, t.get());
  EXPECT_EQ(mixer.Slot(3), nullptr);
  EXPECT_EQ(mixer.Slot(0), t.get());
  EXPECT_EQ(mixer.SlotState(0), 0);  // a stopped track reports the state of its last render
  mixer.RenderNext();
  EXPECT_EQ(mixer.SlotState(0), 1);
  EXPECT_EQ(mixer.SlotState(3), 0);

  EXPECT_EQ(mixer.HalfOffset(), 32768);  // the first mix went to the second half
  mixer.RenderNext();
  EXPECT_EQ(mixer.HalfOffset(), 0);
  mixer.RenderNext();
  EXPECT_EQ(mixer.HalfOffset(), 32768);
  mixer.Detach(0);
  EXPECT_EQ(mixer.Slot(0), nullptr);
  // Forwarding to an empty slot does nothing.
  mixer.PlaySlot(0, true);
  mixer.SetSlotVolume(0, 0.5f);
  EXPECT_EQ(t->State(), 1);
  EXPECT_FLOAT_EQ(t->GetVolume(), 1.0f);
}

TEST(SlotMixer, StoppedOrClosedTracksLeaveTheBlockSilent) {
  auto t = OpenTrack(SineOgg(44100, 2, 0.5));
  TOggPlayer mixer(65536, 8);
  mixer.Attach(0, t.get());
  mixer.PlaySlot(0, false);
  mixer.RenderNext();
  t->Close();
  for (int k = 0; k < 2; ++k) {
    mixer.RenderNext();
    auto* out = reinterpret_cast<const int16_t*>(mixer.CurrentBlock());
    for (int i = 0; i < 8192 * 2; ++i) ASSERT_EQ(out[i], 0) << k << ":" << i;
  }
  EXPECT_EQ(mixer.SlotState(0), 0);
}

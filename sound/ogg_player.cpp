// The slot mixer.
#include "sound/ogg_player.h"

#include <cstring>

TOggPlayer::TOggPlayer(int32_t bufferBytes, int32_t slotCount)
    : buffer_(bufferBytes), slotCount_(slotCount < 0 ? 0 : (slotCount > kMaxSlots ? kMaxSlots : slotCount)) {
  Clear();
}

TOggPlayer::~TOggPlayer() { Clear(); }

void TOggPlayer::Clear() {
  for (auto& s : slots_) s = nullptr;
  std::memset(buffer_.Memory(), 0, static_cast<size_t>(buffer_.Size()));
}

void TOggPlayer::Attach(int32_t slot, TOggData* track) {
  mixing_.wait(true);  // a mix under way ends before the slots change
  if (track) {
    for (int32_t i = 0; i < slotCount_; ++i)
      if (i != slot && slots_[i].load() == track) slots_[i] = nullptr;
  }
  slots_[slot] = track;
}

void TOggPlayer::SetMixGain(int32_t slot, float gain) {
  if (TOggData* t = slots_[slot].load()) t->SetMixGain(gain);
}
void TOggPlayer::SetSlotVolume(int32_t slot, float volume) {
  if (TOggData* t = slots_[slot].load()) t->SetVolume(volume);
}
void TOggPlayer::FadeSlotVolume(int32_t slot, float volume, float seconds) {
  if (TOggData* t = slots_[slot].load()) t->FadeVolume(volume, seconds);
}
void TOggPlayer::PlaySlot(int32_t slot, bool loop) {
  if (TOggData* t = slots_[slot].load()) t->Play(loop);
}
void TOggPlayer::RewindSlot(int32_t slot) {
  if (TOggData* t = slots_[slot].load()) t->Rewind();
}
int32_t TOggPlayer::SlotState(int32_t slot) const {
  TOggData* t = slots_[slot].load();
  return t ? t->RenderState() : 0;
}
void TOggPlayer::SetMasterGain(float gain) {
  for (int32_t i = 0; i < slotCount_; ++i)
    if (TOggData* t = slots_[i].load()) t->SetMasterGain(gain);
}

int32_t TOggPlayer::RenderNext() {
  const int32_t half = static_cast<int32_t>(buffer_.Size() / 2);
  halfOffset_ = halfOffset_ == 0 ? half : 0;
  return Mix(buffer_.Memory() + halfOffset_, half);
}

int32_t TOggPlayer::Mix(uint8_t* buffer, int32_t length) {
  mixing_ = true;
  const int16_t* sources[kMaxSlots];
  // Each track stays locked until its half is summed: a Rewind or Close on the main thread
  // zeroes the render buffer under that lock, never while the sum reads it.
  TOggData* held[kMaxSlots];
  int count = 0, locked = 0;
  for (int32_t i = 0; i < slotCount_; ++i) {
    TOggData* t = slots_[i].load();
    if (!t) continue;
    t->Lock();
    held[locked++] = t;
    if (t->RenderHalf() > 0) sources[count++] = reinterpret_cast<const int16_t*>(t->CurrentHalf());
  }
  auto* out = reinterpret_cast<int16_t*>(buffer);
  const int32_t samples = (length / 4) * 2;
  for (int32_t i = 0; i < samples; ++i) {
    int32_t sum = 0;
    for (int k = 0; k < count; ++k) sum += sources[k][i];
    out[i] = static_cast<int16_t>(sum > 32767 ? 32767 : (sum < -32767 ? -32767 : sum));
  }
  for (int k = 0; k < locked; ++k) held[k]->Unlock();
  mixing_ = false;
  mixing_.notify_all();
  return length;
}

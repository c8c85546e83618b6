// The slot mixer: sums up to eight attached tracks into one double-buffered music block.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "sound/memory_stream.h"
#include "sound/ogg_data.h"

class TOggPlayer {
 public:
  static constexpr int kMaxSlots = 8;
  // bufferBytes: the mix buffer (two halves), the same size as every attached track's.
  TOggPlayer(int32_t bufferBytes, int32_t slotCount);
  ~TOggPlayer();
  TOggPlayer(const TOggPlayer&) = delete;
  TOggPlayer& operator=(const TOggPlayer&) = delete;

  void Clear();
  // Waits while a mix runs; a track is in at most one slot. Tracks are never owned.
  void Attach(int32_t slot, TOggData* track);
  void Detach(int32_t slot) { Attach(slot, nullptr); }
  TOggData* Slot(int32_t slot) const { return slots_[slot].load(); }

  void SetMixGain(int32_t slot, float gain);
  void SetSlotVolume(int32_t slot, float volume);
  void FadeSlotVolume(int32_t slot, float volume, float seconds);
  void PlaySlot(int32_t slot, bool loop);
  void RewindSlot(int32_t slot);
  int32_t SlotState(int32_t slot) const;
  void SetMasterGain(float gain);

  // Mixes the other half of the mix buffer (notify thread).
  int32_t RenderNext();
  uint8_t* CurrentBlock() { return buffer_.Memory() + halfOffset_; }
  int32_t Mix(uint8_t* buffer, int32_t length);
  int32_t SlotCount() const { return slotCount_; }
  int32_t HalfOffset() const { return halfOffset_; }

 private:
  std::atomic<bool> mixing_{false};
  TMemoryStream buffer_;
  int32_t halfOffset_ = 0;
  std::atomic<TOggData*> slots_[kMaxSlots] = {};
  int32_t slotCount_;
};

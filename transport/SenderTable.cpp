#include "transport/SenderTable.h"

namespace hw {

namespace {

// Moves the entry's sequence forward by step (1..kSequenceWindow) to sequence.
void Advance(TSenderEntry& entry, std::uint32_t sequence) {
  const std::uint32_t step = sequence - entry.LastSequence;
  entry.Seen = step >= 64 ? 1 : entry.Seen << step | 1;
  entry.LastSequence = sequence;
}

}  // namespace

bool TSenderTable::Accept(std::uint32_t sender_id, std::uint32_t sequence, std::uint32_t source) {
  const std::uint64_t key = Key(sender_id, source);
  auto it = index_.find(key);
  if (it != index_.end()) {
    // Any frame, repeat or not, shows the sender is alive: it is the last to be evicted.
    recency_.splice(recency_.begin(), recency_, it->second.recency);
    TSenderEntry& entry = *it->second.entry;
    // Unsigned differences: a sequence that wrapped is still a step forward.
    const std::uint32_t ahead = sequence - entry.LastSequence;
    const std::uint32_t behind = entry.LastSequence - sequence;
    if (ahead == 0) return false;
    if (ahead <= kSequenceWindow) {
      Advance(entry, sequence);
      entry.HasFar = false;
      return true;
    }
    if (behind < 64) {
      const std::uint64_t bit = std::uint64_t{1} << behind;
      if (entry.Seen & bit) return false;
      entry.Seen |= bit;
      return true;
    }
    // Far away. Believed only when a second frame follows on from it: a forged frame
    // claiming sequence 0xFFFFFFF0 is shown but leaves the real sender's sequence alone.
    if (entry.HasFar) {
      const std::uint32_t after_far = sequence - entry.FarSequence;
      if (after_far == 0) return false;
      if (after_far <= kSequenceWindow) {
        entry.LastSequence = entry.FarSequence;
        entry.Seen = 1;
        Advance(entry, sequence);
        entry.HasFar = false;
        return true;
      }
    }
    entry.HasFar = true;
    entry.FarSequence = sequence;
    return true;
  }
  if (index_.size() >= capacity_) {
    // Least recently seen rather than oldest added: a long-lived peer that keeps
    // talking stays held however many one-off senders (each hallwire-send run, or a
    // flood of forged ids) pass through, so its repeats go on being filtered.
    const std::uint64_t victim = recency_.back();
    const auto v = index_.find(victim);
    entries_.erase(v->second.entry);
    recency_.pop_back();
    index_.erase(v);
  }
  entries_.push_front(TSenderEntry{sender_id, sequence, source});
  recency_.push_front(key);
  index_.emplace(key, TSlot{entries_.begin(), recency_.begin()});
  return true;
}

const TSenderEntry* TSenderTable::Find(std::uint32_t sender_id, std::uint32_t source) const {
  const auto it = index_.find(Key(sender_id, source));
  return it == index_.end() ? nullptr : &*it->second.entry;
}

void TSenderTable::clear() {
  index_.clear();
  recency_.clear();
  entries_.clear();
}

}  // namespace hw

#include "transport/SenderTable.h"

namespace hw {

bool TSenderTable::Accept(std::uint32_t sender_id, std::uint32_t sequence) {
  auto it = index_.find(sender_id);
  if (it != index_.end()) {
    // Any frame, repeat or not, shows the sender is alive: it is the last to be evicted.
    recency_.splice(recency_.begin(), recency_, it->second.recency);
    TSenderEntry& entry = *it->second.entry;
    if (entry.LastSequence >= sequence) return false;
    entry.LastSequence = sequence;
    return true;
  }
  if (index_.size() >= capacity_) {
    // Least recently seen rather than oldest added: a long-lived peer that keeps
    // talking stays held however many one-off senders (each hallwire-send run, or a
    // flood of forged ids) pass through, so its repeats go on being filtered.
    const std::uint32_t victim = recency_.back();
    const auto v = index_.find(victim);
    entries_.erase(v->second.entry);
    recency_.pop_back();
    index_.erase(v);
  }
  entries_.push_front(TSenderEntry{sender_id, sequence});
  recency_.push_front(sender_id);
  index_.emplace(sender_id, TSlot{entries_.begin(), recency_.begin()});
  return true;
}

const TSenderEntry* TSenderTable::Find(std::uint32_t sender_id) const {
  const auto it = index_.find(sender_id);
  return it == index_.end() ? nullptr : &*it->second.entry;
}

void TSenderTable::clear() {
  index_.clear();
  recency_.clear();
  entries_.clear();
}

}  // namespace hw

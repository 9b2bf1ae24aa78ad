// The terminal's repeat filter: the last sequence delivered per sender id, with a
// fixed capacity so that a stream of fresh ids cannot grow it or slow its lookup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>

namespace hw {

struct TSenderEntry {
  std::uint32_t SenderId;
  std::uint32_t LastSequence;
};

class TSenderTable {
 public:
  static constexpr std::size_t kDefaultCapacity = 4096;
  explicit TSenderTable(std::size_t capacity = kDefaultCapacity) : capacity_(capacity ? capacity : 1) {}

  // Records a frame and says whether to deliver it: a sender not held is added (its
  // frame delivered whatever the sequence); a held one only with a higher sequence.
  // When full, the sender seen least recently makes room.
  bool Accept(std::uint32_t sender_id, std::uint32_t sequence);

  // The senders held, most recently added first.
  using const_iterator = std::list<TSenderEntry>::const_iterator;
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const TSenderEntry& front() const { return entries_.front(); }
  const TSenderEntry& back() const { return entries_.back(); }
  // The entry for an id, or null.
  const TSenderEntry* Find(std::uint32_t sender_id) const;
  std::size_t Capacity() const { return capacity_; }
  void clear();

 private:
  struct TSlot {
    std::list<TSenderEntry>::iterator entry;
    std::list<std::uint32_t>::iterator recency;
  };
  std::size_t capacity_;
  std::list<TSenderEntry> entries_;    // by addition, newest first
  std::list<std::uint32_t> recency_;  // by last frame, most recent first
  std::unordered_map<std::uint32_t, TSlot> index_;
};

}  // namespace hw

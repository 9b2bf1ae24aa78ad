// The terminal's repeat filter: the last sequence delivered per sender, a sender being a
// source address and a sender id, with a fixed capacity so that a stream of fresh ids
// cannot grow it or slow its lookup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>

namespace hw {

struct TSenderEntry {
  std::uint32_t SenderId;
  std::uint32_t LastSequence;
  std::uint32_t Source = 0;      // IPv4, network order; 0 when not known
  std::uint64_t Seen = 1;        // bit n: LastSequence - n was delivered
  bool HasFar = false;           // a frame far from LastSequence was delivered...
  std::uint32_t FarSequence = 0;  // ...with this sequence, not yet followed up
};

class TSenderTable {
 public:
  static constexpr std::size_t kDefaultCapacity = 4096;
  // How far one frame may move a sender's sequence, forward; frames up to this far
  // behind it that were never delivered still are.
  static constexpr std::uint32_t kSequenceWindow = 64;
  explicit TSenderTable(std::size_t capacity = kDefaultCapacity) : capacity_(capacity ? capacity : 1) {}

  // Records a frame and says whether to deliver it. A sender not held is added (its
  // frame delivered whatever the sequence). For a held one: a frame up to the window
  // ahead moves the sequence and is delivered; one up to the window behind is delivered
  // unless it was already; one farther away either way is delivered but moves the
  // sequence only when the sender's next frame follows on from it (a sender that sent
  // elsewhere for a while), so no single frame can mute a sender. When full, the sender
  // seen least recently makes room.
  bool Accept(std::uint32_t sender_id, std::uint32_t sequence, std::uint32_t source = 0);

  // The senders held, most recently added first.
  using const_iterator = std::list<TSenderEntry>::const_iterator;
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const TSenderEntry& front() const { return entries_.front(); }
  const TSenderEntry& back() const { return entries_.back(); }
  // The entry for a sender, or null.
  const TSenderEntry* Find(std::uint32_t sender_id, std::uint32_t source = 0) const;
  std::size_t Capacity() const { return capacity_; }
  void clear();

 private:
  static std::uint64_t Key(std::uint32_t sender_id, std::uint32_t source) {
    return static_cast<std::uint64_t>(source) << 32 | sender_id;
  }
  struct TSlot {
    std::list<TSenderEntry>::iterator entry;
    std::list<std::uint64_t>::iterator recency;
  };
  std::size_t capacity_;
  std::list<TSenderEntry> entries_;    // by addition, newest first
  std::list<std::uint64_t> recency_;  // by last frame, most recent first
  std::unordered_map<std::uint64_t, TSlot> index_;
};

}  // namespace hw

// A growable in-memory byte stream with a read/write position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace hw {

class TMemoryStream {
 public:
  std::size_t Size() const { return data_.size(); }
  // Resizes, keeping the leading bytes; the position is clipped to the new size.
  void SetSize(std::size_t size) {
    data_.resize(size);
    if (position_ > size) position_ = size;
  }
  std::size_t Position() const { return position_; }
  void SetPosition(std::size_t position) { position_ = position; }
  std::uint8_t* Memory() { return data_.data(); }
  const std::uint8_t* Memory() const { return data_.data(); }

  // Reads up to count bytes from the position; returns the bytes read.
  std::size_t Read(void* buffer, std::size_t count) {
    const std::size_t available = position_ < data_.size() ? data_.size() - position_ : 0;
    const std::size_t n = count < available ? count : available;
    if (n) std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
  }
  // Writes count bytes at the position, growing the stream when needed.
  std::size_t Write(const void* buffer, std::size_t count) {
    if (position_ + count > data_.size()) data_.resize(position_ + count);
    if (count) std::memcpy(data_.data() + position_, buffer, count);
    position_ += count;
    return count;
  }
  void Clear() {
    data_.clear();
    position_ = 0;
  }

 private:
  std::vector<std::uint8_t> data_;
  std::size_t position_ = 0;
};

}  // namespace hw

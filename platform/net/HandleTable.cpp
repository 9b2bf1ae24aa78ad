// Handles count up from 0x100 in steps of four, as Windows hands them out, and wrap
// round past the values that mean "no handle".
#include "platform/net/HandleTable.h"

namespace hw::platform::net {

THandleTable& THandleTable::Instance() {
  static THandleTable* table = new THandleTable();
  return *table;
}

win32::HANDLE THandleTable::Add(THandleObject object) {
  std::lock_guard<std::mutex> lock(mutex_);
  do {
    next_ += 4;
    if (next_ == 0 || next_ == win32::INVALID_HANDLE_VALUE || next_ < 0x100) next_ = 0x100;
  } while (objects_.count(next_));
  objects_[next_] = std::move(object);
  return next_;
}

std::optional<THandleObject> THandleTable::Take(win32::HANDLE h) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = objects_.find(h);
  if (it == objects_.end()) return std::nullopt;
  THandleObject o = std::move(it->second);
  objects_.erase(it);
  return o;
}

}  // namespace hw::platform::net

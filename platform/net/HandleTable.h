// The process's table of mailslot handles: a server handle stands for a local mailslot
// this process owns, a client handle for a write target (Kernel32Mailslots.cpp).
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <variant>

#include "platform/system/Win32Types.h"

namespace hw::platform::net {

struct TLocalMailslot;
struct TWriteTarget;

using THandleObject = std::variant<std::shared_ptr<TLocalMailslot>, std::shared_ptr<TWriteTarget>>;

class THandleTable {
 public:
  static THandleTable& Instance();

  // A new handle for object: non-zero, never INVALID_HANDLE_VALUE, not in use.
  win32::HANDLE Add(THandleObject object);
  // The object behind h if it is a T, copied once under the lock; `exists` tells a
  // handle of another kind from no handle.
  template <typename T>
  std::shared_ptr<T> GetAs(win32::HANDLE h, bool* exists = nullptr) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = objects_.find(h);
    if (exists) *exists = it != objects_.end();
    if (it == objects_.end()) return nullptr;
    auto* object = std::get_if<std::shared_ptr<T>>(&it->second);
    return object ? *object : nullptr;
  }
  // Removes h from the table and hands its object over.
  std::optional<THandleObject> Take(win32::HANDLE h);

 private:
  std::mutex mutex_;
  win32::HANDLE next_ = 0x100;
  std::map<win32::HANDLE, THandleObject> objects_;
};

}  // namespace hw::platform::net

// The keyboard toggles the status bar shows: Insert, Caps Lock and Num Lock.
#pragma once

namespace hw {

constexpr int VK_INSERT = 0x2D;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_NUMLOCK = 0x90;

class IKeyState {
 public:
  virtual ~IKeyState() = default;
  // Whether the key's toggle is on.
  virtual bool Toggled(int virtual_key) const = 0;
  // The Insert toggle is the program's own; the entry box flips it on every Insert.
  virtual void FlipInsert() = 0;
};

// Caps Lock and Num Lock from the X keyboard extension when the program runs on an
// X display (off elsewhere); Insert kept here.
class TKeyState : public IKeyState {
 public:
  bool Toggled(int virtual_key) const override;
  void FlipInsert() override { insert_ = !insert_; }

 private:
  bool insert_ = false;
};

}  // namespace hw

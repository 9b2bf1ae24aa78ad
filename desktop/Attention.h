// A window out of view that has something new asks the desktop to point the user at it
// (a flashing taskbar or dock entry), and takes the request back once the user has it.
#pragma once

class QWidget;

namespace hw {

void RequestAttention(QWidget* window);
void WithdrawAttention(QWidget* window);

}  // namespace hw

// The program's pictures, drawn in code so the program carries no image files.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace hw::pictures {

// Toolbar pictures (16 x 16): 0 send, 1 preferences, 2 clear, 3 sound on,
// 4 refresh, 5 sound off.
constexpr int kToolbarImageCount = 6;
QPixmap ToolbarImage(int index);

// Tree pictures (16 x 16): 0 globe, 1 computer, 2 right-pointing arrow,
// 3 open folder, 4 closed folder.
constexpr int kTreeImageCount = 5;
QPixmap TreeImage(int index);

// The program's icon, a chat bubble on a wired network: the desktop theme's "hallwire"
// icon, else the same pictures built in (16 to 256 pixels).
QIcon ProgramIcon();

// The tray animation: frames 0 to 2 a red-rimmed warning triangle with an
// exclamation mark, frames 3 to 5 wholly transparent (16 x 16).
constexpr int kTrayFrameCount = 6;
QIcon TrayFrame(int index);

// The about box's picture.
QPixmap AboutPicture();

}  // namespace hw::pictures

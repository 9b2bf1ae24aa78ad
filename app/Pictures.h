// The program's pictures. They are drawn from SVG sources (app/pictures/) at the size
// and pixel ratio asked for, so they stay sharp at any scale, and their outlines take
// the palette's text colour, so they keep their contrast on light and dark themes.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace hw::pictures {

// Toolbar pictures (16 x 16 at 1x): 0 send, 1 preferences, 2 clear, 3 sound on,
// 4 refresh, 5 sound off. Grey until the pointer is on the button (the Active mode).
constexpr int kToolbarImageCount = 6;
QIcon ToolbarPicture(int index);

// Tree pictures (16 x 16 at 1x): 0 globe, 1 computer, 2 right-pointing arrow,
// 3 open folder, 4 closed folder. The node's picture, with selected_index shown while
// the node is selected.
constexpr int kTreeImageCount = 5;
QIcon TreePicture(int index, int selected_index);
inline QIcon TreePicture(int index) { return TreePicture(index, index); }

// The program's icon, a chat bubble on a wired network: the desktop theme's "hallwire"
// icon, else the same picture built in.
QIcon ProgramIcon();
// The built-in copy alone, whatever the theme holds.
QIcon BuiltInProgramIcon();

// The tray animation: frames 0 to 2 a warning triangle with an exclamation mark,
// frames 3 to 5 wholly transparent.
constexpr int kTrayFrameCount = 6;
QIcon TrayFrame(int index);

// The about box's picture (48 x 48 logical pixels at the screen's pixel ratio).
QPixmap AboutPicture(qreal device_pixel_ratio);

}  // namespace hw::pictures

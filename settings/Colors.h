// Colour values and their text forms in the settings file.
//
// A TColor is 0x00BBGGRR for an explicit colour, 0x80000000 + n for system colour n and
// 0x1FFFFFFF (clNone) for no colour. Its text form is a name of the colour table
// ("clLime") or "$" with eight upper-case hexadecimal digits.
#pragma once

#include <cstdint>
#include <string>

#include "platform/system/Exception.h"

namespace hw {

using TColor = std::uint32_t;

// Raised when a text is neither a colour name nor a valid integer:
// "'<text>' is not a valid integer value".
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clScrollBar = clSystemColor + 0;
constexpr TColor clBackground = clSystemColor + 1;
constexpr TColor clActiveCaption = clSystemColor + 2;
constexpr TColor clInactiveCaption = clSystemColor + 3;
constexpr TColor clMenu = clSystemColor + 4;
constexpr TColor clWindow = clSystemColor + 5;
constexpr TColor clWindowFrame = clSystemColor + 6;
constexpr TColor clMenuText = clSystemColor + 7;
constexpr TColor clWindowText = clSystemColor + 8;
constexpr TColor clCaptionText = clSystemColor + 9;
constexpr TColor clActiveBorder = clSystemColor + 10;
constexpr TColor clInactiveBorder = clSystemColor + 11;
constexpr TColor clAppWorkSpace = clSystemColor + 12;
constexpr TColor clHighlight = clSystemColor + 13;
constexpr TColor clHighlightText = clSystemColor + 14;
constexpr TColor clBtnFace = clSystemColor + 15;
constexpr TColor clBtnShadow = clSystemColor + 16;
constexpr TColor clGrayText = clSystemColor + 17;
constexpr TColor clBtnText = clSystemColor + 18;
constexpr TColor clInactiveCaptionText = clSystemColor + 19;
constexpr TColor clBtnHighlight = clSystemColor + 20;
constexpr TColor cl3DDkShadow = clSystemColor + 21;
constexpr TColor cl3DLight = clSystemColor + 22;
constexpr TColor clInfoText = clSystemColor + 23;
constexpr TColor clInfoBk = clSystemColor + 24;
constexpr TColor clNone = 0x1FFFFFFF;

// One entry of the colour name table.
struct TColorName {
  TColor Value;
  const char* Name;
};
// The 42 named colours in table order: the 16 explicit colours (clBlack .. clWhite),
// the 25 system colours (clScrollBar .. clInfoBk), then clNone.
constexpr int ColorNameCount = 42;
extern const TColorName ColorNames[ColorNameCount];

// The colour's table name, or "$" and eight upper-case hex digits when it has none.
std::string ColorToString(TColor color);
// A table name (ASCII case ignored) or a 32-bit integer text: optional leading blanks,
// then decimal with optional sign, or 1 to 8 hex digits after "$", "x", "X", "0x", "0X".
// Anything else throws EConvertError.
TColor StringToColor(const std::string& text);

// Table lookups: false when the colour or the name is not in the table.
bool ColorToIdent(TColor color, std::string* name);
bool IdentToColor(const std::string& name, TColor* color);

// The 0x00BBGGRR value a colour is drawn with: system colours map to the classic
// Windows scheme; any other value keeps its low three bytes (clNone gives white).
TColor ColorToRGB(TColor color);

}  // namespace hw

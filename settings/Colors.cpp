// Colour names, the integer syntax of colour texts and the classic system colour scheme.
#include "settings/Colors.h"

#include <cstdio>

namespace hw {

const TColorName ColorNames[ColorNameCount] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
};

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIdent(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size(); ++i)
    if (b[i] == '\0' || Lower(a[i]) != Lower(b[i])) return false;
  return b[i] == '\0';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parses a 32-bit integer text; false when the text is not one.
bool ParseInteger(const std::string& s, std::uint32_t* value) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == s.size()) return false;

  bool hex = false;
  if (s[i] == '$' || s[i] == 'x' || s[i] == 'X') {
    hex = true;
    i += 1;
  } else if (s[i] == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (hex) {
    size_t digits = s.size() - i;
    if (digits < 1 || digits > 8) return false;
    std::uint32_t v = 0;
    for (; i < s.size(); ++i) {
      int d = HexDigit(s[i]);
      if (d < 0) return false;
      v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    *value = v;
    return true;
  }

  bool negative = false;
  if (s[i] == '+' || s[i] == '-') {
    negative = s[i] == '-';
    ++i;
  }
  if (i == s.size()) return false;
  // Decimal texts are signed 32-bit: out-of-range numbers are rejected, not wrapped.
  const std::uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
  std::uint64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + static_cast<std::uint64_t>(s[i] - '0');
    if (v > limit) return false;
  }
  *value = negative ? static_cast<std::uint32_t>(0 - v) : static_cast<std::uint32_t>(v);
  return true;
}

// The classic Windows scheme, by system colour index, as 0x00BBGGRR.
constexpr TColor kClassicScheme[25] = {
    0xC8C8C8,  // scroll bar
    0x808000,  // desktop
    0x800000,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application workspace
    0x800000,  // highlight
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3-D dark shadow
    0xC0C0C0,  // 3-D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
};

}  // namespace

bool ColorToIdent(TColor color, std::string* name) {
  for (const auto& entry : ColorNames)
    if (entry.Value == color) {
      *name = entry.Name;
      return true;
    }
  return false;
}

bool IdentToColor(const std::string& name, TColor* color) {
  for (const auto& entry : ColorNames)
    if (SameIdent(name, entry.Name)) {
      *color = entry.Value;
      return true;
    }
  return false;
}

std::string ColorToString(TColor color) {
  std::string name;
  if (ColorToIdent(color, &name)) return name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%.8X", static_cast<unsigned>(color));
  return buf;
}

TColor StringToColor(const std::string& text) {
  TColor color;
  if (IdentToColor(text, &color)) return color;
  std::uint32_t value;
  if (!ParseInteger(text, &value)) throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

TColor ColorToRGB(TColor color) {
  if (color & clSystemColor) {
    std::uint32_t index = color & 0xFF;
    return index < 25 ? kClassicScheme[index] : clBlack;
  }
  return color & 0xFFFFFF;
}

}  // namespace hw

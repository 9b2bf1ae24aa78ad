// Colour texts: the name table, the integer syntax and its error message.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/Colors.h"

using namespace hw;

namespace {

std::string ErrorOf(const std::string& text) {
  try {
    StringToColor(text);
  } catch (const EConvertError& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST(ColorNames, TableHoldsFortyTwoDistinctEntriesInOrder) {
  std::set<std::string> names;
  std::set<TColor> values;
  for (const auto& entry : ColorNames) {
    names.insert(entry.Name);
    values.insert(entry.Value);
  }
  EXPECT_EQ(names.size(), 42u);
  EXPECT_EQ(values.size(), 42u);
  EXPECT_STREQ(ColorNames[0].Name, "clBlack");
  EXPECT_STREQ(ColorNames[15].Name, "clWhite");
  EXPECT_STREQ(ColorNames[16].Name, "clScrollBar");
  EXPECT_STREQ(ColorNames[40].Name, "clInfoBk");
  EXPECT_EQ(ColorNames[40].Value, 0x80000018u);
  EXPECT_STREQ(ColorNames[41].Name, "clNone");
  // Every system colour is 0x80000000 plus its position among them.
  for (int i = 16; i < 41; ++i) EXPECT_EQ(ColorNames[i].Value, 0x80000000u + static_cast<TColor>(i - 16));
}

TEST(ColorNames, EveryNameRoundTripsAndMatchesWithoutCase) {
  for (const auto& entry : ColorNames) {
    EXPECT_EQ(ColorToString(entry.Value), entry.Name);
    EXPECT_EQ(StringToColor(entry.Name), entry.Value) << entry.Name;
    std::string upper = entry.Name;
    for (auto& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(StringToColor(upper), entry.Value) << upper;
  }
  EXPECT_EQ(ColorToString(0x00FF00), "clLime");
  EXPECT_EQ(StringToColor("clBtnFace"), 0x8000000Fu);
  EXPECT_EQ(StringToColor("clNone"), 0x1FFFFFFFu);
  // Names must match whole.
  EXPECT_EQ(ErrorOf("clRedd"), "'clRedd' is not a valid integer value");
  EXPECT_EQ(ErrorOf("clRe"), "'clRe' is not a valid integer value");
  EXPECT_EQ(ErrorOf(" clRed"), "' clRed' is not a valid integer value");
}

TEST(ColorText, RedInEveryStoredSpelling) {
  for (const char* text : {"clred", "CLRED", "clRed", "$0000FF", "0x0000FF", "0X0000ff", "x0000FF", "X0000FF",
                           "$FF", "255", "+255", "  255", "  $ff", "000000255"})
    EXPECT_EQ(StringToColor(text), clRed) << text;
}

TEST(ColorText, UnnamedColoursUseTheDollarFormAndRoundTrip) {
  // Red 0x40, green 0x80, blue 0xC0.
  EXPECT_EQ(ColorToString(0x00C08040), "$00C08040");
  EXPECT_EQ(StringToColor("$00C08040"), 0x00C08040u);
  EXPECT_EQ(ColorToString(0x8000001F), "$8000001F");
  EXPECT_EQ(ColorToString(0xFFFFFFFF), "$FFFFFFFF");
  EXPECT_EQ(ColorToString(0x00ABCDEF), "$00ABCDEF");
  for (TColor c : {0x00000001u, 0x00C08040u, 0x7FFFFFFFu, 0x80000019u, 0xFFFFFFFFu, 0x20000000u})
    EXPECT_EQ(StringToColor(ColorToString(c)), c);
}

TEST(ColorText, IntegerSyntaxLimits) {
  EXPECT_EQ(StringToColor("$FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(StringToColor("$1"), 1u);
  EXPECT_EQ(StringToColor("0"), 0u);
  EXPECT_EQ(StringToColor("-1"), 0xFFFFFFFFu);
  EXPECT_EQ(StringToColor("2147483647"), 0x7FFFFFFFu);
  EXPECT_EQ(StringToColor("-2147483648"), 0x80000000u);
  EXPECT_EQ(StringToColor("-0"), 0u);
}

TEST(ColorText, EverythingElseFailsWithTheIntegerMessage) {
  EXPECT_EQ(ErrorOf(""), "'' is not a valid integer value");
  EXPECT_EQ(ErrorOf("$000000001"), "'$000000001' is not a valid integer value");  // nine hex digits
  EXPECT_EQ(ErrorOf("255 "), "'255 ' is not a valid integer value");
  EXPECT_EQ(ErrorOf("$FFx"), "'$FFx' is not a valid integer value");
  for (const char* bad : {" ", "$", "0x", "x", "+", "-", "--1", "+-1", "-$FF", "+0x1", "$ FF", "0x 1", "12a",
                          "1.5", "\t255", "2147483648", "-2147483649", "99999999999999999999", "$G", "#FF0000",
                          "Error", "red", "ff"})
    EXPECT_EQ(ErrorOf(bad), std::string("'") + bad + "' is not a valid integer value") << bad;
  // The error is an hw::Exception as well.
  EXPECT_THROW(StringToColor("bad"), hw::Exception);
}

TEST(ColorRGB, SystemColoursResolveToTheClassicScheme) {
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0u);
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
  EXPECT_EQ(ColorToRGB(clWindowText), 0x000000u);
  EXPECT_EQ(ColorToRGB(clInfoBk), 0xE1FFFFu);
  EXPECT_EQ(ColorToRGB(clLime), clLime);
  EXPECT_EQ(ColorToRGB(0x00C08040), 0x00C08040u);
  EXPECT_EQ(ColorToRGB(0x80000040), 0u);  // no such system colour
  EXPECT_EQ(ColorToRGB(clNone), 0xFFFFFFu);
}

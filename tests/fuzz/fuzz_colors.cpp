// Colour texts from the settings file: any text either fails to convert or gives a
// colour whose text form converts back to it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/system/Exception.h"
#include "settings/Colors.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hw::TColor color;
  try {
    color = hw::StringToColor(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const hw::Exception&) {
    return 0;
  }
  FUZZ_CHECK(hw::StringToColor(hw::ColorToString(color)) == color);
  hw::ColorToRGB(color);
  return 0;
}

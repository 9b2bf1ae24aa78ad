// The registry file: whatever parses is written back so that it reads as the same tree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/store/RegistryFormat.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hw::registry::Key root;
  if (!hw::registry::ParseRegistry(std::string(reinterpret_cast<const char*>(data), size), root)) return 0;
  const std::string written = hw::registry::SerialiseRegistry(root);
  hw::registry::Key again;
  FUZZ_CHECK(hw::registry::ParseRegistry(written, again));
  FUZZ_CHECK(hw::registry::SerialiseRegistry(again) == written);
  return 0;
}

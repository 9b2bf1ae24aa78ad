// The RIFF/WAVE header of a sound file the user names.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "desktop/WaveHeader.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hw::win32::DWORD length_ms = 0;
  hw::CheckWaveHeader(size,
                      [&](void* buffer, std::size_t count, std::uint64_t offset) {
                        if (offset > size || count > size - offset) return false;
                        std::memcpy(buffer, data + offset, count);
                        return true;
                      },
                      length_ms);
  return 0;
}

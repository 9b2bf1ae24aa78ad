// The check a wave device makes when it opens a file, over any way of reading bytes so
// that it can be tested and fuzzed without files.
#include "desktop/WaveHeader.h"

#include <cstring>

#include "platform/system/Winmm.h"

namespace hw {

namespace {

std::uint32_t Le32(const unsigned char* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// Whether the sample format is one the player's back end decodes.
bool Playable(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t blockAlign,
              std::uint16_t bits) {
  if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000) return false;
  switch (tag) {
    case 1:  // PCM
      if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
      break;
    case 3:  // IEEE float
      if (bits != 32 && bits != 64) return false;
      break;
    case 6:  // A-law
    case 7:  // mu-law
      if (bits != 8) return false;
      break;
    default:
      return false;
  }
  return blockAlign == channels * (bits / 8);
}

}  // namespace

win32::DWORD CheckWaveHeader(std::uint64_t size, const TReadAt& readAt, win32::DWORD& lengthMs) {
  unsigned char riff[12];
  if (size < 12 || !readAt(riff, sizeof riff, 0)) return win32::MCIERR_INVALID_FILE;
  if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return win32::MCIERR_INVALID_FILE;

  bool have_format = false;
  std::uint16_t tag = 0, channels = 0, block_align = 0, bits = 0;
  std::uint32_t rate = 0;
  std::uint64_t pos = 12;
  while (pos + 8 <= size) {
    unsigned char head[8];
    if (!readAt(head, sizeof head, pos)) return win32::MCIERR_INVALID_FILE;
    const std::uint32_t chunk = Le32(head + 4);
    const std::uint64_t body = pos + 8;
    if (std::memcmp(head, "fmt ", 4) == 0) {
      unsigned char fmt[40] = {};
      if (chunk < 16 || body + 16 > size) return win32::MCIERR_INVALID_FILE;
      const size_t want = chunk < sizeof fmt ? chunk : sizeof fmt;
      if (!readAt(fmt, body + want <= size ? want : 16, body)) return win32::MCIERR_INVALID_FILE;
      tag = Le16(fmt);
      channels = Le16(fmt + 2);
      rate = Le32(fmt + 4);
      block_align = Le16(fmt + 12);
      bits = Le16(fmt + 14);
      if (tag == 0xFFFE) {  // WAVE_FORMAT_EXTENSIBLE: the real format is in the sub-format's first word
        if (chunk < 40) return win32::MCIERR_INVALID_FILE;
        tag = Le16(fmt + 24);
      }
      have_format = true;
    } else if (std::memcmp(head, "data", 4) == 0) {
      if (!have_format || !Playable(tag, channels, rate, block_align, bits)) return win32::MCIERR_INVALID_FILE;
      // A data chunk that claims more than the file holds plays what is there.
      const std::uint64_t available = size - body;
      const std::uint64_t bytes = chunk < available ? chunk : available;
      lengthMs = static_cast<win32::DWORD>(bytes * 1000 / (std::uint64_t(rate) * block_align));
      return 0;
    }
    pos = body + chunk + (chunk & 1);
  }
  return win32::MCIERR_INVALID_FILE;
}

}  // namespace hw

// Generated RIFF/WAVE files for the wave player's tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace hw::test {

inline void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A sine tone of the given length. tag 1 PCM, 3 float, 6 A-law, 7 mu-law, 0xFFFE extensible PCM.
inline std::string MakeWave(double seconds, double frequency = 440, double amplitude = 0.5, std::uint16_t tag = 1,
                            std::uint16_t bits = 16, std::uint16_t channels = 1, std::uint32_t rate = 22050) {
  const std::uint32_t frames = static_cast<std::uint32_t>(seconds * rate + 0.5);
  const std::uint16_t block = static_cast<std::uint16_t>(channels * bits / 8);
  std::string data;
  for (std::uint32_t i = 0; i < frames; ++i) {
    const double x = amplitude * std::sin(2 * M_PI * frequency * i / rate);
    for (int c = 0; c < channels; ++c) {
      if (tag == 3) {
        float f = static_cast<float>(x);
        std::uint32_t raw;
        static_assert(sizeof raw == sizeof f);
        __builtin_memcpy(&raw, &f, sizeof raw);
        PutLe(data, raw, 4);
      } else if (tag == 6 || tag == 7 || bits == 8) {
        data += static_cast<char>(static_cast<std::uint8_t>(128 + std::lround(x * 127)));
      } else {
        const double scale = bits == 16 ? 32767.0 : bits == 24 ? 8388607.0 : 2147483647.0;
        PutLe(data, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(x * scale))), bits / 8);
      }
    }
  }
  std::string fmt;
  PutLe(fmt, tag, 2);
  PutLe(fmt, channels, 2);
  PutLe(fmt, rate, 4);
  PutLe(fmt, rate * block, 4);
  PutLe(fmt, block, 2);
  PutLe(fmt, bits, 2);
  if (tag == 0xFFFE) {
    PutLe(fmt, 22, 2);
    PutLe(fmt, bits, 2);
    PutLe(fmt, channels == 2 ? 3 : 4, 4);
    // KSDATAFORMAT_SUBTYPE_PCM
    fmt += std::string("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);
  }
  std::string out = "RIFF";
  PutLe(out, static_cast<std::uint32_t>(4 + 8 + fmt.size() + 8 + data.size()), 4);
  out += "WAVEfmt ";
  PutLe(out, static_cast<std::uint32_t>(fmt.size()), 4);
  out += fmt;
  out += "data";
  PutLe(out, static_cast<std::uint32_t>(data.size()), 4);
  return out + data;
}

}  // namespace hw::test

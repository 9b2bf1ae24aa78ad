// make_ring OUTPUT.wav: writes the program's arrival chime, a two-tone "ding-dong" of
// 0.75 s, as 16-bit PCM mono RIFF/WAVE at 44.1 kHz. The output is the same on every
// build, so the shipped sound never changes by accident.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kLength = 0.75;  // seconds
constexpr double kPi = 3.14159265358979323846;

struct Strike {
  double start;      // seconds
  double frequency;  // Hz
};

// A struck bell: the fundamental with a quieter octave, a fast attack and an
// exponential decay.
double Bell(double t, double frequency) {
  if (t < 0) return 0;
  const double attack = t < 0.004 ? t / 0.004 : 1.0;
  const double decay = std::exp(-t / 0.16);
  return attack * decay *
         (std::sin(2 * kPi * frequency * t) + 0.3 * std::sin(2 * kPi * 2 * frequency * t) * std::exp(-t / 0.05));
}

void PutLe(std::ostream& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_ring OUTPUT.wav\n";
    return 2;
  }
  const Strike strikes[] = {{0.0, 1318.51}, {0.26, 1046.50}};  // E6, then C6
  const int count = static_cast<int>(kLength * kRate);
  std::vector<std::int16_t> samples(count);
  for (int i = 0; i < count; ++i) {
    const double t = double(i) / kRate;
    double value = 0;
    for (const Strike& strike : strikes) value += Bell(t - strike.start, strike.frequency);
    // The last 30 ms fade to silence, so the sound ends without a click.
    const double left = kLength - t;
    if (left < 0.03) value *= left / 0.03;
    samples[i] = static_cast<std::int16_t>(std::lround(value * 0.35 * 32767));
  }

  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
  out.write("RIFF", 4);
  PutLe(out, 36 + data_bytes, 4);
  out.write("WAVEfmt ", 8);
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, 1, 2);  // mono
  PutLe(out, kRate, 4);
  PutLe(out, kRate * 2, 4);
  PutLe(out, 2, 2);
  PutLe(out, 16, 2);
  out.write("data", 4);
  PutLe(out, data_bytes, 4);
  for (std::int16_t s : samples) PutLe(out, static_cast<std::uint16_t>(s), 2);
  out.close();
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

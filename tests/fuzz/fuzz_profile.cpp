// Profile file text and one write into it. The input is section, key and value, each
// ending at a zero byte, then the file's text; a key of one byte 0x01 stands for a
// deleted value.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/store/ProfileText.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

std::string Fold(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool NextField(const std::string& input, std::size_t& pos, std::string& field) {
  std::size_t zero = input.find('\0', pos);
  if (zero == std::string::npos) return false;
  field = input.substr(pos, zero - pos);
  pos = zero + 1;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace profile = hw::profile;
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t pos = 0;
  std::string section, key, value;
  if (!NextField(input, pos, section) || !NextField(input, pos, key) || !NextField(input, pos, value)) {
    for (const auto& s : profile::SectionNames(input)) profile::KeyNames(input, s);
    return 0;
  }
  const std::string text = input.substr(pos);
  const bool remove = value == "\x01";
  const char* new_value = remove ? nullptr : value.c_str();
  if (!profile::ValidWrite(section.c_str(), key.c_str(), new_value)) return 0;

  std::string edited = text;
  profile::EditProfile(edited, profile::Trim(section), key.c_str(), new_value);
  // The key reads back as written (as a file holding only that line would read) ...
  if (!remove) FUZZ_CHECK(profile::ReadValue(edited, section, key) == profile::ReadValue("[s]\nk=" + value, "s", "k"));
  // ... and every other key keeps its value.
  for (const auto& s : profile::SectionNames(text)) {
    for (const auto& k : profile::KeyNames(text, s)) {
      if (Fold(profile::Trim(s)) == Fold(profile::Trim(section)) && Fold(k) == Fold(profile::Trim(key))) continue;
      FUZZ_CHECK(profile::ReadValue(edited, s, k) == profile::ReadValue(text, s, k));
    }
  }
  return 0;
}

#include "transport/ChatLine.h"

#include <cstring>

#include "platform/net/Kernel32Mailslots.h"

namespace hw {

std::string CapitalizeWords(const std::string& text) {
  std::string out = text;
  bool word_start = true;
  for (char& c : out) {
    if (c == ' ' || c == '\t') {
      word_start = true;
      continue;
    }
    if (word_start) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      word_start = false;
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return out;
}

std::string LocalComputerName() {
  char buffer[256] = {};
  win32::DWORD size = sizeof buffer;
  win32::GetComputerNameA(buffer, &size);
  return CapitalizeWords(std::string(buffer, strnlen(buffer, sizeof buffer)));
}

std::string LocalUserName() {
  char buffer[256] = {};
  win32::DWORD size = sizeof buffer;
  win32::GetUserNameA(buffer, &size);
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

std::string BuildChatLine(const std::string& computer, const std::string& user, const std::string& text) {
  return computer + "( " + user + " ) " + text;
}

std::string ComputerDisplayName(const std::string& remote_name) {
  if (remote_name.size() <= 2) return {};
  std::string out = remote_name.substr(2);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 'a' + 'A');
  return out;
}

namespace {

// 0x80..0x9F of Windows-1252; the rest of the upper half equals Unicode.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

bool IsValidUtf8(const std::string& bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int more;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      if (c == 0xE0) low = 0xA0;   // overlong
      if (c == 0xED) high = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      if (c == 0xF0) low = 0x90;   // overlong
      if (c == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
      return false;
    }
    if (end - p <= more) return false;
    if (p[1] < low || p[1] > high) return false;
    for (int i = 2; i <= more; ++i)
      if ((p[i] & 0xC0) != 0x80) return false;
    p += more + 1;
  }
  return true;
}

std::string Windows1252ToUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kWindows1252High[c - 0x80] : c);
  }
  return out;
}

std::string ShownAsUtf8(const std::string& bytes) {
  return IsValidUtf8(bytes) ? bytes : Windows1252ToUtf8(bytes);
}

}  // namespace hw

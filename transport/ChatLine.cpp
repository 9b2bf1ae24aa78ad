#include "transport/ChatLine.h"

#include <cstring>

#include "platform/Kernel32.h"

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

}  // namespace hw

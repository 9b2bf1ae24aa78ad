#include "platform/store/IniFile.h"

#include <vector>

#include "platform/store/Profile.h"

namespace hw {

namespace {
// Profile values are read into a buffer of this size, so at most 2047 characters come back.
constexpr win32::DWORD kValueBufferSize = 2048;
}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  std::vector<char> buffer(kValueBufferSize);
  win32::DWORD n = win32::GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                                   kValueBufferSize, fileName_.c_str());
  return std::string(buffer.data(), n);
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  if (!win32::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName_.c_str()))
    throw EIniFileException("Unable to write to " + fileName_);
}

void TIniFile::UpdateFile() { win32::WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str()); }

}  // namespace hw

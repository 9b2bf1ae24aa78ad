// A profile file opened by name, with reads that fall back to a default and writes
// that raise on failure. Every call goes to the file itself; nothing is cached.
#pragma once

#include <string>

#include "platform/system/Exception.h"

namespace hw {

// Raised when a write is refused: "Unable to write to <file name>".
class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};

class TIniFile {
 public:
  // The name is handed to the profile functions unchanged (a name without a directory
  // lies in the per-user profile folder).
  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& FileName() const { return fileName_; }

  // The stored value (blanks and one pair of enclosing quotes removed, at most 2047
  // characters), or `def` when the file, section or key is missing.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // Writes one key; throws EIniFileException when the file cannot be written.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  // Asks the platform to commit cached profile data of this file to disk.
  void UpdateFile();

 private:
  std::string fileName_;
};

}  // namespace hw

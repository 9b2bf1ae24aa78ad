// Profile file text without the file: finding values and applying one write, apart
// from any file access so that the decoder can be tested and fuzzed on its own.
// A line ends at CR LF, a lone LF or a lone CR alike.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace hw::profile {

// Names without surrounding blanks.
std::string Trim(const std::string& s);
// Section names in file order, each once (ASCII case ignored).
std::vector<std::string> SectionNames(const std::string& text);
// The key names of the first section of that name, each once.
std::vector<std::string> KeyNames(const std::string& text, const std::string& section);
// The value of the first such key, blanks and one pair of enclosing quotes removed.
std::optional<std::string> ReadValue(const std::string& text, const std::string& section, const std::string& key);
// Whether a write would add nothing but the one value (see WritePrivateProfileStringA).
bool ValidWrite(const char* section, const char* key, const char* value);
// Applies one valid write (a null key deletes the section, a null value the key); false
// when the text stays the same. Lines added use the file's first line end.
bool EditProfile(std::string& text, const std::string& section, const char* key, const char* value);

}  // namespace hw::profile

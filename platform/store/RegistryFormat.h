// The registry stand-in's in-memory tree and its text file format, apart from any
// file access so that the decoder can be tested and fuzzed on its own.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/system/Win32Types.h"

namespace hw::registry {

// Deepest key path below a root, as on Windows; a file holding a deeper key is damaged.
constexpr std::size_t kMaxKeyDepth = 512;

// ASCII lower case: how key and value names compare.
std::string Fold(const std::string& name);
bool SameName(const std::string& a, const std::string& b);

struct Value {
  std::string name;
  win32::DWORD type = 0;
  std::string data;
};

struct Key {
  std::string name;
  std::vector<Value> values;                            // in creation order
  std::map<std::string, std::unique_ptr<Key>> subkeys;  // by folded name: enumeration order

  Value* FindValue(const std::string& valueName);
  Key* FindSub(const std::string& keyName);
  // The sub-key of that name, made (with the name as given) when there is none;
  // *created (may be nullptr) tells which.
  Key* FindOrCreateSub(const std::string& keyName, bool* created = nullptr);
};

// Builds the tree a file holds; false when the text is not a well-formed registry file
// (including a key deeper than kMaxKeyDepth). root is left empty or partly filled then.
bool ParseRegistry(const std::string& text, Key& root);
// The file text for a tree; ParseRegistry gives the same tree back.
std::string SerialiseRegistry(const Key& root);

}  // namespace hw::registry

// First line "Hallwire registry 1", then for every key a line "[path]" (path parts joined
// by backslashes, the root key is "[]") followed by its values, one per line:
// "name"=type:"data". Names and data are written byte for byte except that control
// bytes, bytes from 0x7F up and the characters % " [ ] = are written as %XX; in key
// names a backslash is too, since it separates the parts of a path.
#include "platform/store/RegistryFormat.h"

#include <utility>

namespace hw::registry {

namespace {

const char kMagic[] = "Hallwire registry 1";

std::string Escape(const std::string& raw, bool keyName) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : raw) {
    if (c < 0x20 || c >= 0x7F || c == '%' || c == '"' || c == '[' || c == ']' || c == '=' ||
        (keyName && c == '\\')) {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int Nibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(const std::string& text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    int hi = Nibble(text[i + 1]), lo = Nibble(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

// "[path]": finds or creates every key along the path. The depth is checked before any
// key is made, so no tree deeper than kMaxKeyDepth ever exists.
Key* ParseHeader(const std::string& inner, Key& root) {
  if (inner.empty()) return &root;
  size_t depth = 1;
  for (char c : inner)
    if (c == '\\' && ++depth > kMaxKeyDepth) return nullptr;
  Key* current = &root;
  size_t start = 0;
  while (start <= inner.size()) {
    size_t end = inner.find('\\', start);
    if (end == std::string::npos) end = inner.size();
    std::string name;
    if (end == start || !Unescape(inner.substr(start, end - start), name)) return nullptr;
    current = current->FindOrCreateSub(name);
    start = end + 1;
  }
  return current;
}

bool ParseValue(const std::string& line, Key& key) {
  if (line.front() != '"') return false;
  size_t name_end = line.find('"', 1);
  if (name_end == std::string::npos || line.compare(name_end, 2, "\"=") != 0) return false;
  size_t colon = line.find(':', name_end + 2);
  if (colon == std::string::npos || colon == name_end + 2) return false;
  std::string type_text = line.substr(name_end + 2, colon - name_end - 2);
  if (type_text.find_first_not_of("0123456789") != std::string::npos || type_text.size() > 10) return false;
  unsigned long long type = std::stoull(type_text);
  if (type > 0xFFFFFFFFull) return false;
  if (line.size() < colon + 3 || line[colon + 1] != '"' || line.back() != '"') return false;
  Value value;
  if (!Unescape(line.substr(1, name_end - 1), value.name)) return false;
  if (!Unescape(line.substr(colon + 2, line.size() - colon - 3), value.data)) return false;
  value.type = static_cast<win32::DWORD>(type);
  if (key.FindValue(value.name)) return false;
  key.values.push_back(std::move(value));
  return true;
}

}  // namespace

std::string Fold(const std::string& name) {
  std::string out = name;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool SameName(const std::string& a, const std::string& b) { return Fold(a) == Fold(b); }

Value* Key::FindValue(const std::string& valueName) {
  for (auto& v : values)
    if (SameName(v.name, valueName)) return &v;
  return nullptr;
}

Key* Key::FindSub(const std::string& keyName) {
  auto it = subkeys.find(Fold(keyName));
  return it == subkeys.end() ? nullptr : it->second.get();
}

Key* Key::FindOrCreateSub(const std::string& keyName, bool* created) {
  auto& sub = subkeys[Fold(keyName)];
  if (created) *created = !sub;
  if (!sub) {
    sub = std::make_unique<Key>();
    sub->name = keyName;
  }
  return sub.get();
}

bool ParseRegistry(const std::string& text, Key& root) {
  size_t pos = 0;
  auto next_line = [&](std::string& line) {
    if (pos >= text.size()) return false;
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    line = text.substr(pos, end - pos);
    pos = end + 1;
    return true;
  };
  std::string line;
  if (!next_line(line) || line != kMagic) return false;
  Key* current = nullptr;
  while (next_line(line)) {
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 2) return false;
      current = ParseHeader(line.substr(1, line.size() - 2), root);
      if (!current) return false;
    } else if (!current || !ParseValue(line, *current)) {
      return false;
    }
  }
  return true;
}

std::string SerialiseRegistry(const Key& root) {
  std::string out = std::string(kMagic) + "\n";
  // Depth first in enumeration order, without recursion.
  std::vector<std::pair<const Key*, std::string>> stack{{&root, ""}};
  while (!stack.empty()) {
    auto [key, path] = std::move(stack.back());
    stack.pop_back();
    out += "[" + path + "]\n";
    for (const auto& v : key->values)
      out += "\"" + Escape(v.name, false) + "\"=" + std::to_string(v.type) + ":\"" + Escape(v.data, false) + "\"\n";
    for (auto it = key->subkeys.rbegin(); it != key->subkeys.rend(); ++it) {
      std::string name = Escape(it->second->name, true);
      stack.emplace_back(it->second.get(), path.empty() ? name : path + "\\" + name);
    }
  }
  return out;
}

}  // namespace hw::registry

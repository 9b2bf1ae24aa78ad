// Profile text is edited in place: a write changes the bytes of one value, or inserts
// or removes whole lines, so that everything else a user wrote by hand stays as it was.
#include "platform/store/ProfileText.h"

#include <cstring>

namespace hw::profile {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// One line of a profile file, as offsets into the file's text.
struct Line {
  enum Kind { kOther, kSection, kKey };
  size_t begin = 0;        // first character
  size_t end = 0;          // end of the text, before its line end
  size_t next = 0;         // start of the following line
  Kind kind = kOther;
  std::string name;        // section or key name without surrounding blanks
  size_t value_begin = 0;  // key lines: the value without surrounding blanks
  size_t value_end = 0;
};

std::vector<Line> ParseLines(const std::string& text) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    Line line;
    line.begin = pos;
    size_t brk = text.find_first_of("\r\n", pos);
    if (brk == std::string::npos) {
      line.end = line.next = text.size();
    } else {
      line.end = brk;
      line.next = brk + 1;
      if (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ++line.next;
    }
    size_t i = line.begin;
    while (i < line.end && IsBlank(text[i])) ++i;
    if (i < line.end && text[i] == '[') {
      size_t close = text.find(']', i + 1);
      if (close == std::string::npos || close > line.end) close = line.end;
      line.kind = Line::kSection;
      line.name = Trim(text.substr(i + 1, close - i - 1));
    } else if (i < line.end && text[i] != ';') {
      size_t eq = text.find('=', i);
      if (eq != std::string::npos && eq < line.end) {
        line.kind = Line::kKey;
        line.name = Trim(text.substr(i, eq - i));
        size_t vb = eq + 1, ve = line.end;
        while (vb < ve && IsBlank(text[vb])) ++vb;
        while (ve > vb && IsBlank(text[ve - 1])) --ve;
        line.value_begin = vb;
        line.value_end = ve;
      }
    }
    lines.push_back(std::move(line));
    pos = lines.back().next;
  }
  return lines;
}

// Index of the first header of `section`, or -1.
long FindSection(const std::vector<Line>& lines, const std::string& section) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == Line::kSection && SameName(lines[i].name, section)) return static_cast<long>(i);
  return -1;
}

// One past the last line of the section whose header is at `header`.
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != Line::kSection) ++i;
  return i;
}

long FindKey(const std::vector<Line>& lines, size_t header, const std::string& key) {
  for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i)
    if (lines[i].kind == Line::kKey && SameName(lines[i].name, key)) return static_cast<long>(i);
  return -1;
}

// Blanks around a stored value are already gone; one pair of enclosing quotes goes too.
std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

std::string DetectLineBreak(const std::string& text) {
  size_t brk = text.find_first_of("\r\n");
  if (brk == std::string::npos || text[brk] == '\n') return "\n";
  return brk + 1 < text.size() && text[brk + 1] == '\n' ? "\r\n" : "\r";
}

bool HasLineBreak(const char* s) { return s && std::strpbrk(s, "\r\n") != nullptr; }

void AddUnique(std::vector<std::string>& names, const std::string& name) {
  for (const auto& n : names)
    if (SameName(n, name)) return;
  names.push_back(name);
}

}  // namespace

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::vector<std::string> SectionNames(const std::string& text) {
  std::vector<std::string> names;
  for (const auto& line : ParseLines(text))
    if (line.kind == Line::kSection) AddUnique(names, line.name);
  return names;
}

std::vector<std::string> KeyNames(const std::string& text, const std::string& section) {
  std::vector<Line> lines = ParseLines(text);
  std::vector<std::string> names;
  long header = FindSection(lines, Trim(section));
  if (header < 0) return names;
  for (size_t i = static_cast<size_t>(header) + 1, end = SectionEnd(lines, static_cast<size_t>(header)); i < end; ++i)
    if (lines[i].kind == Line::kKey) AddUnique(names, lines[i].name);
  return names;
}

std::optional<std::string> ReadValue(const std::string& text, const std::string& section, const std::string& key) {
  std::vector<Line> lines = ParseLines(text);
  long header = FindSection(lines, Trim(section));
  long found = header >= 0 ? FindKey(lines, static_cast<size_t>(header), Trim(key)) : -1;
  if (found < 0) return std::nullopt;
  const Line& line = lines[static_cast<size_t>(found)];
  return Unquote(text.substr(line.value_begin, line.value_end - line.value_begin));
}

bool ValidWrite(const char* section, const char* key, const char* value) {
  if (!section) return false;
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  if (std::strchr(section, ']')) return false;
  if (key) {
    std::string k = Trim(key);
    if (k.find('=') != std::string::npos) return false;
    if (!k.empty() && (k[0] == '[' || k[0] == ';')) return false;
  }
  return true;
}

bool EditProfile(std::string& text, const std::string& section, const char* key, const char* value) {
  std::vector<Line> lines = ParseLines(text);
  const std::string eol = DetectLineBreak(text);
  long header = FindSection(lines, section);

  if (!key) {  // delete the whole section
    if (header < 0) return false;
    size_t end = SectionEnd(lines, static_cast<size_t>(header));
    size_t from = lines[static_cast<size_t>(header)].begin;
    size_t to = end < lines.size() ? lines[end].begin : text.size();
    text.erase(from, to - from);
    return true;
  }
  const std::string key_name = Trim(key);

  if (header < 0) {
    if (!value) return false;
    std::string add;
    if (!text.empty()) {
      if (text.back() != '\n' && text.back() != '\r') add += eol;
      const Line& last = lines.back();
      bool last_blank = true;
      for (size_t i = last.begin; i < last.end; ++i)
        if (!IsBlank(text[i])) last_blank = false;
      if (!last_blank) add += eol;  // a blank line between sections
    }
    add += "[" + Trim(section) + "]" + eol + key_name + "=" + value + eol;
    text += add;
    return true;
  }

  long found = FindKey(lines, static_cast<size_t>(header), key_name);
  if (found >= 0) {
    const Line& line = lines[static_cast<size_t>(found)];
    if (!value) {
      text.erase(line.begin, line.next - line.begin);
      return true;
    }
    if (text.compare(line.value_begin, line.value_end - line.value_begin, value) == 0) return false;
    text.replace(line.value_begin, line.value_end - line.value_begin, value);
    return true;
  }
  if (!value) return false;

  // A new key goes after the section's last key (or its header), so comments and blank
  // lines that lead into the next section stay where they are.
  size_t anchor = static_cast<size_t>(header);
  for (size_t i = anchor + 1, end = SectionEnd(lines, anchor); i < end; ++i)
    if (lines[i].kind == Line::kKey) anchor = i;
  const Line& after = lines[anchor];
  if (after.next == after.end)  // the last line of a file without a final line break
    text.insert(after.next, eol + key_name + "=" + value);
  else
    text.insert(after.next, key_name + "=" + value + eol);
  return true;
}

}  // namespace hw::profile

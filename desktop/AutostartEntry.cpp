// The registry's Run and RunOnce values as XDG autostart entries, and reading entries
// back the way a desktop does.
#include "desktop/AutostartEntry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/store/Profile.h"

namespace hw {

namespace {

using win32::HKEY;

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string ExpandEnvironment(const std::string& text) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t open = text.find('%', pos);
    size_t close = open == std::string::npos ? std::string::npos : text.find('%', open + 1);
    if (close == std::string::npos) {
      out += text.substr(pos);
      break;
    }
    std::string name = text.substr(open + 1, close - open - 1);
    const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
    if (value) {
      out += text.substr(pos, open - pos) + value;
      pos = close + 1;
    } else {
      out += text.substr(pos, close - pos);
      pos = close;
    }
  }
  return out;
}

// A command line as the registry holds it: blanks separate arguments, double quotes
// group blanks into one argument and are removed.
std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> args;
  std::string arg;
  bool in_arg = false, quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      in_arg = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_arg) args.push_back(arg);
      arg.clear();
      in_arg = false;
    } else {
      arg += c;
      in_arg = true;
    }
  }
  if (in_arg) args.push_back(arg);
  return args;
}

// The command a value stands for: a string value (REG_EXPAND_SZ with its %VARIABLES%
// expanded) split into its words; nothing for other types and empty strings.
std::vector<std::string> CommandOf(const platform::TRunValue& value) {
  if (value.type != win32::REG_SZ && value.type != win32::REG_EXPAND_SZ) return {};
  std::string line = value.data.substr(0, value.data.find('\0'));
  if (value.type == win32::REG_EXPAND_SZ) line = ExpandEnvironment(line);
  return SplitCommandLine(line);
}

// One argument of an Exec line: always in double quotes, with the characters that stay
// special inside them backslash-escaped, and "%" doubled so it is no field code.
std::string ExecArgument(const std::string& arg) {
  std::string out = "\"";
  for (char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  return out + "\"";
}

// The escapes of a desktop entry's string values, applied to the whole value.
std::string EntryString(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  if (!out.empty() && out.front() == ' ') out = "\\s" + out.substr(1);
  return out;
}

std::string EntryContent(HKEY root, bool runOnce, const std::string& name, const std::vector<std::string>& command,
                         const std::string& entryFile) {
  std::string exec;
  if (runOnce) {
    // The entry removes itself before it starts the command, so it runs once; the
    // registry counts the value as gone as soon as its entry is.
    exec = ExecArgument("/bin/sh") + " " + ExecArgument("-c") + " " + ExecArgument("rm -f -- \"$0\"; exec \"$@\"") +
           " " + ExecArgument(entryFile);
  }
  for (const auto& arg : command) exec += (exec.empty() ? "" : " ") + ExecArgument(arg);
  std::string where = std::string(root == win32::HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER") +
                      "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\" + (runOnce ? "RunOnce" : "Run");
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Name=" + EntryString(name) + "\n";
  text += "Comment=" + EntryString("Registered under " + where) + "\n";
  text += "Exec=" + EntryString(exec) + "\n";
  text += "Terminal=false\n";
  text += "X-GNOME-Autostart-enabled=true\n";
  return text;
}

platform::TRunValueFile EntryOf(const platform::TRunValue& value) {
  platform::TRunValueFile entry{AutostartEntryFile(value.root, value.runOnce, value.name), std::nullopt};
  const std::vector<std::string> command = CommandOf(value);
  if (!command.empty()) entry.content = EntryContent(value.root, value.runOnce, value.name, command, entry.path);
  return entry;
}

// Registered during static initialisation, so that values written before anything else
// of the desktop layer runs (the first registry call of a test, say) have entries too.
[[maybe_unused]] const bool g_mirror_registered = [] {
  platform::SetRunKeyMirror(EntryOf);
  return true;
}();

}  // namespace

std::string AutostartFolder(HKEY root) {
  if (root == win32::HKEY_LOCAL_MACHINE) {
    const char* dir = std::getenv("HALLWIRE_SYSTEM_AUTOSTART_DIR");
    if (dir && dir[0]) return WithSlash(dir);
    const char* registry = std::getenv("HALLWIRE_SYSTEM_REGISTRY_DIR");
    if (registry && registry[0]) return WithSlash(registry) + "autostart/";
    return "/etc/xdg/autostart/";
  }
  // The per-user folder is "<config home>/hallwire/"; autostart entries sit beside it.
  std::string folder = ProfileFolder();
  folder.pop_back();
  return folder.substr(0, folder.rfind('/') + 1) + "autostart/";
}

std::string AutostartEntryFile(HKEY root, bool runOnce, const std::string& valueName) {
  static const char hex[] = "0123456789abcdef";
  std::string base;
  for (unsigned char c : valueName) {
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') {
      base += static_cast<char>(c);
    } else {
      base += '_';
      base += hex[c >> 4];
      base += hex[c & 15];
    }
  }
  // "_" is always followed by two hex digits above, so "_empty" and "_once" cannot
  // come from a name.
  if (base.empty()) base = "_empty";
  if (runOnce) base += "_once";
  return AutostartFolder(root) + base + ".desktop";
}

std::optional<std::string> ReadAutostartEntry(const std::string& entryFile) {
  std::ifstream in(entryFile, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAutostartEntry(const std::string& entryFile, const std::string& text) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(entryFile).parent_path(), ignored);
  std::ofstream(entryFile, std::ios::binary | std::ios::trunc) << text;
}

AutostartEntryState AutostartEntryStateOf(const std::string& entryFile) {
  std::error_code error;
  if (!std::filesystem::exists(entryFile, error))
    return error ? AutostartEntryState::kEnabled : AutostartEntryState::kMissing;
  // One that cannot be read is taken as it was written: a registration is never
  // dropped for want of rights to look.
  const std::optional<std::string> text = ReadAutostartEntry(entryFile);
  if (!text) return AutostartEntryState::kEnabled;
  std::istringstream lines(*text);
  bool in_group = false;
  for (std::string line; std::getline(lines, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty() && line[0] == '[') {
      in_group = line == "[Desktop Entry]";
      continue;
    }
    const size_t eq = line.find('=');
    if (!in_group || eq == std::string::npos) continue;
    std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    while (!key.empty() && key.back() == ' ') key.pop_back();
    while (!value.empty() && value.front() == ' ') value.erase(0, 1);
    if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false"))
      return AutostartEntryState::kDisabled;
  }
  return AutostartEntryState::kEnabled;
}

std::string UserOverrideEntryFile(const std::string& allUsersEntryFile) {
  return AutostartFolder(win32::HKEY_CURRENT_USER) + std::filesystem::path(allUsersEntryFile).filename().string();
}

}  // namespace hw

// The chat line every copy sends: computer name, "( ", user name, " ) ", the text.
#pragma once

#include <string>

namespace hw {

// Capitalises word by word: a word is a run between blanks or tabs; its first
// character is raised when it is a-z, every later A-Z is lowered, nothing else
// changes. "OFFICE-PC2" -> "Office-pc2", "sales DESK 4" -> "Sales Desk 4".
std::string CapitalizeWords(const std::string& text);
// This computer's name as the program shows it (capitalised).
std::string LocalComputerName();
// The logged-on user's name.
std::string LocalUserName();
// computer + "( " + user + " ) " + text, with no line break added.
std::string BuildChatLine(const std::string& computer, const std::string& user, const std::string& text);

// The name a computer is shown under, from its remote name "\\NAME": the two
// leading characters dropped, A-Z lowered, then a first a-z raised.
std::string ComputerDisplayName(const std::string& remote_name);

// Text travels and is stored as UTF-8. Bytes from elsewhere may be in a Windows code
// page instead: these helpers tell the two apart and turn such bytes into UTF-8.
// Whether bytes are well-formed UTF-8 (no overlong forms, surrogates or code points
// above U+10FFFF).
bool IsValidUtf8(const std::string& bytes);
// Windows-1252 bytes as UTF-8; the five bytes that code page leaves undefined stand
// for the C1 controls of the same number, as Windows maps them.
std::string Windows1252ToUtf8(const std::string& bytes);
// The UTF-8 to show for received or loaded bytes: themselves when valid UTF-8, else
// read as Windows-1252.
std::string ShownAsUtf8(const std::string& bytes);

}  // namespace hw

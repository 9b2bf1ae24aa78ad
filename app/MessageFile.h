// Message files: the chat box's text saved and loaded as plain single-byte text
// with carriage return and line feed between lines.
#pragma once

#include <cstddef>
#include <string>

namespace hw {

// The most text the chat box holds, counted as the bytes a save writes, and the most
// lines (each line costs the box memory of its own, however short).
constexpr std::size_t kChatCapacity = 4 * 1024 * 1024;
constexpr std::size_t kChatMaxLines = 100000;

// Every line end (CR LF, a lone CR, a lone LF) becomes CR LF.
std::string NormaliseLineEnds(const std::string& text);

// Writes text to path byte for byte. The text goes to a temporary file beside the
// target, which replaces the target only when the whole text is written, so a
// failure never leaves a partial file in its place.
// Throws hw::Exception "Cannot create file <path>" or "Stream write error".
void SaveMessageFile(const std::string& path, const std::string& text);

// Reads the whole file, with its line ends normalised and the text cut at a zero
// byte. Throws hw::Exception "Cannot open file <path>", or "Text exceeds memo
// capacity" when the text is longer than capacity bytes or max_lines lines.
std::string LoadMessageFile(const std::string& path, std::size_t capacity = kChatCapacity,
                            std::size_t max_lines = kChatMaxLines);

}  // namespace hw

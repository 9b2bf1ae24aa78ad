// Reading a whole file that must be a regular file (settings, profile and registry
// files): a FIFO, device or folder under the name is refused, never waited on.
#pragma once

#include <sys/stat.h>

#include <string>

namespace hw {

// Returned by ReadRegularFile when something other than a regular file has the name.
constexpr int kNotRegularFile = -1;

// Reads the whole file into text. Returns 0, kNotRegularFile, or the errno value of
// the failure (ENOENT for a missing file). st, when given, receives the file's status.
int ReadRegularFile(const std::string& path, std::string& text, struct stat* st = nullptr);

}  // namespace hw

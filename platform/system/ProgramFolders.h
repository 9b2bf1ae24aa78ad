// Where the running program and its shipped data lie.
#pragma once

#include <string>

namespace hw {

// The folder of the running executable, with a trailing slash ("./" when unknown).
std::string ProgramFolder();

// The folder of the program's shipped files (the wave "ring.wav", the help document):
// <prefix>/share/hallwire/ for an installed program in <prefix>/bin, otherwise the
// program's own folder (a build tree). With a trailing slash.
std::string DataFolder();
std::string DataFolderFor(const std::string& programFolder);

}  // namespace hw

#include "platform/system/ProgramFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace hw {

namespace {

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string ProgramFolder() {
  std::vector<char> buf(PATH_MAX + 1);
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  std::string exe;
  if (n > 0) {
    exe.assign(buf.data(), static_cast<size_t>(n));
  } else if (::getcwd(buf.data(), buf.size())) {
    exe = std::string(buf.data()) + "/";  // no executable path: the working folder stands in
  }
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

std::string DataFolderFor(const std::string& programFolder) {
  // An installed tree is recognised by its share folder, so a copy of the build tree
  // (program and data side by side) keeps working wherever it is moved.
  const std::string bin = "/bin/";
  const bool in_bin = programFolder.size() >= bin.size() &&
                      programFolder.compare(programFolder.size() - bin.size(), bin.size(), bin) == 0;
  const std::string installed = in_bin ? programFolder.substr(0, programFolder.size() - 4) + "share/hallwire/"
                                       : programFolder + "../share/hallwire/";
  return IsFolder(installed) ? installed : programFolder;
}

std::string DataFolder() { return DataFolderFor(ProgramFolder()); }

}  // namespace hw

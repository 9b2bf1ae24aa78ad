// The per-thread last-error code and the system's English texts for error codes.
#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "platform/system/Exception.h"
#include "platform/system/Kernel32.h"

namespace hw::win32 {

namespace {

thread_local DWORD t_last_error = ERROR_SUCCESS;
thread_local std::string t_last_error_text;  // for t_last_error, when set with one

// Texts as the English system message table has them (each ends with "\r\n" there).
const std::unordered_map<DWORD, const char*>& MessageTable() {
  static const std::unordered_map<DWORD, const char*> table = {
      {0, "The operation completed successfully."},
      {1, "Incorrect function."},
      {2, "The system cannot find the file specified."},
      {3, "The system cannot find the path specified."},
      {5, "Access is denied."},
      {6, "The handle is invalid."},
      {8, "Not enough memory resources are available to process this command."},
      {13, "The data is invalid."},
      {29, "The system cannot write to the specified device."},
      {30, "The system cannot read from the specified device."},
      {32, "The process cannot access the file because it is being used by another process."},
      {50, "The request is not supported."},
      {52, "A duplicate name exists on the network."},
      {53, "The network path was not found."},
      {65, "Network access is denied."},
      {67, "The network name cannot be found."},
      {80, "The file exists."},
      {87, "The parameter is incorrect."},
      {109, "The pipe has been ended."},
      {112, "There is not enough space on the disk."},
      {121, "The semaphore timeout period has expired."},
      {122, "The data area passed to a system call is too small."},
      {123, "The filename, directory name, or volume label syntax is incorrect."},
      {161, "The specified path is invalid."},
      {183, "Cannot create a file when that file already exists."},
      {206, "The filename or extension is too long."},
      {234, "More data is available."},
      {259, "No more data is available."},
      {1009, "The configuration registry database is corrupt."},
      {1010, "The configuration registry key is invalid."},
      {1011, "The configuration registry key could not be opened."},
      {1012, "The configuration registry key could not be read."},
      {1013, "The configuration registry key could not be written."},
      {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
      {1222, "The network is not present or not started."},
      {1816, "Not enough quota is available to process this command."},
      {10040,
       "A message sent on a datagram socket was larger than the internal message buffer or some other network "
       "limit, or the buffer used to receive a datagram into was smaller than the datagram itself."},
      {10051, "A socket operation was attempted to an unreachable network."},
  };
  return table;
}

}  // namespace

DWORD GetLastError() { return t_last_error; }
void SetLastError(DWORD code) {
  t_last_error = code;
  t_last_error_text.clear();
}

DWORD FormatMessageA(DWORD dwFlags, LPCVOID /*lpSource*/, DWORD dwMessageId, DWORD /*dwLanguageId*/,
                     LPSTR lpBuffer, DWORD nSize, void* /*Arguments*/) {
  constexpr DWORD ERROR_MR_MID_NOT_FOUND = 317;
  if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || !lpBuffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const auto& table = MessageTable();
  auto it = table.find(dwMessageId);
  if (it == table.end()) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  std::string text = std::string(it->second) + "\r\n";
  if (text.size() + 1 > nSize) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(lpBuffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

}  // namespace hw::win32

namespace hw {

void SetLastErrorText(win32::DWORD code, std::string text) {
  win32::SetLastError(code);
  win32::t_last_error_text = std::move(text);
}

std::string SystemErrorText(win32::DWORD code) {
  using namespace win32;
  if (code == t_last_error && !t_last_error_text.empty()) return t_last_error_text;
  char buffer[1024];
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr, code, 0, buffer,
                                 sizeof buffer, nullptr);
  // At most 256 characters of the text, as a fixed message buffer would hold them.
  std::string text = n > 0 ? std::string(buffer, std::min<DWORD>(n, 256)) : "System error " + std::to_string(code);
  while (!text.empty()) {
    const unsigned char c = static_cast<unsigned char>(text.back());
    if (c <= ' ' || c == '.') text.pop_back();
    else break;
  }
  return text;
}

}  // namespace hw

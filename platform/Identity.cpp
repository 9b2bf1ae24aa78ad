// Computer name, user name, process id and local time.
#include <pwd.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <string>

#include "platform/Config.h"
#include "platform/Kernel32.h"

namespace hw::win32 {

namespace {

// Copies text with its zero into a caller buffer of *size characters, Win32 style:
// on success *size is the length without the zero; when too small it is the length
// needed with the zero and the call fails with ERROR_BUFFER_OVERFLOW-like 111/122.
BOOL CopyOut(const std::string& text, LPSTR buffer, LPDWORD size, bool size_counts_zero) {
  if (!size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!buffer || *size < text.size() + 1) {
    *size = static_cast<DWORD>(text.size() + 1);
    SetLastError(size_counts_zero ? ERROR_INSUFFICIENT_BUFFER : 111 /* ERROR_BUFFER_OVERFLOW */);
    return FALSE;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  *size = static_cast<DWORD>(size_counts_zero ? text.size() + 1 : text.size());
  return TRUE;
}

}  // namespace

BOOL GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize) {
  return CopyOut(hw::platform::Config().computer_name, lpBuffer, nSize, false);
}

BOOL GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer) {
  std::string name;
  passwd pw{};
  passwd* result = nullptr;
  char buf[4096];
  if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &result) == 0 && result) name = result->pw_name;
  if (name.empty()) name = std::to_string(getuid());
  return CopyOut(name, lpBuffer, pcbBuffer, true);
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

void GetLocalTime(SYSTEMTIME* st) {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  tm local{};
  time_t secs = tv.tv_sec;
  localtime_r(&secs, &local);
  st->wYear = static_cast<WORD>(local.tm_year + 1900);
  st->wMonth = static_cast<WORD>(local.tm_mon + 1);
  st->wDayOfWeek = static_cast<WORD>(local.tm_wday);
  st->wDay = static_cast<WORD>(local.tm_mday);
  st->wHour = static_cast<WORD>(local.tm_hour);
  st->wMinute = static_cast<WORD>(local.tm_min);
  st->wSecond = static_cast<WORD>(local.tm_sec);
  st->wMilliseconds = static_cast<WORD>(tv.tv_usec / 1000);
}

}  // namespace hw::win32

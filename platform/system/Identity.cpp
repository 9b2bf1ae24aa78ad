// User name, process id and local time. The computer name is the network's
// (platform/net/ComputerName.cpp).
#include <pwd.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <string>

#include "platform/system/Kernel32.h"

namespace hw::win32 {

namespace {

// Copies text with its zero into a caller buffer of *size characters, Win32 style:
// *size counts the zero, on success and when too small (ERROR_INSUFFICIENT_BUFFER).
BOOL CopyOut(const std::string& text, LPSTR buffer, LPDWORD size) {
  if (!size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const bool fits = buffer && *size >= text.size() + 1;
  *size = static_cast<DWORD>(text.size() + 1);
  if (!fits) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return TRUE;
}

}  // namespace

BOOL GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer) {
  std::string name;
  passwd pw{};
  passwd* result = nullptr;
  char buf[4096];
  if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &result) == 0 && result) name = result->pw_name;
  if (name.empty()) name = std::to_string(getuid());
  return CopyOut(name, lpBuffer, pcbBuffer);
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
